// Stream helpers: byte layouts of the binary fields, brace markers and the readers up to a terminator.
#include <tintvale/streamhelpers.h>

#include <gtest/gtest.h>

#include <limits>
#include <list>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Record(std::initializer_list<unsigned> bytes)
{
    std::string s;
    for (unsigned b : bytes)
        s.push_back(static_cast<char>(b));
    return s;
}

std::string Rest(std::istream& in) { return std::string(std::istreambuf_iterator<char>(in), {}); }

std::string Text(const std::list<char>& chars) { return std::string(chars.begin(), chars.end()); }

} // namespace

TEST(StreamHelpersLayout, FieldsHaveTheirByteLayoutAndReadBack)
{
    std::ostringstream out;
    WriteInt(-2, out);
    WriteInt(0x12345678, out);
    // IEEE 754 binary32: 0.1 -> 0x3DCCCCCD, overflow -> +inf 0x7F800000.
    WriteDouble(0.1, out);
    WriteDouble(1e300, out);
    // Strings are counted and end at a zero; binary data keeps its zeros.
    WriteString(std::string("ab\0cd", 5), out);
    WriteCString("xyz", out);
    WriteBinary({ 'a', '\0', 'b' }, out);
    WriteBinary({}, out);
    EXPECT_EQ(out.str(),
        Record({ 0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xCD, 0xCC, 0xCC, 0x3D, 0, 0, 0x80, 0x7F, 2,
            0, 0, 0, 'a', 'b', 3, 0, 0, 0, 'x', 'y', 'z', 3, 0, 0, 0, 'a', 0, 'b' }));

    std::istringstream in(out.str() + Record({ 0, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 0, 'c', 7, 0, 0, 0 }));
    int i1 = 0, i2 = 0, next = 0;
    double d1 = 0, d2 = 0;
    std::string s1 = "old", s2, zeroEnded;
    std::vector<char> data { 'z' };
    ReadInt(&i1, in);
    ReadInt(&i2, in);
    ReadDouble(&d1, in);
    ReadDouble(&d2, in);
    ReadString(s1, in);
    ReadString(s2, in);
    ReadBinary(data, in);
    EXPECT_EQ(data, (std::vector<char> { 'a', '\0', 'b' }));
    ReadBinary(data, in);
    // A stored zero ends the string, but its bytes are consumed.
    ReadString(zeroEnded, in);
    ReadInt(&next, in);
    EXPECT_TRUE(in.good() && i1 == -2 && i2 == 0x12345678 && d1 == 0.100000001490116119384765625);
    EXPECT_TRUE(d2 == (std::numeric_limits<double>::infinity()) && s1 == "ab" && s2 == "xyz" && data.empty());
    EXPECT_TRUE(zeroEnded == "ab" && next == 7);
}

TEST(StreamHelpersCString, TruncatesAndLeavesTheRestInTheStream)
{
    std::ostringstream out;
    WriteCString("abcdef", out);
    // Buffer size, the string read, the rest of the stream.
    const struct {
        int size;
        const char *read, *rest;
    } rows[] = { { 4, "abc", "def" }, { 16, "abcdef", "" }, { 1, "", "abcdef" } };
    for (const auto& r : rows) {
        std::istringstream in(out.str());
        char buf[16] = "xxxxxxxxxxxxxxx";
        ReadCString(buf, r.size, in);
        EXPECT_TRUE(std::string(buf) == r.read && !(in.fail()) && Rest(in) == r.rest) << r.size;
    }
}

TEST(StreamHelpersHostile, ShortNegativeAndHugeLengthsTruncatedFieldsAndNullTargetsFail)
{
    // Three bytes announced as 2^31 - 1, and as -1: neither allocates what it claims.
    for (const unsigned top : { 0x7Fu, 0xFFu }) {
        const std::string record = Record({ 0xFF, 0xFF, 0xFF, top, 'a', 'b', 'c' });
        std::istringstream a(record), b(record), c(record);
        std::string text = "kept";
        std::vector<char> data { 'k' };
        char buf[8] = "kept";
        ReadString(text, a);
        ReadBinary(data, b);
        ReadCString(buf, sizeof buf, c);
        EXPECT_TRUE(a.fail() && b.fail() && c.fail() && text == "kept") << top;
        EXPECT_EQ(data, std::vector<char> { 'k' }) << top;
        // Seven bytes requested and three delivered are kept, terminated; a negative length reads none.
        EXPECT_STREQ(buf, top == 0x7F ? "abc" : "kept");
    }
    // Truncated fields and null targets.
    std::istringstream shortInt(Record({ 1, 2 })), shortDouble(Record({ 0, 0, 0x80 }));
    std::istringstream fine(Record({ 1, 0, 0, 0 })), fineCString(Record({ 1, 0, 0, 0, 'a' }));
    int value = 99;
    double d = 5.0;
    ReadInt(&value, shortInt);
    ReadDouble(&d, shortDouble);
    ReadInt(nullptr, fine);
    ReadCString(nullptr, 4, fineCString);
    std::ostringstream out;
    WriteCString(nullptr, out);
    EXPECT_TRUE(shortInt.fail() && shortDouble.fail() && fine.fail() && fineCString.fail() && out.fail());
    EXPECT_TRUE(value == 99 && d == 5.0 && out.str() == "");
}

TEST(StreamHelpersBrackets, WritersReadersAndProbes)
{
    std::ostringstream out;
    OpenBracket(out);
    WriteInt(5, out);
    CloseBracket(out);
    EXPECT_EQ(out.str(), Record({ '{', 5, 0, 0, 0, '}' }));

    std::istringstream in("  {\n\t}  \n x");
    OpenBracket(in);
    CloseBracket(in);
    EXPECT_TRUE(in.good() && in.get() == 'x');

    // A wrong character is consumed and sets the bad bit.
    std::istringstream wrong("  }x"), empty("   "), bad("x");
    OpenBracket(wrong);
    CloseBracket(empty);
    BadInputOn(bad);
    EXPECT_TRUE(wrong.bad() && empty.bad() && bad.bad());
    wrong.clear();
    EXPECT_EQ(wrong.get(), 'x');

    // Probes skip blanks but consume no bracket.
    std::istringstream probed(" \n { }");
    EXPECT_TRUE(OpenBracketOn(probed) && !CloseBracketOn(probed) && probed.get() == '{');
    EXPECT_TRUE(CloseBracketOn(probed) && !OpenBracketOn(probed) && probed.get() == '}');
}

TEST(StreamHelpersReadUpTo, BufferAndSkipModesStopAfterTheTerminatorAndCharModeNeverRetests)
{
    // Input, terminator, the rest, buffer size, the count (left at -1 without a terminator), the bytes
    // written.
    const struct {
        const char *input, *terminator, *rest;
        int size, count;
        std::string written;
    } rows[] = {
        { "abcENDxyz", "END", "xyz", 16, 6, std::string("abcEND\0", 7) },
        { "ab;c", ";", "c", 8, 3, std::string("ab;\0", 4) },
        { "ENDrest", "END", "rest", 16, 3, std::string("END\0", 4) }, // at the very first character
        { "abcdefEND", "END", "efEND", 4, -1, "abcd" },
        { "ab", "END", "", 8, -1, std::string("ab\0\0\0\0\0\0", 8) },
        { "abcdef", "", "ef", 4, -1, "abcd" },
    };
    for (const auto& r : rows) {
        std::istringstream in(r.input);
        std::vector<char> buf(r.size, 'q');
        int count = -1;
        ReadUpTo(in, buf.data(), r.size, r.terminator, &count);
        EXPECT_TRUE(std::string(buf.data(), r.written.size()) == r.written && count == r.count) << r.input;
        EXPECT_TRUE(in.eof() == (r.count == -1 && *r.rest == '\0') && Rest(in) == r.rest) << r.input;
    }

    // Skip mode (no buffer) consumes through the terminator. Input, terminator, whether the stream stays
    // good, the rest; the last row has no terminator at all.
    const struct {
        const char *input, *terminator, *rest;
        bool good;
    } skips[] = { { "abENcEENDxyz", "END", "xyz", true }, { "abcEN", "END", "", false },
        { "abc", "", "abc", true }, { "abc", nullptr, "abc", false } };
    for (const auto& r : skips) {
        std::istringstream in(r.input);
        ReadUpTo(in, nullptr, 0, r.terminator, nullptr);
        EXPECT_EQ(in.good(), r.good) << r.input;
        in.clear();
        EXPECT_EQ(Rest(in), r.rest) << r.input;
    }
    char buf[4];
    std::istringstream zeroSize("a;b");
    ReadUpTo(zeroSize, buf, 0, ";", nullptr);
    EXPECT_EQ(Rest(zeroSize), "b");
    // ReadCharUpTo: input, terminator, the text appended to ">", the rest; "aab" alone never completes "ab"
    // because the second "a" breaks the match and is not taken as a new start.
    const struct {
        const char *input, *terminator, *text, *rest;
    } chars[] = { { "xabrest", "ab", ">x", "rest" }, { "abc", "", ">", "abc" },
        { "aabab!", "ab", ">aab", "!" }, { "aab", "ab", ">aab", "" } };
    for (const auto& r : chars) {
        std::list<char> out { '>' };
        std::istringstream in(r.input);
        ReadCharUpTo(in, out, r.terminator);
        EXPECT_TRUE(Text(out) == r.text && in.eof() == (*r.rest == '\0') && Rest(in) == r.rest) << r.input;
    }
}
