// The CxF3 reader on arbitrary text. What it reads must be CGATS text the CGATS reader takes
// without error, and that file written as CxF3 must read again.
#include <tintvale/tcgats.h>

#include "cxf.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string cgats;
    tintvale::detail::CxfFault fault;
    if (!tintvale::detail::CxfToCgats(text.c_str(), cgats, fault))
        return 0;
    TCgats first(cgats.c_str(), 0);
    if (first.GetErrorCode() != 0)
        std::abort();
    char* buffer = nullptr;
    if (first.WriteToBuffer(&buffer, TCgats::Convention::Cxf) != 0 || !buffer)
        std::abort();
    std::unique_ptr<char[]> owned(buffer);
    TCgats second(buffer, 0);
    if (second.GetErrorCode() != 0 || second.GetNrTables() != first.GetNrTables())
        std::abort();
    return 0;
}
