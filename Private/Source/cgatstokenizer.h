// CgatsTokenizer: the one scanner of CGATS text. A cursor over a NUL-terminated text that knows
// what separates, quotes and comments; header lines, field names, data values and free-form blocks
// are all read through it.
#ifndef TINTVALE_CGATSTOKENIZER_H
#define TINTVALE_CGATSTOKENIZER_H

#include <array>
#include <cstddef>
#include <cstring>
#include <string>

// A range of the text being read.
struct CgatsSpan {
    const char* first;
    const char* last;
    std::size_t Size() const { return static_cast<std::size_t>(last - first); }
};

class CgatsTokenizer {
public:
    // What ends a word: a set of these.
    enum Stop : unsigned char {
        kBlank = 1, // blank or tab
        kLineEnd = 2, // LF or CR
        kComment = 4, // "#"
        kQuote = 8, // double quote
        kTextEnd = 16, // the terminating NUL, which ends every word
        kSeparator = kBlank | kLineEnd,
    };

    explicit CgatsTokenizer(const char* text)
        : p(text)
    { }

    static bool Is(char c, unsigned stops) { return (Class(c) & stops) != 0; }
    static bool IsLineEnd(char c) { return Is(c, kLineEnd); }
    static bool IsSeparator(char c) { return Is(c, kSeparator); }
    // Whether LittleCMS takes c into a bare word: printable ASCII but "#" (which starts a comment
    // to the line end) and either quote (which starts a string); it refuses controls and bytes
    // above 0x7E. Values holding others are written quoted.
    static bool IsBareWordByte(char c)
    {
        const auto byte = static_cast<unsigned char>(c);
        return byte > ' ' && byte < 0x7F && c != '#' && c != '"' && c != '\'';
    }

    const char* Position() const { return p; }
    void MoveTo(const char* at) { p = at; }
    char Peek() const { return *p; }
    void Advance() { ++p; }
    bool AtTextEnd() const { return *p == '\0'; }
    bool AtLineEnd() const { return Is(*p, kLineEnd | kTextEnd); }

    // Blanks and tabs.
    void SkipBlanks() { Skip(kBlank); }
    // Blanks, tabs and line ends.
    void SkipSeparators() { Skip(kSeparator); }
    // Separators, and comments from "#" to the line end.
    void SkipSeparatorsAndComments()
    {
        for (SkipSeparators(); *p == '#'; SkipSeparators())
            RestOfLine();
    }
    // Consumes one line end: LF, CR or CR LF.
    void SkipLineEnd()
    {
        if (*p == '\r' && p[1] == '\n')
            p += 2;
        else if (IsLineEnd(*p))
            ++p;
    }

    // The characters up to the first one in stops or the end of the text, which is not consumed.
    CgatsSpan Word(unsigned stops)
    {
        stops |= kTextEnd;
        const char* first = p;
        while (!Is(*p, stops))
            ++p;
        return { first, p };
    }
    // The rest of the line; its line end is not consumed.
    CgatsSpan RestOfLine() { return Word(kLineEnd); }
    // The text after an opening quote (already consumed) up to the closing quote, which is
    // consumed; withinLine: a line end ends it too. closed tells whether the quote was found.
    CgatsSpan Quoted(bool withinLine, bool& closed)
    {
        const CgatsSpan text = Word(withinLine ? kQuote | kLineEnd : kQuote);
        closed = *p == '"';
        if (closed)
            ++p;
        return text;
    }
    // Whether a bare "END_DATA" stands at at: it ends a data section and is never a value.
    static bool IsEndData(const char* at)
    {
        constexpr char kEndData[] = "END_DATA";
        constexpr std::size_t kLength = sizeof kEndData - 1;
        return *at == 'E' && std::strncmp(at, kEndData, kLength) == 0
            && Is(at[kLength], kSeparator | kComment | kTextEnd);
    }
    bool AtEndData() const { return IsEndData(p); }
    // Whether the text at the cursor begins with text, ignoring ASCII letter case.
    bool StartsWith(const std::string& text) const;
    // Moves past the next line end that is directly followed by text (letter case ignored);
    // false, the cursor unmoved, when there is none.
    bool SkipToLineStarting(const std::string& text);

private:
    void Skip(unsigned classes)
    {
        while (Is(*p, classes))
            ++p;
    }
    static constexpr std::array<unsigned char, 256> MakeClasses()
    {
        std::array<unsigned char, 256> classes {};
        classes[' '] = classes['\t'] = kBlank;
        classes['\n'] = classes['\r'] = kLineEnd;
        classes['#'] = kComment;
        classes['"'] = kQuote;
        classes[0] = kTextEnd;
        return classes;
    }
    static unsigned char Class(char c) { return kClasses[static_cast<unsigned char>(c)]; }
    static const std::array<unsigned char, 256> kClasses;

    const char* p;
};

inline const std::array<unsigned char, 256> CgatsTokenizer::kClasses = CgatsTokenizer::MakeClasses();

#endif
