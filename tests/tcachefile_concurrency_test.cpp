// The cache file shared by processes: counters that count every change, a file locked past the
// wait that gives errors and keeps its values, and two processes creating one file.
#include <tintvale/tcachefile.h>

#include "temp_dir.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Bound on every child: one that hangs is killed, and the test fails instead of waiting.
constexpr unsigned kChildSeconds = 20;

// Runs body in a child process; its exit status is body's result.
pid_t Spawn(const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        alarm(kChildSeconds);
        _exit(body());
    }
    return child;
}

// True when the child exited with status 0.
bool Succeeded(pid_t child)
{
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int Counter(const std::string& path)
{
    TCacheFile cache(path.c_str(), 0, false);
    int value = -1;
    cache.Search("t", "n", &value, 0, false, false);
    return value;
}

// Another process holding the file's exclusive lock (no reading, no writing) until Release.
class LockHolder {
public:
    explicit LockHolder(const std::string& path)
    {
        int locked[2];
        if (pipe(locked) != 0 || pipe(mRelease) != 0)
            return;
        mChild = Spawn([&] {
            sqlite3* db = nullptr;
            char byte = 1;
            close(mRelease[1]);
            if (sqlite3_open(path.c_str(), &db) != SQLITE_OK
                || sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK
                || write(locked[1], &byte, 1) != 1)
                return 1;
            // Holds the lock until the parent closes its end.
            while (read(mRelease[0], &byte, 1) > 0) { }
            return 0;
        });
        close(locked[1]);
        close(mRelease[0]);
        char byte = 0;
        mHeld = read(locked[0], &byte, 1) == 1;
        close(locked[0]);
    }
    ~LockHolder() { Release(); }
    bool Held() const { return mHeld; }
    bool Release()
    {
        if (mRelease[1] >= 0)
            close(mRelease[1]);
        mRelease[1] = -1;
        const bool ok = Succeeded(mChild);
        mChild = -1;
        return ok;
    }

private:
    int mRelease[2] = { -1, -1 };
    pid_t mChild = -1;
    bool mHeld = false;
};

} // namespace

TEST(TCacheFileProcesses, IncrementsOfEveryProcessCount)
{
    constexpr int kProcesses = 4;
    constexpr int kIncrements = 200;
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
            if (read(go[0], &byte, 1) != 1)
                return 2;
            TCacheFile cache(path.c_str(), 1, true);
            return cache.ErrNo();
        };
        const pid_t first = Spawn(create);
        const pid_t second = Spawn(create);
        // Both start at once.
        ASSERT_EQ(write(go[1], "ab", 2), 2);
        close(go[0]);
        close(go[1]);
        const bool firstOk = Succeeded(first);
        const bool secondOk = Succeeded(second);
        ASSERT_TRUE(firstOk && secondOk) << "round " << round;
    }
}

TEST(TCacheFileProcesses, AFileLockedPastTheWaitGivesErrorsAndKeepsItsValues)
{
    TempDir dir;
    const std::string path = dir.File("locked.tvc");
    TCacheFile cache(path.c_str(), 1, true);
    TCacheFile target(dir.File("target.tvc").c_str(), 1, true);
    cache.AddItem("t", "n", 100, false);
    for (int i = 0; i < 10; ++i)
        cache.AddItem("src", ("k" + std::to_string(i)).c_str(), i, false);
    ASSERT_EQ(cache.Save(), 0);
    ASSERT_EQ(cache.SetWait(50), 0);

    LockHolder holder(path);
    ASSERT_TRUE(holder.Held());
    MessageCapture capture;
    char text[64];
    int number = 0;
    double real = 0;
    const char* value = nullptr;
    const struct {
        const char* what;
        std::function<int()> run;
    } cases[] = {
        { "ChangeIntItem", [&] { return cache.ChangeIntItem("t", "n", 1, INT_MIN, INT_MAX, false); } },
        { "AddItem", [&] { return cache.AddItem("t", "n", 1, false); } },
        { "AddTopic", [&] { return cache.AddTopic("new", false); } },
        { "RemoveTopic", [&] { return cache.RemoveTopic("t", false); } },
        { "Search text", [&] { return cache.Search("t", "n", text, sizeof text, false, false); } },
        { "Search int", [&] { return cache.Search("t", "n", &number, 0, false, false); } },
        { "Search double", [&] { return cache.Search("t", "n", &real, 0, false, false); } },
        { "CopyTopic", [&] { return target.CopyTopic(cache, "src"); } },
        { "ScanTopics", [&] { return cache.ScanTopics(nullptr, 1) ? 0 : cache.ScanResult(); } },
        { "ScanItems", [&] { return cache.ScanItems("src", &value, 1) ? 0 : cache.ScanResult(); } },
    };
    for (const auto& c : cases) {
        const std::size_t before = capture.messages.size();
        EXPECT_EQ(c.run(), TCacheFile::StoreError) << c.what;
        ASSERT_EQ(capture.messages.size(), before + 1) << c.what;
        EXPECT_NE(capture.messages.back().text.find(" : Resource file locked by another process"),
            std::string::npos)
            << c.what << ": " << capture.messages.back().text;
    }
    EXPECT_EQ(cache.Save(), 0) << "nothing to save";
    EXPECT_EQ(target.Save(), 0);
    EXPECT_TRUE(holder.Release());

    EXPECT_EQ(Counter(path), 100) << "never reset by a failed read";
    EXPECT_EQ(target.ScanTopics(nullptr, 1), nullptr) << "a failed copy writes nothing";
    EXPECT_EQ(cache.ChangeIntItem("t", "n", 1, INT_MIN, INT_MAX, false), 0);
    EXPECT_EQ(target.CopyTopic(cache, "src"), 0);
    EXPECT_EQ(cache.Save(), 0);
    EXPECT_EQ(Counter(path), 101);
    EXPECT_STREQ(target.ScanItems("src", &value, 1), "k0");
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
    ASSERT_EQ(cache.ErrNo(), 0);
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
    const struct {
        const char* what;
        std::function<int()> run;
        int expected;
    } cases[] = {
        { "existing topic", [&] { return first.AddTopic("t", false); }, TCacheFile::Failed },
        { "no integer", [&] { return first.ChangeIntItem("t", "word", 1, 0, 9, false); },
            TCacheFile::NotInteger },
        { "topic exists", [&] { return first.CopyTopic(second, "t"); }, TCacheFile::Failed },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.run(), c.expected) << c.what;
        EXPECT_EQ(second.AddItem("t", c.what, 1, false), 0) << c.what;
        EXPECT_EQ(second.Save(), 0) << c.what;
    }
}
