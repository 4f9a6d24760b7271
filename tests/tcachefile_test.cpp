// The cache file: topics and items, counters, escaping, scans, persistence and error reporting.
#include <tintvale/tcachefile.h>

#include "temp_dir.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
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

std::vector<std::string> AllItems(TCacheFile& cache, const char* topic)
{
    std::vector<std::string> items;
    const char* value = nullptr;
    for (const char* item = cache.ScanItems(topic, &value, 1); item; item = cache.ScanItems(topic, &value, 0))
        items.push_back(std::string(item) + "=" + value);
    return items;
}

} // namespace

TEST_F(TCacheFileOps, ChangeIntItemAddsClampsAndRefusesNonIntegers)
{
    cache.AddItem("c", "big", INT_MAX, false);
    cache.AddItem("c", "small", INT_MIN, false);
    cache.AddItem("c", "word", "12.5000", false, false);
    // In order: item, delta, min, max, the value after. A sum past the int range is clamped back.
    const struct {
        const char* item;
        int delta, min, max, after;
    } rows[] = { { "n", 5, 0, 10, 5 }, { "n", 8, 0, 10, 10 }, { "n", -25, 0, 10, 0 }, { "n", 0, 7, 3, 3 },
        { "big", INT_MAX, INT_MIN, INT_MAX, INT_MAX }, { "small", -1, INT_MIN, 0, INT_MIN } };
    for (const auto& r : rows) {
        EXPECT_EQ(cache.ChangeIntItem("c", r.item, r.delta, r.min, r.max, false), 0);
        EXPECT_EQ(Value(cache, "c", r.item), std::to_string(r.after)) << r.item << " " << r.delta;
    }
    EXPECT_EQ(cache.ChangeIntItem("c", "word", 2, -5, 5, false), TCacheFile::NotInteger);
    EXPECT_EQ(Value(cache, "c", "word"), "12.5000");
    cache.ChangeIntItem("a b", "n", 3, 0, 100, true);
    cache.ChangeIntItem("a b", "n", 4, 0, 100, true);
    EXPECT_EQ(Value(cache, "a%20b", "n"), "7");
}

TEST_F(TCacheFileOps, EscapedTopicsAndValuesAndTheirMessages)
{
    MessageCapture capture;
    EXPECT_TRUE(cache.AddTopic("paper/ink", true) == 0 && cache.AddTopic("plain", false) == 0);
    // The escaped name is the stored one; an existing topic is no error to report.
    EXPECT_TRUE(cache.AddTopic("paper%2fink", false) == -1 && capture.messages.empty());
    EXPECT_EQ(cache.AddItem("paper/ink", "note", "50% cyan; 3.5 [a]", true, true), 0);
    EXPECT_EQ(Value(cache, "paper/ink", "note", true, true), "50% cyan; 3.5 [a]");
    // Item names stay as given; ScanItems takes the topic as stored.
    EXPECT_EQ(AllItems(cache, "paper%2fink"),
        std::vector<std::string> { "note=50%25%20cyan%3b%203%2e5%20%5ba%5d" });
    // Decoding touches only escapes of the escaped set.
    cache.AddItem("plain", "raw", "%41%2f", false, false);
    EXPECT_EQ(Value(cache, "plain", "raw", false, true), "%41/");
    EXPECT_EQ(cache.RemoveTopic("paper/ink", true), 0);
    EXPECT_EQ(AllTopics(cache), std::vector<std::string> { "plain" });
    EXPECT_EQ(cache.RemoveTopic("paper/ink", true), -1);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text,
        "Unable to remove topic : paper/ink to the data base : Topic not found in database");
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
    EXPECT_EQ(cache.ScanTopics("pre", 0), nullptr) << "a finished scan stays finished";
    // A derived class restarts a finished scan with the init calls, which report Ok.
    struct Restarting : TCacheFile {
        using TCacheFile::TCacheFile;
        int Restart() { return ScanTopicsInit() + ScanItemsInit(); }
    } again(dir.File("again.tvc").c_str(), 1, true);
    const char* value = nullptr;
    ASSERT_TRUE(again.AddTopic("t", false) == 0 && again.AddItem("t", "i", "v", false, false) == 0);
    EXPECT_STREQ(again.ScanTopics(nullptr, 0), "t") << "a new object's first scan starts at the first topic";
    EXPECT_TRUE(
        again.ScanTopics(nullptr, 1) && !again.ScanTopics(nullptr, 0) && again.ScanItems("t", &value, 1));
    EXPECT_TRUE(again.Restart() == TCacheFile::Ok && std::string(again.ScanTopics(nullptr, 0)) == "t");
    EXPECT_STREQ(again.ScanItems("t", &value, 0), "i");
}

TEST_F(TCacheFileOps, ScannedValuesSurviveChangesAndCopiesKeepOrder)
{
    for (const char* item : { "b", "a", "c" })
        cache.AddItem("src", item, item, false, false);
    EXPECT_EQ(cache.ScanItems("nothing", nullptr, 1), nullptr);
    const char* value = nullptr;
    cache.ScanItems("src", &value, 1);
    char out[8];
    cache.Search("src", "c", out, sizeof out, false, false);
    cache.AddItem("src", "a", "11", false, false);
    EXPECT_STREQ(value, "b");

    TempDir otherDir;
    TCacheFile target(otherDir.File("copy.tvc").c_str(), 1, true);
    EXPECT_EQ(target.CopyTopic(cache, "src"), 0);
    EXPECT_EQ(AllItems(target, "src"), (std::vector<std::string> { "b=b", "a=11", "c=c" }));
    // The topic exists already; an empty topic copies as an empty topic.
    EXPECT_TRUE(target.CopyTopic(cache, "src") == -1 && target.CopyTopic(cache, "missing") == 0);
    EXPECT_EQ(target.AddTopic("missing", false), -1);
}

TEST_F(TCacheFileOps, LongTextsAreHandledWhole)
{
    MessageCapture capture;
    const std::string topic(2000, '/');
    const std::string value = std::string(3000, ' ') + "end";
    EXPECT_EQ(cache.AddItem(topic.c_str(), "k", value.c_str(), true, true), 0);
    EXPECT_EQ(AllTopics(cache).at(0).size(), 6000u);
    std::vector<char> out(value.size() + 1);
    EXPECT_EQ(cache.Search(topic.c_str(), "k", out.data(), static_cast<int>(out.size()), true, true), 0);
    EXPECT_EQ(std::string(out.data()), value);
    // One byte short: refused whole, with a message, and out untouched.
    out[0] = 'x';
    EXPECT_TRUE(cache.Search(topic.c_str(), "k", out.data(), static_cast<int>(value.size()), true, true) == -1
        && out[0] == 'x');
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_NE(capture.messages[0].text.find("does not fit in 3003 characters"), std::string::npos);
    std::string numbers;
    for (int i = 0; i < 1500; ++i)
        numbers += std::to_string(i) + " ";
    cache.AddItem("n", "list", numbers.c_str(), false, false);
    int n = 0;
    EXPECT_TRUE(cache.Search("n", "list", &n, 1499, false, false) == 0 && n == 1499);
}

TEST_F(TCacheFileOps, SavedChangesReachOtherObjectsAndUnsavedOnesAreDiscarded)
{
    cache.AddItem("illuminants", "D50", 5003, false);
    cache.AddItem("a/b", "x", 0.125, true);
    {
        TCacheFile other("cache.tvc", dir.Dir().c_str(), true);
        // Reading is not blocked, and sees saved content only.
        EXPECT_TRUE(AllTopics(other).empty() && cache.Save() == 0);
        EXPECT_EQ(AllTopics(other), (std::vector<std::string> { "illuminants", "a%2fb" }));
        other.AddItem("illuminants", "D65", 6504, false);
    } // destroyed unsaved
    EXPECT_EQ(AllItems(cache, "illuminants"), std::vector<std::string> { "D50=5003" });
    cache.RemoveTopic("illuminants", false);
    EXPECT_EQ(cache.Save(), 0);
    TCacheFile reopened(path.c_str(), 0, false);
    EXPECT_EQ(AllTopics(reopened), std::vector<std::string> { "a%2fb" });
    EXPECT_EQ(Value(reopened, "a/b", "x", true), "0.1250");
}

TEST(TCacheFileOpening, MissingAndForeignFilesAreRefusedAndEqualityIgnoresCase)
{
    TempDir dir;
    MessageCapture capture;
    const std::string text = dir.File("notes.txt");
    TempDir::Write(text, "[topic]\nitem=value\n");
    TCacheFile missing("none.tvc", dir.Dir().c_str(), true);
    TCacheFile foreign(text.c_str(), 1, true);
    // Create leaves a file that is not a cache alone.
    EXPECT_EQ(TempDir::Read(text), "[topic]\nitem=value\n");
    TCacheFile noCreate(dir.File("new.tvc").c_str(), 0, false), noPath(nullptr, 1, true);
    for (const TCacheFile* failed : { &missing, &foreign, &noCreate, &noPath })
        EXPECT_EQ(failed->ErrNo(), 3);
    ASSERT_EQ(capture.messages.size(), 3u) << "silent when not reporting";
    EXPECT_EQ(capture.messages[0].text, "Unable to push file " + dir.Dir() + "none.tvc");
    EXPECT_EQ(capture.messages[0].file, "tcachefile");

    // A failed object refuses every change, reporting why.
    EXPECT_TRUE(foreign.AddItem("t", "k", "v", false, false) == -1 && foreign.Save() == -1);
    ASSERT_EQ(capture.messages.size(), 5u);
    EXPECT_EQ(capture.messages[3].text, "Unable to add item k to topic t : There are no files in quire");
    EXPECT_EQ(foreign.ScanTopics(nullptr, 1), nullptr);

    // Equal: made from the same directory and name ignoring case, whether or not the file opened.
    TCacheFile byPath(text.c_str(), 0, false), noDir("a.tvc", "", false);
    EXPECT_TRUE(missing == TCacheFile("NONE.tvc", dir.Dir().c_str(), false));
    EXPECT_FALSE(missing == TCacheFile("a.tvc", dir.Dir().c_str(), false));
    EXPECT_TRUE(!(byPath == byPath) && !(noDir == noDir));
}

TEST_F(TCacheFileOps, ScanItemsKeepsTheOrderOfAdditionOverManyItems)
{
    // Names in an order unlike that of addition (7919 is prime to 2000), another topic's in between.
    constexpr int kItems = 2000;
    auto name = [](int i) { return "k" + std::to_string(i * 7919 % kItems); };
    for (int i = 0; i < kItems; ++i) {
        ASSERT_EQ(cache.AddItem("big", name(i).c_str(), i, false), 0);
        if (i % 100 == 0)
            cache.AddItem("other", name(i).c_str(), -i, false);
    }
    ASSERT_EQ(cache.Save(), 0);
    const std::vector<std::string> items = AllItems(cache, "big");
    ASSERT_EQ(items.size(), static_cast<std::size_t>(kItems));
    for (int i = 0; i < kItems; ++i)
        ASSERT_EQ(items[i], name(i) + "=" + std::to_string(i));
    // Switching topics mid-scan: the position carries over to the other topic.
    const char* value = nullptr;
    EXPECT_EQ(cache.ScanItems("other", &value, 1), name(0));
    EXPECT_EQ(cache.ScanItems("other", &value, 0), name(100));
    EXPECT_TRUE((cache.ScanItems("big", &value, 0)) == name(2) && std::string(value) == "2");
}
