// TColorSpace_CIECAM02: the CIECAM02 colour appearance model (CIE 159:2004) as a colour space, for
// a fixed scene (adapting luminance 318.30988618379 cd/m^2, background Yb = 20).
#ifndef TINTVALE_TCOLORSPACE_CIECAM02_H
#define TINTVALE_TCOLORSPACE_CIECAM02_H

#include <tintvale/tcolorspacerepresentation.h>
#include <tintvale/texport.h>

// Coordinates are (J, C, h): lightness, chroma and hue angle in degrees in [0, 360). XYZ is on the
// scale of the reference white.
//
// Viewing conditions: 0 average (c 0.69, Nc 1.0, F 1.0), 1 dim (0.59, 0.95, 0.9),
// 2 dark (0.525, 0.8, 0.8).
//
// Error numbers (ErrNo):
//    0 valid
//   -1 the viewing condition was not 0, 1 or 2, or the white was null or had a Y that is not a
//      positive number; the object exists but its results are meaningless.
//
// Conversions return 0 (2 for a null pointer). A negative post-adaptation cone response is
// compressed by its absolute value with its sign restored, forward and inverse, so real colours
// whose responses go negative (saturated reds, monochromatic stimuli) convert to finite values.
// J = 0 with C = 0 in the inverse gives not-a-number or infinite values; nothing is clamped.
//
// One difference formula, "CIECAM02 Delta E": the distance in (J, C cos h, C sin h); the index is
// ignored. CalcDeltaE returns the squared distance, exactly as CalcSquareDeltaE does; -1.0 when a
// colour is not finite (no distance).
class TINTVALE_API TColorSpace_CIECAM02 : public TColorSpaceRepresentation {
public:
    TColorSpace_CIECAM02(const double* white, int viewingCondition);
    TColorSpace_CIECAM02(const TColorSpace_CIECAM02& other);
    TColorSpace_CIECAM02& operator=(const TColorSpace_CIECAM02& other);
    ~TColorSpace_CIECAM02() override;

    // The published inverse model.
    int ToXYZ(const double* jch, double* xyz) const override;
    // The forward model.
    int FromXYZ(const double* xyz, double* jch) const override;
    double CalcDeltaE(const double* xyz1, const double* xyz2, int index) const override;
    double CalcSquareDeltaE(const double* xyz1, const double* xyz2, int index) const override;
    double CalcSquareDeltaEConverted(const double* jch1, const double* jch2, int index) const override;
    int ErrNo() const override { return mError; }

    // The one-entry formula list (static, not to be released) and its size, 1.
    static const char** GetDifferenceFunctionList();
    static int GetDifferenceFunctionListSize();

private:
    void SetToZero();
    int InitializeViewingCondition(int viewingCondition);
    int InitializeScene(const double* white, double adaptingLuminance, double background);

    static int ToCAT02(const double* xyz, double* rgb);
    static int FromCAT02(const double* rgb, double* xyz);
    static int ToHuntPointerEstevez(const double* rgbc, double* rgbp);
    static int FromHuntPointerEstevez(const double* rgbp, double* xyz);
    int ChromaticAdaptation(const double* rgb, double* rgbc) const;
    int InverseChromaticAdaptation(const double* rgbc, double* rgb) const;
    int NonlinearAdaptation(const double* rgbp, double* rgba) const;
    int InverseNonlinearAdaptation(const double* rgba, double* rgbp) const;
    int AabToRGB(double achromatic, double a, double b, double* rgba) const;
    // A = (2 R'a + G'a + 0.05 B'a - 0.305) Nbb
    double AchromaticResponse(const double* rgba) const;

    double mWhite[3];
    int mError;
    double mC;
    double mNc;
    double mF;
    double mLA;
    double mYb;
    double mRw;
    double mGw;
    double mBw;
    double mAw;
    double mD;
    double mN;
    double mNbb;
    double mZ;
    double mFL;
};

#endif
