// What reading a file may cost in memory: a bound set by the file's size, never by a number in it.
// Every allocation of this test program is counted; during a measurement one that would pass the
// bound is refused, so that a reader without the bound fails here at once instead of taking
// gigabytes.
#include <tintvale/tcgats.h>

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <utility>

#include <malloc.h>

// The address sanitizer has its own operator new and keeps freed memory aside, so the count is
// made in the plain build only; under the sanitizer the fuzz harness bounds single allocations.
#if defined(__SANITIZE_ADDRESS__)
#define TINTVALE_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TINTVALE_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef TINTVALE_COUNT_ALLOCATIONS
#define TINTVALE_COUNT_ALLOCATIONS 1
#endif

namespace {

std::atomic<long long> gLive { 0 };
std::atomic<long long> gPeak { 0 };
std::atomic<long long> gLimit { 0 }; // 0: no limit
std::atomic<bool> gRefused { false };

[[maybe_unused]] void* Allocate(std::size_t n)
{
    const long long limit = gLimit.load(std::memory_order_relaxed);
    if (limit != 0 && gLive.load(std::memory_order_relaxed) + static_cast<long long>(n) > limit) {
        gRefused = true;
        throw std::bad_alloc();
    }
    void* p = std::malloc(n != 0 ? n : 1);
    if (!p)
        throw std::bad_alloc();
    const long long live = gLive += static_cast<long long>(malloc_usable_size(p));
    long long peak = gPeak.load(std::memory_order_relaxed);
    while (live > peak && !gPeak.compare_exchange_weak(peak, live)) { }
    return p;
}

[[maybe_unused]] void Release(void* p) noexcept
{
    gLive -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}

} // namespace

#if TINTVALE_COUNT_ALLOCATIONS
void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
#endif

constexpr long long kMB = 1 << 20;

// Runs body with every allocation past bound above the live memory refused: the peak above it, and
// whether an allocation was refused.
std::pair<long long, bool> Measured(long long bound, const std::function<void()>& body)
{
    const long long start = gLive;
    gPeak = start;
    gRefused = false;
    gLimit = start + bound;
    try {
        body();
    } catch (const std::bad_alloc&) { }
    gLimit = 0;
    return { gPeak - start, gRefused };
}

TEST(TCgatsMemory, ReadingCostsWhatTheFileHolds)
{
    if (!TINTVALE_COUNT_ALLOCATIONS)
        GTEST_SKIP() << "allocations are not counted under the address sanitizer";
    std::string names; // 20 MB of names
    for (int i = 0; i < 10'000'000; ++i)
        names += "a ";
    const struct {
        const char* what;
        std::string text;
        long long bound;
        int code;
    } rows[] = {
        // A 135-byte file whose one field name claims 2^31 - 1 N-colour channels.
        { "channel count in a name",
            "CGATS.17\nORIGINATOR \"abcd\"\nNUMBER_OF_FIELDS "
            "1\nBEGIN_DATA_FORMAT\n2147483647CLR_1\nEND_DATA_FORMAT\n"
            "NUMBER_OF_SETS 1\nBEGIN_DATA\n1\nEND_DATA\n",
            50 * kMB, TCgats::kErrColorNumbering },
        { "declared names under a huge count",
            "KEYWORD \"a\"\nNUMBER_OF_FIELDS 2000000000\nBEGIN_DATA_FORMAT\n" + names + "\nEND_DATA_FORMAT\n",
            300 * kMB, TCgats::kErrBadField },
        { "declared names without a count",
            "KEYWORD \"a\"\nBEGIN_DATA_FORMAT\n" + names + "\nEND_DATA_FORMAT\n", 300 * kMB,
            TCgats::kErrBadField },
        { "a huge set count with one row",
            "NUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nLAB_L LAB_A\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2000000000\n"
            "BEGIN_DATA\n1 2\nEND_DATA\n",
            50 * kMB, TCgats::kErrSampleCount }, // fewer values than the sets declare
    };
    EXPECT_EQ(std::string(rows[0].text).size(), 135u);
    for (const auto& row : rows) {
        int code = -2;
        const auto [peak, refused]
            = Measured(row.bound, [&] { code = TCgats(row.text.c_str(), 0).GetErrorCode(); });
        EXPECT_EQ(code, refused ? -1 : row.code) << row.what;
        EXPECT_LT(peak, row.bound) << row.what << ": " << peak / kMB << " MB";
    }
}

TEST(TCgatsMemory, HeaderLinesCostUnderFiftyTimesTheFileReadAndWritten)
{
    if (!TINTVALE_COUNT_ALLOCATIONS)
        GTEST_SKIP() << "allocations are not counted under the address sanitizer";
    // The shortest lines of each kind, 1 MB of each: a keyword alone, a comment, a keyword with a
    // value (which the writer declares), CR LF line ends.
    const char* const lines[] = { "a\n", "#a\n", "a b\n", "a\r\n" };
    for (const char* line : lines) {
        std::string text;
        while (text.size() < kMB)
            text += line;
        const long long bound = 50 * static_cast<long long>(text.size());
        int code = -2;
        std::size_t written = 0;
        const auto [peak, refused] = Measured(bound, [&] {
            TCgats cgats(text.c_str(), 0);
            char* buffer = nullptr;
            code = cgats.GetErrorCode() != 0 ? cgats.GetErrorCode() : cgats.WriteToBuffer(&buffer);
            written = buffer ? std::strlen(buffer) : 0;
            delete[] buffer;
        });
        EXPECT_TRUE(!refused && code == 0) << line << ": code " << code;
        EXPECT_GE(written, text.size() / 2) << line;
        EXPECT_LT(peak, bound) << line << ": " << peak / kMB << " MB";
    }
}

// The size is kept in 32 bits: a file of 2^31 - 1 bytes or more is refused before anything is
// allocated for it (sparse here, so it takes no disk space).
TEST(TCgatsMemory, FilesOfTwoGibibytesAreNotRead)
{
    const std::string path = testing::TempDir() + "tcgats_memory_large.txt";
    std::ofstream(path) << "CGATS.17\n";
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(INT_MAX));
    int code = -2;
    Measured(kMB, [&] { code = TCgats(path.c_str()).GetErrorCode(); });
    std::remove(path.c_str());
    EXPECT_EQ(code, TCgats::kErrFileNotFound);
}
