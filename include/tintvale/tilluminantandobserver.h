// TIlluminantAndObserver: CIE tristimulus integration of spectra for one illuminant and one
// standard observer, with the ASTM E308 Table 6 weights for CIE illuminants F2, F7 and F11.
#ifndef TINTVALE_TILLUMINANTANDOBSERVER_H
#define TINTVALE_TILLUMINANTANDOBSERVER_H

#include <tintvale/texport.h>
#include <tintvale/tobserver.h>

class TIlluminant;
class TSpectrum;

// Precomputes, at n integration wavelengths 380 + i * 350 / (n - 1) nm, the products of the
// illuminant's power S with x̄, ȳ, z̄ and the factor k = 100 / Σ S ȳ, so that a perfect reflecting
// diffuser gives Y = 100 (CIE 15:2004, 7.1). Every caller uses n = 36: the grid 380, 390, ..., 730
// nm. n = 1 integrates at 380 nm alone; n = 0 integrates nothing.
//
// For illuminants named "CIE Illuminant F2", "CIE Illuminant F7" and "CIE Illuminant F11" (any
// letter case) under the 2° observer, the ASTM E308 Table 6 weights take the place of the products,
// k = 100 / Σ Wy: every form of GetXYZ, GetXYZWhite, the increments and the matching search then
// agree to rounding, and the illuminant needs no spectrum. The table is for the 2° observer only;
// under 10° these lamps integrate their own spectrum like any other illuminant.
//
// The illuminant is borrowed and must outlive this object; the observer is copied. After
// construction the object is read-only and may be shared between threads.
//
// Error numbers (ErrNo): 0, or 2 for a count outside 0..36, a null illuminant or observer, an
// illuminant without spectrum (ASTM illuminants excepted) or without luminance (Σ S ȳ not
// positive). Conversions return 2 when count is not n, and GetXYZ and GetXYZWhite the error number
// of an object built with one (the output untouched either way), else 0.
// XYZ are three doubles on the scale where the perfect white has Y = 100.
class TINTVALE_API TIlluminantAndObserver {
public:
    static constexpr int kMaxPoints = 36;
    static constexpr int kNrASTMIlluminants = 3;

    // The distance CalculateMatchingSpectrum minimises.
    enum MatchingMethod : int {
        MatchInLab = 0, // CIE 1976 Delta E*ab under the white
        MatchInXYZ = 1 // Euclidean distance of the XYZ triples
    };

    TIlluminantAndObserver(const TIlluminant* illuminant, const TObserver* observer, int count);
    TIlluminantAndObserver(const TIlluminantAndObserver& other);
    TIlluminantAndObserver& operator=(const TIlluminantAndObserver&) = delete;
    ~TIlluminantAndObserver();

    int ErrNo() const { return mError; }

    // X = k Σ v[i] S x̄[i], Y and Z alike, for values v at the n integration wavelengths.
    int GetXYZ(const double* values, double* xyz, int count) const;
    // Tristimulus values of a reflectance or transmittance spectrum: its first n uniform samples
    // weighted as above.
    int GetXYZ(const TSpectrum* spectrum, double* xyz, int count) const;
    // The perfect white under this illuminant and observer; Y = 100. Returns 0, or the error number.
    int GetXYZWhite(double* xyz) const;
    // Adds value * S x̄[i] * k, ... to xyz. Returns 0, or 2 (nothing added) when i is not 0..n-1
    // or xyz is null.
    int GetXYZIncrement(double value, int i, double* xyz);

    // Finds a reflectance on the 36-sample grid whose XYZ under this illuminant and observer comes
    // close to target, by 1000 steps of a smoothed, normalised gradient walk from start; every
    // updated sample is held within [lower, upper] (the upper bound wins where they cross). The best
    // spectrum met is written to result and its CIE 1976 Delta E*ab to target under white is
    // returned, whichever method was minimised. An unknown method takes no step.
    //   target, white: XYZ on one scale; white null: the illuminant's own white (Y = 100).
    //   upper, lower: 36 bounds each; null: 0.99999 and 0.00001 for every sample.
    //   start, result: 36 samples; result may be start.
    // Returns -1.0 with result untouched when target, start or result is null, target or start
    // holds a value that is not finite, the white has a component that is not positive and
    // finite, or this object was not built without error for 36 points.
    double CalculateMatchingSpectrum(const double* target, const double* white, const double* upper,
        const double* lower, const double* start, MatchingMethod method, double* result);

    // ASTM E308 Table 6, 2° observer, 10 nm, 380 ... 730 nm: blocks F2, F7, F11, rows X, Y, Z.
    static const double sASTMtable6[kNrASTMIlluminants][3][kMaxPoints];

protected:
    int Init();
    // The same increment for every point first <= i < last (clamped to 0..n), ascending.
    int GetXYZIncrement(double value, int first, int last, double* xyz) const;

private:
    int IlluminantNeedsASTM308Tables(int* tableIndex);
    int TakeTableProducts();
    int ComputeProducts();
    void ComputeWeights();
    void Copy(const TIlluminantAndObserver& other);

    int mError = 0;
    int mNrPoints = 0;
    const TIlluminant* mIlluminant;
    TObserver mObserver;
    int mTableIndex = -1;
    // 100 / Σ S ȳ, or 100 / Σ Wy with the ASTM table.
    double mK = 0.0;
    double mXBar[kMaxPoints] = {};
    double mYBar[kMaxPoints] = {};
    double mZBar[kMaxPoints] = {};
    // S x̄, S ȳ, S z̄ at the integration wavelengths, or the ASTM weights.
    double mSX[kMaxPoints] = {};
    double mSY[kMaxPoints] = {};
    double mSZ[kMaxPoints] = {};
    double mWeight[kMaxPoints] = {};
};

#endif
