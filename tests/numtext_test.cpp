// Locale-independent number parsing and formatting.
#include "numtext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

using tintvale::detail::AtofC;
using tintvale::detail::AtoiC;
using tintvale::detail::FormatF;
using tintvale::detail::FormatG;
using tintvale::detail::ParseDouble;
using tintvale::detail::ParseInt;

TEST(NumText, ParsesLikeTheCLocaleWhateverTheHostLocale)
{
    // A host locale with a decimal comma must not change what is read or written.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/install-deps.sh makes it)";
    EXPECT_EQ(AtofC("  12.5xyz"), 12.5);
    EXPECT_EQ(AtofC("-3e2"), -300.0);
    EXPECT_EQ(AtofC("+.25"), 0.25);
    EXPECT_EQ(AtofC("abc"), 0.0);
    EXPECT_EQ(AtofC(nullptr), 0.0);
    EXPECT_EQ(AtofC("12,5"), 12.0);
    EXPECT_EQ(FormatG(0.123456789), "0.123457");
    EXPECT_EQ(FormatG(1234567.0), "1.23457e+06");
    EXPECT_EQ(FormatG(100.0), "100");
    EXPECT_EQ(FormatG(-0.5, 3), "-0.5");
    EXPECT_EQ(FormatF(12.25, 6, 4), "12.2500");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumText, IntegersSaturateAndSignsAreStrict)
{
    EXPECT_EQ(AtoiC(" 42abc"), 42);
    EXPECT_EQ(AtoiC("-17"), -17);
    EXPECT_EQ(AtoiC("+8"), 8);
    EXPECT_EQ(AtoiC("x1"), 0);
    EXPECT_EQ(AtoiC("99999999999"), 2147483647);
    EXPECT_EQ(AtoiC("-99999999999"), -2147483647 - 1);
    const char text[] = "--5";
    double v = 7.0;
    EXPECT_EQ(ParseDouble(text, text + 3, v), nullptr);
    EXPECT_EQ(v, 7.0);
    int i = 0;
    EXPECT_EQ(ParseInt(text, text + 3, i), nullptr);
    const char partial[] = "12.5";
    EXPECT_EQ(ParseInt(partial, partial + 4, i), partial + 2);
    EXPECT_EQ(i, 12);
}

TEST(NumText, OutOfRangeAndSpecialValues)
{
    EXPECT_TRUE(std::isinf(AtofC("1e999")));
    EXPECT_EQ(AtofC("-1e-999"), 0.0);
    EXPECT_TRUE(std::signbit(AtofC("-1e-999")));
    EXPECT_TRUE(std::isnan(AtofC("nan")));
    const char bounded[] = "123456";
    double v = 0;
    EXPECT_EQ(ParseDouble(bounded, bounded + 3, v), bounded + 3);
    EXPECT_EQ(v, 123.0);
}

TEST(NumText, FixedFormatMatchesPrintfInTheCLocale)
{
    EXPECT_EQ(FormatF(0.5, 6, 4), "0.5000");
    EXPECT_EQ(FormatF(12.25, 6, 4), "12.2500");
    EXPECT_EQ(FormatF(1.0, 8, 2), "    1.00");
    EXPECT_EQ(FormatF(-0.00001, 6, 4), "-0.0000");
    EXPECT_EQ(FormatF(2.5, 0, 0), "2");
    EXPECT_EQ(FormatF(0.125, 1, 2), "0.12");
    EXPECT_EQ(FormatF(1e300, 6, 4).size(), 301u + 5u);
    EXPECT_EQ(FormatF(-std::numeric_limits<double>::infinity(), 6, 4), "  -inf");
    // Against the C library itself (this process runs in the C locale).
    char expected[512];
    for (double value : { 0.0, 3.14159265, -123456.789, 0.99995, 1e-7, 4.5e15, 1.7976931348623157e308 }) {
        std::snprintf(expected, sizeof expected, "%6.4f", value);
        EXPECT_EQ(FormatF(value, 6, 4), expected) << value;
    }
}
