// Stream helpers: byte layouts of the binary fields, brace markers and the readers up to a terminator.
#include <tintvale/streamhelpers.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <list>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned>;

Bytes BytesOf(const std::string& s)
{
    Bytes bytes;
    for (char c : s)
        bytes.push_back(static_cast<unsigned char>(c));
    return bytes;
}

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
    EXPECT_EQ(BytesOf(out.str()),
        (Bytes { 0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xCD, 0xCC, 0xCC, 0x3D, 0, 0, 0x80, 0x7F, 2,
            0, 0, 0, 'a', 'b', 3, 0, 0, 0, 'x', 'y', 'z', 3, 0, 0, 0, 'a', 0, 'b' }));

    std::istringstream in(out.str() + Record({ 0, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 0, 'c', 7, 0, 0, 0 }));
    int i1 = 0, i2 = 0, next = 0;
    double d1 = 0, d2 = 0;
    std::string s1 = "old", s2, s3, zeroEnded;
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
    EXPECT_TRUE(in.good());
    EXPECT_EQ(i1, -2);
    EXPECT_EQ(i2, 0x12345678);
    EXPECT_EQ(d1, 0.100000001490116119384765625);
    EXPECT_EQ(d2, std::numeric_limits<double>::infinity());
    EXPECT_EQ(s1, "ab");
    EXPECT_EQ(s2, "xyz");
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(zeroEnded, "ab");
    EXPECT_EQ(next, 7);
}

TEST(StreamHelpersCString, TruncatesAndLeavesTheRestInTheStream)
{
    std::ostringstream out;
    WriteCString("abcdef", out);
    std::istringstream in(out.str());
    char buf[4] = { 'x', 'x', 'x', 'x' };
    ReadCString(buf, 4, in);
    EXPECT_STREQ(buf, "abc");
    EXPECT_TRUE(in.good());
    EXPECT_EQ(Rest(in), "def");

    std::istringstream whole(out.str());
    char big[16];
    ReadCString(big, sizeof big, whole);
    EXPECT_STREQ(big, "abcdef");
    EXPECT_EQ(Rest(whole), "");

    std::istringstream one(out.str());
    char empty[1] = { 'x' };
    ReadCString(empty, 1, one);
    EXPECT_EQ(empty[0], '\0');
    EXPECT_EQ(Rest(one), "abcdef");
}

TEST(StreamHelpersHostile, ShortAndNegativeAndHugeLengthsFail)
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
        EXPECT_TRUE(a.fail()) << top;
        EXPECT_TRUE(b.fail()) << top;
        EXPECT_TRUE(c.fail()) << top;
        EXPECT_EQ(text, "kept") << top;
        EXPECT_EQ(data, std::vector<char> { 'k' }) << top;
        // Seven bytes requested and three delivered are kept, terminated; a negative length reads none.
        EXPECT_STREQ(buf, top == 0x7F ? "abc" : "kept");
    }
}

TEST(StreamHelpersHostile, TruncatedFieldsAndNullTargets)
{
    std::istringstream shortInt(Record({ 1, 2 }));
    int value = 99;
    ReadInt(&value, shortInt);
    EXPECT_TRUE(shortInt.fail());
    EXPECT_EQ(value, 99);

    std::istringstream shortDouble(Record({ 0, 0, 0x80 }));
    double d = 5.0;
    ReadDouble(&d, shortDouble);
    EXPECT_TRUE(shortDouble.fail());
    EXPECT_EQ(d, 5.0);

    std::istringstream fine(Record({ 1, 0, 0, 0 }));
    ReadInt(nullptr, fine);
    EXPECT_TRUE(fine.fail());
    std::istringstream fineCString(Record({ 1, 0, 0, 0, 'a' }));
    ReadCString(nullptr, 4, fineCString);
    EXPECT_TRUE(fineCString.fail());

    std::ostringstream out;
    WriteCString(nullptr, out);
    EXPECT_TRUE(out.fail());
    EXPECT_EQ(out.str(), "");
}

TEST(StreamHelpersBrackets, WritersAndReadersAgree)
{
    std::ostringstream out;
    OpenBracket(out);
    WriteInt(5, out);
    CloseBracket(out);
    EXPECT_EQ(out.str(), Record({ '{', 5, 0, 0, 0, '}' }));

    std::istringstream in("  {\nx");
    OpenBracket(in);
    EXPECT_TRUE(in.good());
    EXPECT_EQ(in.get(), 'x');

    std::istringstream close("\t}  \n y");
    CloseBracket(close);
    EXPECT_TRUE(close.good());
    EXPECT_EQ(close.get(), 'y');
}

TEST(StreamHelpersBrackets, AWrongCharacterIsConsumedAndSetsTheBadBit)
{
    std::istringstream in("  }x");
    OpenBracket(in);
    EXPECT_TRUE(in.bad());
    in.clear();
    EXPECT_EQ(in.get(), 'x');

    std::istringstream empty("   ");
    CloseBracket(empty);
    EXPECT_TRUE(empty.bad());
}

TEST(StreamHelpersBrackets, ProbesPeekWithoutConsuming)
{
    std::istringstream in(" \n { }");
    EXPECT_TRUE(OpenBracketOn(in));
    EXPECT_FALSE(CloseBracketOn(in));
    EXPECT_EQ(in.get(), '{');
    EXPECT_TRUE(CloseBracketOn(in));
    EXPECT_EQ(in.get(), '}');
    EXPECT_FALSE(OpenBracketOn(in));

    std::istringstream bad("x");
    BadInputOn(bad);
    EXPECT_TRUE(bad.bad());
}

TEST(StreamHelpersReadUpTo, BufferModeStopsAfterTheTerminatorAtSizeOrAtTheEnd)
{
    // Input, buffer size, terminator; the bytes written, the count (left at -1 without a terminator)
    // and the rest.
    const struct {
        const char* input;
        int size;
        const char* terminator;
        std::string written;
        int count;
        const char* rest;
    } rows[] = {
        { "abcENDxyz", 16, "END", std::string("abcEND\0", 7), 6, "xyz" },
        { "ab;c", 8, ";", std::string("ab;\0", 4), 3, "c" },
        { "ENDrest", 16, "END", std::string("END\0", 4), 3, "rest" }, // at the very first character
        { "abcdefEND", 4, "END", "abcd", -1, "efEND" },
        { "ab", 8, "END", std::string("ab\0\0\0\0\0\0", 8), -1, "" },
        { "abcdef", 4, "", "abcd", -1, "ef" },
    };
    for (const auto& r : rows) {
        std::istringstream in(r.input);
        std::vector<char> buf(r.size, 'q');
        int count = -1;
        ReadUpTo(in, buf.data(), r.size, r.terminator, &count);
        EXPECT_EQ(std::string(buf.data(), r.written.size()), r.written) << r.input;
        EXPECT_EQ(count, r.count) << r.input;
        EXPECT_EQ(in.eof(), r.count == -1 && *r.rest == '\0') << r.input;
        EXPECT_EQ(Rest(in), r.rest) << r.input;
    }
}

TEST(StreamHelpersReadUpTo, SkipModeConsumesThroughTheTerminator)
{
    std::istringstream in("abENcEENDxyz");
    ReadUpTo(in, nullptr, 0, "END", nullptr);
    EXPECT_TRUE(in.good());
    EXPECT_EQ(Rest(in), "xyz");

    char buf[4];
    std::istringstream zeroSize("a;b");
    ReadUpTo(zeroSize, buf, 0, ";", nullptr);
    EXPECT_EQ(Rest(zeroSize), "b");

    std::istringstream missing("abcEN");
    ReadUpTo(missing, nullptr, 0, "END", nullptr);
    EXPECT_TRUE(missing.bad());

    std::istringstream empty("abc");
    ReadUpTo(empty, nullptr, 0, "", nullptr);
    EXPECT_TRUE(empty.good());
    EXPECT_EQ(Rest(empty), "abc");

    std::istringstream null("abc");
    ReadUpTo(null, nullptr, 0, nullptr, nullptr);
    EXPECT_TRUE(null.fail());
}

TEST(StreamHelpersReadCharUpTo, AppendsAndDropsTheTerminator)
{
    std::list<char> out { '>' };
    std::istringstream in("xabrest");
    ReadCharUpTo(in, out, "ab");
    EXPECT_EQ(Text(out), ">x");
    EXPECT_TRUE(in.good());
    EXPECT_EQ(Rest(in), "rest");

    std::list<char> nothing;
    std::istringstream empty("abc");
    ReadCharUpTo(empty, nothing, "");
    EXPECT_TRUE(nothing.empty());
    EXPECT_EQ(Rest(empty), "abc");
}

TEST(StreamHelpersReadCharUpTo, ARestartDoesNotRetestTheBreakingCharacter)
{
    // After "a", the second "a" breaks the match and is not taken as a new start, so "ab" first
    // completes at the end of "aabab".
    std::list<char> out;
    std::istringstream in("aabab!");
    ReadCharUpTo(in, out, "ab");
    EXPECT_EQ(Text(out), "aab");
    EXPECT_EQ(Rest(in), "!");

    // On "aab" alone the terminator never completes: reading stops at the end of the input.
    std::list<char> all;
    std::istringstream never("aab");
    ReadCharUpTo(never, all, "ab");
    EXPECT_TRUE(never.eof());
    EXPECT_TRUE(never.fail());
    EXPECT_EQ(Text(all), "aab");
}
