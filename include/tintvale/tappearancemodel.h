// TAppearanceModel: the colour appearance models CIECAM02 (CIE 159:2004), CAM16 (C. Li et al.,
// Color Res. Appl. 42(6):703-718, 2017) and CIECAM16 (CIE 248:2022) under any viewing condition,
// with all seven correlates, the inverse from any set of three, and the uniform colour spaces
// CAM02-UCS/LCD/SCD and CAM16-UCS/LCD/SCD (M. R. Luo, G. Cui and C. Li, Color Res. Appl. 31(4):
// 320-330, 2006) with their colour differences.
#ifndef TINTVALE_TAPPEARANCEMODEL_H
#define TINTVALE_TAPPEARANCEMODEL_H

#include <tintvale/texport.h>

#include <cstddef>

// A model is built once for one set of viewing conditions and is then immutable: safe to share
// between threads. XYZ is on the scale of the white (a white with Y = 100 is the usual choice; the
// models use absolute luminance only through L_A). Hue angles are in degrees in [0, 360), hue
// quadrature H in [0, 400).
//
// Result codes (returned by the conversions, GetStatus for the model):
//   kOk                 0  every result is a finite number
//   kInvalidConditions  1  the viewing conditions cannot define a model (white without positive
//                          finite components, L_A or Y_b not positive and finite, F, c or Nc not
//                          positive, a given D outside [0, 1]); every conversion answers this
//   kNotFinite          2  an input or a result is not a finite number (outside the model's domain,
//                          e.g. a black with colour, a negative lightness); the results are still
//                          written, as NaN or infinity
//   kNullArgument       3  a required pointer was null; nothing was written
class TINTVALE_API TAppearanceModel {
public:
    enum class Model { CIECAM02, CAM16, CIECAM16 };
    enum Status { kOk = 0, kInvalidConditions = 1, kNotFinite = 2, kNullArgument = 3 };

    // The factor for the degree of adaptation F, the impact of surround c and the chromatic
    // induction factor Nc (CIE 159:2004, Table 1; the same for CAM16 and CIECAM16).
    struct Surround {
        double f;
        double c;
        double nc;
    };
    static const Surround kAverage; // 1.0, 0.69, 1.0
    static const Surround kDim; // 0.9, 0.59, 0.9
    static const Surround kDark; // 0.8, 0.525, 0.8

    struct ViewingConditions {
        double white[3] = { 95.047, 100.0, 108.883 }; // XYZ of the adopted white
        double adaptingLuminance = 64.0; // L_A, cd/m^2 (often 20 % of the white's luminance)
        double background = 20.0; // Y_b, relative luminance of the background on the white's scale
        Surround surround = kAverage;
        // D in [0, 1]; negative: computed from F and L_A (CIE 159:2004, equation 3.3).
        double degreeOfAdaptation = -1.0;
        bool discountIlluminant = false; // D = 1, whatever degreeOfAdaptation says
    };

    // The seven correlates: lightness J, chroma C, hue angle h, brightness Q, colourfulness M,
    // saturation s and hue quadrature H (CIE 159:2004: h' = h + 360 below 20.14 degrees, so that
    // one interval runs from blue through red at 237.53 to 380.14).
    struct Correlates {
        double J, C, h, Q, M, s, H;
    };
    enum class Lightness { J, Q };
    enum class Chroma { C, M, s };
    enum class Hue { h, H };

    // The uniform spaces of Luo et al. 2006, J'a'b' from J, M and h:
    //   J' = (1 + 100 c1) J / (1 + c1 J), M' = ln(1 + c2 M) / c2, a' = M' cos h, b' = M' sin h,
    //   Delta E' = sqrt((Delta J' / K_L)^2 + Delta a'^2 + Delta b'^2).
    enum class UniformSpace { UCS, LCD, SCD };
    struct UniformCoefficients {
        double kL, c1, c2;
    };
    static UniformCoefficients Coefficients(UniformSpace space);

    // The differences by name ("cam02-ucs", ..., "cam16-scd"): one row per formula, the table every
    // front end lists and looks names up in.
    struct UniformFormula {
        const char* name;
        Model model;
        UniformSpace space;
    };
    static int GetUniformFormulaCount();
    // Row index (0 .. count - 1); null outside.
    static const UniformFormula* GetUniformFormula(int index);
    // Index of a formula by name, letter case ignored; -1 when none matches (null included).
    static int UniformFormulaIndex(const char* name);

    // Names as front ends spell them ("CIECAM02", "CAM16", "CIECAM16"; "average", "dim", "dark"),
    // letter case ignored on reading; false when the name is unknown (the output is untouched).
    static const char* ModelName(Model model);
    static bool ModelByName(const char* name, Model* model);
    static bool SurroundByName(const char* name, Surround* surround);

    TAppearanceModel(Model model, const ViewingConditions& conditions);

    int GetStatus() const { return mStatus; }
    Model GetModel() const { return mModel; }
    const ViewingConditions& GetConditions() const { return mConditions; }
    // What the conditions derive (CIE 159:2004, section 3): D, F_L, n, N_bb (= N_cb), z, A_w.
    double DegreeOfAdaptation() const { return mD; }
    double LuminanceAdaptation() const { return mFL; }
    double BackgroundRatio() const { return mN; }
    double BackgroundInduction() const { return mNbb; }
    double BaseExponent() const { return mZ; }
    double WhiteAchromaticResponse() const { return mAw; }

    // XYZ to the seven correlates.
    int Forward(const double* xyz, Correlates* out) const;
    // The correlates back to XYZ from one of J or Q, one of C, M or s and one of h or H.
    int Inverse(double lightness, Lightness lightnessKind, double chroma, Chroma chromaKind, double hue,
        Hue hueKind, double* xyz) const;
    // count colours at once: xyz holds count triples; out[0..6] receive J, C, h, Q, M, s, H, one
    // array of count values each. Returns how many colours were not kOk (0: all finite); with an
    // invalid model every result is NaN and the count is returned. The work is split over up to
    // threads threads (0: as many as the hardware offers).
    std::size_t ForwardMany(
        const double* xyz, std::size_t count, double* const out[7], unsigned threads = 1) const;

    // Correlates (their J, M and h) to J'a'b'.
    static int ToUniform(const Correlates& correlates, UniformSpace space, double* jab);
    // XYZ to J'a'b', and back.
    int XYZToUniform(const double* xyz, UniformSpace space, double* jab) const;
    int UniformToXYZ(const double* jab, UniformSpace space, double* xyz) const;
    // Delta E' of two J'a'b' triples; -1.0 when either is null or not finite.
    static double UniformDifference(const double* jab1, const double* jab2, UniformSpace space);
    // Delta E' of two XYZ colours under this model; -1.0 when no difference can be computed.
    double DeltaE(const double* xyz1, const double* xyz2, UniformSpace space) const;

private:
    // One stage each; the formula of each stands above its body.
    void Adapt(const double* xyz, double* rgbc) const;
    void Unadapt(const double* rgbc, double* xyz) const;
    double Compress(double x) const;
    double Expand(double y) const;
    void Correlate(const double* rgba, Correlates* out) const;
    // Compress for a response x whose power (F_L x' / 100)^0.42 is p, x' being |x| (CIECAM16: x
    // within [q_L, q_U]).
    double CompressWithPower(double x, double p) const;
    // Forward over up to 256 colours, stage by stage so that the powers and arc tangents are taken
    // many at a time; the results go to out[k][at + i]. Returns how many were not kOk.
    std::size_t ForwardBlock(const double* xyz, std::size_t n, double* const out[7], std::size_t at) const;
    double HueOfQuadrature(double quadrature) const;

    Model mModel;
    ViewingConditions mConditions;
    int mStatus = kOk;
    // The sharpened responses of XYZ (CAT02 or CAT16), their inverse, and the cone space the
    // compression works in (Hunt-Pointer-Estevez for CIECAM02, the same responses otherwise).
    double mToSharp[3][3] = {};
    double mFromSharp[3][3] = {};
    double mSharpToCone[3][3] = {};
    double mConeToSharp[3][3] = {};
    double mDRGB[3] = {}; // D Y / RGB_w + 1 - D, per channel
    double mXYZToCone[3][3] = {}; // the three steps to the compressed responses' input as one matrix
    double mD = 0.0;
    double mFL = 0.0;
    double mFL4 = 0.0; // F_L^0.25
    double mN = 0.0;
    double mNbb = 0.0;
    double mZ = 0.0;
    double mAw = 0.0;
    double mChromaFactor = 0.0; // (1.64 - 0.29^n)^0.73
    // CIECAM16's linear continuations below q_L and above q_U: f(q_L), f(q_U), f'(q_U).
    double mFLow = 0.0;
    double mFHigh = 0.0;
    double mSlopeHigh = 0.0;
};

#endif
