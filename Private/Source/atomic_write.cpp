// Whole-file replacement through a temporary file and a rename, over the Pindle file calls.
#include "atomic_write.h"

#include "pindle.h"

#include <tintvale/tatomicfile.h>

#include <cstdio>
#include <string>

namespace tintvale::detail {

bool WriteFileAtomically(const char* fileName, const void* data, std::size_t size)
{
    if (fileName == nullptr || (data == nullptr && size != 0))
        return false;
    // Beside the target, so that the rename stays within one file system.
    const std::string temporary = std::string(fileName) + ".part";
    PindleFile* file = fopenw(nullptr, temporary.c_str(), "", 0);
    if (pindle_error != 0 || file == nullptr)
        return false;
    const long length = static_cast<long>(size);
    bool ok = size == 0 || fputm(file, data, length) == length;
    ok = fclosx(file) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), fileName) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

} // namespace tintvale::detail

int TCMS::WriteFileAtomically(const char* fileName, const void* data, std::size_t size)
{
    // Code 4 is the library's "file cannot be written", as TCgats::SaveAs returns it.
    constexpr int kCannotWrite = 4;
    if (fileName == nullptr || *fileName == '\0')
        return kCannotWrite;
    return tintvale::detail::WriteFileAtomically(fileName, data, size) ? 0 : kCannotWrite;
}
