// Inputs the fuzzers found, replayed through the same invariants the fuzz targets check.
#include <tintvale/tcgats.h>

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Inputs(const std::string& kind)
{
    std::vector<std::string> files;
    const boost::filesystem::path dir
        = boost::filesystem::path(TINTVALE_SOURCE_DIR) / "tests/data/fuzz" / kind;
    boost::system::error_code ec;
    for (boost::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        files.push_back(it->path().string());
    return files;
}

std::string Contents(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// -1 when writing fails, else the written text.
std::string Written(const TCgats& cgats, int* result)
{
    char* buffer = nullptr;
    *result = cgats.WriteToBuffer(&buffer);
    std::unique_ptr<char[]> owned(buffer);
    return buffer ? std::string(buffer) : std::string();
}

} // namespace

TEST(FuzzRegression, CgatsInputsThatReadAlsoWriteAndReadBackTheSame)
{
    const auto files = Inputs("cgats");
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        const std::string text = Contents(file);
        TCgats first(text.c_str(), 0);
        if (first.GetErrorCode() != 0)
            continue;
        int result = -1;
        const std::string written = Written(first, &result);
        ASSERT_EQ(result, 0) << file;
        TCgats second(written.c_str(), 0);
        ASSERT_EQ(second.GetErrorCode(), 0) << file;
        EXPECT_EQ(Written(second, &result), written) << file;
    }
}
