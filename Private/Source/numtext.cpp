// Locale-independent number parsing and formatting over std::from_chars and std::to_chars.
#include "numtext.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tintvale::detail {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

} // namespace

namespace {

// Plain decimals ("123.456") whose digits fit in 2^53 with at most 22 fraction digits are
// m / 10^k of two exact doubles, which one division rounds correctly (Clinger's fast path).
// Returns nullptr for anything else (exponents, long mantissas, inf, nan).
const char* ParsePlainDecimal(const char* p, const char* last, double& magnitude)
{
    static const double kPowers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12,
        1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    std::uint64_t m = 0;
    int digits = 0, fraction = 0;
    for (; p < last && IsDigit(*p); ++p, ++digits)
        m = m * 10 + static_cast<unsigned>(*p - '0');
    if (p < last && *p == '.') {
        for (++p; p < last && IsDigit(*p); ++p, ++digits, ++fraction)
            m = m * 10 + static_cast<unsigned>(*p - '0');
    }
    if (digits == 0 || digits > 15 || fraction > 22 || (p < last && (*p == 'e' || *p == 'E')))
        return nullptr;
    magnitude = static_cast<double>(m) / kPowers[fraction];
    return p;
}

} // namespace

const char* ParseDouble(const char* first, const char* last, double& value)
{
    if (!first || first >= last)
        return nullptr;
    const char* p = first;
    const bool negative = (*p == '-');
    if (*p == '+' || *p == '-')
        ++p;
    // from_chars takes no sign of its own here: a second sign is not a number.
    if (p >= last || *p == '+' || *p == '-')
        return nullptr;
    double magnitude = 0.0;
    if (const char* end = ParsePlainDecimal(p, last, magnitude)) {
        value = negative ? -magnitude : magnitude;
        return end;
    }
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
    if (!first || first >= last)
        return nullptr;
    const char* p = first;
    const bool negative = (*p == '-');
    if (*p == '+' || *p == '-')
        ++p;
    if (p >= last || !IsDigit(*p))
        return nullptr;
    long long magnitude = 0;
    for (; p < last && IsDigit(*p); ++p)
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
    double value = 0.0;
    return ParseDouble(text, text + std::strlen(text), value) ? value : 0.0;
}

int AtoiC(const char* text)
{
    if (!text)
        return 0;
    while (IsSpace(*text))
        ++text;
    int value = 0;
    return ParseInt(text, text + std::strlen(text), value) ? value : 0;
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
    char buffer[16];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec == std::errc())
        out.append(buffer, end);
}

namespace {

// Writes the "%.6g" text of values whose decimal exponent lies in -3 ... 5 and whose rounding
// is decided without doubt; returns nullptr for any other value, which then goes to to_chars.
// 10^k for k = 0 ... 8 are exact doubles, so the scaled value carries one rounding error only.
char* FormatG6Fast(double value, char* out)
{
    static const double kPowers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8 };
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-3 && magnitude < 999999.0))
        return nullptr;
    int exponent = 5;
    while (exponent > -3 && magnitude < kPowers[exponent + 3] * 1e-3)
        --exponent;
    // 6 significant digits: m = round(magnitude * 10^(5 - exponent)), 100000 <= m <= 999999.
    const double scaled = magnitude * kPowers[5 - exponent];
    const double floor = std::floor(scaled);
    const double fraction = scaled - floor;
    if (std::fabs(fraction - 0.5) < 1e-6 || scaled < 99999.5)
        return nullptr;
    long long m = static_cast<long long>(floor) + (fraction > 0.5 ? 1 : 0);
    if (m >= 1000000 || m < 100000)
        return nullptr;
    char digits[6];
    for (int i = 5; i >= 0; --i, m /= 10)
        digits[i] = static_cast<char>('0' + m % 10);
    int last = 5; // trailing zeros go
    while (last > 0 && digits[last] == '0')
        --last;
    char* p = out;
    if (value < 0)
        *p++ = '-';
    if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            *p++ = digits[i];
        if (last > exponent) {
            *p++ = '.';
            for (int i = exponent + 1; i <= last; ++i)
                *p++ = digits[i];
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int i = exponent + 1; i < 0; ++i)
            *p++ = '0';
        for (int i = 0; i <= last; ++i)
            *p++ = digits[i];
    }
    return p;
}

} // namespace

void AppendG6(std::string& out, double value)
{
    char buffer[64];
    char* end = FormatG6Fast(value, buffer);
    if (!end) {
        const auto result
            = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
        if (result.ec != std::errc())
            return;
        end = result.ptr;
    }
    out.append(buffer, end);
}

} // namespace tintvale::detail
