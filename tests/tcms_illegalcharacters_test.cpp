// Percent escaping of illegal characters and its inverse.
#include <tintvale/tcms_illegalcharacters.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The eighteen characters the cache file escapes.
const char kCacheSet[] = "$% ./\\*[]@?:|#<>\";";

std::string Encode(const char* src, const char* illegal, int* result = nullptr)
{
    std::vector<char> dst(3 * (src ? std::strlen(src) : 0) + 1, 'x');
    const int r = TCMS_EncodeIllegalCharacters(src, dst.data(), illegal);
    if (result)
        *result = r;
    return dst.data();
}

std::string Decode(const char* src, const char* only, int* result = nullptr)
{
    std::vector<char> dst((src ? std::strlen(src) : 0) + 1, 'x');
    const int r = TCMS_DecodeIllegalCharacters(src, dst.data(), only);
    if (result)
        *result = r;
    return dst.data();
}

// Each case: text, set, expected text, expected result (1 when anything was escaped).
struct Case {
    const char* src;
    const char* set;
    const char* expected;
    int result;
};

} // namespace

TEST(TcmsEncodeIllegal, EscapesSetMembersWithLowercaseHexAndNothingElse)
{
    const Case cases[] = {
        { "a b/c", kCacheSet, "a%20b%2fc", 1 },
        { "abc", kCacheSet, "abc", 0 },
        { "", kCacheSet, "", 0 },
        { nullptr, kCacheSet, "", 0 },
        // Every member of the cache set, in order: $ % blank . / \ * [ ] @ ? : | # < > " ;
        { kCacheSet, kCacheSet, "%24%25%20%2e%2f%5c%2a%5b%5d%40%3f%3a%7c%23%3c%3e%22%3b", 1 },
        { "\xE9", "\xE9", "%e9", 1 }, // a byte above 0x7f: high nibble first
        // Characters outside the set pass, whatever they are.
        { "a-b_c~d", kCacheSet, "a-b_c~d", 0 },
        { "a b", nullptr, "a b", 0 },
        // Letters, digits and the exempt names are never escaped; only the whole name is exempt.
        { "Az09 ", "Az09 ", "Az09%20", 1 },
        { "Trans._White_100_K", kCacheSet, "Trans._White_100_K", 0 },
        { "trans._white_100_w", kCacheSet, "trans._white_100_w", 0 },
        { "TRANS._WHITE_100_G", kCacheSet, "TRANS._WHITE_100_G", 0 },
        { "Trans._White_100_kx", kCacheSet, "Trans%2e_White_100_kx", 1 },
        // Percent is escaped only when in the set; left unescaped, "%41" reads back as an escape.
        { "50%", " ", "50%", 0 },
        { "50%", "%", "50%25", 1 },
        { "%41", " ", "%41", 0 },
    };
    for (const Case& c : cases) {
        int r = -1;
        EXPECT_EQ(Encode(c.src, c.set, &r), c.expected) << (c.src ? c.src : "null");
        EXPECT_EQ(r, c.result) << (c.src ? c.src : "null");
    }
}

TEST(TcmsEncodeIllegal, StringFormMatchesCharacterForm)
{
    EXPECT_EQ(TCMS_EncodeIllegalCharacters(std::string("my dir/file"), kCacheSet), "my%20dir%2ffile");
    EXPECT_EQ(TCMS_EncodeIllegalCharacters(std::string(), kCacheSet), "");
    // The text ends at its first zero character.
    EXPECT_EQ(TCMS_EncodeIllegalCharacters(std::string("a b\0c d", 7), kCacheSet), "a%20b");
}

TEST(TcmsDecodeIllegal, EscapesInEitherCaseRestrictionsAndMalformedEscapes)
{
    const Case cases[] = {
        { "%41%4a", nullptr, "AJ", 1 },
        { "%41%4A", nullptr, "AJ", 1 },
        { "a%20b%2Fc", nullptr, "a b/c", 1 },
        { "%41", nullptr, "A", 1 },
        { "abc", nullptr, "abc", 0 },
        { "", nullptr, "", 0 },
        { nullptr, nullptr, "", 0 },
        // A restriction set keeps other escapes; a kept '%' is ordinary and scanning resumes after it.
        { "%41%4a", "J", "%41J", 1 },
        { "%41", "J", "%41", 0 },
        { "%%41", "A%", "%A", 1 },
        // A '%' with fewer than two characters after it is dropped.
        { "abc%", nullptr, "abc", 0 },
        { "%4", nullptr, "4", 0 },
        // A '%' before characters that are not hexadecimal digits stays.
        { "100%ok", nullptr, "100%ok", 0 },
        { "%g0%20", nullptr, "%g0 ", 1 },
    };
    for (const Case& c : cases) {
        int r = -1;
        EXPECT_EQ(Decode(c.src, c.set, &r), c.expected) << (c.src ? c.src : "null");
        EXPECT_EQ(r, c.result) << (c.src ? c.src : "null");
    }
}

TEST(TcmsDecodeIllegal, ZeroByteEndsTheText)
{
    char dst[8];
    std::memset(dst, 'x', sizeof dst);
    EXPECT_EQ(TCMS_DecodeIllegalCharacters("ab%00cd", dst, "Q"), 1);
    EXPECT_STREQ(dst, "ab");
    EXPECT_EQ(TCMS_DecodeIllegalCharacters(std::string("ab%00cd"), nullptr), "ab");
}

TEST(TcmsDecodeIllegal, RoundTripOfEveryByte)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    std::string set = all;
    const std::string encoded = TCMS_EncodeIllegalCharacters(all, set.c_str());
    // 62 letters and digits stay, 193 other bytes take three characters each.
    EXPECT_EQ(encoded.size(), 62u + 3u * 193u);
    EXPECT_EQ(TCMS_DecodeIllegalCharacters(encoded, nullptr), all);
    EXPECT_EQ(TCMS_DecodeIllegalCharacters(encoded, set.c_str()), all);
}

TEST(TcmsEncodeWithoutSuffix, KeepsTheRecognisedSuffixAsWritten)
{
    const char* suffixes[] = { ".txt", ".tif" };
    char dst[64];
    EXPECT_EQ(TCMS_EncodeIllegalCharactersWithoutSuffix("my file.TXT", dst, " .", 2, suffixes), 1);
    EXPECT_STREQ(dst, "my%20file.TXT");
    EXPECT_EQ(TCMS_EncodeIllegalCharactersWithoutSuffix("a.b.tif", dst, " .", 2, suffixes), 1);
    EXPECT_STREQ(dst, "a%2eb.tif");
    EXPECT_EQ(TCMS_EncodeIllegalCharactersWithoutSuffix("name.tif", dst, " ", 2, suffixes), 0);
    EXPECT_STREQ(dst, "name.tif");
    // No suffix matches: the whole text is escaped.
    EXPECT_EQ(TCMS_EncodeIllegalCharactersWithoutSuffix("a b.png", dst, " .", 2, suffixes), 1);
    EXPECT_STREQ(dst, "a%20b%2epng");
    // A suffix as long as the text is not a suffix of it.
    EXPECT_EQ(TCMS_EncodeIllegalCharactersWithoutSuffix(".txt", dst, " .", 2, suffixes), 1);
    EXPECT_STREQ(dst, "%2etxt");
    EXPECT_EQ(TCMS_EncodeIllegalCharactersWithoutSuffix("", dst, " .", 2, suffixes), 0);
    EXPECT_STREQ(dst, "");
}

TEST(TcmsEncodeWithoutSuffix, FirstMatchInListOrderAndLongTexts)
{
    const char* suffixes[] = { nullptr, "x.gz", ".gz", ".tar.gz" };
    char dst[64];
    TCMS_EncodeIllegalCharactersWithoutSuffix("a b.tar.gz", dst, " .", 4, suffixes);
    EXPECT_STREQ(dst, "a%20b%2etar.gz");
    const char* longerFirst[] = { ".tar.gz", ".gz" };
    TCMS_EncodeIllegalCharactersWithoutSuffix("a b.tar.gz", dst, " .", 2, longerFirst);
    EXPECT_STREQ(dst, "a%20b.tar.gz");
    // Texts of any length: the suffix still stays readable.
    const std::string longName(600, ' ');
    std::vector<char> big(3 * 604 + 1);
    const char* onlyTxt[] = { ".txt" };
    EXPECT_EQ(
        TCMS_EncodeIllegalCharactersWithoutSuffix((longName + ".txt").c_str(), big.data(), " .", 1, onlyTxt),
        1);
    std::string expected;
    for (int i = 0; i < 600; ++i)
        expected += "%20";
    EXPECT_EQ(std::string(big.data()), expected + ".txt");
}
