// Locale-independent number parsing and formatting, shared by every text reader and writer.
#ifndef TINTVALE_NUMTEXT_H
#define TINTVALE_NUMTEXT_H

#include <string>

namespace tintvale::detail {

// Reads a decimal number (optional sign, digits, point, exponent; also inf and nan) starting
// exactly at first and ending before last. Returns the end of the number, or nullptr when no
// number starts at first (value untouched). Out-of-range magnitudes give +-inf or +-0.
const char* ParseDouble(const char* first, const char* last, double& value);
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
// Appends FormatG(value, 6) without a temporary string.
void AppendG6(std::string& out, double value);

} // namespace tintvale::detail

#endif
