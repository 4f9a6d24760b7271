// Descriptor file streams: opening modes, buffered reads, logical positions and seeks.
#include <tintvale/streambufext.h>

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <type_traits>
#include <vector>

namespace {

// Byte i of the test files; its period (251) does not divide the buffer size, so a byte read from a
// wrong offset shows.
char Pattern(long long i) { return static_cast<char>(i % 251); }

std::string Patterned(long long size)
{
    std::string text(static_cast<std::size_t>(size), '\0');
    for (long long i = 0; i < size; ++i)
        text[static_cast<std::size_t>(i)] = Pattern(i);
    return text;
}

constexpr long long kMiB = 1 << 20;

} // namespace

static_assert(!std::is_copy_constructible_v<streambufExt> && !std::is_copy_assignable_v<streambufExt>,
    "two buffers must never close one descriptor");

TEST(FdStreamOpen, ModesDecideHowTheFileOpens)
{
    TempDir dir;
    EXPECT_TRUE(fdifstream(dir.File("missing.bin").c_str(), std::ios::binary).fail());
    EXPECT_TRUE(fdofstream(dir.File("no/such/dir.bin").c_str(), 0).fail() && fdifstream(nullptr, 0).fail());

    const std::string path = dir.File("Spektrum \xC3\xA4\xE5\x85\x89.bin"); // UTF-8 names open
    streambufExt neither(path.c_str(), std::ios::binary);
    EXPECT_EQ(neither.openfile(), -1);
    streambufExt writer(path.c_str(), std::ios::out);
    EXPECT_TRUE(writer.openfile() == 0 && writer.openfile() == 0);
    EXPECT_TRUE(writer.sputn("abc", 3) == 3 && writer.closefile() == 0 && TempDir::Read(path) == "abc");
    struct stat info { };
    EXPECT_TRUE(stat(path.c_str(), &info) == 0 && (info.st_mode & S_IRUSR) && (info.st_mode & S_IWUSR));
    // With in and out both set the file opens for reading only: writes fail.
    streambufExt both(path.c_str(), std::ios::in | std::ios::out);
    ASSERT_EQ(both.openfile(), 0);
    EXPECT_TRUE(both.sputc('x') == std::char_traits<char>::eof() && both.sgetc() == 'a');

    // Append keeps, truncate replaces; closing leaves the stream state alone.
    fdofstream(path.c_str(), std::ios::app | std::ios::binary) << "de";
    EXPECT_EQ(TempDir::Read(path), "abcde");
    fdifstream in(path.c_str(), 0);
    EXPECT_TRUE(in.get() == 'a' && in.close() == 0 && in.good() && in.get() == std::char_traits<char>::eof());
    fdofstream(path.c_str(), std::ios::binary) << "X";
    EXPECT_EQ(TempDir::Read(path), "X");
}

TEST(FdStreamRead, BytesAcrossBufferRefillsArriveInOrderAndShortReadsDeliverTheRest)
{
    TempDir dir;
    const std::string path = dir.File("large.bin");
    const long long size = 2 * streambufExt::FileBufSize + 37;
    const std::string expected = Patterned(size);
    TempDir::Write(path, expected);

    fdifstream bytewise(path.c_str(), 0);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(bytewise), {}) == expected);

    // One request larger than the buffer, after a peek that leaves its byte in place, and asking for
    // more than is left.
    fdifstream block(path.c_str(), 0);
    EXPECT_EQ(block.peek(), Pattern(0));
    std::string all(static_cast<std::size_t>(size + 5), '\0');
    block.read(&all[0], size + 5);
    EXPECT_TRUE(block.gcount() == size && all.substr(0, size) == expected);
    streambufExt raw(path.c_str(), std::ios::in);
    ASSERT_EQ(raw.openfile(), 0);
    raw.pubseekoff(-3, std::ios::end);
    char buf[5];
    EXPECT_EQ(raw.sgetn(buf, 5), 3);
}

TEST(FdStreamSeek, PositionsAreLogicalInsideAndOutsideTheBuffer)
{
    TempDir dir;
    const std::string path = dir.File("mib.bin");
    TempDir::Write(path, Patterned(kMiB));
    fdifstream in(path.c_str(), std::ios::binary);
    char buf[10];
    in.read(buf, 10); // the descriptor now stands after the first buffer fill
    const long long far = 111 + streambufExt::FileBufSize + 1000;
    // Each seek, then the position it must report (each row reads one byte there).
    const struct {
        long long offset;
        std::ios::seekdir from;
        long long position;
    } rows[] = { { 100, std::ios::cur, 110 }, { streambufExt::FileBufSize + 1000, std::ios::cur, far },
        { -20, std::ios::cur, far - 19 }, // inside the buffer filled at far
        { -500000, std::ios::cur, far - 18 - 500000 }, // before that buffer
        { -5, std::ios::end, kMiB - 5 }, { 12345, std::ios::beg, 12345 } };
    for (const auto& r : rows) {
        in.seekg(r.offset, r.from);
        EXPECT_EQ(static_cast<long long>(in.tellg()), r.position) << r.offset;
        EXPECT_EQ(in.get(), static_cast<unsigned char>(Pattern(r.position))) << r.offset;
    }
    // Before the start: refused, and the position stays where it was.
    in.seekg(-50000, std::ios::cur);
    EXPECT_TRUE(in.fail());
    in.clear();
    EXPECT_EQ(static_cast<long long>(in.tellg()), 12346);
    // Past the end: allowed, and reading there meets the end of the file.
    in.seekg(2 * kMiB);
    EXPECT_TRUE(static_cast<long long>(in.tellg()) == 2 * kMiB && in.get() == std::char_traits<char>::eof());
    EXPECT_EQ(streambufExt(path.c_str(), std::ios::in).pubseekpos(10), std::streampos(std::streamoff(-1)));
}

TEST(FdStreamSeek, PositionsBeyondTwoGibibytes)
{
    TempDir dir;
    const std::string path = dir.File("sparse.bin");
    const long long marker = 5LL * (1LL << 29); // 2.5 GiB
    {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        const bool sparse = ftruncate(fd, 3LL << 30) == 0 && pwrite(fd, "M", 1, marker) == 1;
        close(fd);
        if (!sparse)
            GTEST_SKIP() << "no sparse 3 GiB file on this file system";
    }
    fdifstream in(path.c_str(), std::ios::binary);
    in.seekg(marker);
    EXPECT_TRUE(static_cast<long long>(in.tellg()) == marker && in.get() == 'M');
    in.seekg(-1, std::ios::end);
    EXPECT_EQ(static_cast<long long>(in.tellg()), (3LL << 30) - 1);

    fdofstream out(path.c_str(), std::ios::app);
    out << "Z";
    EXPECT_EQ(static_cast<long long>(out.tellp()), (3LL << 30) + 1);
}
