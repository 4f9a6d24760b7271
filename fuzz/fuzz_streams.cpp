// The binary stream readers on hostile bytes: each byte of a small program picks the next reader.
// Doubles, NaN and infinities included, must come back from a write as the float they narrow to.
#include <tintvale/streamhelpers.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <list>
#include <sstream>
#include <string>
#include <vector>

namespace {

// What WriteDouble then ReadDouble must give for value: its float, an infinity beyond the float
// range, NaN for NaN.
bool SurvivesAsFloat(double value, double back)
{
    constexpr double kFloatMax = std::numeric_limits<float>::max();
    if (std::isnan(value))
        return std::isnan(back);
    if (std::fabs(value) > kFloatMax)
        return std::isinf(back) && std::signbit(back) == std::signbit(value);
    return back == static_cast<double>(static_cast<float>(value));
}

void CheckDoubleRoundTrip(double value)
{
    std::stringstream io;
    WriteDouble(value, io);
    double back = 0.0;
    if (!ReadDouble(&back, io) || !SurvivesAsFloat(value, back))
        std::abort();
}

} // namespace

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
        switch (data[1 + k] % 10) {
        case 0:
            ReadInt(&i, in);
            break;
        case 1:
            if (ReadDouble(&d, in))
                CheckDoubleRoundTrip(d);
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
        case 8: {
            char bytes[sizeof(double)];
            if (in.read(bytes, sizeof bytes)) {
                std::memcpy(&d, bytes, sizeof d);
                CheckDoubleRoundTrip(d);
            }
            break;
        }
        default:
            ReadCharUpTo(in, chars, "}}");
            break;
        }
    }
    return 0;
}
