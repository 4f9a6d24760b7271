// JsonHelpers: the member lookup that never throws and byte-wise lower-casing.
#include <tintvale/jsonhelpers.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

using nlohmann::json;

TEST(JsonHelpersFind, TheMemberItselfOrOneSharedNull)
{
    const json document = { { "name", "paper" }, { "key", nullptr } };
    EXPECT_EQ(&JsonHelpers::FindConstJsonRefInJson(document, "name"), &document.at("name"));
    // A stored null is the member, not the shared one.
    EXPECT_EQ(&JsonHelpers::FindConstJsonRefInJson(document, "key"), &document.at("key"));

    // Anything else, nested members and other cases included, is the one shared null, never a throw.
    const json& sharedNull = JsonHelpers::FindConstJsonRefInJson(json(), "key");
    EXPECT_TRUE(sharedNull.is_null());
    for (const json& other : { json::array({ "key", 1 }), json(42), json { { "Key", 1 } },
             json { { "outer", { { "key", 1 } } } } })
        EXPECT_EQ(&JsonHelpers::FindConstJsonRefInJson(other, "key"), &sharedNull) << other;
}

TEST(JsonHelpersToLower, LowersLettersAndKeepsEveryOtherByte)
{
    EXPECT_EQ(JsonHelpers::ToLower("Sample_ID 42-B"), "sample_id 42-b");
    // In the C locale bytes above 0x7F are no letters: UTF-8 stays intact.
    EXPECT_EQ(JsonHelpers::ToLower("\xC3\x84RGER"), "\xC3\x84rger");
    EXPECT_EQ(JsonHelpers::ToLower(std::string("A\0B", 3)), std::string("a\0b", 3));
}
