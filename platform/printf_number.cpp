#include "platform/printf_number.h"

#include <algorithm>
#include <charconv>

namespace cnum {

std::size_t writeFixed(char* buf, double value, int precision)
{
    // to_chars with a precision rounds as printf does, without the C locale's say.
    const auto r = std::to_chars(buf, buf + kFixedCapacity, value, std::chars_format::fixed,
                                 std::clamp(precision, 0, 10));
    return r.ec == std::errc() ? static_cast<std::size_t>(r.ptr - buf) : 0;
}

QString fixed(double value, int precision)
{
    char buf[kFixedCapacity];
    return QString::fromLatin1(buf, static_cast<qsizetype>(writeFixed(buf, value, precision)));
}

bool readsAsZero(const QString& text)
{
    bool digit = false;
    for (const QChar c : text) {
        if (c.isDigit()) {
            if (c != QLatin1Char('0'))
                return false;
            digit = true;
        } else if (c != QLatin1Char('-') && c != QLatin1Char('+') && c != QLatin1Char('.')) {
            break; // the unit after the number
        }
    }
    return digit;
}

} // namespace cnum
