// The topic/item store: files, insertion order, flush and discard, searches and item-text parsing.
#include "quire.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct QuireCloser {
    void operator()(Quire* quire) const { quire_close(quire); }
};
using QuirePtr = std::unique_ptr<Quire, QuireCloser>;

QuirePtr Open() { return QuirePtr(quire_open()); }

std::string Value(Quire* quire, const char* topic, const char* item)
{
    const char* value = nullptr;
    return quire_search(quire, topic, item, &value) ? std::string(value) : std::string("<absent>");
}

// The topics of a file (topic null) or the items of a topic, by position.
std::vector<std::string> Names(Quire* quire, int file, const char* topic = nullptr)
{
    std::vector<std::string> names;
    for (int i = 0;
         const char* name = topic ? quire_posat_item(quire, topic, i) : quire_posat_topic(quire, file, i);
         ++i)
        names.push_back(name);
    return names;
}
std::vector<std::string> Topics(Quire* quire, int file) { return Names(quire, file); }
std::vector<std::string> Items(Quire* quire, const char* topic) { return Names(quire, 0, topic); }

// quire_err after a failed call; -1 when the call succeeded.
int Failure(int result) { return result == 0 ? quire_err : -1; }

} // namespace

TEST(QuireFiles, CreateThenPushAndRefuseWhatIsNotAQuireFile)
{
    TempDir dir;
    const std::string path = dir.File("cache.qr"), text = dir.File("notes.txt"), other = dir.File("other.db");
    QuirePtr q = Open(), second = Open();
    EXPECT_EQ(Failure(quire_push_rfile(q.get(), path.c_str())), 2) << "a missing file is not pushed";
    EXPECT_TRUE(quire_create_rfile(q.get(), path.c_str()) == 1 && quire_err == 0);
    EXPECT_EQ(quire_push_rfile(second.get(), path.c_str()), 1);
    // Create never takes over a store.
    EXPECT_EQ(Failure(quire_create_rfile(second.get(), path.c_str())), 2);
    EXPECT_EQ(Failure(quire_push_rfile(q.get(), "")), 1);
    EXPECT_EQ(Failure(quire_push_rfile(nullptr, path.c_str())), 4);

    // A text file, an SQLite database of another program and a missing directory are refused and kept.
    const std::string content = "topic=value\nnot a database at all\n";
    TempDir::Write(text, content);
    sqlite3* db = nullptr;
    sqlite3_open(other.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE topic(x); CREATE TABLE item(y);", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    for (const std::string& refused : { text, other, dir.File("no/such/dir.qr") }) {
        EXPECT_EQ(Failure(quire_push_rfile(q.get(), refused.c_str())), 2) << refused;
        EXPECT_EQ(Failure(quire_create_rfile(q.get(), refused.c_str())), 2) << refused;
    }
    EXPECT_EQ(TempDir::Read(text), content);
    // An empty file may become a store.
    const std::string empty = dir.File("empty.qr");
    TempDir::Write(empty, "");
    EXPECT_EQ(quire_create_rfile(q.get(), empty.c_str()), 2);
}

TEST(QuireOrder, TopicsAndItemsComeBackInTheOrderTheyWereAdded)
{
    TempDir dir;
    QuirePtr q = Open();
    const int f = quire_create_rfile(q.get(), dir.File("order.qr").c_str());
    ASSERT_EQ(f, 1);
    EXPECT_TRUE(Topics(q.get(), f) == std::vector<std::string>() && quire_err == 13);
    for (const char* topic : { "zeta", "alpha", "mid" })
        EXPECT_EQ(quire_add_topic(q.get(), f, topic, ""), 1);
    EXPECT_EQ(Failure(quire_add_topic(q.get(), f, "alpha", "")), 7);
    EXPECT_EQ(Topics(q.get(), f), (std::vector<std::string> { "zeta", "alpha", "mid" }));
    EXPECT_TRUE(quire_posat_topic(q.get(), 2, 0) == nullptr && quire_err == 6);

    for (const char* item : { "b", "c", "a" })
        EXPECT_EQ(quire_add_item(q.get(), "alpha", item, item, ""), 1);
    EXPECT_EQ(Failure(quire_add_item(q.get(), "alpha", "c", "again", "")), 8);
    EXPECT_EQ(Failure(quire_add_item(q.get(), "alpha", "null", nullptr, "")), 10);
    EXPECT_EQ(quire_modify(q.get(), "alpha", "b", "changed"), 1);
    EXPECT_TRUE((Items(q.get(), "alpha") == std::vector<std::string> { "b", "c", "a" }) && quire_err == 14);
    EXPECT_EQ(Value(q.get(), "alpha", "b"), "changed");

    // Removing a topic takes its items along; a topic added later goes to the end.
    EXPECT_EQ(quire_remove_topic(q.get(), f, "zeta"), 1);
    EXPECT_EQ(Failure(quire_remove_topic(q.get(), f, "zeta")), 19);
    EXPECT_TRUE(quire_add_topic(q.get(), f, "zeta", "") == 1 && quire_remove_topic(q.get(), f, "alpha") == 1);
    EXPECT_EQ(Value(q.get(), "alpha", "b"), "<absent>");
    // An item for a topic nobody holds brings its topic along.
    EXPECT_EQ(quire_add_item(q.get(), "fresh", "k", "v", ""), 1);
    EXPECT_EQ(Topics(q.get(), f), (std::vector<std::string> { "mid", "zeta", "fresh" }));
    EXPECT_EQ(Failure(quire_modify(q.get(), "fresh", "absent", "v")), 17);
    EXPECT_EQ(Failure(quire_modify(q.get(), "nowhere", "k", "v")), 19);
}

TEST(QuireDurability, FlushKeepsChangesAndCloseDiscardsTheRest)
{
    TempDir dir;
    const std::string path = dir.File("flush.qr");
    {
        QuirePtr q = Open();
        ASSERT_EQ(quire_create_rfile(q.get(), path.c_str()), 1);
        quire_add_item(q.get(), "kept", "x", "1", "");
        EXPECT_EQ(quire_flush(q.get()), 1);
        quire_add_topic(q.get(), 1, "dropped", "");
        quire_modify(q.get(), "kept", "x", "2");
        quire_add_item(q.get(), "kept", "y", "3", "");
        EXPECT_EQ(Value(q.get(), "kept", "x"), "2") << "a quire sees its own pending changes";
    }
    QuirePtr q = Open(), none = Open();
    ASSERT_EQ(quire_push_rfile(q.get(), path.c_str()), 1);
    EXPECT_EQ(Topics(q.get(), 1), std::vector<std::string> { "kept" });
    EXPECT_EQ(Items(q.get(), "kept"), std::vector<std::string> { "x" });
    EXPECT_EQ(Value(q.get(), "kept", "x"), "1");
    // A flush with nothing pending succeeds; a quire without files has nothing to flush.
    EXPECT_EQ(quire_flush(q.get()), 1);
    EXPECT_TRUE(Failure(quire_flush(none.get())) == 5 && Failure(quire_search_topic(none.get(), "t")) == 5);
}

TEST(QuireSearch, TheMostRecentlyPushedFileFirstAndTypedResults)
{
    TempDir dir;
    QuirePtr q = Open();
    const int lower = quire_create_rfile(q.get(), dir.File("lower.qr").c_str());
    const int upper = quire_create_rfile(q.get(), dir.File("upper.qr").c_str());
    ASSERT_EQ(upper, 2);
    quire_add_topic(q.get(), lower, "shared", "");
    quire_add_item(q.get(), "shared", "who", "lower", "");
    quire_add_topic(q.get(), lower, "t", "");
    EXPECT_EQ(quire_add_topic(q.get(), upper, "shared", ""), 1) << "topics are per file";
    quire_add_item(q.get(), "shared", "who", "upper", "");
    EXPECT_EQ(Value(q.get(), "shared", "who"), "upper");
    // Items of a topic only the lower file holds go there; new topics made for items go to the top file.
    quire_add_item(q.get(), "t", "word", "hello", "");
    quire_add_item(q.get(), "t", "count", " -42, 7", "");
    quire_add_item(q.get(), "new", "k", "v", "");
    EXPECT_EQ(Topics(q.get(), upper), (std::vector<std::string> { "shared", "new" }));
    EXPECT_EQ(Items(q.get(), "t"), (std::vector<std::string> { "word", "count" }));

    char out[6] = "?????";
    // Five characters need six bytes.
    EXPECT_EQ(Failure(quire_search_string(q.get(), "t", "word", out, 5)), 18);
    EXPECT_STREQ(out, "?????");
    EXPECT_TRUE(quire_search_string(q.get(), "t", "word", out, 6) == 1 && std::string(out) == "hello");
    int n = 0;
    EXPECT_TRUE(quire_search_int(q.get(), "t", "count", &n) == 1 && n == -42);
    EXPECT_EQ(Failure(quire_search_int(q.get(), "t", "word", &n)), 17);
    EXPECT_EQ(Failure(quire_search_int(q.get(), "u", "count", &n)), 15);
    EXPECT_TRUE(quire_search(q.get(), "t", "word", nullptr) == 1 && quire_err == 0);
}

TEST(QuireItemText, NumbersByIndex)
{
    // Text, index, expected result (or failure): separators are blanks and commas, never decimal marks.
    const struct {
        const char* text;
        int index;
        bool ok;
        double value;
    } ints[] = { { "12, 13\t-4", 0, true, 12 }, { "12, 13\t-4", 2, true, -4 }, { "12,,13", 1, true, 13 },
        { "+7", 0, true, 7 }, { "12, 13", 2, false, 0 }, { "12, 13", -1, false, 0 }, { "12.5", 0, false, 0 },
        { "3000000000", 0, false, 0 }, { "+-3", 0, false, 0 }, { nullptr, 0, false, 0 },
        { "", 0, false, 0 } },
      doubles[] = { { "  0.5000", 0, true, 0.5 }, { "1 2.5e-3 -7", 1, true, 2.5e-3 }, { "12", 0, true, 12 },
          { "1,5", 1, true, 5 }, { "0.5x", 0, false, 0 }, { "1e400", 0, false, 0 } };
    for (const auto& r : ints) {
        int n = 99;
        EXPECT_EQ(str_int_from_itemstr(r.text, r.index, &n), r.ok ? 0 : -1) << (r.text ? r.text : "null");
        EXPECT_EQ(n, r.ok ? r.value : 99) << "a failed read leaves the target alone";
    }
    for (const auto& r : doubles) {
        double d = 99;
        EXPECT_EQ(str_double_from_itemstr(r.text, r.index, &d), r.ok ? 0 : -1) << r.text;
        EXPECT_EQ(d, r.ok ? r.value : 99) << r.text;
    }
    double d = 0;
    EXPECT_TRUE(str_double_from_itemstr("   nan", 0, &d) == 0 && std::isnan(d));
}

TEST(QuireErrors, ALockHeldElsewhereAndADamagedFileAreNamedFailures)
{
    TempDir dir;
    const std::string path = dir.File("shared.qr");
    {
        QuirePtr holder = Open(), other = Open();
        ASSERT_EQ(quire_create_rfile(holder.get(), path.c_str()), 1);
        quire_add_item(holder.get(), "t", "k", "v", "");
        ASSERT_EQ(quire_flush(holder.get()), 1);
        ASSERT_EQ(quire_push_rfile(other.get(), path.c_str()), 1);
        quire_set_wait(other.get(), 0);
        ASSERT_EQ(quire_lock_rfile(holder.get(), 1), 1);
        EXPECT_TRUE(quire_add_topic(other.get(), 1, "u", "") == 0 && quire_err == kQuireLocked);
        EXPECT_EQ(quire_unlock_rfile(holder.get(), 1), 1);
        EXPECT_EQ(quire_add_topic(other.get(), 1, "u", ""), 1);
    }
    // Every page after the first (the schema) overwritten: a search fails, it does not report absence.
    std::string content = TempDir::Read(path);
    ASSERT_GT(content.size(), 4096u);
    std::fill(content.begin() + 4096, content.end(), '\xff');
    TempDir::Write(path, content);
    QuirePtr q = Open();
    ASSERT_EQ(quire_push_rfile(q.get(), path.c_str()), 1);
    EXPECT_EQ(Failure(quire_search_topic(q.get(), "t")), kQuireUnreadable);
}
