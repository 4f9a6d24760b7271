// A process killed at any moment during a long series of saves leaves a cache file that opens and
// holds the content of one complete save.
#include <tintvale/tcachefile.h>

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kNrItems = 12;
// Spans many database pages, so that a save is more than one write.
constexpr std::size_t kBulkSize = 40000;

std::string ItemName(int i) { return "item" + std::to_string(i); }

std::string Bulk(int generation) { return std::string(kBulkSize, static_cast<char>('a' + generation % 26)); }

// Writes one generation: every item and the bulk value carry it.
void WriteGeneration(TCacheFile& cache, int generation)
{
    for (int i = 0; i < kNrItems; ++i)
        cache.AddItem("state", ItemName(i).c_str(), generation, false);
    cache.AddItem("state", "bulk", Bulk(generation).c_str(), false, false);
}

// The child: saves generation after generation and tells the parent after each save.
[[noreturn]] void SaveForever(const std::string& path, int pipeOut)
{
    TCacheFile cache(path.c_str(), 0, false);
    if (cache.ErrNo() != 0)
        _exit(2);
    for (int generation = 1; generation < 1000000; ++generation) {
        WriteGeneration(cache, generation);
        if (cache.Save() != 0)
            _exit(3);
        if (write(pipeOut, &generation, sizeof generation) != sizeof generation)
            _exit(4);
    }
    _exit(0);
}

// The last generation the child reported, reading the pipe until it closes.
int LastReported(int pipeIn)
{
    int last = 0;
    int generation = 0;
    while (read(pipeIn, &generation, sizeof generation) == sizeof generation)
        last = generation;
    return last;
}

} // namespace

TEST(TCacheFileDurability, KilledDuringSavesLeavesOneCompleteSave)
{
    TempDir dir;
    const std::string path = dir.File("durable.tvc");
    {
        TCacheFile cache(path.c_str(), 1, false);
        ASSERT_EQ(cache.ErrNo(), 0);
        WriteGeneration(cache, 0);
        ASSERT_EQ(cache.Save(), 0);
    }
    std::mt19937 random(20240613);
    int previous = 0;
    for (int round = 0; round < 10; ++round) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            SaveForever(path, fds[1]);
        }
        close(fds[1]);
        // Let a few saves complete, then kill at an arbitrary moment of the next ones.
        int generation = 0;
        for (int seen = 0; seen < 3 && read(fds[0], &generation, sizeof generation) == sizeof generation;)
            ++seen;
        usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const int reported = std::max(generation, LastReported(fds[0]));
        close(fds[0]);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child stopped on its own";
        ASSERT_GE(reported, 3);

        // The child starts again from generation 1: what it reported last, or the save in flight.
        TCacheFile cache(path.c_str(), 0, false);
        ASSERT_EQ(cache.ErrNo(), 0) << "round " << round;
        int found = -1;
        ASSERT_EQ(cache.Search("state", ItemName(0).c_str(), &found, 0, false, false), 0);
        EXPECT_TRUE(found == reported || found == reported + 1)
            << "round " << round << ": found " << found << ", reported " << reported << ", before "
            << previous;
        for (int i = 1; i < kNrItems; ++i) {
            int value = -1;
            EXPECT_EQ(cache.Search("state", ItemName(i).c_str(), &value, 0, false, false), 0);
            EXPECT_EQ(value, found) << "item " << i << " of round " << round;
        }
        std::string bulk(kBulkSize + 1, '\0');
        ASSERT_EQ(cache.Search("state", "bulk", bulk.data(), static_cast<int>(bulk.size()), false, false), 0);
        EXPECT_EQ(bulk.c_str(), Bulk(found)) << "round " << round;
        previous = found;
    }
}
