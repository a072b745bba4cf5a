#include "platform/printf_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <random>

#include "link/download_parse.h"

TEST(PrintfNumber, texts_round_as_c_printf_rounds_the_binary_value)
{
    struct Case {
        double value;
        int precision;
        const char* text;
    };
    const Case cases[] = {
        {230.25, 1, "230.2"},  // an exact tie goes to the even digit
        {230.35f, 1, "230.4"}, // the float lies above the tie
        {0.05f, 1, "0.1"},     // 0.0500000007...
        {2.5, 0, "2"},
        {3.5, 0, "4"}, // "%.0f" ties
        {-0.04, 1, "-0.0"},
        {-1.25, 1, "-1.2"}, // the sign stays
        {1234567.0, 2, "1234567.00"},
        {0.0, 0, "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cnum::fixed(c.value, c.precision), QString::fromLatin1(c.text)) << c.value;

    // Whatever the float, the same text as the C library's in the "C" locale.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> tenths(-40000, 40000);
    char buf[64];
    for (int i = 0; i < 20000; ++i) {
        const float v = static_cast<float>(tenths(random)) / 40.0f;
        for (int precision : {0, 1, 2}) {
            std::snprintf(buf, sizeof buf, "%.*f", precision, static_cast<double>(v));
            ASSERT_EQ(cnum::fixed(v, precision), QString::fromLatin1(buf)) << v;
        }
    }
}

TEST(PrintfNumber, band_texts_and_the_zero_test_hold_in_any_c_locale)
{
    // The band's extreme texts and the panel's read-outs come from the same rule.
    EXPECT_TRUE(download::maximumText(230.25f, "V", "t").startsWith("230.2 V"));
    EXPECT_TRUE(download::minimumText(230.25f, "V", "t").startsWith("230.2V"));

    // A C locale with a decimal comma (where one is installed) changes nothing.
    const bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(cnum::fixed(0.25, 1), "0.2");
    EXPECT_TRUE(cnum::readsAsZero("-0.0V"));
    EXPECT_FALSE(cnum::readsAsZero("0.4"));
    EXPECT_FALSE(cnum::readsAsZero("nan"));
    if (comma)
        std::setlocale(LC_NUMERIC, "C");
}
