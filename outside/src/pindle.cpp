// Pindle: whole-file byte I/O over stdio, and a monotonic millisecond clock.
#include "pindle.h"

#include <chrono>
#include <cstdio>

thread_local int pindle_error = 0;

struct PindleFile {
    std::FILE* stream = nullptr;
    bool failed = false;
};

namespace {

PindleFile* Open(const char* name, const char* mode)
{
    std::FILE* stream = name ? std::fopen(name, mode) : nullptr;
    if (!stream) {
        pindle_error = 1;
        return nullptr;
    }
    pindle_error = 0;
    return new PindleFile { stream, false };
}

} // namespace

PindleFile* fopenr(const char*, const char* name, const char*, int) { return Open(name, "rb"); }

PindleFile* fopenw(const void*, const char* name, const char*, int) { return Open(name, "wb"); }

long fgeteof(PindleFile* file)
{
    if (!file)
        return -1;
    const long here = std::ftell(file->stream);
    if (here < 0 || std::fseek(file->stream, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(file->stream);
    std::fseek(file->stream, here, SEEK_SET);
    return length;
}

long fgetm(PindleFile* file, void* buffer, long n)
{
    if (!file || !buffer || n <= 0)
        return 0;
    return static_cast<long>(std::fread(buffer, 1, static_cast<std::size_t>(n), file->stream));
}

long fputm(PindleFile* file, const void* buffer, long n)
{
    if (!file || !buffer || n <= 0)
        return 0;
    const auto written = static_cast<long>(std::fwrite(buffer, 1, static_cast<std::size_t>(n), file->stream));
    if (written != n)
        file->failed = true;
    return written;
}

int fclosx(PindleFile* file)
{
    if (!file)
        return -1;
    const bool flushFailed = std::fflush(file->stream) != 0;
    const bool closeFailed = std::fclose(file->stream) != 0;
    const bool failed = file->failed || flushFailed || closeFailed;
    delete file;
    return failed ? -1 : 0;
}

int elapsed(int)
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<int>(ms & 0x7fffffff);
}
