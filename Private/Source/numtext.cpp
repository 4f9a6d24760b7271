// Locale-independent number parsing and formatting over std::from_chars and std::to_chars.
#include "numtext.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tintvale::detail {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

} // namespace

const char* ParseGeneralDouble(const char* p, const char* last, bool negative, double& value)
{
    // No number holds white space: in a NUL-terminated text it bounds the number.
    if (!last)
        last = p + std::strcspn(p, " \t\n\r\f\v");
    double magnitude = 0.0;
    const auto [end, ec] = std::from_chars(p, last, magnitude, std::chars_format::general);
    if (ec == std::errc::invalid_argument)
        return nullptr;
    if (ec == std::errc::result_out_of_range) {
        // The exponent's sign tells overflow from underflow.
        const char* e = p;
        while (e < end && *e != 'e' && *e != 'E')
            ++e;
        const bool tiny = (e + 1 < end && e[1] == '-');
        magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    value = negative ? -magnitude : magnitude;
    return end;
}

const char* ParseInt(const char* first, const char* last, int& value)
{
    bool negative = false;
    const char* p = numtext::SkipSign(first, last, negative);
    if (!p || !numtext::IsDigit(*p))
        return nullptr;
    long long magnitude = 0;
    for (; p < last && numtext::IsDigit(*p); ++p)
        if (magnitude <= static_cast<long long>(INT_MAX) + 1)
            magnitude = magnitude * 10 + (*p - '0');
    if (negative)
        value = magnitude > static_cast<long long>(INT_MAX) + 1 ? INT_MIN : static_cast<int>(-magnitude);
    else
        value = magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
    return p;
}

double AtofC(const char* text)
{
    if (!text)
        return 0.0;
    while (IsSpace(*text))
        ++text;
    double value = 0.0; // ParseDouble leaves it when no number leads
    ParseDouble(text, text + std::strlen(text), value);
    return value;
}

int AtoiC(const char* text)
{
    if (!text)
        return 0;
    while (IsSpace(*text))
        ++text;
    int value = 0; // ParseInt leaves it when no number leads
    ParseInt(text, text + std::strlen(text), value);
    return value;
}

std::string FormatG(double value, int precision)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(
        buffer, buffer + sizeof buffer, value, std::chars_format::general, precision < 0 ? 6 : precision);
    if (ec != std::errc())
        return std::string();
    return std::string(buffer, end);
}

std::string FormatF(double value, int width, int precision)
{
    if (precision < 0)
        precision = 6;
    // The largest finite double has 309 integer digits.
    std::string text(320 + static_cast<std::size_t>(precision), '\0');
    const auto [end, ec]
        = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, precision);
    if (ec != std::errc())
        return std::string();
    text.resize(static_cast<std::size_t>(end - text.data()));
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string FormatF(double value, int precision) { return FormatF(value, 0, precision); }

void AppendInt(std::string& out, int value)
{
    char buffer[kMaxNumberLength];
    out.append(buffer, WriteInt(buffer, value));
}

namespace {

// Magnitudes written in fixed notation; beyond them an exponent is shorter than the zeros.
constexpr double kFixedMin = 1e-5;
constexpr double kFixedMax = 1e15;

// Measured data mostly hold few decimals ("59.46"): such a value is m / 10^6 for a whole m, and
// written here as std::to_chars writes it in fixed notation, without its general search. Below
// 2^50, m lies within 0.19 of value 10^6 as computed and no other whole number divides back to the
// value (one correctly rounded division, as the reader's), so m's trailing zeros dropped give the
// shortest form. Null, writing nothing, for any other value.
char* WriteFewDecimals(char* buffer, double value)
{
    constexpr int kMaxDecimals = 6;
    constexpr double kScale = 1e6;
    constexpr double kMaxScaled = 1125899906842624.0; // 2^50
    const double magnitude = std::fabs(value);
    if (!(magnitude * kScale < kMaxScaled))
        return nullptr;
    std::uint64_t digits = static_cast<std::uint64_t>(magnitude * kScale + 0.5);
    if (static_cast<double>(digits) / kScale != magnitude)
        return nullptr;
    int decimals = kMaxDecimals;
    for (; decimals > 0 && digits % 10 == 0; --decimals)
        digits /= 10;
    std::uint64_t whole = digits;
    for (int i = 0; i < decimals; ++i)
        whole /= 10;
    char* p = buffer;
    if (std::signbit(value))
        *p++ = '-';
    p = std::to_chars(p, buffer + kMaxNumberLength, whole).ptr;
    if (decimals > 0) {
        *p++ = '.';
        for (int i = decimals - 1; i >= 0; --i, digits /= 10)
            p[i] = static_cast<char>('0' + digits % 10);
        p += decimals;
    }
    return p;
}

} // namespace

char* WriteShortest(char* p, double value)
{
    const double magnitude = std::fabs(value);
    const bool fixed = magnitude == 0.0 || (magnitude >= kFixedMin && magnitude < kFixedMax);
    if (fixed)
        if (char* end = WriteFewDecimals(p, value))
            return end;
    const auto [end, ec] = std::to_chars(
        p, p + kMaxNumberLength, value, fixed ? std::chars_format::fixed : std::chars_format::scientific);
    return ec == std::errc() ? end : p;
}

char* WriteInt(char* p, int value) { return std::to_chars(p, p + kMaxNumberLength, value).ptr; }

void AppendShortest(std::string& out, double value)
{
    char buffer[kMaxNumberLength];
    out.append(buffer, WriteShortest(buffer, value));
}

std::string FormatShortest(double value)
{
    std::string text;
    AppendShortest(text, value);
    return text;
}

} // namespace tintvale::detail
