// TColorSpace_Appearance: what the CIECAM02 and CIECAM97s colour spaces share: the reference white
// and the fixed scene, the surround, the lightness scale and the colour difference.
#ifndef TINTVALE_TCOLORSPACE_APPEARANCE_H
#define TINTVALE_TCOLORSPACE_APPEARANCE_H

#include <tintvale/tcolorspacerepresentation.h>
#include <tintvale/texport.h>

// Coordinates are (J, C, h): lightness, chroma and hue angle in degrees in [0, 360). XYZ is on the
// scale of the reference white.
//
// Error numbers (ErrNo):
//    0 valid
//   -1 the viewing condition was not 0, 1 or 2, or the white was null or had a Y that is not a
//      positive number; the object exists but its results are meaningless.
//
// One difference formula: the distance in (J, C cos h, C sin h); the index is ignored. CalcDeltaE
// returns the squared distance, exactly as CalcSquareDeltaE does; -1.0 when a colour is not finite
// (no distance).
class TINTVALE_API TColorSpace_Appearance : public TColorSpaceRepresentation {
public:
    // A surround of a model's table: impact of surround c, chromatic induction factor Nc and the
    // factor F for the degree of adaptation.
    struct Surround {
        double c;
        double nc;
        double f;
    };
    static constexpr int kNrSurrounds = 3; // 0 average, 1 dim, 2 dark

    ~TColorSpace_Appearance() override;

    double CalcDeltaE(const double* xyz1, const double* xyz2, int index) const override;
    double CalcSquareDeltaE(const double* xyz1, const double* xyz2, int index) const override;
    double CalcSquareDeltaEConverted(const double* jch1, const double* jch2, int index) const override;
    int ErrNo() const override { return mError; }

protected:
    // c, Nc and F from row viewingCondition of the model's table; another index leaves them 0 and
    // the error number -1.
    TColorSpace_Appearance(const Surround (&table)[kNrSurrounds], int viewingCondition);
    TColorSpace_Appearance(const TColorSpace_Appearance& other) = default;
    TColorSpace_Appearance& operator=(const TColorSpace_Appearance& other) = default;

    // Stores the fixed scene (adapting luminance 1000 / pi cd/m^2, background Yb = 20) and what both
    // models derive from it alike: n = Yb / Yw, Nbb = Ncb = 0.725 (1/n)^0.2 and FL. False, storing
    // nothing and setting the error number -1, when the white has no positive Y or a component that
    // is not finite: nothing of the model is defined then.
    bool StoreScene(const double* white);
    // The white's cone responses Rw, Gw, Bw.
    void StoreWhiteResponses(const double* rgbw);

    // A = (2 R'a + G'a + 0.05 B'a - offset) Nbb, the offset being the model's noise term.
    double AchromaticResponse(const double* rgba, double offset) const;
    // J = 100 (A / Aw)^(c z), and its inverse A = Aw (J / 100)^(1 / (c z)).
    double Lightness(double achromatic) const;
    double AchromaticOfLightness(double lightness) const;
    // Red-green a = R'a - 12 G'a / 11 + B'a / 11, yellow-blue b = (R'a + G'a - 2 B'a) / 9 and the
    // hue angle h = atan2(b, a) in degrees in [0, 360).
    static void OpponentDimensions(const double* rgba, double* a, double* b, double* hue);

    double mWhite[3] = {};
    int mError = 0;
    double mC = 0.0;
    double mNc = 0.0;
    double mF = 0.0;
    double mLA = 0.0;
    double mYb = 0.0;
    // The white's cone responses, in each model's own space.
    double mRw = 0.0;
    double mGw = 0.0;
    double mBw = 0.0;
    double mAw = 0.0;
    double mD = 0.0;
    double mN = 0.0;
    double mNbb = 0.0;
    double mZ = 0.0;
    double mFL = 0.0;
};

#endif
