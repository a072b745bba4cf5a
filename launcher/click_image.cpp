#include "launcher/click_image.h"

#include <QMouseEvent>
#include <QPainter>

namespace tornil {

ClickImage::ClickImage(const QPixmap& picture, QWidget* parent)
    : QWidget(parent)
    , m_picture(picture)
{
    setFixedSize(picture.deviceIndependentSize().toSize());
    setCursor(Qt::PointingHandCursor);
}

void ClickImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

void ClickImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    event->accept();
}

void ClickImage::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace tornil
