// The cache file shared by processes: counters that count every change, a file locked past the
// wait that gives errors and keeps its values, and two processes creating one file.
#include <tintvale/tcachefile.h>

#include "process_support.h"
#include "temp_dir.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

int Counter(const std::string& path)
{
    TCacheFile cache(path.c_str(), 0, false);
    int value = -1;
    cache.Search("t", "n", &value, 0, false, false);
    return value;
}

// A new cache file at path holding item "n" of topic "t", saved.
bool SavedWith(const std::string& path, int value)
{
    TCacheFile cache(path.c_str(), 1, false);
    return cache.AddItem("t", "n", value, false) == 0 && cache.Save() == 0;
}

// Another connection holding the file's exclusive lock (no reading, no writing) until destroyed;
// SQLite makes connections of one process wait for each other as it does those of two.
struct LockHolder {
    explicit LockHolder(const std::string& path)
    {
        held = sqlite3_open(path.c_str(), &db) == SQLITE_OK
            && sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~LockHolder() { sqlite3_close(db); }
    sqlite3* db = nullptr;
    bool held = false;
};

} // namespace

TEST(TCacheFileProcesses, IncrementsOfEveryProcessCount)
{
    constexpr int kProcesses = 4, kIncrements = 200;
    TempDir dir;
    const std::string path = dir.File("counter.tvc");
    ASSERT_TRUE(SavedWith(path, 0));
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p)
        children.push_back(Spawn([&] {
            TCacheFile cache(path.c_str(), 0, true);
            for (int i = 0; i < kIncrements; ++i)
                if (cache.ChangeIntItem("t", "n", 1, INT_MIN, INT_MAX, false) != 0 || cache.Save() != 0)
                    return 1;
            return cache.ErrNo();
        }));
    for (pid_t child : children)
        EXPECT_TRUE(Succeeded(child));
    EXPECT_EQ(Counter(path), kProcesses * kIncrements);
}

TEST(TCacheFileProcesses, TwoProcessesCreatingOneFileBothSucceed)
{
    TempDir dir;
    for (int round = 0; round < 100; ++round) {
        const std::string path = dir.File("new" + std::to_string(round) + ".tvc");
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        auto create = [&] {
            char byte = 0;
            close(go[1]);
            return read(go[0], &byte, 1) != 1 ? 2 : TCacheFile(path.c_str(), 1, true).ErrNo();
        };
        const pid_t first = Spawn(create), second = Spawn(create);
        ASSERT_EQ(write(go[1], "ab", 2), 2); // both start at once
        close(go[0]);
        close(go[1]);
        ASSERT_EQ(Succeeded(first) + Succeeded(second), 2) << "round " << round;
    }
}

TEST(TCacheFileProcesses, AFileLockedPastTheWaitGivesErrorsAndKeepsItsValues)
{
    TempDir dir;
    const std::string path = dir.File("locked.tvc");
    TCacheFile cache(path.c_str(), 1, true);
    TCacheFile target(dir.File("target.tvc").c_str(), 1, true);
    cache.AddItem("t", "n", 100, false);
    cache.AddItem("src", "k0", 0, false);
    ASSERT_EQ(cache.Save(), 0);
    ASSERT_EQ(cache.SetWait(50), 0);
    const char* value = nullptr;
    {
        LockHolder holder(path);
        ASSERT_TRUE(holder.held);
        MessageCapture capture;
        int number = 0;
        const std::function<int()> cases[] = {
            [&] { return cache.ChangeIntItem("t", "n", 1, INT_MIN, INT_MAX, false); },
            [&] { return cache.AddItem("t", "n", 1, false); },
            [&] { return cache.AddTopic("new", false); },
            [&] { return cache.RemoveTopic("t", false); },
            [&] { return cache.Search("t", "n", &number, 0, false, false); },
            [&] { return target.CopyTopic(cache, "src"); },
            [&] { return cache.ScanTopics(nullptr, 1) ? 0 : cache.ScanResult(); },
            [&] { return cache.ScanItems("src", &value, 1) ? 0 : cache.ScanResult(); },
        };
        for (std::size_t k = 0; k < std::size(cases); ++k) {
            EXPECT_EQ(cases[k](), TCacheFile::StoreError) << "row " << k;
            const auto& said = capture.messages;
            ASSERT_TRUE(said.size() == k + 1
                && said.back().text.find(" : Resource file locked by another process") != std::string::npos)
                << "row " << k;
        }
        EXPECT_TRUE(cache.Save() == 0 && target.Save() == 0) << "nothing to save";
    }
    // Never reset by a failed read; a failed copy writes nothing.
    EXPECT_TRUE(Counter(path) == 100 && target.ScanTopics(nullptr, 1) == nullptr);
    EXPECT_TRUE(cache.ChangeIntItem("t", "n", 1, INT_MIN, INT_MAX, false) == 0
        && target.CopyTopic(cache, "src") == 0 && cache.Save() == 0);
    EXPECT_TRUE(Counter(path) == 101 && std::string(target.ScanItems("src", &value, 1)) == "k0");
}

TEST(TCacheFileDamage, ADamagedFileGivesErrorsNotAbsence)
{
    TempDir dir;
    const std::string path = dir.File("damaged.tvc");
    ASSERT_TRUE(SavedWith(path, 100));
    // Every page after the first (the schema) overwritten: the tables can no longer be read.
    std::string content = TempDir::Read(path);
    ASSERT_GT(content.size(), 4096u);
    std::fill(content.begin() + 4096, content.end(), '\xff');
    TempDir::Write(path, content);
    MessageCapture capture;
    TCacheFile cache(path.c_str(), 0, false);
    int value = 0;
    EXPECT_EQ(cache.Search("t", "n", &value, 0, false, false), TCacheFile::StoreError);
    EXPECT_EQ(cache.ChangeIntItem("t", "n", 1, INT_MIN, INT_MAX, false), TCacheFile::StoreError);
    ASSERT_EQ(capture.messages.size(), 2u);
    EXPECT_EQ(
        capture.messages[0].text, "Cannot read item n of topic t : Failed to read or write resource file");
}

TEST(TCacheFileDamage, AScanOfRowsOutOfOrderEnds)
{
    TempDir dir;
    const std::string path = dir.File("out_of_order.tvc");
    {
        TCacheFile cache(path.c_str(), 1, false);
        for (int k = 0; k < 100; ++k)
            cache.AddItem(
                "t", ("k" + std::to_string(k)).c_str(), ("v" + std::to_string(k)).c_str(), false, false);
        ASSERT_EQ(cache.Save(), 0);
    }
    // The row of item k50 (id 51) renumbered 10 in its table page: its cell is the payload length,
    // the id, then a record header of six bytes before the name and value.
    std::string content = TempDir::Read(path);
    const std::size_t at = content.find("k50v50");
    ASSERT_TRUE(at != std::string::npos && content[at - 7] == 51);
    content[at - 7] = 10;
    TempDir::Write(path, content);
    MessageCapture capture;
    TCacheFile cache(path.c_str(), 0, false);
    const char* value = nullptr;
    int count = 0;
    for (const char* item = cache.ScanItems("t", &value, 1); item && count < 1000;
         item = cache.ScanItems("t", &value, 0))
        ++count;
    EXPECT_LE(count, 100);
    EXPECT_EQ(cache.ScanResult(), TCacheFile::StoreError);
    TCacheFile target(dir.File("copy.tvc").c_str(), 1, false);
    EXPECT_EQ(target.CopyTopic(cache, "t"), TCacheFile::StoreError);
    EXPECT_EQ(target.ScanTopics(nullptr, 1), nullptr);
}

TEST(TCacheFileDamage, AFileWithoutWritePermissionRefusesChangesAsAStoreError)
{
    TempDir dir;
    const std::string path = dir.File("read_only.tvc");
    ASSERT_TRUE(SavedWith(path, 7));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    MessageCapture capture;
    TCacheFile cache(path.c_str(), 0, false);
    int value = 0;
    EXPECT_TRUE(cache.Search("t", "n", &value, 0, false, false) == 0 && value == 7);
    EXPECT_EQ((std::vector<int> { cache.AddItem("t", "m", 1, false), cache.AddItem("t", "n", 8, false),
                  cache.AddTopic("u", false), cache.RemoveTopic("t", false) }),
        std::vector<int>(4, TCacheFile::StoreError));
    EXPECT_EQ(Counter(path), 7);
}

TEST(TCacheFileSharing, OperationsThatChangeNothingGiveTheLockBack)
{
    TempDir dir;
    const std::string path = dir.File("shared.tvc");
    TCacheFile first(path.c_str(), 1, false);
    first.AddItem("t", "word", "12.5000", false, false);
    ASSERT_EQ(first.Save(), 0);
    TCacheFile second(path.c_str(), 0, false);
    ASSERT_EQ(second.SetWait(100), 0);
    // Each row fails without changing anything; the other object may write at once after it.
    const std::pair<std::function<int()>, int> rows[] = {
        { [&] { return first.AddTopic("t", false); }, TCacheFile::Failed },
        { [&] { return first.ChangeIntItem("t", "word", 1, 0, 9, false); }, TCacheFile::NotInteger },
        { [&] { return first.CopyTopic(second, "t"); }, TCacheFile::Failed },
    };
    for (const auto& [run, expected] : rows) {
        EXPECT_TRUE(run() == expected && second.AddItem("t", "n", expected, false) == 0) << expected;
        EXPECT_EQ(second.Save(), 0) << expected;
    }
}
