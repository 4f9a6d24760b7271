// The binary stream readers on hostile bytes: each byte of a small program picks the next reader.
#include <tintvale/streamhelpers.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t nrOps = data[0] % 8 + 1;
    if (size < 1 + nrOps)
        return 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1 + nrOps, size - 1 - nrOps));
    for (std::size_t k = 0; k < nrOps && in; ++k) {
        int i = 0;
        double d = 0;
        std::string s;
        std::vector<char> bin;
        char buf[16];
        int count = 0;
        std::list<char> chars;
        switch (data[1 + k] % 9) {
        case 0:
            ReadInt(&i, in);
            break;
        case 1:
            ReadDouble(&d, in);
            break;
        case 2:
            ReadString(s, in);
            break;
        case 3:
            ReadCString(buf, sizeof buf, in);
            break;
        case 4:
            ReadBinary(bin, in);
            break;
        case 5:
            OpenBracket(in);
            CloseBracketOn(in);
            break;
        case 6:
            CloseBracket(in);
            OpenBracketOn(in);
            break;
        case 7:
            ReadUpTo(in, buf, sizeof buf, "END", &count);
            break;
        default:
            ReadCharUpTo(in, chars, "}}");
            break;
        }
    }
    return 0;
}
