// The topic/item store: refused files, item-text parsing, locks held elsewhere and damaged files.
#include "quire.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace {

struct QuireCloser {
    void operator()(Quire* quire) const { quire_close(quire); }
};
using QuirePtr = std::unique_ptr<Quire, QuireCloser>;

QuirePtr Open() { return QuirePtr(quire_open()); }

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
