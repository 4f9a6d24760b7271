// Whole-file replacement: an exclusively created temporary file beside the target, flushed to the
// disk, renamed over the target, and the directory flushed after it.
#include "atomic_write.h"

#include <tintvale/tatomicfile.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tintvale::detail {

namespace {

constexpr int kMaxLinks = 40; // the kernel's own limit on a chain of symbolic links
constexpr int kNameAttempts = 64;
constexpr mode_t kNewFilePermission = 0666; // before the umask, as fopen creates files
constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kPermissionBits = 07777;

int Result(int error)
{
    errno = error;
    return error;
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The path at the end of a chain of symbolic links (it need not exist); 0 or the errno value.
int FollowLinks(std::string& path)
{
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st { };
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) >= target.size())
            return ENAMETOOLONG;
        target.resize(static_cast<std::size_t>(n));
        path = target[0] == '/' ? target : DirectoryOf(path) + "/" + target;
    }
    return ELOOP;
}

// 0 when the target may be replaced or does not exist yet, else the errno value of the refusal.
int CheckTarget(const std::string& path, struct stat& st, bool& exists)
{
    exists = false;
    if (stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? 0 : errno;
    exists = true;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode))
        return EINVAL;
    if ((st.st_mode & kAnyWrite) == 0)
        return EACCES;
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

// Unpredictable, so that nobody can occupy the names in advance.
unsigned long long RandomBits()
{
    static std::atomic<unsigned long long> counter { 0 };
    unsigned long long bits = 0;
    if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits))
        bits = (static_cast<unsigned long long>(getpid()) << 32) ^ reinterpret_cast<std::uintptr_t>(&bits);
    return bits ^ counter.fetch_add(1);
}

std::atomic<TemporaryNameBits> nameBits { RandomBits };

// A new file of a name nobody else holds, beside the target; O_EXCL never follows a link planted
// at the name. Returns the descriptor, or -1 with errno set.
int CreateTemporary(const std::string& target, std::string& name)
{
    // A target name within 21 bytes of the longest a directory takes leaves no room for the
    // suffix: the temporary file then goes by the suffix alone (a hidden name) beside it.
    std::string base = target;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", nameBits.load()());
        name = base + suffix;
        const int fd
            = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFilePermission);
        if (fd >= 0)
            return fd;
        if (errno == ENAMETOOLONG && base == target) {
            base = DirectoryOf(target) + "/";
            continue;
        }
        if (errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The owner first (changing it may clear the set-id bits), then the permissions. An owner the
// process may not give stays the caller's; the group is kept where the caller belongs to it.
bool KeepAttributes(int fd, const struct stat& old)
{
    if (old.st_uid != geteuid() || old.st_gid != getegid()) {
        if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Neither could be given: the new file is the caller's.
        }
    }
    return fchmod(fd, old.st_mode & kPermissionBits) == 0;
}

// EINVAL: the file system cannot flush a directory, and keeps its entries by other means.
int SyncDirectory(const std::string& dir)
{
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = (fsync(fd) == 0 || errno == EINVAL) ? 0 : errno;
    close(fd);
    return error;
}

} // namespace

void SetTemporaryNameBits(TemporaryNameBits source) { nameBits = source ? source : RandomBits; }

int ReplaceFile(const char* fileName, const void* data, std::size_t size)
{
    if (fileName == nullptr || *fileName == '\0' || (data == nullptr && size != 0))
        return Result(EINVAL);
    std::string target = fileName;
    struct stat old { };
    bool exists = false;
    int error = FollowLinks(target);
    if (error == 0)
        error = CheckTarget(target, old, exists);
    if (error != 0)
        return Result(error);

    std::string temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0)
        return Result(errno);
    if (!WriteAll(fd, static_cast<const char*>(data), size) || (exists && !KeepAttributes(fd, old))
        || fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        return Result(error);
    }
    return Result(SyncDirectory(DirectoryOf(target)));
}

} // namespace tintvale::detail

int TCMS::WriteFileAtomically(const char* fileName, const void* data, std::size_t size)
{
    // Code 4 is the library's "file cannot be written", as TCgats::SaveAs returns it.
    constexpr int kCannotWrite = 4;
    if (fileName == nullptr || *fileName == '\0' || (data == nullptr && size != 0))
        return kCannotWrite;
    return tintvale::detail::ReplaceFile(fileName, data, size) == 0 ? 0 : kCannotWrite;
}
