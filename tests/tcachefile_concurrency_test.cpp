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

namespace {

int Counter(const std::string& path)
{
    TCacheFile cache(path.c_str(), 0, false);
    int value = -1;
    cache.Search("t", "n", &value, 0, false, false);
    return value;
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
    {
        TCacheFile cache(path.c_str(), 1, false);
        ASSERT_EQ(cache.AddItem("t", "n", 0, false), 0);
        ASSERT_EQ(cache.Save(), 0);
    }
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
    {
        TCacheFile cache(path.c_str(), 1, false);
        cache.AddItem("t", "n", 100, false);
        ASSERT_EQ(cache.Save(), 0);
    }
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
