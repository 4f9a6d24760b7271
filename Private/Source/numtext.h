// Locale-independent number parsing and formatting, shared by every text reader and writer.
#ifndef TINTVALE_NUMTEXT_H
#define TINTVALE_NUMTEXT_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace tintvale::detail {

namespace numtext {

inline bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Whether p lies before last; a null last stands for the end of a NUL-terminated text, whose NUL
// ends every number without a bound to test.
inline bool Before(const char* p, const char* last) { return !last || p < last; }

// Where the magnitude starts after an optional sign; null for an empty range or a sign alone.
inline const char* SkipSign(const char* first, const char* last, bool& negative)
{
    if (!first || !Before(first, last))
        return nullptr;
    negative = *first == '-';
    const char* p = (*first == '+' || *first == '-') ? first + 1 : first;
    return Before(p, last) ? p : nullptr;
}

// Appends the digits that lead p ... last to m and counts them; the count comes from the
// pointers, so that each digit costs one step of m alone.
inline const char* AppendDigits(const char* p, const char* last, std::uint64_t& m, std::ptrdiff_t& digits)
{
    const char* start = p;
    for (; Before(p, last) && IsDigit(*p); ++p)
        m = m * 10 + static_cast<unsigned>(*p - '0');
    digits += p - start;
    return p;
}

// Plain decimals ("123.456") whose digits fit in 2^53 with at most 22 fraction digits are
// m / 10^k of two exact doubles, which one division rounds correctly (Clinger's fast path).
// Returns nullptr for anything else (exponents, long mantissas, inf, nan).
inline const char* ParsePlainDecimal(const char* p, const char* last, double& magnitude)
{
    static constexpr double kPowers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12,
        1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    std::uint64_t m = 0;
    std::ptrdiff_t digits = 0;
    std::ptrdiff_t fraction = 0;
    p = AppendDigits(p, last, m, digits);
    if (Before(p, last) && *p == '.') {
        const std::ptrdiff_t whole = digits;
        p = AppendDigits(p + 1, last, m, digits);
        fraction = digits - whole;
    }
    if (digits == 0 || digits > 15 || fraction > 22 || (Before(p, last) && (*p == 'e' || *p == 'E')))
        return nullptr;
    // m < 10^15 < 2^53: exact as a signed conversion.
    magnitude = static_cast<double>(static_cast<std::int64_t>(m)) / kPowers[fraction];
    return p;
}

} // namespace numtext

// ParseDouble past the sign for what ParsePlainDecimal does not take.
const char* ParseGeneralDouble(const char* p, const char* last, bool negative, double& value);

// Reads a decimal number (optional sign, digits, point, exponent; also inf and nan) starting
// exactly at first and ending before last (a null last: first is a NUL-terminated text). Returns
// the end of the number, or nullptr when no number starts at first (value untouched).
// Out-of-range magnitudes give +-inf or +-0. Inline: the readers of large tables call it for
// every cell.
inline const char* ParseDouble(const char* first, const char* last, double& value)
{
    bool negative = false;
    const char* p = numtext::SkipSign(first, last, negative);
    // from_chars takes no sign of its own here: a second sign is not a number.
    if (!p || *p == '+' || *p == '-')
        return nullptr;
    double magnitude = 0.0;
    if (const char* end = numtext::ParsePlainDecimal(p, last, magnitude)) {
        value = negative ? -magnitude : magnitude;
        return end;
    }
    return ParseGeneralDouble(p, last, negative, value);
}
// Reads an optionally signed decimal integer; a magnitude beyond int saturates.
const char* ParseInt(const char* first, const char* last, int& value);

// atof/atoi of the C locale: leading white space skipped, the leading number taken, 0 when
// there is none or text is null.
double AtofC(const char* text);
int AtoiC(const char* text);

// The text printf("%.*g", precision, value) gives in the C locale.
std::string FormatG(double value, int precision = 6);
// The text printf("%*.*f", width, precision, value) gives in the C locale.
std::string FormatF(double value, int width, int precision);
// The same without padding: printf("%.*f", precision, value).
std::string FormatF(double value, int precision);
// Appends the decimal text of value ("%d").
void AppendInt(std::string& out, int value);
// Appends the shortest text that reads back as the same double: fixed notation for magnitudes
// from 1e-5 to below 1e15 and for zero ("0.0000123", "1234567"), else scientific with a signed
// exponent of at least two digits ("1e-07", "2.5e+20"); "nan", "inf" and "-inf" as printf has them.
void AppendShortest(std::string& out, double value);
// The most characters WriteShortest and WriteInt write.
constexpr std::size_t kMaxNumberLength = 40;
// The text AppendShortest appends, written at p; the end of what was written.
char* WriteShortest(char* p, double value);
// The decimal text of value written at p; the end of what was written.
char* WriteInt(char* p, int value);
std::string FormatShortest(double value);

} // namespace tintvale::detail

#endif
