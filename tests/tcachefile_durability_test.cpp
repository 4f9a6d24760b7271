// A process killed at any moment during a long series of saves leaves a cache file that opens and
// holds the content of one complete save.
#include <tintvale/tcachefile.h>

#include "process_support.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <string>

namespace {

constexpr int kNrItems = 12;
// Spans many database pages, so that a save is more than one write.
constexpr std::size_t kBulkSize = 40000;

std::string Bulk(int generation) { return std::string(kBulkSize, static_cast<char>('a' + generation % 26)); }

// Writes one generation: every item and the bulk value carry it.
void WriteGeneration(TCacheFile& cache, int generation)
{
    for (int i = 0; i < kNrItems; ++i)
        cache.AddItem("state", ("item" + std::to_string(i)).c_str(), generation, false);
    cache.AddItem("state", "bulk", Bulk(generation).c_str(), false, false);
}

// The child: saves generation after generation and reports each save on the pipe.
int SaveForever(const std::string& path, int pipeOut)
{
    TCacheFile cache(path.c_str(), 0, false);
    for (int generation = 1; cache.ErrNo() == 0; ++generation) {
        WriteGeneration(cache, generation);
        if (cache.Save() != 0 || write(pipeOut, &generation, sizeof generation) != sizeof generation)
            return 3;
    }
    return 2;
}

} // namespace

TEST(TCacheFileDurability, KilledDuringSavesLeavesOneCompleteSave)
{
    TempDir dir;
    const std::string path = dir.File("durable.tvc");
    {
        TCacheFile cache(path.c_str(), 1, false);
        WriteGeneration(cache, 0);
        ASSERT_EQ(cache.Save(), 0);
    }
    std::mt19937 random(20240613);
    for (int round = 0; round < 10; ++round) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = Spawn([&] {
            close(fds[0]);
            return SaveForever(path, fds[1]);
        });
        close(fds[1]);
        // Let a few saves complete, then kill at an arbitrary moment of the next ones.
        int generation = 0, reported = 0;
        for (int seen = 0; seen < 3 && read(fds[0], &generation, sizeof generation) == sizeof generation;
             ++seen)
            reported = generation;
        usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        while (read(fds[0], &generation, sizeof generation) == sizeof generation)
            reported = generation;
        close(fds[0]);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child stopped on its own";
        ASSERT_GE(reported, 3);

        // The child starts again from generation 1: what it reported last, or the save in flight. The
        // first item and the bulk value, written last, must agree.
        TCacheFile cache(path.c_str(), 0, false);
        int found = -1;
        ASSERT_EQ(cache.Search("state", "item0", &found, 0, false, false), 0) << "round " << round;
        EXPECT_TRUE(found == reported || found == reported + 1) << found << " after " << reported;
        std::string bulk(kBulkSize + 1, '\0');
        ASSERT_EQ(cache.Search("state", "bulk", bulk.data(), static_cast<int>(bulk.size()), false, false), 0);
        EXPECT_EQ(bulk.c_str(), Bulk(found)) << "round " << round;
    }
}
