// streambufExt: a stream buffer over a file descriptor, read through one large buffer.
#include <tintvale/streambufext.h>

#include "nevra.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace {

// Permission of a created file before the umask, as the C library gives fopen's files.
constexpr int kCreatePermission = 0666;

const std::streambuf::pos_type kBadPos = std::streambuf::pos_type(std::streambuf::off_type(-1));

} // namespace

streambufExt::streambufExt(const char* name, int mode)
    : mMode(mode)
    , mFileName(name ? name : "")
    , mReadBuffer(FileBufSize, '\0')
{ }

streambufExt::~streambufExt() { closefile(); }

int streambufExt::openfile()
{
    if (is_open())
        return 0;
    if (mMode & std::ios_base::in)
        mDescriptor = open_utf8(mFileName.c_str(), O_RDONLY);
    else if (mMode & std::ios_base::out)
        mDescriptor = open_utf8(mFileName.c_str(),
            O_WRONLY | O_CREAT | ((mMode & std::ios_base::app) ? O_APPEND : O_TRUNC), kCreatePermission);
    EmptyReadBuffer();
    return is_open() ? 0 : -1;
}

int streambufExt::closefile()
{
    if (is_open())
        ::close(mDescriptor);
    mDescriptor = -1;
    EmptyReadBuffer();
    return 0;
}

void streambufExt::EmptyReadBuffer()
{
    mReadPos = 0;
    mBuffered = 0;
}

// One read of a whole buffer; false (and an empty buffer) at the end of the file or on an error.
bool streambufExt::Refill()
{
    ssize_t got;
    do {
        got = ::read(mDescriptor, mReadBuffer.data(), mReadBuffer.size());
    } while (got < 0 && errno == EINTR);
    mReadPos = 0;
    mBuffered = got > 0 ? static_cast<std::uint64_t>(got) : 0;
    return got > 0;
}

std::streamsize streambufExt::read_from_buf(char* s, std::streamsize n)
{
    mReadPos = std::min(mReadPos, mBuffered);
    std::streamsize delivered = 0;
    while (delivered < n) {
        if (mReadPos == mBuffered && !Refill())
            break;
        const std::uint64_t piece
            = std::min<std::uint64_t>(mBuffered - mReadPos, static_cast<std::uint64_t>(n - delivered));
        std::memcpy(s + delivered, mReadBuffer.data() + mReadPos, piece);
        mReadPos += piece;
        delivered += static_cast<std::streamsize>(piece);
    }
    return delivered;
}

streambufExt::int_type streambufExt::uflow()
{
    char c;
    return read_from_buf(&c, 1) == 1 ? traits_type::to_int_type(c) : traits_type::eof();
}

// The byte stays in the read buffer, so stepping back delivers it again.
streambufExt::int_type streambufExt::underflow()
{
    const int_type c = uflow();
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        --mReadPos;
    return c;
}

std::streamsize streambufExt::xsgetn(char* s, std::streamsize n) { return n > 0 ? read_from_buf(s, n) : 0; }

std::streamsize streambufExt::xsputn(const char* s, std::streamsize n)
{
    if (n < 0)
        return -1;
    std::streamsize written = 0;
    while (written < n) {
        const ssize_t put = ::write(mDescriptor, s + written, static_cast<std::size_t>(n - written));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return written > 0 ? written : -1;
        written += put;
    }
    return written;
}

streambufExt::int_type streambufExt::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::eof();
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

// The logical position is the descriptor's offset less the buffered bytes not yet delivered.
streambufExt::pos_type streambufExt::seekoff(
    off_type off, std::ios_base::seekdir dir, std::ios_base::openmode)
{
    if (!is_open())
        return kBadPos;
    const off_type readPos = static_cast<off_type>(mReadPos);
    const off_type buffered = static_cast<off_type>(mBuffered);
    const off_type pending = buffered - readPos;
    if (dir == std::ios_base::cur && off >= -readPos && off <= pending) {
        const off_t offset = ::lseek(mDescriptor, 0, SEEK_CUR);
        if (offset < 0)
            return kBadPos;
        mReadPos = static_cast<std::uint64_t>(readPos + off);
        return pos_type(offset - buffered + static_cast<off_type>(mReadPos));
    }
    off_t moved;
    if (dir == std::ios_base::cur) {
        if (off < std::numeric_limits<off_type>::min() + pending)
            return kBadPos;
        moved = ::lseek(mDescriptor, off - pending, SEEK_CUR);
    } else {
        moved = ::lseek(mDescriptor, off, dir == std::ios_base::end ? SEEK_END : SEEK_SET);
    }
    // A refused seek leaves the descriptor, and so the buffered bytes, where they were.
    if (moved < 0)
        return kBadPos;
    EmptyReadBuffer();
    return pos_type(moved);
}

streambufExt::pos_type streambufExt::seekpos(pos_type pos, std::ios_base::openmode)
{
    if (!is_open())
        return kBadPos;
    const off_t moved = ::lseek(mDescriptor, static_cast<off_type>(pos), SEEK_SET);
    if (moved < 0)
        return kBadPos;
    EmptyReadBuffer();
    return pos_type(moved);
}
