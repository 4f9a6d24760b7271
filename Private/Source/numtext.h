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
// Appends the shortest text that reads back as the same double: fixed notation for magnitudes
// from 1e-5 to below 1e15 and for zero ("0.0000123", "1234567"), else scientific with a signed
// exponent of at least two digits ("1e-07", "2.5e+20"); "nan", "inf" and "-inf" as printf has them.
void AppendShortest(std::string& out, double value);
std::string FormatShortest(double value);

} // namespace tintvale::detail

#endif
