// Sanitising file text once, so that the page, CSV and JSON spell a name alike.
#include <tintvale/qc/text.h>

#include <cstdio>

namespace tintvale::qc {

namespace {

const char kReplacement[] = "\uFFFD";

// The length of the well-formed UTF-8 sequence at text[i] (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
std::size_t Utf8Length(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    const unsigned char second = byte(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90)
        || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

char32_t Decode(const std::string& text, std::size_t i, std::size_t length)
{
    static const unsigned char kLeadMask[] = { 0, 0x7F, 0x1F, 0x0F, 0x07 };
    char32_t cp = static_cast<unsigned char>(text[i]) & kLeadMask[length];
    for (std::size_t k = 1; k < length; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    return cp;
}

void Encode(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Unicode 15, 23.7: U+FDD0 ... U+FDEF and the last two code points of every plane.
bool NonCharacter(char32_t cp) { return (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE; }

bool Control(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

// UAX #9, 2.1 to 2.5: LRI, RLI, FSI and PDI, which an enclosing isolate must not meet unpaired.
bool IsolateControl(char32_t cp) { return cp >= 0x2066 && cp <= 0x2069; }

// ALM, LRM, RLM, LRE, RLE, PDF, LRO, RLO: closed by the end of an enclosing isolate.
bool BidiControl(char32_t cp)
{
    return cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E);
}

void AppendEscaped(unsigned value, std::string& out)
{
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", value);
    out += escaped;
}

} // namespace

std::string OneLine(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8Length(text, i);
        if (length == 0) { // not UTF-8: the byte itself
            AppendEscaped(static_cast<unsigned char>(text[i++]), out);
            continue;
        }
        const char32_t cp = Decode(text, i, length);
        if (Control(cp))
            AppendEscaped(static_cast<unsigned>(cp), out);
        else
            out.append(text, i, length);
        i += length;
    }
    return out;
}

std::string Utf8Text(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    bool bidi = false;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = Utf8Length(text, i);
        // Latin-1: the byte is the code point.
        const char32_t cp = length == 0 ? static_cast<unsigned char>(text[i]) : Decode(text, i, length);
        i += length == 0 ? 1 : length;
        if (Control(cp)) { // shown, as the terminal output of the tool shows it
            AppendEscaped(static_cast<unsigned>(cp), out);
            continue;
        }
        if (NonCharacter(cp) || IsolateControl(cp)) {
            out += kReplacement;
            continue;
        }
        bidi = bidi || BidiControl(cp);
        Encode(cp, out);
    }
    return bidi ? std::string(kFirstStrongIsolate) + out + kPopDirectionalIsolate : out;
}

} // namespace tintvale::qc
