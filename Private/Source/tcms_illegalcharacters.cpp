// Percent escaping of illegal characters in keys and file names, and its inverse.
#include <tintvale/tcms_illegalcharacters.h>

#include "halden.h"

#include <cstring>

namespace {

const char kHexDigits[] = "0123456789abcdef";

// Names kept readable whatever the illegal set holds.
const char* const kExemptNames[] = { "Trans._White_100_w", "Trans._White_100_g", "Trans._White_100_k" };

bool IsAsciiAlnum(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsExempt(const char* text)
{
    for (const char* name : kExemptNames)
        if (strcmp_ci(text, name) == 0)
            return true;
    return false;
}

bool IsIllegal(char c, const char* illegal)
{
    return illegal && c != '\0' && !IsAsciiAlnum(static_cast<unsigned char>(c)) && std::strchr(illegal, c);
}

// Value of one hexadecimal digit, or -1.
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Escapes the n bytes at src into dst (3 * n + 1 characters) and terminates it.
int EncodeRange(const char* src, std::size_t n, char* dst, const char* illegal)
{
    int escaped = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = src[i];
        if (IsIllegal(c, illegal)) {
            const auto byte = static_cast<unsigned char>(c);
            *dst++ = '%';
            *dst++ = kHexDigits[byte >> 4];
            *dst++ = kHexDigits[byte & 0x0f];
            escaped = 1;
        } else {
            *dst++ = c;
        }
    }
    *dst = '\0';
    return escaped;
}

} // namespace

int TCMS_EncodeIllegalCharacters(const char* src, char* dst, const char* illegal)
{
    if (!dst)
        return 0;
    if (!src) {
        *dst = '\0';
        return 0;
    }
    const std::size_t n = std::strlen(src);
    if (IsExempt(src)) {
        std::memcpy(dst, src, n + 1);
        return 0;
    }
    return EncodeRange(src, n, dst, illegal);
}

std::string TCMS_EncodeIllegalCharacters(const std::string& src, const char* illegal)
{
    const char* text = src.c_str();
    std::string dst(3 * std::strlen(text) + 1, '\0');
    TCMS_EncodeIllegalCharacters(text, dst.data(), illegal);
    dst.resize(std::strlen(dst.c_str()));
    return dst;
}

int TCMS_DecodeIllegalCharacters(const char* src, char* dst, const char* only)
{
    if (!dst)
        return 0;
    *dst = '\0';
    if (!src)
        return 0;
    int decoded = 0;
    while (*src) {
        if (*src != '%') {
            *dst++ = *src++;
            continue;
        }
        // A '%' too close to the end to start an escape is dropped.
        if (src[1] == '\0' || src[2] == '\0') {
            ++src;
            continue;
        }
        const int high = HexValue(src[1]);
        const int low = HexValue(src[2]);
        const char byte = static_cast<char>(high * 16 + low);
        // Not an escape, or one the caller wants kept: the '%' is an ordinary character.
        // strchr finds the terminator for a zero byte, so "%00" always decodes.
        if (high < 0 || low < 0 || (only && !std::strchr(only, byte))) {
            *dst++ = *src++;
            continue;
        }
        *dst++ = byte;
        src += 3;
        decoded = 1;
    }
    *dst = '\0';
    return decoded;
}

std::string TCMS_DecodeIllegalCharacters(const std::string& src, const char* only)
{
    const char* text = src.c_str();
    std::string dst(std::strlen(text) + 1, '\0');
    TCMS_DecodeIllegalCharacters(text, dst.data(), only);
    dst.resize(std::strlen(dst.c_str()));
    return dst;
}

int TCMS_EncodeIllegalCharactersWithoutSuffix(
    const char* src, char* dst, const char* illegal, int count, const char** suffixes)
{
    if (!src || !dst || !suffixes)
        return TCMS_EncodeIllegalCharacters(src, dst, illegal);
    const std::size_t n = std::strlen(src);
    for (int i = 0; i < count; ++i) {
        const char* suffix = suffixes[i];
        if (!suffix)
            continue;
        const std::size_t length = std::strlen(suffix);
        if (length >= n || strcmp_ci(src + n - length, suffix) != 0)
            continue;
        // The part before the suffix is escaped as a text of its own (exempt names included).
        const std::string head(src, n - length);
        const int escaped = TCMS_EncodeIllegalCharacters(head.c_str(), dst, illegal);
        std::strcat(dst, src + n - length);
        return escaped;
    }
    return TCMS_EncodeIllegalCharacters(src, dst, illegal);
}
