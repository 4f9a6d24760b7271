// The spectrum readers: text form, long record and short record, all through their sized entry points,
// and resampling onto hostile ends (NaN and infinities included). The first byte selects the mode.
// A decoded spectrum has finite samples and encodes and decodes again, or refuses to encode; a refused
// resampling writes nothing and an accepted one stays within the samples it interpolates.
#include <tintvale/tspectrum.h>

#include "tspectrum_record.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kUntouched = 12345.0;

int Decode(std::uint8_t mode, const std::uint8_t* data, std::size_t size, TSpectrum& spectrum)
{
    if (mode == 0)
        return TSpectrumRecord::ParseText(spectrum, reinterpret_cast<const char*>(data), size);
    if (mode == 1)
        return TSpectrumRecord::ReadLong(spectrum, data, size, nullptr);
    // The reference layout comes from a long record at the front, the short record follows it.
    TSpectrum reference;
    std::size_t used = 0;
    if (TSpectrumRecord::ReadLong(reference, data, size, &used) != 0)
        return -1;
    return TSpectrumRecord::ReadShort(spectrum, reference, data + used, size - used, nullptr);
}

void CheckRecordRoundTrip(const TSpectrum& spectrum)
{
    const double* samples = spectrum.GetUniformSpectrum(nullptr, nullptr, nullptr);
    if (!std::all_of(samples, samples + TSpectrum::kNrUniform, [](double v) { return std::isfinite(v); }))
        std::abort();
    int length = 0;
    const char* record = spectrum.ToFileData(&length);
    if (!record) {
        if (spectrum.ErrNo() != TSpectrum::kErrorMalformed || length != 0)
            std::abort();
        return;
    }
    std::string copy(record, record + length);
    TSpectrum again;
    if (TSpectrumRecord::ReadLong(
            again, reinterpret_cast<const unsigned char*>(copy.data()), copy.size(), nullptr)
        != 0)
        std::abort();
}

// Two 8-byte ends, a count byte, then the text of the spectrum to resample.
void CheckResampling(const std::uint8_t* data, std::size_t size)
{
    if (size < 17)
        return;
    double first, last;
    std::memcpy(&first, data, 8);
    std::memcpy(&last, data + 8, 8);
    const int count = data[16] % 64;
    TSpectrum spectrum;
    if (TSpectrumRecord::ParseText(spectrum, reinterpret_cast<const char*>(data + 17), size - 17) != 0)
        return;
    std::vector<double> values(64, kUntouched);
    const int status = spectrum.GetNonUniformSpectrum(first, last, count, values.data());
    const double* samples = spectrum.GetUniformSpectrum(nullptr, nullptr, nullptr);
    const auto [low, high] = std::minmax_element(samples, samples + TSpectrum::kNrUniform);
    for (int k = 0; k < count; ++k) {
        const bool ok = status != 0 ? values[k] == kUntouched : (values[k] >= *low && values[k] <= *high);
        if (!ok)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0] % 4;
    if (mode == 3) {
        CheckResampling(data + 1, size - 1);
        return 0;
    }
    TSpectrum spectrum;
    if (Decode(mode, data + 1, size - 1, spectrum) == 0)
        CheckRecordRoundTrip(spectrum);
    return 0;
}
