#include "resources/dialog_bitmaps.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "resources/dialog_templates.h"

namespace {

enum class Symbol { None, Tick, Cross };

struct ButtonPicture {
    Symbol symbol;
    QString word;
};

const QColor kTickGreen(0, 150, 40);
const QColor kCrossRed(210, 30, 30);
const QColor kWordColour(30, 30, 30);

QPixmap blank(QSize size)
{
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}

void drawSymbol(QPainter& p, Symbol symbol, const QRectF& box)
{
    const qreal w = box.width();
    QPen pen(symbol == Symbol::Tick ? kTickGreen : kCrossRed, std::max(2.0, w * 0.18),
             Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (symbol == Symbol::Tick) {
        QPainterPath path;
        path.moveTo(box.left() + w * 0.10, box.top() + w * 0.55);
        path.lineTo(box.left() + w * 0.40, box.top() + w * 0.85);
        path.lineTo(box.left() + w * 0.92, box.top() + w * 0.15);
        p.drawPath(path);
    } else if (symbol == Symbol::Cross) {
        const qreal m = w * 0.18;
        p.drawLine(QPointF(box.left() + m, box.top() + m),
                   QPointF(box.right() - m, box.bottom() - m));
        p.drawLine(QPointF(box.right() - m, box.top() + m),
                   QPointF(box.left() + m, box.bottom() - m));
    }
}

QPixmap drawButton(const ButtonPicture& picture, QSize size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    const int h = size.height();
    // The word in bold Arial, as large as the height allows (about half of it)
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    // (at most 15 pixels: a tall face must not get a shouting word).
    font.setPixelSize(std::clamp(h * 9 / 16, 8, 15));
    const QFontMetrics fm(font);

    const bool hasSymbol = picture.symbol != Symbol::None;
    const int symbolSide = hasSymbol ? std::clamp(h * 5 / 8, 8, 18) : 0;
    const int gap = hasSymbol ? std::max(3, h / 6) : 0;
    int wordWidth = fm.horizontalAdvance(picture.word);
    // Shrink the word when the face is narrow, so that it is never cut off.
    while (symbolSide + gap + wordWidth > size.width() - 4 && font.pixelSize() > 7) {
        font.setPixelSize(font.pixelSize() - 1);
        wordWidth = QFontMetrics(font).horizontalAdvance(picture.word);
    }
    const int total = symbolSide + gap + wordWidth;
    const int left = std::max(0, (size.width() - total) / 2);
    if (hasSymbol)
        drawSymbol(p, picture.symbol, QRectF(left, (h - symbolSide) / 2.0, symbolSide, symbolSide));
    p.setFont(font);
    p.setPen(kWordColour);
    p.drawText(QRect(left + symbolSide + gap, 0, wordWidth + 2, h),
               Qt::AlignLeft | Qt::AlignVCenter, picture.word);
    return pm;
}

// A round clock face with hands at ten past ten.
QPixmap drawClock(QSize size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(size.width(), size.height()) - 2.0;
    const QRectF face((size.width() - side) / 2.0, (size.height() - side) / 2.0, side, side);
    p.setPen(QPen(QColor(40, 40, 40), std::max(1.0, side / 14)));
    p.setBrush(QColor(255, 255, 240));
    p.drawEllipse(face);
    const QPointF c = face.center();
    const qreal r = side / 2;
    p.setPen(QPen(QColor(40, 40, 40), std::max(1.0, side / 16), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 30.0);
        p.drawLine(QPointF(0, -r * 0.78), QPointF(0, -r * 0.88));
        p.restore();
    }
    p.setPen(QPen(QColor(20, 20, 20), std::max(1.5, side / 10), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(-r * 0.40, -r * 0.25)); // hour hand towards ten
    p.drawLine(c, c + QPointF(r * 0.50, -r * 0.45));  // minute hand towards two
    p.setPen(QPen(kCrossRed, std::max(1.0, side / 20)));
    p.drawLine(c, c + QPointF(0, r * 0.65)); // second hand
    return pm;
}

// An oval button face with its word: the real-time set-up's RUN and CANCEL.
QPixmap drawOval(const QString& word, QSize size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(QColor(60, 80, 110), 1.5));
    p.setBrush(QColor(200, 215, 235));
    p.drawEllipse(face);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(std::clamp(size.height() * 9 / 16, 8, 15));
    p.setFont(font);
    p.setPen(kWordColour);
    p.drawText(face, Qt::AlignCenter, word);
    return pm;
}

} // namespace

QPixmap dialogBitmap(int id, QSize size)
{
    if (!size.isValid() || size.isEmpty())
        size = id == IDB_CLOCK ? QSize(24, 24) : kButtonBitmapSize;
    switch (id) {
    case IDB_OK:
        return drawButton({Symbol::Tick, QStringLiteral("OK")}, size);
    case IDB_CANCEL_CLOCK:
    case IDB_CANCEL_DOWNLOAD:
    case IDB_CANCEL_SETUP:
        return drawButton({Symbol::Cross, QStringLiteral("Cancel")}, size);
    case IDB_DOWNLOAD:
        return drawButton({Symbol::Tick, QStringLiteral("Download")}, size);
    case IDB_SETUP:
        return drawButton({Symbol::Tick, QStringLiteral("Setup")}, size);
    case IDB_DEFAULT:
        return drawButton({Symbol::None, QStringLiteral("Default")}, size);
    case IDB_CLOCK:
        return drawClock(size);
    case IDB_RUN:
        return drawOval(QStringLiteral("RUN"), size);
    case IDB_CANCEL_RUN:
        return drawOval(QStringLiteral("CANCEL"), size);
    case IDB_PANEL_CORRECT_TIME:
        return drawButton({Symbol::None, QStringLiteral("Correct Time")}, size);
    case IDB_PANEL_SETUP:
        return drawButton({Symbol::None, QStringLiteral("QH5Datalogger Setup")}, size);
    case IDB_PANEL_DOWNLOAD:
        return drawButton({Symbol::None, QStringLiteral("Download Data")}, size);
    case IDB_PANEL_OPEN:
        return drawButton({Symbol::None, QStringLiteral("Open Existing Document")}, size);
    case IDB_PANEL_HELP:
        return drawButton({Symbol::None, QStringLiteral("Help")}, size);
    case IDB_PANEL_RUN:
        return drawButton({Symbol::None, QStringLiteral("RUN")}, size);
    case IDB_PLOT_LINES:
        return drawButton({Symbol::None, QStringLiteral("Lines")}, size);
    case IDB_PLOT_POINTS:
        return drawButton({Symbol::None, QStringLiteral("Points")}, size);
    default:
        return QPixmap();
    }
}
