// Locale-independent number parsing and formatting over std::from_chars and std::to_chars.
#include "numtext.h"

#include <charconv>
#include <climits>
#include <cstring>
#include <limits>

namespace tintvale::detail {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

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

std::string FormatF(double value, int precision)
{
    // Enough for the 309 integer digits of the largest double and a generous fraction.
    char buffer[400];
    if (precision < 0)
        precision = 6;
    if (precision > 64)
        precision = 64;
    const auto [end, ec]
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (ec != std::errc())
        return std::string();
    return std::string(buffer, end);
}

void AppendInt(std::string& out, int value)
{
    char buffer[16];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec == std::errc())
        out.append(buffer, end);
}

void AppendG6(std::string& out, double value)
{
    char buffer[64];
    const auto [end, ec]
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    if (ec == std::errc())
        out.append(buffer, end);
}

} // namespace tintvale::detail
