// Percent escaping of caller-chosen "illegal" characters, so that any text can serve as a key or
// a file name, and its inverse.
#ifndef TINTVALE_TCMS_ILLEGALCHARACTERS_H
#define TINTVALE_TCMS_ILLEGALCHARACTERS_H

#include <tintvale/texport.h>

#include <string>

// Escape form: '%' and two lowercase hexadecimal digits of the byte ("%20" for a blank, "%2f" for
// a slash). Only bytes found in the zero-terminated set illegal are escaped (a null set escapes
// nothing); ASCII letters and digits are never escaped, even when the set holds them. The names
// "Trans._White_100_w", "Trans._White_100_g" and "Trans._White_100_k" (any letter case) are
// never escaped. A text ends at its first zero character, in the std::string forms as well.

// Writes the escaped src into dst, which must hold 3 * strlen(src) + 1 characters.
// Returns 1 when at least one character was escaped, else 0. A null src gives an empty dst;
// a null dst is left alone and gives 0.
TINTVALE_API int TCMS_EncodeIllegalCharacters(const char* src, char* dst, const char* illegal);
TINTVALE_API std::string TCMS_EncodeIllegalCharacters(const std::string& src, const char* illegal);

// Writes the decoded src into dst, which must hold strlen(src) + 1 characters. Returns 1 when at
// least one escape was decoded, else 0. When only is non-null, an escape is decoded only when its
// byte occurs in only (a zero byte always does); other escapes are copied as they stand. A '%'
// that is not followed by two hexadecimal digits is copied as an ordinary character, except at
// the very end of the text (a '%' with fewer than two characters after it), where it is dropped.
TINTVALE_API int TCMS_DecodeIllegalCharacters(const char* src, char* dst, const char* only);
// The same; the result ends at the first zero byte the decoding produced.
TINTVALE_API std::string TCMS_DecodeIllegalCharacters(const std::string& src, const char* only);

// Escapes src like TCMS_EncodeIllegalCharacters, except for a recognised trailing suffix: the first
// of the count suffixes (in list order, null entries skipped) that is shorter than src and equals
// its tail ignoring letter case is appended unescaped, in the letter case src has. Without such a
// suffix the whole src is escaped. dst must hold 3 * strlen(src) + 1 characters. Returns the
// encoder's result for the escaped part.
TINTVALE_API int TCMS_EncodeIllegalCharactersWithoutSuffix(
    const char* src, char* dst, const char* illegal, int count, const char** suffixes);

#endif
