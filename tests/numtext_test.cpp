// Locale-independent number parsing and formatting, against the C library in the C locale.
#include "numtext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

using namespace tintvale::detail;

namespace {

std::string Printf(const char* format, double value)
{
    char text[512];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// xorshift64: the same sequence on every platform.
uint64_t Next(uint64_t& state)
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

} // namespace

TEST(NumText, IntegersSaturateSignsAreStrictAndRangesBound)
{
    const struct {
        const char* text;
        int value;
    } rows[] = { { " 42abc", 42 }, { "-17", -17 }, { "+8", 8 }, { "x1", 0 }, { "99999999999", 2147483647 },
        { "-99999999999", -2147483647 - 1 } };
    for (const auto& r : rows)
        EXPECT_EQ(AtoiC(r.text), r.value) << r.text;
    const char text[] = "--5", partial[] = "12.5", bounded[] = "123456";
    double v = 7.0;
    int i = 0;
    EXPECT_TRUE(ParseDouble(text, text + 3, v) == nullptr && v == 7.0);
    EXPECT_EQ(ParseInt(text, text + 3, i), nullptr);
    EXPECT_TRUE(ParseInt(partial, partial + 4, i) == partial + 2 && i == 12);
    EXPECT_TRUE(ParseDouble(bounded, bounded + 3, v) == bounded + 3 && v == 123.0);
    EXPECT_TRUE(std::isinf(AtofC("1e999")) && std::signbit(AtofC("-1e-999")) && std::isnan(AtofC("nan")));
    std::string ints;
    AppendInt(ints, -2147483647 - 1);
    EXPECT_EQ(ints, "-2147483648");
}

TEST(NumText, FixedAndSixDigitFormsMatchPrintf)
{
    for (double value : { 0.0, 0.5, -0.00001, 0.125, 3.14159265, -123456.789, 0.99995, 1e-7, 4.5e15, 1e300,
             1.7976931348623157e308, -std::numeric_limits<double>::infinity() })
        EXPECT_EQ(FormatF(value, 6, 4), Printf("%6.4f", value)) << value;
    EXPECT_TRUE(FormatF(1.0, 8, 2) == "    1.00" && FormatF(2.5, 0, 0) == "2");

    // The six-digit form takes a fast path for common magnitudes; ties and carries in every decade.
    auto g6 = [](double v) {
        std::string s;
        AppendG6(s, v);
        return s;
    };
    for (double v : { 0.0, -0.0, 1e-3, 9.999995e-4, 0.00123456, 0.0012345650, 0.1234565, 2.5, 999999.0,
             999999.5, 999998.5, 99999.95, 9.999995, 1e6, 0.1, 0.125, 100.0, 250.0, 1e-7, -0.5, 12.3456500001,
             1.0000005, 0.9999995, 123456.5, 0.30000000000000004 })
        EXPECT_EQ(g6(v), Printf("%.6g", v)) << v;
    uint64_t state = 88172645463325252ull;
    for (int i = 0; i < 200000; ++i) {
        Next(state);
        const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
        const double v = (unit - 0.5) * std::pow(10.0, static_cast<int>(state % 14) - 5);
        // Values with few digits hit the ties of rounding to six digits.
        for (double w : { v, std::round(v * 1e7) / 1e7 })
            ASSERT_EQ(g6(w), Printf("%.6g", w)) << w;
    }
}

TEST(NumText, PlainDecimalsParseAsFromChars)
{
    // Short plain decimals take a fast path; it must round exactly as the general parser does.
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 200000; ++i) {
        Next(state);
        std::string text = (state >> 20) & 1 ? "-" : "";
        uint64_t digits = state >> 24;
        for (int d = 0; d < static_cast<int>(state % 8); ++d, digits /= 10)
            text += static_cast<char>('0' + digits % 10);
        const int fracDigits = static_cast<int>((state >> 8) % 12);
        if (fracDigits > 0)
            text += '.';
        for (int d = 0; d < fracDigits; ++d, digits = digits / 10 + 7919 * d)
            text += static_cast<char>('0' + digits % 10);
        const char* first = text.data();
        const char* last = first + text.size();
        double fast = 0.0, reference = 0.0;
        const char* end = ParseDouble(first, last, fast);
        const auto result = std::from_chars(first + (text[0] == '-'), last, reference);
        const bool ok = result.ec == std::errc();
        ASSERT_TRUE(
            ok ? end == result.ptr && fast == (text[0] == '-' ? -reference : reference) : end == nullptr)
            << text;
    }
    const char exponent[] = "1.5e2";
    double v = 0.0;
    EXPECT_TRUE(ParseDouble(exponent, exponent + 5, v) == exponent + 5 && v == 150.0);
    EXPECT_EQ(ParseDouble(".", "." + 1, v), nullptr);
}
