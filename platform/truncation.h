#pragma once
// Conversions of computed positions, counts and limits to integers that stay defined
// for any value: the graph's pixels and point indices, the auto-scale limits.
#include <algorithm>
#include <limits>

// Truncation toward zero, saturating at the integer type's range; NaN gives 0.
template <class Int = int> constexpr Int truncSaturated(double v)
{
    constexpr Int lo = std::numeric_limits<Int>::min();
    constexpr Int hi = std::numeric_limits<Int>::max();
    if (!(v == v))
        return 0;
    if (v <= static_cast<double>(lo))
        return lo;
    if (v >= static_cast<double>(hi))
        return hi;
    return static_cast<Int>(v);
}

// A 64-bit result narrowed to int, saturating.
constexpr int clampToInt(long long v)
{
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
