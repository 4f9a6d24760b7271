// The CxF3 reader on arbitrary text. What reads must write as CxF3 and read again with as many
// tables.
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
    // The mapped text may still be refused (a tag's text in a number field), never misread.
    TCgats first(cgats.c_str(), 0);
    if (first.GetErrorCode() != 0)
        return 0;
    char* buffer = nullptr;
    if (first.WriteToBuffer(&buffer, TCgats::Convention::Cxf) != 0 || !buffer)
        std::abort();
    std::unique_ptr<char[]> owned(buffer);
    TCgats second(buffer, 0);
    if (second.GetErrorCode() != 0 || second.GetNrTables() != first.GetNrTables())
        std::abort();
    return 0;
}
