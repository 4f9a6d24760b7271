// The spectrum file-data codec (value blocks, long and short records) and the text form reader.
#include "tspectrum_record.h"

#include "numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kMinExponent = -127;
constexpr int kMaxExponent = 1023; // 2^1023 is the largest finite power of two
constexpr double kMantissaScale = 65535.0;
constexpr unsigned kLargestMantissa = 65534;

unsigned ReadWord(const unsigned char* p)
{
    return static_cast<unsigned>(p[0]) | (static_cast<unsigned>(p[1]) << 8);
}

void WriteWord(unsigned char* p, unsigned word)
{
    p[0] = static_cast<unsigned char>(word & 0xFF);
    p[1] = static_cast<unsigned char>((word >> 8) & 0xFF);
}

bool IsNumberStart(char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }

// Moves p to the next number of the text form, skipping what separates numbers; nullptr at the end.
template <typename T, typename Parse>
const char* NextNumber(const char* p, const char* end, T& value, Parse parse)
{
    for (; p < end; ++p) {
        if (!IsNumberStart(*p))
            continue;
        if (const char* after = parse(p, end, value))
            return after;
    }
    return nullptr;
}

} // namespace

// Exponent e: 2^e is the smallest power of two, not below 2^-127, above every value;
// mantissa = floor(value * 65535 / 2^e).
void TSpectrumRecord::EncodeBlock(const double* values, int n, unsigned char* out)
{
    int e = kMinExponent;
    double s = std::ldexp(1.0, kMinExponent);
    for (int i = 0; i < n; ++i)
        while (values[i] >= s && e < kMaxExponent) {
            s *= 2.0;
            ++e;
        }
    WriteWord(out, static_cast<unsigned>(static_cast<std::uint16_t>(static_cast<std::int16_t>(e))));
    for (int i = 0; i < n; ++i) {
        const double v = values[i];
        unsigned mantissa;
        if (std::isnan(v) || v == TSpectrum::kNotSet)
            mantissa = kNotSetMantissa;
        else if (v <= 0.0)
            mantissa = 0;
        else {
            const double m = std::floor(v * kMantissaScale / s);
            mantissa = m >= kLargestMantissa ? kLargestMantissa : static_cast<unsigned>(m);
        }
        WriteWord(out + 2 * (i + 1), mantissa);
    }
}

bool TSpectrumRecord::Encodable(const double* values, int n)
{
    return n <= TSpectrum::kMaxPoints && std::none_of(values, values + n, [](double v) {
        return v > 0.0 && std::isinf(v * kMantissaScale);
    });
}

bool TSpectrumRecord::DecodeBlock(const unsigned char* in, int n, double* values)
{
    const int e = static_cast<std::int16_t>(static_cast<std::uint16_t>(ReadWord(in)));
    const double scale = std::ldexp(1.0, e);
    bool finite = true;
    for (int i = 0; i < n; ++i) {
        const unsigned mantissa = ReadWord(in + 2 * (i + 1));
        if (mantissa == kNotSetMantissa)
            values[i] = TSpectrum::kNotSet;
        else if (mantissa == 0)
            values[i] = 0.0;
        else
            values[i] = mantissa * scale / kMantissaScale;
        finite = finite && std::isfinite(values[i]);
    }
    return finite;
}

int TSpectrumRecord::ReadUniform(TSpectrum& spectrum, const unsigned char* block)
{
    double samples[TSpectrum::kNrUniform];
    if (!DecodeBlock(block, TSpectrum::kNrUniform, samples))
        return spectrum.mError = TSpectrum::kErrorMalformed;
    std::copy(samples, samples + TSpectrum::kNrUniform, spectrum.mUniform);
    return 0;
}

int TSpectrumRecord::ReadLong(
    TSpectrum& spectrum, const unsigned char* data, std::size_t size, std::size_t* used)
{
    if (size < 2)
        return spectrum.mError = 3;
    const unsigned flag = ReadWord(data);
    if (flag == 0) {
        const std::size_t length = 2 + BlockSize(TSpectrum::kNrUniform);
        if (size < length || ReadUniform(spectrum, data + 2) != 0)
            return spectrum.mError = TSpectrum::kErrorMalformed;
        if (used)
            *used = length;
        return 0;
    }
    if (flag != 1 || size < 4)
        return spectrum.mError = 3;
    const int n = static_cast<int>(ReadWord(data + 2));
    const std::size_t length = 4 + 2 * static_cast<std::size_t>(n) + BlockSize(n);
    if (n > TSpectrum::kMaxPoints || size < length)
        return spectrum.mError = 3;
    spectrum.mNonUniform = 1;
    spectrum.mNrPoints = n;
    spectrum.mWavelengths.resize(n);
    spectrum.mValues.resize(n);
    for (int i = 0; i < n; ++i)
        spectrum.mWavelengths[i] = ReadWord(data + 4 + 2 * i);
    if (!DecodeBlock(data + 4 + 2 * n, n, spectrum.mValues.data()))
        return spectrum.mError = TSpectrum::kErrorMalformed;
    if (n > 0 && (spectrum.mError = spectrum.CalcStandardSpec()) != 0)
        return spectrum.mError;
    if (used)
        *used = length;
    return 0;
}

int TSpectrumRecord::ReadShort(TSpectrum& spectrum, const TSpectrum& reference, const unsigned char* data,
    std::size_t size, std::size_t* used)
{
    if (reference.mNonUniform == 0) {
        const std::size_t length = BlockSize(TSpectrum::kNrUniform);
        if (size < length || ReadUniform(spectrum, data) != 0)
            return spectrum.mError = TSpectrum::kErrorMalformed;
        if (used)
            *used = length;
        return 0;
    }
    const int n = reference.mNrPoints;
    if (reference.mNonUniform != 1 || n < 0 || n > TSpectrum::kMaxPoints
        || static_cast<std::size_t>(n) > reference.mWavelengths.size())
        return spectrum.mError = 3;
    const std::size_t length = BlockSize(n);
    if (size < length)
        return spectrum.mError = 3;
    spectrum.mNonUniform = 1;
    spectrum.mNrPoints = n;
    spectrum.mWavelengths.assign(reference.mWavelengths.begin(), reference.mWavelengths.begin() + n);
    spectrum.mValues.resize(n);
    if (!DecodeBlock(data, n, spectrum.mValues.data()))
        return spectrum.mError = TSpectrum::kErrorMalformed;
    if (n > 0 && (spectrum.mError = spectrum.CalcStandardSpec()) != 0)
        return spectrum.mError;
    if (used)
        *used = length;
    return 0;
}

int TSpectrumRecord::ParseText(TSpectrum& spectrum, const char* text, std::size_t length)
{
    using tintvale::detail::ParseDouble;
    using tintvale::detail::ParseInt;
    spectrum.mNonUniform = 1;
    const char* p = text;
    const char* const end = text + length;
    int n = 0;
    p = NextNumber(p, end, n, ParseInt);
    if (!p || n < 0)
        return spectrum.mError = 3;
    // Grow with the text rather than trusting the count: a text cannot hold more numbers than bytes.
    std::vector<double> numbers;
    numbers.reserve(std::min<std::size_t>(2 * static_cast<std::size_t>(n), length));
    for (long long i = 0; i < 2LL * n; ++i) {
        double v = 0.0;
        p = NextNumber(p, end, v, ParseDouble);
        if (!p)
            return spectrum.mError = 3;
        numbers.push_back(v);
    }
    spectrum.mNrPoints = n;
    spectrum.mWavelengths.assign(numbers.begin(), numbers.begin() + n);
    spectrum.mValues.assign(numbers.begin() + n, numbers.end());
    if (n > 0)
        spectrum.mError = spectrum.CalcStandardSpec();
    return spectrum.mError;
}
