// Sized decoders and the 16-bit value-block codec behind TSpectrum's file data and text form.
#ifndef TINTVALE_TSPECTRUM_RECORD_H
#define TINTVALE_TSPECTRUM_RECORD_H

#include <tintvale/tspectrum.h>

#include <cstddef>

class TSpectrumRecord {
public:
    // Largest long record: a non-uniform spectrum of the largest point count.
    static constexpr std::size_t kMaxLongRecord = 4 * TSpectrum::kMaxPoints + 6;
    static constexpr unsigned kNotSetMantissa = 0xFFFF;

    // Each reads at most size bytes and returns the error number it leaves in spectrum, which must
    // be freshly constructed; a record that does not fit in size bytes is error 3. On success
    // *used (when non-null) receives the record's length.
    static int ReadLong(TSpectrum& spectrum, const unsigned char* data, std::size_t size, std::size_t* used);
    static int ReadShort(TSpectrum& spectrum, const TSpectrum& reference, const unsigned char* data,
        std::size_t size, std::size_t* used);
    static int ParseText(TSpectrum& spectrum, const char* text, std::size_t length);

    // A value block of n values is n + 1 little-endian words: the exponent, then the mantissas.
    static std::size_t BlockSize(int n) { return 2 * (static_cast<std::size_t>(n < 0 ? 0 : n) + 1); }
    static void EncodeBlock(const double* values, int n, unsigned char* out);
    // Whether n values fit a record that reads back as written: at most 1024 of them (the reader's
    // bound) and none whose mantissa product value * 65535 overflows (+inf, and finite values from
    // about 2.743e303 on). NaN is the not-set marker; negative values encode as 0 by design.
    static bool Encodable(const double* values, int n);
    // False when a value overflows: an exponent the encoder never writes (records are error 3).
    static bool DecodeBlock(const unsigned char* in, int n, double* values);
    // The 36 uniform samples from a value block; nothing is stored from a block that overflows.
    static int ReadUniform(TSpectrum& spectrum, const unsigned char* block);
};

#endif
