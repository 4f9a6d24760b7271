// Replacing files: what the writers refuse, links followed, temporary names nobody can plant,
// saves racing each other.
#include "atomic_write.h"
#include "illuminant_test_support.h"
#include "process_support.h"
#include "temp_dir.h"

#include <tintvale/tcgats.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = boost::filesystem;
using tintvale::detail::ReplaceFile;
using tintvale::detail::SetTemporaryNameBits;

namespace {

const char kFile[] = "CGATS.17\nORIGINATOR\t\"tests\"\n";

std::set<std::string> Names(const fs::path& dir)
{
    std::set<std::string> names;
    for (fs::directory_iterator it(dir), end; it != end; ++it)
        names.insert(it->path().filename().string());
    return names;
}

struct stat Lstat(const std::string& path)
{
    struct stat st { };
    lstat(path.c_str(), &st);
    return st;
}

} // namespace

TEST(ReplaceFile, RefusesTargetsThatAreNotWritableRegularFilesAndChangesNothing)
{
    // Root may open a 0444 file for writing; its protection is honoured all the same.
    const struct {
        const char* what;
        std::function<bool(const std::string&)> make;
        int error;
    } rows[] = {
        { "FIFO", [](const std::string& p) { return mkfifo(p.c_str(), 0644) == 0; }, EINVAL },
        { "device", [](const std::string& p) { return mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; },
            EINVAL },
        { "directory", [](const std::string& p) { return mkdir(p.c_str(), 0755) == 0; }, EISDIR },
        { "read-only file",
            [](const std::string& p) {
                TempDir::Write(p, "old");
                return chmod(p.c_str(), 0444) == 0;
            },
            EACCES },
    };
    OpenIlluminant lamp(Ramp(1, 0), "Lamp");
    for (const auto& row : rows) {
        TempDir dir;
        TCgats cgats(kFile, 0); // a failed save leaves the object in error
        const std::string target = dir.File("target");
        if (!row.make(target)) {
            EXPECT_STREQ(row.what, "device") << "only mknod may be denied here";
            continue;
        }
        const struct stat before = Lstat(target);
        EXPECT_TRUE(cgats.SaveAs(target.c_str()) == 4 && errno == row.error) << row.what;
        EXPECT_EQ(lamp.Save(target.c_str()), 4) << row.what;
        EXPECT_EQ(ReplaceFile(target.c_str(), "x", 1), row.error) << row.what;
        const struct stat after = Lstat(target);
        EXPECT_TRUE(after.st_ino == before.st_ino && after.st_mode == before.st_mode) << row.what;
        EXPECT_EQ(Names(dir.Path()), std::set<std::string> { "target" }) << row.what;
        // Reading a FIFO would block.
        EXPECT_TRUE(!S_ISREG(before.st_mode) || TempDir::Read(target) == "old") << row.what;
    }
}

TEST(ReplaceFile, FollowsLinksAndKeepsModeAndOwner)
{
    TempDir dir;
    fs::create_directory(dir.Path() / "sub");
    const std::string real = dir.File("sub/real.txt");
    TempDir::Write(real, "old");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    // Root gives the file away first, to see the owner kept.
    const bool root = geteuid() == 0;
    const uid_t owner = root ? 4321 : geteuid();
    if (root) {
        ASSERT_EQ(chown(real.c_str(), owner, owner), 0);
    }
    fs::create_symlink("sub/real.txt", dir.Path() / "link");
    fs::create_symlink("link", dir.Path() / "chain");
    fs::create_symlink("sub/created.txt", dir.Path() / "dangling");

    const struct {
        const char *name, *written, *lands;
    } rows[] = { { "link", "one", "sub/real.txt" }, { "chain", "two", "sub/real.txt" },
        { "dangling", "three", "sub/created.txt" } };
    for (const auto& row : rows) {
        ASSERT_EQ(ReplaceFile(dir.File(row.name).c_str(), row.written, std::strlen(row.written)), 0)
            << row.name;
        EXPECT_TRUE(fs::is_symlink(dir.Path() / row.name)) << row.name;
        EXPECT_EQ(TempDir::Read(dir.File(row.lands)), row.written) << row.name;
    }
    EXPECT_TRUE((Lstat(real).st_mode & 07777) == 0640u && Lstat(real).st_uid == owner);
    // The temporary files were made beside the file replaced, and none is left.
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string> { "sub", "link", "chain", "dangling" }));
    EXPECT_EQ(Names(dir.Path() / "sub"), (std::set<std::string> { "real.txt", "created.txt" }));

    // The library's writers go the same way.
    TCgats cgats(kFile, 0);
    ASSERT_EQ(cgats.SaveAs(dir.File("chain").c_str()), 0);
    EXPECT_EQ(TempDir::Read(real), kFile);

    // A caller that may not give the owner still keeps the group it belongs to: user 4322 in group
    // 4321 replaces a file of 4321:4321.
    if (root) {
        const std::string shared = dir.File("shared.txt");
        TempDir::Write(shared, "old");
        ASSERT_TRUE(chmod(dir.Path().c_str(), 0777) == 0 && chown(shared.c_str(), 4321, 4321) == 0
            && chmod(shared.c_str(), 0660) == 0);
        const pid_t child = Spawn([&] {
            const gid_t group = 4321;
            if (setgroups(1, &group) != 0 || setgid(4322) != 0 || setuid(4322) != 0)
                return 2;
            return ReplaceFile(shared.c_str(), "new", 3);
        });
        EXPECT_TRUE(Succeeded(child));
        EXPECT_TRUE(
            Lstat(shared).st_uid == 4322 && Lstat(shared).st_gid == 4321 && TempDir::Read(shared) == "new");
    }
}

TEST(ReplaceFile, NamesTooLongForTheSuffixAreWrittenAllTheSame)
{
    // The directory takes names of 255 bytes; the temporary name beside one adds 21.
    TempDir dir;
    for (const std::size_t length : { 234u, 235u, 255u }) {
        const std::string target = dir.File(std::string(length, 'n'));
        ASSERT_EQ(ReplaceFile(target.c_str(), kFile, std::strlen(kFile)), 0) << length;
        ASSERT_EQ(ReplaceFile(target.c_str(), "x", 1), 0) << length;
        EXPECT_EQ(TempDir::Read(target), "x") << length;
        EXPECT_EQ(Names(dir.Path()), std::set<std::string> { std::string(length, 'n') }) << length;
        std::remove(target.c_str());
    }
}

TEST(ReplaceFile, NeverFollowsALinkPlantedAtATemporaryName)
{
    TempDir dir;
    const std::string target = dir.File("lamp.ill");
    const std::string victim = dir.File("victim");
    TempDir::Write(victim, "victim");
    // The first two names the writer will try: one leads to a file, one to nowhere; and the
    // fixed name writers used to take.
    fs::create_symlink(victim, target + ".0000000000000001.tmp");
    fs::create_symlink(dir.File("absent"), target + ".0000000000000002.tmp");
    fs::create_symlink(victim, target + ".part");
    SetTemporaryNameBits([]() -> unsigned long long {
        static unsigned long long next = 1;
        return next++;
    });
    OpenIlluminant lamp(Ramp(1, 0), "Lamp");
    EXPECT_TRUE(lamp.Save(target.c_str()) == 0 && TempDir::Read(target).substr(0, 8) == "ORVIV100");
    // Every name taken: the save fails and leaves the target as it was.
    SetTemporaryNameBits([]() -> unsigned long long { return 1; });
    EXPECT_EQ(ReplaceFile(target.c_str(), "new", 3), EEXIST);
    SetTemporaryNameBits(nullptr);

    EXPECT_TRUE(TempDir::Read(target).substr(0, 8) == "ORVIV100" && TempDir::Read(victim) == "victim");
    EXPECT_FALSE(fs::exists(dir.File("absent")));
    EXPECT_EQ(Names(dir.Path()).size(), 5u); // the target, the victim and the three links
}

TEST(ReplaceFile, ConcurrentSavesLeaveOnlyCompleteFiles)
{
    // Two processes save different illuminants to one path 500 times each while this one reads
    // it: every read must be one of the two complete images, every save must succeed. The
    // writers are killed by an alarm should they ever hang.
    constexpr int kSaves = 500;
    TempDir dir;
    OpenIlluminant lamps[2] = { OpenIlluminant(Ramp(1, 0), "A"), OpenIlluminant(Ramp(2, 1), "Lamp B") };
    std::string images[2];
    for (int k = 0; k < 2; ++k) {
        const std::string own = dir.File("image" + std::to_string(k) + ".ill");
        ASSERT_EQ(lamps[k].Save(own.c_str()), 0);
        images[k] = TempDir::Read(own);
    }
    ASSERT_NE(images[0].size(), images[1].size());
    const std::string shared = dir.File("shared.ill");
    pid_t writers[2];
    for (int k = 0; k < 2; ++k)
        writers[k] = Spawn([&] {
            int failures = 0;
            for (int i = 0; i < kSaves; ++i)
                failures += lamps[k].Save(shared.c_str()) != 0;
            return failures == 0 ? 0 : 1;
        });
    int reads = 0, broken = 0, statuses[2] = { -1, -1 };
    while (statuses[0] == -1 || statuses[1] == -1) {
        if (fs::exists(shared)) {
            const std::string seen = TempDir::Read(shared);
            ++reads;
            broken += seen != images[0] && seen != images[1];
        }
        for (int k = 0; k < 2; ++k)
            if (statuses[k] == -1 && waitpid(writers[k], &statuses[k], WNOHANG) != writers[k])
                statuses[k] = -1;
    }
    EXPECT_TRUE(statuses[0] == 0 && statuses[1] == 0);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
    EXPECT_EQ(Names(dir.Path()).size(), 3u); // no temporary file left
}
