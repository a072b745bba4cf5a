#include "resources/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

#include "resources/command_ids.h"

namespace {
constexpr int kW = 24;
constexpr int kH = 16;

QPixmap blank(int w = kW, int h = kH)
{
    QPixmap pix(w, h);
    pix.fill(Qt::transparent);
    return pix;
}

void drawWave(QPainter& p, const QRectF& r, double cycles, const QColor& colour, double width)
{
    QPainterPath path;
    for (int i = 0; i <= 40; ++i) {
        const double x = r.left() + r.width() * i / 40.0;
        const double y = r.center().y() - r.height() / 2 * std::sin(i / 40.0 * cycles * 2 * M_PI);
        i == 0 ? path.moveTo(x, y) : path.lineTo(x, y);
    }
    p.setPen(QPen(colour, width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void drawPrinter(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 0.5, 10, 6));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(4.5, 5.5, 16, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 9.5, 10, 6));
}

void drawSave(QPainter& p)
{
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(4.5, 0.5, 15, 15));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 0.5, 9, 6));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(7.5, 9.5, 9, 6));
}

void drawOpen(QPainter& p)
{
    p.setPen(QPen(QColor(120, 90, 10), 1));
    p.setBrush(QColor(240, 200, 80));
    QPolygonF back;
    back << QPointF(3.5, 2.5) << QPointF(9.5, 2.5) << QPointF(11.5, 4.5) << QPointF(19.5, 4.5)
         << QPointF(19.5, 14.5) << QPointF(3.5, 14.5);
    p.drawPolygon(back);
    p.setBrush(QColor(250, 225, 130));
    QPolygonF front;
    front << QPointF(3.5, 14.5) << QPointF(6.5, 7.5) << QPointF(22.5, 7.5) << QPointF(19.5, 14.5);
    p.drawPolygon(front);
}

void drawClock(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(5, 0.5, 15, 15));
    p.setPen(QPen(QColor(200, 30, 30), 1.5));
    p.drawLine(QPointF(12.5, 8), QPointF(12.5, 3));
    p.drawLine(QPointF(12.5, 8), QPointF(16, 10));
}

void drawSetup(QPainter& p)
{
    // A logger with three level sliders.
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(3.5, 0.5, 17, 15));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(7.5 + i * 4.5, 3), QPointF(7.5 + i * 4.5, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 110, 200));
    const double knob[3] = {5, 10, 7};
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(5.5 + i * 4.5, knob[i], 4, 3));
}

void drawDownload(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(4.5, 9.5, 15, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 140, 60));
    QPolygonF arrow;
    arrow << QPointF(10, 0) << QPointF(14, 0) << QPointF(14, 5) << QPointF(17, 5) << QPointF(12, 11)
          << QPointF(7, 5) << QPointF(10, 5);
    p.drawPolygon(arrow);
}

void drawList(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 0.5, 15, 15));
    p.setPen(QPen(QColor(30, 80, 170), 1));
    for (int y = 3; y <= 12; y += 3)
        p.drawLine(QPointF(7, y + 0.5), QPointF(17, y + 0.5));
}

void drawHelp(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 190));
    p.drawEllipse(QRectF(4.5, 0.5, 15, 15));
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(4.5, 0.5, 15, 15), Qt::AlignCenter, QStringLiteral("?"));
}

void drawStoreRms(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(1.5, 0.5, 21, 15));
    QPainterPath path;
    const double ys[] = {10, 8, 9, 6, 7, 4, 6, 5};
    for (int i = 0; i < 8; ++i) {
        const double x = 3 + i * 2.6;
        i == 0 ? path.moveTo(x, ys[i]) : path.lineTo(x, ys[i]);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 60, 60), 1.3));
    p.drawPath(path);
    p.setPen(QPen(QColor(60, 220, 60), 1.3));
    p.drawPath(path.translated(0, 3.5));
}

void drawStoreTr(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(1.5, 0.5, 21, 15));
    drawWave(p, QRectF(3, 3, 18, 10), 2.5, QColor(255, 230, 60), 1.3);
}
} // namespace

QIcon toolbarIcon(int commandId)
{
    QPixmap pix = blank();
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    switch (commandId) {
    case ID_FILE_SAVE_DATA:
        drawSave(p);
        break;
    case ID_FILE_OPEN_DATA:
        drawOpen(p);
        break;
    case ID_CORRECT_TIME:
        drawClock(p);
        break;
    case ID_DATALOGGER_SETUP:
        drawSetup(p);
        break;
    case ID_DOWNLOAD_DATA:
        drawDownload(p);
        break;
    case ID_DATA_LIST:
        drawList(p);
        break;
    case ID_PRINT_GRAPH:
        drawPrinter(p);
        drawWave(p, QRectF(8.5, 10.5, 8, 4), 1.5, QColor(200, 30, 30), 1);
        break;
    case ID_PRINT_LIST:
        drawPrinter(p);
        p.setPen(QPen(QColor(30, 80, 170), 1));
        p.drawLine(QPointF(9, 11.5), QPointF(16, 11.5));
        p.drawLine(QPointF(9, 13.5), QPointF(16, 13.5));
        break;
    case ID_HELP_TOPICS:
        drawHelp(p);
        break;
    case ID_STORE_RMS:
        drawStoreRms(p);
        break;
    case ID_STORE_TRANSIENT_WAVE:
        drawStoreTr(p);
        break;
    default:
        break;
    }
    p.end();
    return QIcon(pix);
}

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pix = blank(size, size);
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = size / 64.0;
        p.scale(s, s);
        p.setPen(QPen(QColor(20, 40, 70), 3));
        p.setBrush(QColor(30, 60, 110));
        p.drawRoundedRect(QRectF(4, 8, 56, 48), 8, 8);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRect(QRectF(10, 14, 44, 28));
        drawWave(p, QRectF(12, 18, 40, 20), 2, QColor(255, 70, 70), 3);
        drawWave(p, QRectF(12, 22, 40, 12), 2, QColor(70, 230, 90), 3);
        p.setBrush(QColor(200, 200, 200));
        p.drawEllipse(QRectF(14, 46, 6, 6));
        p.drawEllipse(QRectF(44, 46, 6, 6));
        p.end();
        icon.addPixmap(pix);
    }
    return icon;
}

QIcon instrumentIcon()
{
    // A hand-held logger: dark body, display with a wave, two input sockets.
    QPixmap pix = blank(27, 50);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(70, 80, 95));
    p.drawRoundedRect(QRectF(1.5, 1.5, 24, 47), 4, 4);
    p.setBrush(QColor(190, 215, 170));
    p.drawRect(QRectF(4.5, 5.5, 18, 14));
    drawWave(p, QRectF(6, 8, 15, 9), 1.5, QColor(20, 60, 20), 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 220, 220));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRoundedRect(QRectF(5 + col * 6, 24 + row * 6, 5, 4), 1, 1);
    p.setBrush(QColor(200, 30, 30));
    p.drawEllipse(QPointF(8.5, 42), 3, 3);
    p.setBrush(QColor(15, 15, 15));
    p.drawEllipse(QPointF(18.5, 42), 3, 3);
    p.end();
    return QIcon(pix);
}
