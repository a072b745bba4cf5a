#include "launcher/launcher_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace tornil {
namespace {

QFont sansFont(int pointSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

// One period-and-a-half of a sine across `area`, `phase` in radians.
QPainterPath sineWave(const QRectF& area, double amplitude, double phase)
{
    QPainterPath path;
    const int steps = 120;
    for (int i = 0; i <= steps; ++i) {
        const double x = area.left() + area.width() * i / steps;
        const double y =
            area.center().y()
            - amplitude * area.height() / 2 * std::sin(3 * std::numbers::pi * i / steps + phase);
        if (i == 0)
            path.moveTo(x, y);
        else
            path.lineTo(x, y);
    }
    return path;
}

// A rounded, lit button face with its caption.
QPixmap buttonPicture(QSize size, const QColor& top, const QColor& bottom, const QString& text)
{
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.setPen(QPen(bottom.darker(160), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(face, 6, 6);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    painter.drawLine(QPointF(6, 2.5), QPointF(size.width() - 6, 2.5));
    painter.setPen(Qt::white);
    painter.setFont(sansFont(9, true));
    painter.drawText(face, Qt::AlignCenter, text);
    return picture;
}

void drawLogger(QPainter& painter, const QRectF& body)
{
    QLinearGradient shell(body.topLeft(), body.bottomRight());
    shell.setColorAt(0, QColor(236, 238, 240));
    shell.setColorAt(1, QColor(168, 174, 182));
    painter.setPen(QPen(QColor(60, 66, 74), 1.5));
    painter.setBrush(shell);
    painter.drawRoundedRect(body, 14, 14);

    const QRectF lcd(body.left() + 16, body.top() + 18, body.width() - 32, 52);
    painter.setPen(QPen(QColor(40, 50, 40), 1));
    painter.setBrush(QColor(178, 204, 160));
    painter.drawRoundedRect(lcd, 4, 4);
    painter.setPen(QColor(30, 40, 30));
    painter.setFont(sansFont(17, true));
    painter.drawText(lcd.adjusted(0, 0, -8, 0), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("230.0 V"));

    // Two channel inputs.
    painter.setPen(QPen(QColor(40, 40, 40), 1.5));
    const double jackY = body.bottom() - 34;
    painter.setBrush(QColor(200, 40, 40));
    painter.drawEllipse(QPointF(body.left() + body.width() * 0.3, jackY), 11, 11);
    painter.setBrush(QColor(40, 40, 40));
    painter.drawEllipse(QPointF(body.left() + body.width() * 0.7, jackY), 11, 11);
    painter.setFont(sansFont(8, true));
    painter.setPen(QColor(50, 56, 64));
    painter.drawText(QRectF(body.left(), body.top() + 76, body.width(), 16), Qt::AlignCenter,
                     QStringLiteral("RQ730"));
}

void drawTrace(QPainter& painter, const QRectF& panel)
{
    painter.setPen(QPen(QColor(120, 170, 210), 1));
    painter.setBrush(QColor(10, 28, 48));
    painter.drawRoundedRect(panel, 6, 6);
    const QRectF plot = panel.adjusted(12, 12, -12, -12);
    painter.setPen(QPen(QColor(40, 80, 110), 1, Qt::DotLine));
    for (int i = 1; i < 6; ++i) {
        const double x = plot.left() + plot.width() * i / 6;
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    for (int i = 1; i < 4; ++i) {
        const double y = plot.top() + plot.height() * i / 4;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 96, 80), 2));
    painter.drawPath(sineWave(plot, 0.85, 0));
    painter.setPen(QPen(QColor(90, 200, 255), 2));
    painter.drawPath(sineWave(plot, 0.5, -0.6));
}

} // namespace

QPixmap backgroundPicture()
{
    QPixmap picture(kBackgroundSize);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF whole(QPointF(0, 0), QSizeF(kBackgroundSize));

    QLinearGradient sky(whole.topLeft(), QPointF(0, 320));
    sky.setColorAt(0, QColor(14, 42, 72));
    sky.setColorAt(1, QColor(30, 92, 134));
    painter.fillRect(QRectF(0, 0, whole.width(), 320), sky);

    painter.setPen(QColor(150, 196, 228));
    painter.setFont(sansFont(10, true));
    painter.drawText(QRectF(28, 18, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("TORNIL"));
    painter.setPen(Qt::white);
    painter.setFont(sansFont(26, true));
    painter.drawText(QRectF(28, 44, 500, 44), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("RQ730 Datalogger"));
    painter.setPen(QColor(200, 224, 240));
    painter.setFont(sansFont(11, false));
    painter.drawText(QRectF(30, 90, 500, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Two-channel AC voltage and current data logger"));

    drawLogger(painter, QRectF(34, 132, 160, 168));
    drawTrace(painter, QRectF(222, 140, 300, 152));

    // The light band that carries the line of text and the buttons.
    painter.fillRect(QRectF(0, 320, whole.width(), whole.height() - 320), QColor(234, 239, 244));
    painter.setPen(QPen(QColor(90, 150, 196), 3));
    painter.drawLine(QPointF(0, 320), QPointF(whole.width(), 320));
    painter.setPen(QColor(150, 160, 170));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(whole.adjusted(0.5, 0.5, -0.5, -0.5));
    return picture;
}

QPixmap driverButtonPicture()
{
    return buttonPicture(kDriverPictureSize, QColor(70, 150, 220), QColor(24, 84, 150),
                         QStringLiteral("USB Driver"));
}

QPixmap setupButtonPicture()
{
    return buttonPicture(kSetupPictureSize, QColor(90, 180, 90), QColor(34, 110, 40),
                         QStringLiteral("Setup"));
}

QPixmap exitButtonPicture()
{
    return buttonPicture(kExitPictureSize, QColor(200, 90, 80), QColor(140, 36, 30),
                         QStringLiteral("Exit"));
}

} // namespace tornil
