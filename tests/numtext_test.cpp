// Locale-independent number parsing and formatting.
#include "numtext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
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

TEST(NumText, FixedAndSixDigitFormsMatchPrintf)
{
    using tintvale::detail::AppendG6;
    using tintvale::detail::AppendInt;
    using tintvale::detail::FormatF;
    EXPECT_EQ(FormatF(0.5, 5), "0.50000");
    EXPECT_EQ(FormatF(-2.0, 5), "-2.00000");
    EXPECT_EQ(FormatF(123.456789, 5), "123.45679");
    std::string ints;
    AppendInt(ints, -2147483647 - 1);
    ints += ' ';
    AppendInt(ints, 42);
    EXPECT_EQ(ints, "-2147483648 42");

    // The six-digit form takes a fast path for common magnitudes; it must give exactly the text
    // of printf's "%.6g", with ties and carries in every decade included.
    auto g6 = [](double v) {
        std::string s;
        AppendG6(s, v);
        return s;
    };
    const double edges[] = { 0.0, -0.0, 1e-3, 9.999995e-4, 0.00123456, 0.0012345650, 0.1234565, 2.5, 999999.0,
        999999.5, 999998.5, 99999.95, 9.999995, 1e6, 0.1, 0.125, 100, 250, 1e-7, -0.5, 12.3456500001,
        1.0000005, 0.9999995, 123456.5, 0.30000000000000004 };
    for (double v : edges)
        EXPECT_EQ(g6(v), FormatG(v, 6)) << v;
    EXPECT_EQ(g6(0.123456789), "0.123457");
    EXPECT_EQ(g6(1e-7), "1e-07");
    EXPECT_EQ(g6(250.0), "250");
    uint64_t state = 88172645463325252ull;
    for (int i = 0; i < 200000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
        const double v = (unit - 0.5) * std::pow(10.0, static_cast<int>(state % 14) - 5);
        ASSERT_EQ(g6(v), FormatG(v, 6)) << v;
        // Values with few digits hit the ties of rounding to six digits.
        const double rounded = std::round(v * 1e7) / 1e7;
        ASSERT_EQ(g6(rounded), FormatG(rounded, 6)) << rounded;
    }
}

TEST(NumText, PlainDecimalsParseAsFromChars)
{
    // Short plain decimals take a fast path; it must round exactly as the general parser does.
    uint64_t state = 0x9E3779B97F4A7C15ull;
    char text[40];
    for (int i = 0; i < 200000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const int intDigits = static_cast<int>(state % 8);
        const int fracDigits = static_cast<int>((state >> 8) % 12);
        int n = 0;
        if ((state >> 20) & 1)
            text[n++] = '-';
        uint64_t digits = state >> 24;
        for (int d = 0; d < intDigits; ++d, digits /= 10)
            text[n++] = static_cast<char>('0' + digits % 10);
        if (fracDigits > 0) {
            text[n++] = '.';
            for (int d = 0; d < fracDigits; ++d, digits = digits / 10 + 7919 * d)
                text[n++] = static_cast<char>('0' + digits % 10);
        }
        text[n] = '\0';
        double fast = 0.0;
        const char* end = ParseDouble(text, text + n, fast);
        const char* p = text[0] == '-' ? text + 1 : text;
        double reference = 0.0;
        const auto result = std::from_chars(p, text + n, reference);
        if (result.ec != std::errc()) {
            EXPECT_EQ(end, nullptr) << text;
            continue;
        }
        ASSERT_EQ(end, result.ptr) << text;
        ASSERT_EQ(fast, text[0] == '-' ? -reference : reference) << text;
    }
    double v = 0.0;
    EXPECT_EQ(ParseDouble("1.5e2", "1.5e2" + 5, v) - "1.5e2", 5);
    EXPECT_EQ(v, 150.0);
    EXPECT_EQ(ParseDouble(".", "." + 1, v), nullptr);
    EXPECT_EQ(ParseDouble("0.1", "0.1" + 3, v) - "0.1", 3);
    EXPECT_EQ(v, 0.1);
}
