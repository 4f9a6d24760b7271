// JsonHelpers: the member lookup that never throws and byte-wise lower-casing.
#include <tintvale/jsonhelpers.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

using nlohmann::json;

TEST(JsonHelpersFind, ReturnsTheMemberItself)
{
    const json document = { { "SPECTRAL_NM", { 380, 390 } }, { "name", "paper" } };
    const json& found = JsonHelpers::FindConstJsonRefInJson(document, "name");
    EXPECT_EQ(&found, &document.at("name"));
    EXPECT_EQ(found, "paper");
    EXPECT_EQ(JsonHelpers::FindConstJsonRefInJson(document, "SPECTRAL_NM").size(), 2u);
}

TEST(JsonHelpersFind, AnythingElseGivesOneSharedNull)
{
    const json nested = { { "outer", { { "inner", 1 } } } };
    const json documents[] = { json::array({ "key", 1 }), json(42), json(nullptr), json::object(),
        json("key"), json { { "other", 1 } }, json { { "Key", 1 }, { "KEY", 2 } }, nested };
    const json& sharedNull = JsonHelpers::FindConstJsonRefInJson(json(), "key");
    EXPECT_TRUE(sharedNull.is_null());
    for (const json& document : documents) {
        const std::string key = &document == &nested ? "inner" : "key";
        const json* found = nullptr;
        EXPECT_NO_THROW(found = &JsonHelpers::FindConstJsonRefInJson(document, key)) << document;
        EXPECT_EQ(found, &sharedNull) << document;
    }
}

TEST(JsonHelpersFind, AStoredNullIsTheMemberNotTheSharedOne)
{
    const json document = { { "key", nullptr } };
    const json& found = JsonHelpers::FindConstJsonRefInJson(document, "key");
    EXPECT_TRUE(found.is_null());
    EXPECT_EQ(&found, &document.at("key"));
}

TEST(JsonHelpersToLower, LowersLettersAndKeepsEveryOtherByte)
{
    EXPECT_EQ(JsonHelpers::ToLower("SPECTRAL_NM"), "spectral_nm");
    EXPECT_EQ(JsonHelpers::ToLower("Sample_ID 42-B"), "sample_id 42-b");
    EXPECT_EQ(JsonHelpers::ToLower(""), "");
    // In the C locale bytes above 0x7F are no letters: UTF-8 stays intact.
    EXPECT_EQ(JsonHelpers::ToLower("\xC3\x84RGER\x00Z"), "\xC3\x84rger");
    const std::string withZero("A\0B", 3);
    EXPECT_EQ(JsonHelpers::ToLower(withZero), std::string("a\0b", 3));
}
