// The spectrum readers: text form, long record and short record, all through their sized entry points.
// The first byte selects the reader; a decoded spectrum must encode and decode again without error.
#include <tintvale/tspectrum.h>

#include "tspectrum_record.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0] % 3;
    ++data;
    --size;
    TSpectrum spectrum;
    int error = 0;
    if (mode == 0) {
        error = TSpectrumRecord::ParseText(spectrum, reinterpret_cast<const char*>(data), size);
    } else if (mode == 1) {
        error = TSpectrumRecord::ReadLong(spectrum, data, size, nullptr);
    } else {
        // The reference layout comes from a long record at the front, the short record follows it.
        TSpectrum reference;
        std::size_t used = 0;
        if (TSpectrumRecord::ReadLong(reference, data, size, &used) != 0)
            return 0;
        error = TSpectrumRecord::ReadShort(spectrum, reference, data + used, size - used, nullptr);
    }
    if (error != 0)
        return 0;
    int length = 0;
    const char* record = spectrum.ToFileData(&length);
    std::string copy(record, record + length);
    TSpectrum again;
    if (TSpectrumRecord::ReadLong(
            again, reinterpret_cast<const unsigned char*>(copy.data()), copy.size(), nullptr)
            != 0
        && again.ErrNo() != 4)
        std::abort();
    return 0;
}
