// The cache file: topics and items, counters, escaping, scans, persistence and error reporting.
#include <tintvale/tcachefile.h>

#include "quire.h"
#include "temp_dir.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Opens (creating when needed) a cache file in a scratch directory.
struct TCacheFileOps : testing::Test {
    TempDir dir;
    std::string path = dir.File("cache.tvc");
    TCacheFile cache { path.c_str(), 1, true };
};

std::string Value(const TCacheFile& cache, const char* topic, const char* item, bool encodeTopic = false,
    bool decode = false)
{
    char out[256];
    return cache.Search(topic, item, out, sizeof out, encodeTopic, decode) == 0 ? std::string(out)
                                                                                : "<absent>";
}

std::vector<std::string> AllTopics(TCacheFile& cache, const char* needle = nullptr)
{
    std::vector<std::string> names;
    for (const char* name = cache.ScanTopics(needle, 1); name; name = cache.ScanTopics(needle, 0))
        names.push_back(name);
    return names;
}

} // namespace

TEST(OrvaneQuireErr, AppendsTheStoreReasonAndClearsIt)
{
    MessageCapture capture;
    // Code 0 adds no reason; codes without a text of their own are given by number.
    const struct {
        int code;
        const char* context;
        const char* text;
    } cases[] = { { 7, "ctx", "ctx : Failed to add a topic" }, { 25, "ctx", "ctx : quire-error no : 25" },
        { 0, "ctx", "ctx" }, { 12, "ctx", "ctx : Failed to flush data tp disk" },
        { 19, "ctx", "ctx : Topic not found in database" }, { 20, "ctx", "ctx : Failed to remove an item" },
        { 21, "ctx", "ctx : Resource file locked by another process" },
        { -3, nullptr, " : quire-error no : -3" } };
    for (const auto& c : cases) {
        quire_err = c.code;
        EXPECT_EQ(orvane_quire_err(c.context), 0);
        EXPECT_EQ(quire_err, 0) << c.code;
    }
    ASSERT_EQ(capture.messages.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(capture.messages[i].text, cases[i].text);
    EXPECT_EQ(capture.messages[0].file, "orvane_quire_err");
}

TEST_F(TCacheFileOps, AddTopicOfAnExistingTopicFailsSilently)
{
    ASSERT_EQ(cache.ErrNo(), 0);
    MessageCapture capture;
    EXPECT_EQ(cache.AddTopic("colours", false), 0);
    EXPECT_EQ(cache.AddTopic("colours", false), -1);
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(cache.RemoveTopic("colours", false), 0);
    EXPECT_EQ(cache.RemoveTopic("colours", false), -1);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text,
        "Unable to remove topic : colours to the data base : Topic not found in database");
    EXPECT_EQ(quire_err, 0);
}

TEST_F(TCacheFileOps, IntegerAndDoubleItemsAreStoredAsText)
{
    EXPECT_EQ(cache.AddItem("nums", "half", 0.5, false), 0);
    EXPECT_EQ(cache.AddItem("nums", "quarter", 12.25, false), 0);
    EXPECT_EQ(cache.AddItem("nums", "neg", -3.14159, false), 0);
    EXPECT_EQ(cache.AddItem("nums", "count", -17, false), 0);
    EXPECT_EQ(Value(cache, "nums", "half"), "0.5000");
    EXPECT_EQ(Value(cache, "nums", "quarter"), "12.2500");
    EXPECT_EQ(Value(cache, "nums", "neg"), "-3.1416");
    EXPECT_EQ(Value(cache, "nums", "count"), "-17");

    double d = 0;
    EXPECT_EQ(cache.Search("nums", "quarter", &d, 0, false, false), 0);
    EXPECT_EQ(d, 12.25);
    int n = 0;
    EXPECT_EQ(cache.Search("nums", "count", &n, 0, false, false), 0);
    EXPECT_EQ(n, -17);
    EXPECT_EQ(cache.Search("nums", "half", &n, 0, false, false), -1) << "0.5000 is no integer";
    EXPECT_EQ(cache.Search("nums", "absent", &n, 0, false, false), -1);

    // Several numbers in one value, read by index.
    EXPECT_EQ(cache.AddItem("nums", "triple", "95.05 100, 108.9", false, false), 0);
    EXPECT_EQ(cache.Search("nums", "triple", &d, 2, false, false), 0);
    EXPECT_EQ(d, 108.9);
    EXPECT_EQ(cache.Search("nums", "triple", &d, 3, false, false), -1);

    // Replacing a value keeps the item's place.
    EXPECT_EQ(cache.AddItem("nums", "half", 0.75, false), 0);
    EXPECT_EQ(Value(cache, "nums", "half"), "0.7500");
    const char* value = nullptr;
    EXPECT_STREQ(cache.ScanItems("nums", &value, 1), "half");
    EXPECT_STREQ(value, "0.7500");
}

TEST_F(TCacheFileOps, ChangeIntItemAddsAndClamps)
{
    EXPECT_EQ(cache.ChangeIntItem("c", "n", 5, 0, 10, false), 0);
    EXPECT_EQ(Value(cache, "c", "n"), "5");
    cache.AddItem("c", "n", 8, false);
    cache.ChangeIntItem("c", "n", 5, 0, 10, false);
    EXPECT_EQ(Value(cache, "c", "n"), "10");
    cache.ChangeIntItem("c", "n", -25, 0, 10, false);
    EXPECT_EQ(Value(cache, "c", "n"), "0");
    // min first, then max: with min > max the result is max.
    cache.ChangeIntItem("c", "n", 0, 7, 3, false);
    EXPECT_EQ(Value(cache, "c", "n"), "3");
    // A value that is no integer is refused and kept.
    cache.AddItem("c", "word", "12.5000", false, false);
    EXPECT_EQ(cache.ChangeIntItem("c", "word", 2, -5, 5, false), TCacheFile::NotInteger);
    EXPECT_EQ(Value(cache, "c", "word"), "12.5000");
    // The sum may leave the int range; the clamp brings it back.
    cache.AddItem("c", "big", INT_MAX, false);
    cache.ChangeIntItem("c", "big", INT_MAX, INT_MIN, INT_MAX, false);
    EXPECT_EQ(Value(cache, "c", "big"), "2147483647");
    cache.AddItem("c", "small", INT_MIN, false);
    cache.ChangeIntItem("c", "small", -1, INT_MIN, 0, false);
    EXPECT_EQ(Value(cache, "c", "small"), "-2147483648");
    // With an escaped topic.
    cache.ChangeIntItem("a b", "n", 3, 0, 100, true);
    cache.ChangeIntItem("a b", "n", 4, 0, 100, true);
    EXPECT_EQ(Value(cache, "a b", "n", true), "7");
    EXPECT_EQ(Value(cache, "a%20b", "n"), "7");
}

TEST_F(TCacheFileOps, EscapedTopicsAndValues)
{
    EXPECT_EQ(cache.AddTopic("paper/ink", true), 0);
    EXPECT_EQ(cache.AddTopic("plain", false), 0);
    EXPECT_EQ(AllTopics(cache), (std::vector<std::string> { "paper%2fink", "plain" }));
    EXPECT_EQ(cache.AddTopic("paper%2fink", false), -1) << "the escaped name is the stored one";

    EXPECT_EQ(cache.AddItem("paper/ink", "note", "50% cyan; 3.5 [a]", true, true), 0);
    EXPECT_EQ(Value(cache, "paper/ink", "note", true, false), "50%25%20cyan%3b%203%2e5%20%5ba%5d");
    EXPECT_EQ(Value(cache, "paper/ink", "note", true, true), "50% cyan; 3.5 [a]");
    // Item names stay as given; ScanItems takes the topic as stored.
    const char* value = nullptr;
    EXPECT_STREQ(cache.ScanItems("paper%2fink", &value, 1), "note");
    EXPECT_STREQ(value, "50%25%20cyan%3b%203%2e5%20%5ba%5d");
    EXPECT_EQ(cache.ScanItems("paper%2fink", &value, 0), nullptr);
    EXPECT_EQ(value, nullptr);

    // Decoding touches only escapes of the escaped set: an unescaped value keeps its "%41".
    cache.AddItem("plain", "raw", "%41%2f", false, false);
    EXPECT_EQ(Value(cache, "plain", "raw", false, true), "%41/");
    EXPECT_EQ(cache.RemoveTopic("paper/ink", true), 0);
    EXPECT_EQ(AllTopics(cache), std::vector<std::string> { "plain" });
}

TEST_F(TCacheFileOps, ScanTopicsWithNeedleAndTheReservedTopic)
{
    for (const char* topic : { "prefix1", "other", "_internal_", "xprefix2", "_INTERNAL_", "pre", "prefix3" })
        ASSERT_EQ(cache.AddTopic(topic, false), 0);
    EXPECT_EQ(AllTopics(cache, "pre"), (std::vector<std::string> { "fix1", "", "fix3" }));
    EXPECT_EQ(
        AllTopics(cache), (std::vector<std::string> { "prefix1", "other", "xprefix2", "pre", "prefix3" }));
    EXPECT_EQ(AllTopics(cache, ""), AllTopics(cache));
    EXPECT_EQ(AllTopics(cache, "PRE"), std::vector<std::string>()) << "the needle is case-sensitive";

    // Only the topic that starts with the needle, then the end.
    TempDir other;
    TCacheFile two(other.File("two.tvc").c_str(), 1, true);
    two.AddTopic("prefix1", false);
    two.AddTopic("other", false);
    EXPECT_STREQ(two.ScanTopics("pre", 1), "fix1");
    EXPECT_EQ(two.ScanTopics("pre", 0), nullptr);
    EXPECT_EQ(two.ScanTopics("pre", 0), nullptr) << "a finished scan stays finished";
    EXPECT_STREQ(two.ScanTopics(nullptr, 1), "prefix1");
}

TEST_F(TCacheFileOps, ScanItemsAndCopyTopic)
{
    cache.AddItem("src", "b", "2", false, false);
    cache.AddItem("src", "a", "1", false, false);
    cache.AddItem("src", "c", "3", false, false);
    std::vector<std::string> seen;
    const char* value = nullptr;
    for (const char* item = cache.ScanItems("src", &value, 1); item; item = cache.ScanItems("src", &value, 0))
        seen.push_back(std::string(item) + "=" + value);
    EXPECT_EQ(seen, (std::vector<std::string> { "b=2", "a=1", "c=3" }));
    EXPECT_EQ(cache.ScanItems("nothing", &value, 1), nullptr);
    EXPECT_EQ(cache.ScanItems("src", nullptr, 1), std::string("b"));

    // A scanned value survives searches and changes in between.
    cache.ScanItems("src", &value, 1);
    char out[8];
    cache.Search("src", "c", out, sizeof out, false, false);
    cache.AddItem("src", "a", "11", false, false);
    EXPECT_STREQ(value, "2");

    TempDir otherDir;
    TCacheFile target(otherDir.File("copy.tvc").c_str(), 1, true);
    EXPECT_EQ(target.CopyTopic(cache, "src"), 0);
    EXPECT_EQ(Value(target, "src", "b"), "2");
    EXPECT_EQ(Value(target, "src", "a"), "11");
    target.ScanItems("src", &value, 1);
    EXPECT_STREQ(value, "2") << "order kept";
    EXPECT_EQ(target.CopyTopic(cache, "src"), -1) << "the topic exists already";
    EXPECT_EQ(target.CopyTopic(cache, "missing"), 0) << "an empty topic copies as an empty topic";
    EXPECT_EQ(target.AddTopic("missing", false), -1);
}

TEST_F(TCacheFileOps, LongTextsAreHandledWhole)
{
    MessageCapture capture;
    const std::string topic(2000, '/');
    const std::string value = std::string(3000, ' ') + "end";
    EXPECT_EQ(cache.AddItem(topic.c_str(), "k", value.c_str(), true, true), 0);
    ASSERT_EQ(AllTopics(cache).size(), 1u);
    EXPECT_EQ(AllTopics(cache)[0].size(), 6000u);

    std::vector<char> out(value.size() + 1);
    EXPECT_EQ(cache.Search(topic.c_str(), "k", out.data(), static_cast<int>(out.size()), true, true), 0);
    EXPECT_EQ(std::string(out.data()), value);
    // One byte short: refused whole, with a message, and out untouched.
    std::memset(out.data(), 'x', out.size());
    EXPECT_EQ(cache.Search(topic.c_str(), "k", out.data(), static_cast<int>(value.size()), true, true), -1);
    EXPECT_EQ(out[0], 'x');
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_NE(capture.messages[0].text.find("does not fit in 3003 characters"), std::string::npos);

    std::string numbers;
    for (int i = 0; i < 1500; ++i)
        numbers += std::to_string(i) + " ";
    cache.AddItem("n", "list", numbers.c_str(), false, false);
    int n = 0;
    EXPECT_EQ(cache.Search("n", "list", &n, 1499, false, false), 0);
    EXPECT_EQ(n, 1499);
    double d = 0;
    EXPECT_EQ(cache.Search("n", "list", &d, 1234, false, false), 0);
    EXPECT_EQ(d, 1234.0);
}

TEST(TCacheFilePersistence, SavedChangesSurviveAndUnsavedOnesAreDiscarded)
{
    TempDir dir;
    const std::string name = "store.tvc";
    {
        TCacheFile cache(dir.File(name).c_str(), 1, true);
        ASSERT_EQ(cache.ErrNo(), 0);
        cache.AddItem("illuminants", "D50", 5003, false);
        cache.AddItem("illuminants", "white", "95.96 100 82.52", false, false);
        cache.AddItem("a/b", "x", 0.125, true);
        EXPECT_EQ(cache.Save(), 0);
        cache.AddItem("illuminants", "D65", 6504, false);
        cache.AddItem("illuminants", "D50", 1, false);
        cache.AddTopic("later", false);
    }
    {
        TCacheFile cache(name.c_str(), dir.Dir().c_str(), true);
        ASSERT_EQ(cache.ErrNo(), 0);
        EXPECT_EQ(AllTopics(cache), (std::vector<std::string> { "illuminants", "a%2fb" }));
        int cct = 0;
        EXPECT_EQ(cache.Search("illuminants", "D50", &cct, 0, false, false), 0);
        EXPECT_EQ(cct, 5003);
        EXPECT_EQ(cache.Search("illuminants", "D65", &cct, 0, false, false), -1);
        double y = 0;
        EXPECT_EQ(cache.Search("illuminants", "white", &y, 1, false, false), 0);
        EXPECT_EQ(y, 100.0);
        EXPECT_EQ(Value(cache, "a/b", "x", true), "0.1250");
        cache.RemoveTopic("illuminants", false);
        EXPECT_EQ(cache.Save(), 0);
        EXPECT_EQ(cache.InitSave(), 0);
    }
    TCacheFile cache(name.c_str(), dir.Dir().c_str(), false);
    EXPECT_EQ(AllTopics(cache), std::vector<std::string> { "a%2fb" });
}

TEST(TCacheFileOpening, MissingAndForeignFilesAreRefused)
{
    TempDir dir;
    MessageCapture capture;
    TCacheFile missing("none.tvc", dir.Dir().c_str(), true);
    EXPECT_EQ(missing.ErrNo(), 3);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, "Unable to push file " + dir.Dir() + "none.tvc");
    EXPECT_EQ(capture.messages[0].file, "tcachefile");

    const std::string text = dir.File("notes.txt");
    const std::string content = "[topic]\nitem=value\n";
    TempDir::Write(text, content);
    TCacheFile foreign(text.c_str(), 1, true);
    EXPECT_EQ(foreign.ErrNo(), 3);
    EXPECT_EQ(TempDir::Read(text), content) << "create leaves a file that is not a cache alone";
    TCacheFile foreignByName("notes.txt", dir.Dir().c_str(), false);
    EXPECT_EQ(foreignByName.ErrNo(), 3);
    TCacheFile noCreate(dir.File("new.tvc").c_str(), 0, false);
    EXPECT_EQ(noCreate.ErrNo(), 3);
    TCacheFile nullPath(nullptr, 1, true);
    EXPECT_EQ(nullPath.ErrNo(), 3);
    ASSERT_EQ(capture.messages.size(), 3u) << "silent when not reporting";
    EXPECT_EQ(capture.messages[2].text, "Unable to push file");

    // A failed object refuses every change, reporting why.
    EXPECT_EQ(foreign.AddItem("t", "k", "v", false, false), -1);
    EXPECT_EQ(foreign.Save(), -1);
    ASSERT_EQ(capture.messages.size(), 5u);
    EXPECT_EQ(capture.messages[3].text, "Unable to add item k to topic t : There are no files in quire");
    EXPECT_EQ(
        capture.messages[4].text, "Cannot flush resource file " + text + " : There are no files in quire");
    EXPECT_EQ(foreign.ScanTopics(nullptr, 1), nullptr);
    EXPECT_EQ(Value(foreign, "t", "k"), "<absent>");
}

TEST(TCacheFileOpening, EqualityComparesDirectoryAndNameIgnoringCase)
{
    TempDir dir;
    TCacheFile(dir.File("a.tvc").c_str(), 1, false);
    TCacheFile one("a.tvc", dir.Dir().c_str(), false);
    TCacheFile two("A.TVC", dir.Dir().c_str(), false);
    TCacheFile other("b.tvc", dir.Dir().c_str(), false);
    TCacheFile byPath(dir.File("a.tvc").c_str(), 0, false);
    EXPECT_EQ(one.ErrNo(), 0);
    EXPECT_TRUE(one == two) << "equal names ignoring case, whether or not the file opened";
    EXPECT_FALSE(one == other);
    EXPECT_FALSE(byPath == byPath);
    EXPECT_FALSE(one == byPath);
    TCacheFile noDir("a.tvc", "", false);
    EXPECT_FALSE(noDir == noDir);
}

TEST(TCacheFilePersistence, TwoObjectsOnOneFileSeeEachOthersSavedChanges)
{
    TempDir dir;
    const std::string path = dir.File("shared.tvc");
    TCacheFile first(path.c_str(), 1, true);
    TCacheFile second(path.c_str(), 0, true);
    ASSERT_EQ(second.ErrNo(), 0);
    first.AddItem("t", "k", "unsaved", false, false);
    EXPECT_EQ(Value(second, "t", "k"), "<absent>") << "reading is not blocked, and sees saved content only";
    EXPECT_EQ(first.Save(), 0);
    EXPECT_EQ(Value(second, "t", "k"), "unsaved");
    EXPECT_EQ(second.AddItem("t", "k", "second", false, false), 0);
    EXPECT_EQ(second.Save(), 0);
    EXPECT_EQ(Value(first, "t", "k"), "second");
}

TEST_F(TCacheFileOps, ScanItemsKeepsTheOrderOfAdditionOverManyItems)
{
    // Names in an order unlike that of addition (7919 is prime to 2000), another topic's in between.
    constexpr int kItems = 2000;
    auto name = [](int i) { return "k" + std::to_string(i * 7919 % kItems); };
    for (int i = 0; i < kItems; ++i) {
        ASSERT_EQ(cache.AddItem("big", name(i).c_str(), i, false), 0);
        if (i % 100 == 0) {
            ASSERT_EQ(cache.AddItem("other", name(i).c_str(), -i, false), 0);
        }
    }
    ASSERT_EQ(cache.Save(), 0);
    int count = 0;
    const char* value = nullptr;
    for (const char* item = cache.ScanItems("big", &value, 1); item && count < kItems;
         item = cache.ScanItems("big", &value, 0), ++count) {
        ASSERT_EQ(item, name(count));
        ASSERT_STREQ(value, std::to_string(count).c_str());
    }
    EXPECT_EQ(count, kItems);
    EXPECT_EQ(cache.ScanItems("big", &value, 0), nullptr);
    // Switching topics mid-scan: the position carries over to the other topic.
    EXPECT_EQ(cache.ScanItems("other", &value, 1), name(0));
    EXPECT_EQ(cache.ScanItems("other", &value, 0), name(100));
    EXPECT_STREQ(value, "-100");
    EXPECT_EQ(cache.ScanItems("big", &value, 0), name(2));
    EXPECT_STREQ(value, "2");
}
