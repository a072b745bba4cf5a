#include "platform/local_time.h"

#include <algorithm>

DateFields dateFieldsFromTm(const std::tm& tm)
{
    return DateFields{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                      tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

DateFields localDateFields(std::time_t t)
{
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return DateFields{};
    return dateFieldsFromTm(tm);
}

namespace {

constexpr qint32 kFirstYear = 1900;
constexpr qint32 kLastYear = 9999;

std::time_t normalisedTime(const DateFields& f)
{
    // Keep every field in a range where the C library's normalisation cannot
    // overflow; dates that make no sense still give a defined time.
    auto clampField = [](qint64 v, qint64 lo, qint64 hi) {
        return static_cast<int>(std::clamp(v, lo, hi));
    };
    std::tm tm{};
    tm.tm_year = clampField(qint64(f.year) - 1900, -1900, 100000);
    tm.tm_mon = clampField(qint64(f.month) - 1, -1200, 1200);
    tm.tm_mday = clampField(f.day, -40000, 40000);
    tm.tm_hour = clampField(f.hour, -100000, 100000);
    tm.tm_min = clampField(f.minute, -1000000, 1000000);
    tm.tm_sec = clampField(f.second, -1000000, 1000000);
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

} // namespace

std::time_t timeFromLocalFields(const DateFields& f)
{
    // A date beyond the years 1900 to 9999 stands for the nearer end of them. Every
    // time inside has fields that build it again, so a clamped date is stored and
    // read back as itself.
    const std::time_t t = normalisedTime(f);
    const qint32 year = localDateFields(t).year;
    if (year < kFirstYear)
        return normalisedTime(DateFields{kFirstYear, 1, 1, 0, 0, 0});
    if (year > kLastYear)
        return normalisedTime(DateFields{kLastYear, 12, 31, 23, 59, 59});
    return t;
}
