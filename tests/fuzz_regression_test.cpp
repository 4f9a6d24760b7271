// Inputs the fuzzers found, replayed through the same invariants the fuzz targets check.
#include <tintvale/tcgats.h>

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// The written text, or "<failed>".
std::string Written(const TCgats& cgats)
{
    char* buffer = nullptr;
    const int result = cgats.WriteToBuffer(&buffer);
    std::unique_ptr<char[]> owned(buffer);
    return result == 0 && buffer ? std::string(buffer) : "<failed>";
}

} // namespace

TEST(FuzzRegression, CgatsInputsThatReadAlsoWriteAndReadBackTheSame)
{
    int replayed = 0;
    for (boost::filesystem::directory_iterator it(TINTVALE_SOURCE_DIR "/tests/data/fuzz/cgats"), end;
         it != end; ++it, ++replayed) {
        const std::string file = it->path().string();
        const TCgats first(TempDir::Read(file).c_str(), 0);
        if (first.GetErrorCode() != 0)
            continue;
        const std::string written = Written(first);
        const TCgats second(written.c_str(), 0);
        ASSERT_EQ(second.GetErrorCode(), 0) << file;
        EXPECT_EQ(Written(second), written) << file;
    }
    EXPECT_GT(replayed, 0);
}
