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

    const json& sharedNull = JsonHelpers::FindConstJsonRefInJson(json(), "key");
    EXPECT_TRUE(sharedNull.is_null());
    const json nested = { { "outer", { { "inner", 1 } } } };
    const json others[] = { json::array({ "key", 1 }), json(42), json::object(), json("key"),
        json { { "Key", 1 }, { "KEY", 2 } }, nested };
    for (const json& other : others) {
        const json* found = nullptr;
        EXPECT_NO_THROW(
            found = &JsonHelpers::FindConstJsonRefInJson(other, &other == &nested ? "inner" : "key"));
        EXPECT_EQ(found, &sharedNull) << other;
    }
}

TEST(JsonHelpersToLower, LowersLettersAndKeepsEveryOtherByte)
{
    EXPECT_EQ(JsonHelpers::ToLower("Sample_ID 42-B"), "sample_id 42-b");
    // In the C locale bytes above 0x7F are no letters: UTF-8 stays intact.
    EXPECT_EQ(JsonHelpers::ToLower("\xC3\x84RGER"), "\xC3\x84rger");
    EXPECT_EQ(JsonHelpers::ToLower(std::string("A\0B", 3)), std::string("a\0b", 3));
}
