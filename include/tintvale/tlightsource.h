// TLightSource: how good a light is. Chromaticity with CCT and Duv (Ohno 2013), the CIE 13.3 colour
// rendering index, the CIE 224:2017 colour fidelity index, ANSI/IES TM-30-20 and the viewing
// conditions of ISO 3664:2009, from one emissive spectrum.
#ifndef TINTVALE_TLIGHTSOURCE_H
#define TINTVALE_TLIGHTSOURCE_H

#include <tintvale/texport.h>

#include <string>
#include <vector>

// A spectrum evenly spaced on whole nanometres is summed at its own wavelengths (5-nm data at 5 nm,
// as CIE 15 tabulates the lamps' chromaticities), with the colour-matching functions taken from the
// 1-nm CIE tables at those wavelengths and the 5-nm sample reflectances brought to 1 nm by Lagrange
// interpolation (TSpectralTables::LagrangeTo1nm) where the data are finer; other spectra are first
// interpolated linearly to 1 nm. Points outside 360 ... 830 nm are not used. An object is immutable
// after construction and may be shared between threads.
//
// ErrNo and every Get return a Status.
class TINTVALE_API TLightSource {
public:
    enum Status : int {
        kOk = 0,
        kInvalidArgument = 1, // a null pointer or fewer than 2 points
        kNotFinite = 2, // a wavelength or power that is NaN or infinite (or, from a Get, a result)
        kUnsorted = 3, // wavelengths not strictly ascending
        kRangeTooShort = 4, // the data do not reach from 380 to 780 nm
        kNegative = 5, // a negative power
        kNoPower = 6, // every power zero
        kCctOutOfRange = 7, // the chromaticity lies beyond the CCT range (1000 ... 20000 K), or (for
                            // the colour-rendering indices) more than kDuvMax from the Planckian locus
    };
    // What a Status means, in a few words; static storage.
    static const char* GetStatusText(int status);

    // The CCT range of the Ohno (2013) method as implemented, in K, and the distance from the
    // Planckian locus it is stated for.
    static constexpr double kCctMin = 1000.0;
    static constexpr double kCctMax = 20000.0;
    static constexpr double kDuvMax = 0.05;

    struct Chromaticity {
        double x, y; // CIE 1931 2°
        double uPrime, vPrime; // CIE 1976 UCS, 2°
        double uPrime10, vPrime10; // CIE 1976 UCS, CIE 1964 10°
        double cct; // K
        double duv; // signed, positive above the Planckian locus
        bool inRange; // CCT within kCctMin ... kCctMax and |Duv| <= kDuvMax
    };

    // CIE 13.3-1995: R1 ... R14 of the test colour samples, Ra the mean of R1 ... R8, DC the
    // distance from the reference illuminant in the CIE 1960 UCS and valid = DC <= 5.4e-3.
    struct ColourRendering {
        double ra;
        double r[14];
        double dc;
        bool valid;
    };

    // CIE 224:2017: Rf and the special indices Rf,i of the 99 colour evaluation samples.
    struct Fidelity {
        double rf;
        double rfi[99];
    };

    // ANSI/IES TM-30-20: Rf (as CIE 224:2017), the gamut index Rg, and per hue bin of 22.5° the
    // fidelity Rf,hj, the chroma shift Rcs,hj (percent) and the hue shift Rhs,hj (radians). Data
    // coarser than 1 nm are first interpolated linearly to 1 nm, as the IES calculator does; so the
    // Rf of 5-nm data here may differ from GetFidelity's, which keeps the data's own step as the
    // CIE's calculator does (FL2: 70.21 and 70.12).
    struct Tm30 {
        const char* edition; // "ANSI/IES TM-30-20"
        double rf, rg;
        double rfh[16], rcsh[16], rhsh[16];
    };

    // ISO 3664:2009 viewing conditions P1 and P2 (prints and transparencies judged for critical
    // comparison): one row per criterion. The overall verdict is kPass only when every criterion
    // was evaluated and passed, kFail when an evaluated one failed, else kNotEvaluated.
    enum Verdict : int { kPass = 0, kFail = 1, kNotEvaluated = 2 };
    static const char* VerdictName(Verdict verdict); // "pass", "fail", "not evaluated"
    struct Criterion {
        const char* name; // "chromaticity", "colour rendering", ...
        const char* requirement; // in words, with the source named
        double value; // what was measured (NaN when not evaluated)
        Verdict verdict;
    };
    struct ViewingBooth {
        const char* condition; // "P1/P2"
        std::vector<Criterion> criteria;
        Verdict verdict;
    };
    // The D50 aim in the CIE 1964 u'10 v'10 diagram and the radius of the tolerance circle.
    static constexpr double kBoothAimU10 = 0.2102;
    static constexpr double kBoothAimV10 = 0.4889;
    static constexpr double kBoothRadius = 0.005;
    static constexpr double kBoothMinRa = 90.0;

    // Relative spectral power at count wavelengths (nm, strictly ascending). Data evenly spaced on
    // whole nanometres are taken at their own points; any others are interpolated linearly to every
    // whole nanometre they span.
    TLightSource(const double* wavelengths, const double* power, int count);

    int ErrNo() const { return mError; }
    // The spacing summed at, nm (1 for interpolated data), and whether the data were interpolated.
    int GetStep() const { return mStep; }
    bool IsInterpolated() const { return mInterpolated; }

    int GetChromaticity(Chromaticity* out) const;
    int GetColourRendering(ColourRendering* out) const;
    int GetFidelity(Fidelity* out) const;
    int GetTm30(Tm30* out) const;
    int GetViewingBooth(ViewingBooth* out) const;
    // Everything above as one JSON document (indent as nlohmann's dump takes it, -1 compact), the
    // keys the front ends print: x, y, u_prime, v_prime, cct, duv, cri {ra, r[14], dc, valid},
    // cie224 {rf, rf_i[99]}, tm30 {edition, rf, rg, rf_h, rcs_h, rhs_h [16]}, iso3664 {condition,
    // chromaticity_ok, cri_ok (null when not evaluated), verdict, criteria [{name, requirement,
    // value, verdict}]}. json is untouched on failure.
    int GetReportJson(std::string& json, int indent = 2) const;

    // Ohno (2013) combined triangular and parabolic solution, with the cascade of ever finer
    // Planckian tables the paper describes, from CIE 1960 (u, v). False outside kCctMin ... kCctMax.
    static bool CctFromUv(double u, double v, double* cct, double* duv);
    // The CIE 1960 (u, v) of a Planckian radiator at t K (c2 = 1.4388e-2 m·K), 2° observer at 1 nm.
    static void PlanckianUv(double t, double* u, double* v);

private:
    // Σ S R x̄, ȳ, z̄ of power S at the data's points within first ... last nm, times a reflectance R
    // given at 360, 361, ..., 830 nm (null: 1), with observer 0 (2°) or 1 (10°).
    void Tristimulus(const std::vector<double>& power, const double* reflectance1nm, int observer, int first,
        int last, double* xyz) const;
    // The reference illuminant at the data's wavelengths: Planckian below low, CIE daylight above
    // high, between them the two blended with equal luminance (CIE 224); false beyond 25000 K.
    bool Reference(double cct, double low, double high, std::vector<double>& power) const;
    int Cct(double* cct, double* duv) const;
    // The CCT a reference illuminant is chosen by: kCctOutOfRange also beyond |Duv| kDuvMax.
    int ReferenceCct(double* cct) const;
    struct SampleShifts;
    int Shifts(SampleShifts* out) const;
    // The same light at every whole nanometre of its data, linearly between its points.
    TLightSource Linear1nm() const;

    int mError = kOk;
    static int Validate(const double* wavelengths, const double* power, int count);

    int mStep = 0;
    bool mInterpolated = false;
    // The data's points within 360 ... 830 nm: whole nanometres, and the power there.
    std::vector<int> mLambda;
    std::vector<double> mPower;
};

#endif
