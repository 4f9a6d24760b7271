// Locale-independent number parsing and formatting, against the C library in the C locale.
#include "numtext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

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

TEST(NumText, FixedAndGeneralFormsMatchPrintf)
{
    for (double value : { 0.0, 0.5, -0.00001, 0.125, 3.14159265, -123456.789, 0.99995, 1e-7, 4.5e15, 1e300,
             1.7976931348623157e308, -std::numeric_limits<double>::infinity() }) {
        EXPECT_EQ(FormatF(value, 6, 4), Printf("%6.4f", value)) << value;
        // A precision of 0 is one significant digit, as printf's; a negative one is its default, 6.
        EXPECT_EQ(FormatG(value, 0), Printf("%.0g", value)) << value;
        EXPECT_EQ(FormatG(value, -1), Printf("%g", value)) << value;
    }
    EXPECT_TRUE(FormatF(1.0, 8, 2) == "    1.00" && FormatF(2.5, 0, 0) == "2");
    // The longest text: a sign, 309 integer digits, the point and many decimals.
    EXPECT_EQ(FormatF(-1.7976931348623157e308, 0, 17), Printf("%.17f", -1.7976931348623157e308));
}

namespace {

// std::to_chars's shortest form, fixed from 1e-5 to below 1e15, else with an exponent.
std::string ToChars(double v)
{
    char buffer[64];
    const double m = std::fabs(v);
    const auto format
        = m == 0.0 || (m >= 1e-5 && m < 1e15) ? std::chars_format::fixed : std::chars_format::scientific;
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v, format).ptr);
}

} // namespace

// The written text reads back (here and with the C library's strtod) as the same double, with no
// more significant digits than the shortest "%.*g" that does, and without an exponent from 1e-5
// to below 1e15.
TEST(NumText, ShortestFormReadsBackExactly)
{
    auto shortest = [](double v) {
        std::string s;
        AppendShortest(s, v);
        return s;
    };
    const std::pair<double, const char*> rows[] = { { 67.89389, "67.89389" }, { 12.345678, "12.345678" },
        { 0.1 + 0.2, "0.30000000000000004" }, { 1234567.0, "1234567" }, { -0.00001234, "-0.00001234" },
        { 1e-7, "1e-07" }, { 2.5e20, "2.5e+20" }, { 0.0, "0" }, { -0.0, "-0" }, { 0.000001, "1e-06" },
        { 0.00001, "0.00001" }, { 9.995, "9.995" }, { 100.0, "100" },
        { -std::numeric_limits<double>::infinity(), "-inf" } };
    for (const auto& [value, text] : rows)
        EXPECT_EQ(shortest(value), text) << text;
    // Around 2^50 / 10^6, where six decimals stop being exact, and just below 1e-5.
    for (double v : { 1125899906.842624, -1125899906.8426241, 1125899906.842623, 1125899906.84262,
             0.0000099999, 999999.9999995, 12.3456785 })
        EXPECT_EQ(shortest(v), ToChars(v));
    auto significant = [](const std::string& text) {
        const std::string mantissa = text.substr(0, text.find('e'));
        const std::size_t first = mantissa.find_first_of("123456789");
        const std::size_t last = mantissa.find_last_of("123456789");
        int n = 0;
        for (std::size_t i = first; first != std::string::npos && i <= last; ++i)
            n += mantissa[i] != '.';
        return n;
    };
    uint64_t state = 88172645463325252ull;
    for (int i = 0; i < 50000; ++i) {
        Next(state);
        const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
        const double v = (unit - 0.5) * std::pow(10.0, static_cast<int>(state % 26) - 8);
        // Values of few digits, as instruments write them, and values of all 17; the text is also
        // the one std::to_chars gives.
        for (double w : { v, std::round(v * 1e4) / 1e4, std::round(v * 1e6) / 1e6, std::round(v) }) {
            const std::string text = shortest(w);
            ASSERT_EQ(text, ToChars(w));
            double back = 0.0;
            ASSERT_TRUE(
                ParseDouble(text.data(), text.data() + text.size(), back) == text.data() + text.size());
            ASSERT_EQ(back, w) << text;
            ASSERT_EQ(std::strtod(text.c_str(), nullptr), w) << text;
            int precision = 1;
            while (std::strtod(Printf(("%." + std::to_string(precision) + "g").c_str(), w).c_str(), nullptr)
                != w)
                ++precision;
            ASSERT_EQ(significant(text), w == 0.0 ? 0 : precision) << text;
            const double magnitude = std::fabs(w);
            ASSERT_EQ(
                text.find('e') == std::string::npos, w == 0.0 || (magnitude >= 1e-5 && magnitude < 1e15))
                << text;
        }
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
        // The same without a bound, the text NUL-terminated.
        double unbounded = 0.0;
        ASSERT_TRUE(ok ? ParseDouble(first, nullptr, unbounded) == end && unbounded == fast
                       : ParseDouble(first, nullptr, unbounded) == nullptr)
            << text;
    }
    // Without a bound the general path ends where strtod of the C locale ends.
    for (const char* text : { "1e400", "-1e-400", "12345678901234567890", "2.5e-3x", "-inf", "7E+2\t1" }) {
        char* stop = nullptr;
        const double reference = std::strtod(text, &stop);
        double value = 0.0;
        EXPECT_EQ(ParseDouble(text, nullptr, value), stop) << text;
        EXPECT_EQ(value, reference) << text;
    }
    const char exponent[] = "1.5e2";
    double v = 0.0;
    EXPECT_TRUE(ParseDouble(exponent, exponent + 5, v) == exponent + 5 && v == 150.0);
    EXPECT_EQ(ParseDouble(".", "." + 1, v), nullptr);
}
