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

} // namespace

TEST(TcmsEncodeIllegal, EscapesSetMembersWithLowercaseHex)
{
    int r = -1;
    EXPECT_EQ(Encode("a b/c", kCacheSet, &r), "a%20b%2fc");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Encode("abc", kCacheSet, &r), "abc");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Encode("", kCacheSet, &r), "");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Encode(nullptr, kCacheSet, &r), "");
    EXPECT_EQ(r, 0);
    // Every member of the cache set, in order: $ % blank . / \ * [ ] @ ? : | # < > " ;
    EXPECT_EQ(Encode(kCacheSet, kCacheSet), "%24%25%20%2e%2f%5c%2a%5b%5d%40%3f%3a%7c%23%3c%3e%22%3b");
    // A byte above 0x7f: high nibble first.
    EXPECT_EQ(Encode("\xE9", "\xE9"), "%e9");
    // Characters outside the set pass, whatever they are.
    EXPECT_EQ(Encode("a-b_c~d", kCacheSet, &r), "a-b_c~d");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Encode("a b", nullptr, &r), "a b");
    EXPECT_EQ(r, 0);
}

TEST(TcmsEncodeIllegal, LettersDigitsAndExemptNamesAreNeverEscaped)
{
    int r = -1;
    EXPECT_EQ(Encode("Az09 ", "Az09 ", &r), "Az09%20");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Encode("Trans._White_100_K", kCacheSet, &r), "Trans._White_100_K");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Encode("trans._white_100_w", kCacheSet), "trans._white_100_w");
    EXPECT_EQ(Encode("TRANS._WHITE_100_G", kCacheSet), "TRANS._WHITE_100_G");
    // Only the whole name is exempt.
    EXPECT_EQ(Encode("Trans._White_100_kx", kCacheSet), "Trans%2e_White_100_kx");
}

TEST(TcmsEncodeIllegal, PercentIsEscapedOnlyWhenInTheSet)
{
    EXPECT_EQ(Encode("50%", " "), "50%");
    EXPECT_EQ(Encode("50%", "%"), "50%25");
    // Left unescaped, "%41" reads back as an escape.
    EXPECT_EQ(Encode("%41", " "), "%41");
    EXPECT_EQ(Decode("%41", nullptr), "A");
}

TEST(TcmsEncodeIllegal, StringFormMatchesCharacterForm)
{
    EXPECT_EQ(TCMS_EncodeIllegalCharacters(std::string("my dir/file"), kCacheSet), "my%20dir%2ffile");
    EXPECT_EQ(TCMS_EncodeIllegalCharacters(std::string(), kCacheSet), "");
    // The text ends at its first zero character.
    EXPECT_EQ(TCMS_EncodeIllegalCharacters(std::string("a b\0c d", 7), kCacheSet), "a%20b");
}

TEST(TcmsDecodeIllegal, DecodesEscapesInEitherCase)
{
    int r = -1;
    EXPECT_EQ(Decode("%41%4a", nullptr, &r), "AJ");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Decode("%41%4A", nullptr), "AJ");
    EXPECT_EQ(Decode("a%20b%2Fc", nullptr), "a b/c");
    EXPECT_EQ(Decode("abc", nullptr, &r), "abc");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Decode("", nullptr, &r), "");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Decode(nullptr, nullptr, &r), "");
    EXPECT_EQ(r, 0);
}

TEST(TcmsDecodeIllegal, RestrictionSetKeepsOtherEscapes)
{
    int r = -1;
    EXPECT_EQ(Decode("%41%4a", "J", &r), "%41J");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Decode("%41", "J", &r), "%41");
    EXPECT_EQ(r, 0);
    // The kept '%' is ordinary; scanning resumes right after it.
    EXPECT_EQ(Decode("%%41", "A%"), "%A");
}

TEST(TcmsDecodeIllegal, MalformedEscapes)
{
    int r = -1;
    // A '%' with fewer than two characters after it is dropped.
    EXPECT_EQ(Decode("abc%", nullptr, &r), "abc");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Decode("%4", nullptr, &r), "4");
    EXPECT_EQ(r, 0);
    // A '%' before characters that are not hexadecimal digits stays.
    EXPECT_EQ(Decode("100%ok", nullptr, &r), "100%ok");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Decode("%g0%20", nullptr, &r), "%g0 ");
    EXPECT_EQ(r, 1);
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
