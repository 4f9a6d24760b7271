// Stream helpers: a compact length-prefixed binary record format, brace markers for structure,
// and readers that consume input up to a terminator text.
#ifndef TINTVALE_STREAMHELPERS_H
#define TINTVALE_STREAMHELPERS_H

#include <tintvale/texport.h>

#include <istream>
#include <list>
#include <ostream>
#include <string>
#include <vector>

// Every function takes the stream by reference and returns it, so calls chain; failures show only
// in the stream state. Binary fields are little-endian:
//   int      4 bytes, two's complement
//   double   4 bytes, the value narrowed to single precision (IEEE 754 binary32)
//   string   a 4-byte length n, then n bytes without terminator
//   binary   a 4-byte length n, then n bytes; an empty vector writes nothing at all, so a reader
//            must know from context that the field is absent
// Readers set the fail bit (the stream's own end-of-file and fail bits when it ends early) and leave
// their target unchanged when the stream ends before the field is complete, when a stored length is
// negative, or when a target pointer is null; only ReadCString keeps, terminated, the bytes that
// arrived. A stored length is never trusted for an allocation: the bytes are taken as they arrive.
// Writers set the fail bit for a null text and for a length that does not fit the 4-byte field, and
// then write nothing.

TINTVALE_API std::ostream& WriteInt(int value, std::ostream& out);
TINTVALE_API std::istream& ReadInt(int* value, std::istream& in);

// Single precision: 0.1 reads back as 0.100000001490116...; magnitudes beyond the float range
// become infinities.
TINTVALE_API std::ostream& WriteDouble(double value, std::ostream& out);
TINTVALE_API std::istream& ReadDouble(double* value, std::istream& in);

// Writes the characters up to the first zero character.
TINTVALE_API std::ostream& WriteString(const std::string& text, std::ostream& out);
// Reads length n and n bytes; text becomes the bytes up to the first zero byte.
TINTVALE_API std::istream& ReadString(std::string& text, std::istream& in);

TINTVALE_API std::ostream& WriteCString(const char* text, std::ostream& out);
// Reads length n, then k = min(size - 1, n) bytes into buf and terminates buf after them; when n is
// larger the other n - k bytes stay unread in the stream. size must be at least 1.
TINTVALE_API std::istream& ReadCString(char* buf, int size, std::istream& in);

TINTVALE_API std::ostream& WriteBinary(const std::vector<char>& data, std::ostream& out);
// Reads length n; data becomes the n bytes that follow (empty for n = 0).
TINTVALE_API std::istream& ReadBinary(std::vector<char>& data, std::istream& in);

// Write "{" and "}".
TINTVALE_API std::ostream& OpenBracket(std::ostream& out);
TINTVALE_API std::ostream& CloseBracket(std::ostream& out);
// Skip white space and take one character; when it is the expected brace, also skip the white
// space after it, otherwise set the bad bit (the wrong character is consumed).
TINTVALE_API std::istream& OpenBracket(std::istream& in);
TINTVALE_API std::istream& CloseBracket(std::istream& in);
// Skip white space; true when the next character, left unread, is "{" (respectively "}").
TINTVALE_API bool OpenBracketOn(std::istream& in);
TINTVALE_API bool CloseBracketOn(std::istream& in);

// Sets the bad bit.
TINTVALE_API std::istream& BadInputOn(std::istream& in);

// Buffer mode (buf non-null, size >= 1): clears the size bytes of buf, then stores characters until
// the last strlen(terminator) stored equal the terminator; *count (when count is non-null) then
// receives the number stored, terminator included. When size characters are stored without a match,
// or the input ends first, reading stops and count is left alone (an empty terminator never
// matches). buf is zero-terminated only when fewer than size characters were stored.
// Skip mode (buf null or size < 1): consumes input through the terminator; sets the bad bit when
// the input ends first. An empty terminator consumes nothing.
// A null terminator sets the fail bit.
TINTVALE_API std::istream& ReadUpTo(
    std::istream& in, char* buf, int size, const char* terminator, int* count);

// Appends characters to out until the terminator has been read, then removes the terminator from
// out. A partial match restarts from the terminator's beginning without re-testing the character
// that broke it, so "aab" holds no "ab". When the input ends first, reading stops with the stream's
// end-of-file and fail bits set and every character read stays in out. An empty terminator reads
// nothing; a null one sets the fail bit.
TINTVALE_API std::istream& ReadCharUpTo(std::istream& in, std::list<char>& out, const char* terminator);

#endif
