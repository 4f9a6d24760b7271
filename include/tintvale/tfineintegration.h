// TFineIntegration: tristimulus integration of spectra at their own wavelengths, as instruments'
// software does: ASTM E308 weights for 10- and 20-nm data, the CIE 15 summation for 1- and 5-nm data,
// and the 5-nm CIE 15 summation of interpolated values for data at any other spacing.
#ifndef TINTVALE_TFINEINTEGRATION_H
#define TINTVALE_TFINEINTEGRATION_H

#include <tintvale/texport.h>
#include <tintvale/tobserver.h>

#include <memory>
#include <string>
#include <vector>

class TIlluminant;

// Methods (GetMethod, after SetWavelengths):
// - kAstmE308: ASTM E308 weights computed by ASTM E2022 for the data's step and range
//   (TSpectralTables::AstmE308Weights; the values taken as bandpass-corrected, Table 5),
//   X = Σ W_x R, the Y weights summing to 100;
// - kSummation: the CIE 15 summation (CIE 15:2004, 7.1) at the data's own 1- or 5-nm points with
//   the full-precision 1-nm tables, X = k Σ S x̄ R, k = 100 / Σ S ȳ over the data's range;
// - kFiveNm: the values linearly interpolated at 380, 385, ..., 780 nm (the nearest measured value
//   beyond the measured range), then summed as above over those 81 wavelengths;
// - kTenNm: as kFiveNm on the 10-nm grid 380, 390, ..., 730 nm, for an illuminant whose data are
//   coarser than 5 nm (a file at 10 nm).
// The request chooses: kAuto takes kAstmE308 for evenly spaced 10- or 20-nm data, kSummation for
// evenly spaced 1- or 5-nm data on whole nanometres, else kFiveNm; kRequestAstmE308 needs evenly
// spaced data on whole nanometres (1 and 5 nm are summed, as ASTM E308 prescribes for them);
// kRequestCie15 sums 1- and 5-nm data at their points and interpolates any other.
// The white for CIELAB is the perfect reflecting diffuser under the same weights (Y = 100).
//
// The illuminant's power comes from TSpectralTables::PowerAt1nm (CIE illuminants by name from their
// formulas and full tables). Data must reach from 400 to 700 nm at least.
//
// SetWavelengths computes the weights once for a set of wavelengths: each conversion after it is
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
        kRepeated = 7, // a wavelength given twice
        kUneven = 8, // steps that differ, or off whole nanometres, where the method needs even ones
        kRangeTooShort = 9, // the wavelengths do not reach from 400 to 700 nm
    };
    enum Method : int {
        kFiveNm = 0, // interpolated at 5 nm, 380 ... 780 nm
        kTenNm = 1, // the illuminant has no 5-nm data: the 10-nm grid, 380 ... 730 nm
        kAstmE308 = 2, // ASTM E308 weights for the data's step and range
        kSummation = 3, // CIE 15 summation at the data's own 1- or 5-nm points
    };
    enum Request : int {
        kAuto = 0,
        kRequestAstmE308 = 1,
        kRequestCie15 = 2,
    };
    // "auto", "astm-e308", "cie15", indexed by Request.
    static const char* const sRequestNames[3];
    // The request of that name (letter case ignored), or -1.
    static int RequestByName(const char* name);
    // What a Status means, in a few words ("wavelengths repeated"); static storage.
    static const char* GetStatusText(int status);

    TFineIntegration(
        const TIlluminant* illuminant, const TObserver* observer, Request request = kRequestCie15);

    int ErrNo() const { return mError; }
    Method GetMethod() const { return mMethod; }
    const TIlluminant* GetIlluminant() const { return mIlluminant; }
    const TObserver* GetObserver() const { return &mObserver; }
    // The wavelengths set (empty before SetWavelengths or after a failed one).
    const std::vector<double>& GetWavelengths() const { return mWavelengths; }
    // What GetMethod names, with the step and range: "ASTM E308 10 nm 380-780", "CIE 15 1 nm
    // 360-830", "CIE 15 5 nm 380-780" or "10 nm 380-730 (illuminant without 5-nm data)". Valid
    // until the next SetWavelengths.
    const char* GetMethodName() const { return mMethodName.c_str(); }

    // Precomputes the weights for values at these wavelengths (nm, strictly ascending, count >= 2).
    // On failure the wavelengths set before are dropped.
    int SetWavelengths(const double* wavelengths, int count);
    // XYZ (perfect white Y = 100) of count values at the wavelengths set; xyz untouched on failure.
    int GetXYZ(const double* values, int count, double* xyz) const;
    // The values at the wavelengths set brought to the 36-sample grid 380, 390, ..., 730 nm, each the
    // 10-nm band around its wavelength: 0.25 R(λ - 5) + 0.5 R(λ) + 0.25 R(λ + 5), R interpolated as
    // above (the triangular band-pass of ASTM E308). grid receives 36 values; untouched on failure.
    int GetGridValues(const double* values, int count, double* grid) const;
    // The perfect reflecting diffuser under the same weights: Y = 100 (before SetWavelengths: under
    // the 5-nm sums over 380 ... 780 nm).
    int GetXYZWhite(double* xyz) const;

    // One spectrum at once: SetWavelengths and GetXYZ on a temporary object.
    static int GetXYZ(const TIlluminant* illuminant, const TObserver* observer, const double* wavelengths,
        const double* values, int count, double* xyz);
    // Whether data at these wavelengths is finer than the 10-nm grid: every step below 9.5 nm.
    static bool IsFinerThanGrid(const double* wavelengths, int count);
    // The step of evenly spaced data on whole nanometres (1 nm and more), else 0.
    static int EvenStep(const double* wavelengths, int count);

    // CIE 15:2004 Table T.6: F1 ... F12 at 380, 385, ..., 780 nm.
    static constexpr int kNrFluorescent = 12;
    static constexpr int kNrFineRows = TObserver::kNrTableRows;
    static const double sFluorescent5nm[kNrFluorescent][kNrFineRows];

private:
    void TakeFineTables();
    void TakeGrid();
    int MakeProducts();
    int Validate(const double* wavelengths, int count) const;
    int Choose(const double* wavelengths, int count);
    void WeighInterpolated(const double* wavelengths, int count);
    int WeighSummation(const double* wavelengths, int count);
    int WeighAstm(const double* wavelengths, int count);
    void NameMethod(const double* wavelengths, int count);

    int mError = kOk;
    Request mRequest = kRequestCie15;
    Method mMethod = kFiveNm;
    std::string mMethodName;
    // The illuminant at 360 ... 830 nm and the spacing of its data.
    std::vector<double> mPower1nm;
    double mPowerStep = 0.0;
    const TIlluminant* mIlluminant = nullptr;
    TObserver mObserver;
    // The integration wavelengths, S and x̄, ȳ, z̄ there, their products and k = 100 / Σ S ȳ.
    std::vector<double> mLambda;
    std::vector<double> mWavelengths;
    std::vector<double> mPower;
    std::vector<double> mXBar, mYBar, mZBar;
    std::vector<double> mSX, mSY, mSZ;
    double mK = 0.0;
    // k of the weights set (1 for ASTM E308 weights, which hold it).
    double mKSet = 0.0;
    // Per value of the wavelengths set: its weight in X, Y and Z (k not applied).
    std::vector<double> mWX, mWY, mWZ;
    // Where the band of each grid wavelength falls in the wavelengths set, 3 per grid sample: the
    // value is (1 - f) v[j] + f v[j + 1].
    std::vector<int> mBandIndex;
    std::vector<double> mBandFraction;
};

#endif
