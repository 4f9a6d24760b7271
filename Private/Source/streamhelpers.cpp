// Stream helpers: length-prefixed binary fields, brace markers and readers up to a terminator.
#include <tintvale/streamhelpers.h>

#include "halden.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr char kOpen = '{';
constexpr char kClose = '}';
// Stored lengths are read in pieces of this size, so a hostile length costs at most one piece
// beyond the bytes that actually arrive.
constexpr std::size_t kReadPiece = 65536;

void PutWord(std::uint32_t word, std::ostream& out)
{
    char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((word >> (8 * i)) & 0xFF);
    out.write(bytes, 4);
}

bool GetWord(std::uint32_t& word, std::istream& in)
{
    unsigned char bytes[4];
    if (!in.read(reinterpret_cast<char*>(bytes), 4))
        return false;
    word = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8)
        | (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

// A length field followed by its bytes; lengths beyond the 4-byte field would be stored wrongly.
std::ostream& WriteCounted(const char* data, std::size_t size, std::ostream& out)
{
    if (size > static_cast<std::size_t>(INT_MAX)) {
        out.setstate(std::ios_base::failbit);
        return out;
    }
    WriteInt(static_cast<int>(size), out);
    return out.write(data, static_cast<std::streamsize>(size));
}

// A length field, rejected when negative.
bool ReadLength(int& length, std::istream& in)
{
    if (!ReadInt(&length, in))
        return false;
    if (length < 0) {
        in.setstate(std::ios_base::failbit);
        return false;
    }
    return true;
}

// Exactly length bytes, taken piece by piece as they arrive.
bool ReadCounted(std::vector<char>& data, int length, std::istream& in)
{
    data.clear();
    const std::size_t total = static_cast<std::size_t>(length);
    while (data.size() < total) {
        const std::size_t start = data.size();
        const std::size_t piece = std::min(kReadPiece, total - start);
        data.resize(start + piece);
        in.read(data.data() + start, static_cast<std::streamsize>(piece));
        if (!in)
            return false;
    }
    return true;
}

// Two's complement: the upper half of the unsigned range holds the negative values.
int ToInt(std::uint32_t word)
{
    if (word <= static_cast<std::uint32_t>(INT_MAX))
        return static_cast<int>(word);
    return -static_cast<int>(~word) - 1;
}

// Narrowing a finite double beyond the float range is undefined; such values become infinities.
float ToFloat(double value)
{
    constexpr double kFloatMax = std::numeric_limits<float>::max();
    if (value > kFloatMax)
        return std::numeric_limits<float>::infinity();
    if (value < -kFloatMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

std::istream& ReadBrace(char brace, std::istream& in)
{
    in >> std::ws;
    if (in.get() == std::char_traits<char>::to_int_type(brace))
        in >> std::ws;
    else
        in.setstate(std::ios_base::badbit);
    return in;
}

bool BraceOn(char brace, std::istream& in)
{
    in >> std::ws;
    return in.peek() == std::char_traits<char>::to_int_type(brace);
}

// Buffer mode of ReadUpTo.
void ReadIntoBuffer(std::istream& in, char* buf, int size, const char* terminator, int* count)
{
    const std::size_t n = std::strlen(terminator);
    std::memset(buf, 0, static_cast<std::size_t>(size));
    for (int stored = 0; stored < size;) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof())
            return;
        buf[stored++] = static_cast<char>(c);
        if (n >= 1 && static_cast<std::size_t>(stored) >= n
            && std::memcmp(buf + stored - n, terminator, n) == 0) {
            if (count)
                *count = stored;
            return;
        }
    }
}

// Skip mode of ReadUpTo: a window of the last n characters slides until it shows the terminator.
void SkipThrough(std::istream& in, const char* terminator)
{
    const std::string wanted(terminator);
    std::string window;
    while (window.size() < wanted.size() || window != wanted) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios_base::badbit);
            return;
        }
        if (window.size() == wanted.size())
            window.erase(0, 1);
        window.push_back(static_cast<char>(c));
    }
}

} // namespace

std::ostream& WriteInt(int value, std::ostream& out)
{
    PutWord(static_cast<std::uint32_t>(value), out);
    return out;
}

std::istream& ReadInt(int* value, std::istream& in)
{
    std::uint32_t word = 0;
    if (!value) {
        in.setstate(std::ios_base::failbit);
        return in;
    }
    if (GetWord(word, in))
        *value = ToInt(word);
    return in;
}

std::ostream& WriteDouble(double value, std::ostream& out)
{
    char bytes[4];
    fltoffl(ToFloat(value), bytes);
    return out.write(bytes, 4);
}

std::istream& ReadDouble(double* value, std::istream& in)
{
    char bytes[4];
    if (!value) {
        in.setstate(std::ios_base::failbit);
        return in;
    }
    if (in.read(bytes, 4)) {
        float narrow = 0.0f;
        ffltofl(bytes, &narrow);
        *value = narrow;
    }
    return in;
}

std::ostream& WriteString(const std::string& text, std::ostream& out)
{
    return WriteCounted(text.data(), std::min(text.find('\0'), text.size()), out);
}

std::istream& ReadString(std::string& text, std::istream& in)
{
    int length = 0;
    std::vector<char> bytes;
    if (ReadLength(length, in) && ReadCounted(bytes, length, in))
        text.assign(bytes.data(), std::find(bytes.begin(), bytes.end(), '\0') - bytes.begin());
    return in;
}

std::ostream& WriteCString(const char* text, std::ostream& out)
{
    if (!text) {
        out.setstate(std::ios_base::failbit);
        return out;
    }
    return WriteCounted(text, std::strlen(text), out);
}

std::istream& ReadCString(char* buf, int size, std::istream& in)
{
    int length = 0;
    if (!buf || size < 1) {
        in.setstate(std::ios_base::failbit);
        return in;
    }
    if (!ReadLength(length, in))
        return in;
    in.read(buf, std::min(size - 1, length));
    buf[in.gcount()] = '\0';
    return in;
}

std::ostream& WriteBinary(const std::vector<char>& data, std::ostream& out)
{
    if (data.empty())
        return out;
    return WriteCounted(data.data(), data.size(), out);
}

std::istream& ReadBinary(std::vector<char>& data, std::istream& in)
{
    int length = 0;
    std::vector<char> bytes;
    if (ReadLength(length, in) && ReadCounted(bytes, length, in))
        data.swap(bytes);
    return in;
}

std::ostream& OpenBracket(std::ostream& out) { return out.put(kOpen); }

std::ostream& CloseBracket(std::ostream& out) { return out.put(kClose); }

std::istream& OpenBracket(std::istream& in) { return ReadBrace(kOpen, in); }

std::istream& CloseBracket(std::istream& in) { return ReadBrace(kClose, in); }

bool OpenBracketOn(std::istream& in) { return BraceOn(kOpen, in); }

bool CloseBracketOn(std::istream& in) { return BraceOn(kClose, in); }

std::istream& BadInputOn(std::istream& in)
{
    in.setstate(std::ios_base::badbit);
    return in;
}

std::istream& ReadUpTo(std::istream& in, char* buf, int size, const char* terminator, int* count)
{
    if (!terminator)
        in.setstate(std::ios_base::failbit);
    else if (buf && size >= 1)
        ReadIntoBuffer(in, buf, size, terminator, count);
    else
        SkipThrough(in, terminator);
    return in;
}

std::istream& ReadCharUpTo(std::istream& in, std::list<char>& out, const char* terminator)
{
    if (!terminator) {
        in.setstate(std::ios_base::failbit);
        return in;
    }
    const std::size_t n = std::strlen(terminator);
    std::size_t matched = 0;
    while (matched < n) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof())
            return in;
        out.push_back(static_cast<char>(c));
        // A broken partial match starts over without testing c against the terminator's start.
        matched = static_cast<char>(c) == terminator[matched] ? matched + 1 : 0;
    }
    for (std::size_t k = 0; k < n; ++k)
        out.pop_back();
    return in;
}
