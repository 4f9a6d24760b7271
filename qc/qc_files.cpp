// Reading inputs and writing outputs, with the system's reasons for failures in words.
#include <tintvale/qc/files.h>

#include <tintvale/qc/context.h>

#include <tintvale/tatomicfile.h>
#include <tintvale/tcgats.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <ostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tintvale::qc {

namespace {

// The library's reader keeps a file's size in 32 bits.
constexpr std::size_t kMaxInput = INT_MAX - 1;
constexpr std::size_t kReadChunk = 1 << 16;

std::string Reason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "not found";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EISDIR:
        return "is a directory";
    case EINVAL:
        return "not a regular file";
    case EFBIG:
    case EOVERFLOW:
        return "too large (2 GiB or more)";
    case EROFS:
        return "read-only file system";
    default:
        return error != 0 ? std::strerror(error) : "unknown error";
    }
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : mFd(fd)
    { }
    ~Descriptor()
    {
        if (mFd >= 0)
            close(mFd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return mFd; }

private:
    int mFd;
};

// Everything up to the end; 0 or the errno value of the failure.
int ReadAll(int fd, std::string& text)
{
    std::unique_ptr<char[]> chunk(new char[kReadChunk]);
    for (;;) {
        const ssize_t n = read(fd, chunk.get(), kReadChunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        if (text.size() + static_cast<std::size_t>(n) > kMaxInput)
            return EFBIG;
        text.append(chunk.get(), static_cast<std::size_t>(n));
    }
}

} // namespace

std::string ReadInput(const std::string& path)
{
    std::string text;
    if (path == "-") {
        if (const int error = ReadAll(STDIN_FILENO, text))
            throw Error("standard input: " + Reason(error));
        return text;
    }
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const Descriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st { };
    int error = fd.Get() < 0 ? errno : (fstat(fd.Get(), &st) != 0 ? errno : 0);
    if (error == 0 && S_ISDIR(st.st_mode))
        throw InputError(path + ": is a directory, not a measurement data file", path, EISDIR, 0);
    if (error == 0 && !S_ISREG(st.st_mode))
        error = EINVAL;
    if (error == 0 && static_cast<unsigned long long>(st.st_size) > kMaxInput)
        error = EFBIG;
    if (error == 0) {
        text.reserve(static_cast<std::size_t>(st.st_size) + 1);
        error = ReadAll(fd.Get(), text);
    }
    if (error != 0)
        throw InputError(path + ": " + Reason(error), path, error, 0);
    return text;
}

namespace {

void RefuseEmptyName(const std::string& output)
{
    if (output.empty())
        throw Error("the output file name is empty (- writes to standard output)");
}

// Why writing output failed: a file is replaced by a new one made beside it, so a directory that
// cannot take a new file refuses even a writable file, and is named.
std::string WriteFailure(const std::string& output, int error)
{
    std::string reason = Reason(error);
    if (error == EACCES || error == EPERM || error == EROFS) {
        const std::size_t slash = output.find_last_of('/');
        const std::string directory
            = slash == std::string::npos ? "." : (slash == 0 ? "/" : output.substr(0, slash));
        if (access(directory.c_str(), W_OK) != 0)
            reason += " (no new file can be made in the directory " + directory + ")";
    }
    return output + ": could not be written: " + reason + " (code 4)";
}

} // namespace

InputError::~InputError() = default;

OutputError::~OutputError() = default;

OutputError::OutputError(const std::string& path, int systemError)
    : Error(WriteFailure(path, systemError))
    , path(path)
    , systemError(systemError)
{ }

void WriteText(const std::string& text, const std::string& output, std::ostream& out)
{
    RefuseEmptyName(output);
    if (IsNullDevice(output))
        return;
    if (output == "-") {
        out << text;
        return;
    }
    errno = 0;
    if (TCMS::WriteFileAtomically(output.c_str(), text.data(), text.size()) != 0)
        throw OutputError(output, errno);
}

bool IsNullDevice(const std::string& path)
{
    struct stat given { };
    struct stat null { };
    return stat(path.c_str(), &given) == 0 && S_ISCHR(given.st_mode) && stat("/dev/null", &null) == 0
        && given.st_rdev == null.st_rdev;
}

void WriteCgats(
    const TCgats& cgats, const std::string& output, std::ostream& out, TCgats::Convention convention)
{
    RefuseEmptyName(output);
    if (IsNullDevice(output))
        return;
    if (output == "-") {
        char* buffer = nullptr;
        const int rc = cgats.WriteToBuffer(&buffer, convention);
        const std::unique_ptr<char[]> owned(buffer);
        if (rc != 0 || !buffer)
            throw Error("the file could not be written: " + CgatsMessage(cgats));
        out << buffer;
        return;
    }
    errno = 0;
    const int rc = cgats.SaveAs(output.c_str(), convention);
    if (rc == 4)
        throw OutputError(output, errno);
    if (rc != 0)
        throw Error(output + ": could not be written: " + CgatsMessage(cgats));
}

std::string CgatsMessage(const TCgats& cgats)
{
    const int code = cgats.GetErrorCode();
    const char* message = cgats.GetErrorMsg();
    std::string text = message ? message : "";
    if (text.empty())
        text = "the file cannot be read";
    return text + " (code " + std::to_string(code) + ")";
}

} // namespace tintvale::qc
