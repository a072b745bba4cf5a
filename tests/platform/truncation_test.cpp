#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "platform/truncation.h"

namespace {

TEST(Truncation, toward_zero_saturating_and_nan_is_zero)
{
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const struct {
        double v;
        int want;
    } cases[] = {
        {2.9, 2},
        {-2.9, -2},
        {-0.5, 0},
        {2147483646.9, kMax - 1},
        {2147483647.0, kMax},
        {3.0e38, kMax},
        {kInf, kMax},
        {-2147483648.0, kMin},
        {-2147483648.9, kMin},
        {-kInf, kMin},
        {std::nan(""), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(truncSaturated(c.v), c.want) << c.v;

    constexpr long long kMax64 = std::numeric_limits<long long>::max();
    EXPECT_EQ(truncSaturated<long long>(1.0e19), kMax64);
    EXPECT_EQ(truncSaturated<long long>(-1.0e19), std::numeric_limits<long long>::min());
    EXPECT_EQ(truncSaturated<long long>(-3.0e9 - 0.5), -3000000000LL);
    EXPECT_EQ(clampToInt(5000000000LL), kMax);
    EXPECT_EQ(clampToInt(-5000000000LL), kMin);
    EXPECT_EQ(clampToInt(-7), -7);
}

} // namespace
