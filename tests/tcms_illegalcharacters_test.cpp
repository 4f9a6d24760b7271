// Percent escaping of illegal characters and its inverse.
#include <tintvale/tcms_illegalcharacters.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The eighteen characters the cache file escapes.
const char kCacheSet[] = "$% ./\\*[]@?:|#<>\";";

// Text, set, expected text, expected result (1 when anything was escaped or decoded).
struct Case {
    const char *src, *set, *expected;
    int result;
};

template <typename Coder> void Check(const Case& c, Coder code)
{
    std::vector<char> dst(3 * (c.src ? std::strlen(c.src) : 0) + 1, 'x');
    EXPECT_EQ(code(c.src, dst.data(), c.set), c.result) << (c.src ? c.src : "null");
    EXPECT_STREQ(dst.data(), c.expected) << (c.src ? c.src : "null");
}

} // namespace

TEST(TcmsIllegalCharacters, EncodeEscapesSetMembersWithLowercaseHexAndNothingElse)
{
    const Case cases[] = {
        { "a b/c", kCacheSet, "a%20b%2fc", 1 },
        { nullptr, kCacheSet, "", 0 },
        // Every member of the cache set, in order: $ % blank . / \ * [ ] @ ? : | # < > " ;
        { kCacheSet, kCacheSet, "%24%25%20%2e%2f%5c%2a%5b%5d%40%3f%3a%7c%23%3c%3e%22%3b", 1 },
        { "\xE9", "\xE9", "%e9", 1 }, // a byte above 0x7f: high nibble first
        { "a-b_c~d", kCacheSet, "a-b_c~d", 0 },
        { "a b", nullptr, "a b", 0 },
        // Letters, digits and the exempt names are never escaped; only the whole name is exempt.
        { "Az09 ", "Az09 ", "Az09%20", 1 },
        { "Trans._White_100_K", kCacheSet, "Trans._White_100_K", 0 },
        { "trans._white_100_w", kCacheSet, "trans._white_100_w", 0 },
        { "Trans._White_100_kx", kCacheSet, "Trans%2e_White_100_kx", 1 },
        // Percent is escaped only when in the set.
        { "50%", " ", "50%", 0 },
        { "50%", "%", "50%25", 1 },
    };
    for (const Case& c : cases)
        Check(c,
            [](const char* s, char* d, const char* set) { return TCMS_EncodeIllegalCharacters(s, d, set); });
    // The text ends at its first zero character.
    EXPECT_EQ(TCMS_EncodeIllegalCharacters(std::string("a b\0c d", 7), kCacheSet), "a%20b");
}

TEST(TcmsIllegalCharacters, DecodeEitherCaseRestrictionsAndMalformedEscapes)
{
    const Case cases[] = {
        { "%41%4a", nullptr, "AJ", 1 }, { "a%20b%2Fc", nullptr, "a b/c", 1 }, { "abc", nullptr, "abc", 0 },
        { nullptr, nullptr, "", 0 },
        // A restriction set keeps other escapes; a kept '%' is ordinary and scanning resumes after it.
        { "%41%4A", "J", "%41J", 1 }, { "%41", "J", "%41", 0 }, { "%%41", "A%", "%A", 1 },
        // A '%' with fewer than two characters after it is dropped; before non-hex digits it stays.
        { "abc%", nullptr, "abc", 0 }, { "%4", nullptr, "4", 0 }, { "100%ok", nullptr, "100%ok", 0 },
        { "%g0%20", nullptr, "%g0 ", 1 }, { "ab%00cd", "Q", "ab", 1 }, // a decoded zero ends the text
    };
    for (const Case& c : cases)
        Check(c,
            [](const char* s, char* d, const char* set) { return TCMS_DecodeIllegalCharacters(s, d, set); });

    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string encoded = TCMS_EncodeIllegalCharacters(all, all.c_str());
    // 62 letters and digits stay, 193 other bytes take three characters each.
    EXPECT_TRUE(encoded.size() == 62u + 3u * 193u && TCMS_DecodeIllegalCharacters(encoded, nullptr) == all);
    EXPECT_EQ(TCMS_DecodeIllegalCharacters(encoded, all.c_str()), all);
}

TEST(TcmsIllegalCharacters, EncodeWithoutSuffixKeepsTheFirstRecognisedSuffixAsWritten)
{
    const char* suffixes[] = { nullptr, ".txt", "x.gz", ".gz", ".tar.gz", ".tif" };
    const Case rows[] = {
        { "my file.TXT", " .", "my%20file.TXT", 1 }, { "a.b.tif", " .", "a%2eb.tif", 1 },
        { "name.tif", " ", "name.tif", 0 },
        { "a b.png", " .", "a%20b%2epng", 1 }, // no suffix matches: all of it is escaped
        { ".txt", " .", "%2etxt", 1 }, // a suffix as long as the text is not a suffix of it
        { "", " .", "", 0 }, { "a b.tar.gz", " .", "a%20b%2etar.gz", 1 }, // ".gz" comes first in the list
    };
    for (const auto& r : rows)
        Check(r, [&](const char* src, char* dst, const char* set) {
            return TCMS_EncodeIllegalCharactersWithoutSuffix(src, dst, set, 6, suffixes);
        });
    // Texts of any length: the suffix still stays readable.
    std::string src(600, ' '), expected;
    for (int i = 0; i < 600; ++i)
        expected += "%20";
    std::vector<char> big(3 * 604 + 1);
    EXPECT_EQ(
        TCMS_EncodeIllegalCharactersWithoutSuffix((src + ".txt").c_str(), big.data(), " .", 6, suffixes), 1);
    EXPECT_EQ(std::string(big.data()), expected + ".txt");
}
