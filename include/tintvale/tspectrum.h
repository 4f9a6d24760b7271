// TSpectrum: a spectral curve on the fixed 36-sample grid 380, 390, ..., 730 nm, optionally
// carrying the (wavelength, value) points it was resampled from, with a compact 16-bit encoding.
#ifndef TINTVALE_TSPECTRUM_H
#define TINTVALE_TSPECTRUM_H

#include <tintvale/tcms.h>
#include <tintvale/texport.h>

#include <vector>

// Error numbers (ErrNo; TSpectrum::ErrorNumber):
//   0 no error
//   1 memory or an interpolator could not be obtained
//   2 a required pointer is null, or a point count is out of range (array constructor)
//   3 malformed data: uniformity flag not 0 or 1, a record point count outside 0..1024, a record
//     whose values overflow (an exponent the encoder never writes), a text that ends before its
//     numbers or has a negative count, a product operand whose first sample is unset; ToFileData and
//     ToShrtFileData: more than 1024 points, or a value above about 2.743e303 (DBL_MAX / 65535; +inf
//     included), which no record holds (nothing is encoded)
//   4 the interpolator rejected a point (a wavelength or value that is not finite)
//   5 ToShrtFileData: the reference spectrum has another layout
//
// Uniform samples that were never set hold -1.0. Values are encoded as 16-bit mantissas under a
// shared power-of-two exponent: non-negative values keep 16 bits of precision relative to the
// largest value; the not-set marker -1.0 (and NaN) encodes to the reserved mantissa 0xFFFF and
// decodes back to -1.0; any other negative value encodes as 0.0.
//
// A point count of 0 (in the text form or a record) gives a non-uniform spectrum without points
// whose 36 samples are all unset (-1.0), error 0.
class TINTVALE_API TSpectrum {
public:
    enum ErrorNumber : int {
        kNoError = 0,
        kErrorMemory = 1,
        kErrorArgument = 2,
        kErrorMalformed = 3,
        kErrorNotFinite = 4,
        kErrorLayout = 5,
    };

    TSpectrum();
    TSpectrum(const TSpectrum& other);
    // 36 uniform samples, the values at 380 ... 730 nm.
    explicit TSpectrum(const double* uniform);
    // count (1..1024) points, resampled onto the grid with flat extension beyond the ends.
    TSpectrum(const double* wavelengths, int count, const double* values);
    // Sample-wise product a[i] * b[i]; uniform.
    TSpectrum(const TSpectrum* a, const TSpectrum* b);
    // Text form: the count N, N wavelengths, N values; anything that cannot start a number
    // separates them. Reading stops at the terminating zero.
    explicit TSpectrum(char* text);
    // Decodes one long record; *next (when non-null) receives the address just past it.
    TSpectrum(void* record, void** next);
    // Decodes one short record laid out like reference; *next as above.
    TSpectrum(const TSpectrum* reference, void* record, void** next);
    virtual ~TSpectrum();

    TSpectrum& operator=(const TSpectrum& other);

    // Uniform sample i (0..35); not range-checked.
    double& Data(int i) { return mUniform[i]; }
    int ErrNo() const { return mError; }
    // The number of non-uniform points (0 when uniform); the text form takes more than a record holds.
    int GetNrPoints() const { return mNrPoints; }
    // The non-uniform points in the order given (null when uniform); valid while this spectrum is
    // unchanged.
    const double* GetPointWavelengths() const { return mNrPoints > 0 ? mWavelengths.data() : nullptr; }
    const double* GetPointValues() const { return mNrPoints > 0 ? mValues.data() : nullptr; }
    double GetUniformDeltaLambda() const { return kUniformStep; }
    // The 36 uniform samples; start, end and count (where non-null) receive 380, 730 and 36.
    const double* GetUniformSpectrum(double* start, double* end, int* count) const;
    // *result = sum of this[i] * other[i] over the grid, in ascending i. Returns 2 on a null argument.
    int InProduct(const TSpectrum* other, double* result) const;
    // Drops the points and encoded buffers; the uniform samples stay, the spectrum becomes uniform.
    void ClearNonUniform();

    // Long record: 76 bytes when uniform, 4 * N + 6 bytes with N points. The buffer is owned by
    // this spectrum and valid until the next encoding, ClearNonUniform, assignment or destruction.
    // A spectrum no record can hold (error 3) gives null, *size = 0 and no buffer.
    const char* ToFileData(int* size) const;
    // Short record (value block only) relative to reference, which must have the same layout;
    // null, *size = 0 and no buffer as above when it cannot be written.
    const char* ToShrtFileData(TSpectrum* reference, int* size) const;

    // Status densities under a filter standard: densities[0..3] = cyan, magenta, yellow, visual;
    // *dominant = 0, 1, 2 for the largest colour density, 3 when the smallest is above 0.7 of the
    // largest (neutral). Returns 2 for a standard above 8 or a null pointer (nothing written), else 0.
    // Returns 1 when a filter response is unavailable or a weighted reflectance is not positive (a
    // black or unset spectrum): the densities from that one on are not written, and *dominant covers
    // those computed before it (3 when there are none). Densities are never infinite or NaN.
    int GetDensity(TCMS::FilterStandard standard, double* densities, int* dominant) const;
    // Display names of the filter standards in enumerator order, null-terminated; static storage.
    static const char** GetDensityList();

    // Euclidean distance between the grid samples of this spectrum and other (not null).
    double CalcDistance(TSpectrum* other);
    // Writes count values (values must hold count) at first, first + h, ..., last, interpolating the
    // grid linearly and flat beyond 380 and 730 nm. Returns 0 (also for count <= 0, writing nothing),
    // 1 when no interpolator could be made, 2 for null values with a positive count, 4 when a grid
    // sample, first, last or the step between them is not finite; values is untouched on failure.
    int GetNonUniformSpectrum(double first, double last, int count, double* values) const;

    static constexpr int kNrUniform = 36;
    static constexpr double kFirstWavelength = 380.0;
    static constexpr double kLastWavelength = 730.0;
    static constexpr double kUniformStep = 10.0;
    static constexpr double kNotSet = -1.0;
    static constexpr int kMaxPoints = 1024;

protected:
    void SetToZero();
    void Clear();
    void Init(const TSpectrum& other);
    int CalcStandardSpec();
    bool OnUniformGrid() const;

private:
    const char* Unencodable(int* size) const;

    friend class TSpectrumRecord;

    mutable std::vector<char> mFileData; // the last record either encoder produced
    mutable int mFileDataSize = 0;
    int mNonUniform = 0;
    int mNrPoints = 0;
    std::vector<double> mWavelengths;
    std::vector<double> mValues;
    double mUniform[kNrUniform];
    mutable int mError = 0;
};

#endif
