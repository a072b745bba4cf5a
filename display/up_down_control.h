#pragma once
// An up-down control (a pair of arrow buttons) bound to a buddy edit: each step reads
// the buddy's integer, moves it by one within the control's range and writes it back
// as text, so the buddy's change handling sees the new value as it would see typing.
// With arrow keys on, Up and Down pressed in the buddy step too.
#include <QWidget>

class QLineEdit;
class QToolButton;

class UpDownControl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return m_buddy; }
    // Range of the position; either bound may be the larger (the arrows then swap).
    void SetRange32(int lower, int upper);
    int lower() const { return m_lower; }
    int upper() const { return m_upper; }
    void setArrowKeys(bool on) { m_arrowKeys = on; }
    int position() const { return m_pos; }

    // One step up (towards `upper`) or down, as a click on the arrow does.
    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void step(int direction);
    QLineEdit* m_buddy = nullptr;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    bool m_arrowKeys = true;
};
