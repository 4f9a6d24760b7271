// Descriptor file streams: a stream buffer over a file descriptor opened from a UTF-8 path, and the
// input and output streams that own one. Paths the system code page cannot represent still open.
#ifndef TINTVALE_STREAMBUFEXT_H
#define TINTVALE_STREAMBUFEXT_H

#include <tintvale/texport.h>

#include <cstdint>
#include <ios>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

// streambufExt reads through one private buffer of FileBufSize bytes filled by single large reads
// and writes straight to the descriptor (a short write continues with the rest). No standard get or
// put area is set up. Positions are 64-bit and logical: tellg counts the bytes delivered, not the
// bytes read ahead into the buffer. A relative seek that stays inside the buffered bytes moves only
// within the buffer; any other seek moves the descriptor and empties the buffer.
//
// mode holds the std::ios_base open-mode bits: with in the file opens read-only (in wins over out);
// with out alone it opens write-only, created when missing (permission 0666 less the umask) and
// appended to with app, truncated without; binary changes nothing on this platform.
//
// The buffer owns its descriptor and closes it on destruction; it cannot be copied.
class TINTVALE_API streambufExt : public std::basic_streambuf<char> {
public:
    static constexpr int FileBufSize = 524288;

    // Stores name (UTF-8; null reads as empty) and mode; does not open.
    streambufExt(const char* name, int mode);
    ~streambufExt() override;
    streambufExt(const streambufExt&) = delete;
    streambufExt& operator=(const streambufExt&) = delete;

    // 0 when the descriptor is valid afterwards, -1 otherwise (also when mode has neither in nor
    // out). An already open buffer stays as it is and returns 0.
    int openfile();
    // Closes the descriptor if open and empties the read buffer; returns 0.
    int closefile();
    bool is_open() const { return mDescriptor != -1; }
    // Bytes waiting in the put area: always 0, writes are unbuffered.
    int out_waiting() const { return static_cast<int>(pptr() - pbase()); }

protected:
    int_type overflow(int_type c = traits_type::eof()) override;
    int_type underflow() override;
    int_type uflow() override;
    // The number of bytes delivered: n, or fewer when the file ends first.
    std::streamsize xsgetn(char* s, std::streamsize n) override;
    // The number of bytes written, or -1 when n < 0 or nothing could be written.
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir,
        std::ios_base::openmode which = std::ios_base::in | std::ios_base::out) override;
    pos_type seekpos(
        pos_type pos, std::ios_base::openmode which = std::ios_base::in | std::ios_base::out) override;

private:
    std::streamsize read_from_buf(char* s, std::streamsize n);
    bool Refill();
    void EmptyReadBuffer();

    int mDescriptor = -1;
    int mMode;
    std::string mFileName;
    std::vector<char> mReadBuffer;
    std::uint64_t mReadPos = 0; // next byte to deliver
    std::uint64_t mBuffered = 0; // valid bytes in mReadBuffer
};

// An input stream over its own streambufExt, opened in the constructor with mode plus in; a failed
// open sets the fail bit.
class TINTVALE_API fdifstream : public std::basic_istream<char> {
public:
    fdifstream(const char* name, int mode);
    // Closes the descriptor; returns 0 and leaves the stream state alone.
    int close();
    bool is_open() const { return mBuffer.is_open(); }

private:
    streambufExt mBuffer;
};

// An output stream over its own streambufExt, opened in the constructor with mode plus out; a failed
// open sets the fail bit.
class TINTVALE_API fdofstream : public std::basic_ostream<char> {
public:
    fdofstream(const char* name, int mode);
    // Closes the descriptor; returns 0 and leaves the stream state alone.
    int close();
    bool is_open() const { return mBuffer.is_open(); }

private:
    streambufExt mBuffer;
};

#endif
