// TFineIntegration: tristimulus integration of spectra at their own resolution, the CIE 15 summation
// at 5 nm over 380 ... 780 nm, for data sampled at any spacing.
#ifndef TINTVALE_TFINEINTEGRATION_H
#define TINTVALE_TFINEINTEGRATION_H

#include <tintvale/texport.h>
#include <tintvale/tobserver.h>

#include <vector>

class TIlluminant;

// The values are linearly interpolated at 380, 385, ..., 780 nm (the nearest measured value beyond
// the measured range), then X = k Σ S x̄ R, Y = k Σ S ȳ R, Z = k Σ S z̄ R over those 81 wavelengths
// with the observer's 5-nm colour-matching functions, k = 100 / Σ S ȳ (CIE 15:2004, section 7).
// The white for CIELAB is the perfect reflecting diffuser under the same sums (Y = 100).
//
// The illuminant's power S at 5 nm: for "CIE Illuminant F1" ... "F12" (any letter case) the CIE
// 15:2004 Table T.6 values, whose illuminant files hold 10-nm band weights; else the illuminant's own
// points, interpolated, when they are no more than 5 nm apart. An illuminant with coarser data (a
// file at 10 nm) is used at 10 nm instead: S, x̄, ȳ, z̄ and the interpolated values at 380, 390, ...,
// 730 nm, the library's grid; GetMethod() tells which.
//
// SetWavelengths does the interpolation once for a set of wavelengths: each conversion after it is
// one weighted sum of the values, so a table of samples sharing wavelengths costs one sum per sample.
//
// The illuminant is borrowed and must outlive this object; the observer is copied. Const operations
// may be shared between threads once SetWavelengths has run.
//
// ErrNo and every operation return a Status.
class TINTVALE_API TFineIntegration {
public:
    enum Status : int {
        kOk = 0,
        kNoIlluminant = 1, // an illuminant without spectrum or without luminance (constructor)
        kInvalidArgument = 2, // a null pointer, or no wavelengths set yet
        kNotFinite = 3, // a wavelength or value that is NaN or infinite
        kUnsorted = 4, // wavelengths not strictly ascending
        kTooFewPoints = 5, // fewer than 2 points
        kLengthMismatch = 6, // a count other than the number of wavelengths set
    };
    enum Method : int {
        kFiveNm = 0, // 5 nm, 380 ... 780 nm
        kTenNm = 1, // the illuminant has no 5-nm data: the 10-nm grid, 380 ... 730 nm
    };

    TFineIntegration(const TIlluminant* illuminant, const TObserver* observer);

    int ErrNo() const { return mError; }
    Method GetMethod() const { return mMethod; }
    // "CIE 15 5 nm 380-780" or "10 nm 380-730 (illuminant without 5-nm data)"; static storage.
    const char* GetMethodName() const;

    // Precomputes the weights for values at these wavelengths (nm, strictly ascending, count >= 2).
    // On failure the wavelengths set before are dropped.
    int SetWavelengths(const double* wavelengths, int count);
    // XYZ (perfect white Y = 100) of count values at the wavelengths set; xyz untouched on failure.
    int GetXYZ(const double* values, int count, double* xyz) const;
    // The values at the wavelengths set brought to the 36-sample grid 380, 390, ..., 730 nm, each the
    // 10-nm band around its wavelength: 0.25 R(λ - 5) + 0.5 R(λ) + 0.25 R(λ + 5), R interpolated as
    // above (the triangular band-pass of ASTM E308). grid receives 36 values; untouched on failure.
    int GetGridValues(const double* values, int count, double* grid) const;
    // The perfect reflecting diffuser under the same sums: Y = 100.
    int GetXYZWhite(double* xyz) const;

    // One spectrum at once: SetWavelengths and GetXYZ on a temporary object.
    static int GetXYZ(const TIlluminant* illuminant, const TObserver* observer, const double* wavelengths,
        const double* values, int count, double* xyz);
    // Whether data at these wavelengths is finer than the 10-nm grid: every step below 9.5 nm.
    static bool IsFinerThanGrid(const double* wavelengths, int count);

    // CIE 15:2004 Table T.6: F1 ... F12 at 380, 385, ..., 780 nm.
    static constexpr int kNrFluorescent = 12;
    static constexpr int kNrFineRows = TObserver::kNrTableRows;
    static const double sFluorescent5nm[kNrFluorescent][kNrFineRows];

private:
    bool TakeFluorescentTable(const char* name);
    bool TakeOwnPoints();
    void TakeFineObserver();
    void TakeGrid();
    int MakeProducts();

    int mError = kOk;
    Method mMethod = kFiveNm;
    const TIlluminant* mIlluminant = nullptr;
    TObserver mObserver;
    // The integration wavelengths, S and x̄, ȳ, z̄ there, their products and k = 100 / Σ S ȳ.
    std::vector<double> mLambda;
    std::vector<double> mPower;
    std::vector<double> mXBar, mYBar, mZBar;
    std::vector<double> mSX, mSY, mSZ;
    double mK = 0.0;
    // Per value of the wavelengths set: its weight in X, Y and Z (k not applied).
    std::vector<double> mWX, mWY, mWZ;
    // Where the band of each grid wavelength falls in the wavelengths set, 3 per grid sample: the
    // value is (1 - f) v[j] + f v[j + 1].
    std::vector<int> mBandIndex;
    std::vector<double> mBandFraction;
};

#endif
