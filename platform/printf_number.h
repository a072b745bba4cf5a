#pragma once
// Number texts as C's printf writes them with "%.<precision>f": the exact binary value
// rounded to the nearest text, a tie to the even digit (230.25 gives "230.2"), a point
// as decimal separator whatever the locale. Every fixed-point number text of the
// program comes from here, so a value reads the same in every window and report.
#include <QString>
#include <cstddef>

namespace cnum {

// Longest text of a double in fixed notation with up to 10 decimals.
inline constexpr std::size_t kFixedCapacity = 340;

// Writes "%.<precision>f" of `value` into `buf` (at least kFixedCapacity bytes, not
// terminated); returns the number of characters written.
std::size_t writeFixed(char* buf, double value, int precision);

// "%.<precision>f" of `value`.
QString fixed(double value, int precision);

// The text reads back as the number 0 (every digit is 0: "0.0", "-0.0", "0").
bool readsAsZero(const QString& text);

} // namespace cnum
