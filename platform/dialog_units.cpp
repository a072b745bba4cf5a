#include "platform/dialog_units.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace {
// a * b / c rounded to the nearest integer (halves away from zero).
int mulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    const long long q = (std::llabs(p) * 2 + c) / (2LL * c);
    return static_cast<int>(p < 0 ? -q : q);
}
} // namespace

DialogUnits::DialogUnits(const QString& family, int pointSize) : m_font(family)
{
    m_font.setPointSize(pointSize);
    measure();
}

DialogUnits::DialogUnits(const QFont& font) : m_font(font)
{
    measure();
}

void DialogUnits::measure()
{
    const QFontMetrics fm(m_font);
    // The average width over the 52 letters, rounded: what the letters of a typical
    // caption need per character.
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = fm.horizontalAdvance(letters);
    m_baseX = std::max(1, (width / 26 + 1) / 2);
    m_baseY = std::max(1, fm.height());
}

int DialogUnits::toPixelsX(int dialogUnits) const
{
    return mulDiv(dialogUnits, m_baseX, 4);
}

int DialogUnits::toPixelsY(int dialogUnits) const
{
    return mulDiv(dialogUnits, m_baseY, 8);
}

QRect DialogUnits::toPixels(const QRect& r) const
{
    return QRect(toPixelsX(r.x()), toPixelsY(r.y()), toPixelsX(r.width()), toPixelsY(r.height()));
}

QSize DialogUnits::toPixels(const QSize& s) const
{
    return QSize(toPixelsX(s.width()), toPixelsY(s.height()));
}
