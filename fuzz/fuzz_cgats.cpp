// The CGATS reader on arbitrary text. Whatever reads without error must write, read back without
// error and write the same text again.
#include <tintvale/tcgats.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string Write(const TCgats& cgats)
{
    char* buffer = nullptr;
    if (cgats.WriteToBuffer(&buffer) != 0 || !buffer) {
        delete[] buffer;
        std::abort();
    }
    std::unique_ptr<char[]> owned(buffer);
    return std::string(buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    TCgats first(text.c_str(), 0);
    if (first.GetErrorCode() != 0)
        return 0;
    const std::string written = Write(first);
    TCgats second(written.c_str(), 0);
    if (second.GetErrorCode() != 0)
        std::abort();
    if (Write(second) != written)
        std::abort();
    return 0;
}
