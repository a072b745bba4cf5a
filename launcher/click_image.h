#pragma once
// A picture that acts on a click, like an image control: it keeps its own mouse
// presses (so they never start a drag of the window) and reports a left click that
// is released over it.
#include <QPixmap>
#include <QWidget>

namespace tornil {

class ClickImage : public QWidget {
    Q_OBJECT
public:
    ClickImage(const QPixmap& picture, QWidget* parent);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    bool m_pressed = false;
};

} // namespace tornil
