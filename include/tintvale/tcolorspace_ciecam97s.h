// TColorSpace_CIECAM97s: the CIECAM97s colour appearance model (CIE 131-1998) as a colour space,
// for a fixed scene (adapting luminance 318.30988618379 cd/m^2, background Yb = 20).
#ifndef TINTVALE_TCOLORSPACE_CIECAM97S_H
#define TINTVALE_TCOLORSPACE_CIECAM97S_H

#include <tintvale/tcolorspace_appearance.h>
#include <tintvale/texport.h>

// Coordinates, error numbers and the colour difference as TColorSpace_Appearance says.
//
// Viewing conditions: 0 average (c 0.69, Nc 1.0, FLL 1.0, F 1.0), 1 dim (0.59, 1.1, 1.0, 0.9),
// 2 dark (0.525, 0.8, 1.0, 0.9).
//
// Conversions return 0 (2 for a null pointer). Black (X = Y = Z = 0) gives J 0, C 0, h 0, and
// J 0 with C 0 gives black back. A result that is not a finite number gives 1 (the result is still
// written): Y = 0 without black, a NaN or infinite input, and some colours that the published
// inverse cannot take (very dark, saturated violets, mostly under illuminant A, whose estimate
// Y' of Y comes out negative). A negative post-adaptation cone response is
// compressed by its absolute value with its sign restored (as CalculatePrime inverts it); nothing
// is clamped. The forward direction uses the four-digit inverse of the Bradford matrix published
// with the model and the inverse direction the full-precision one, so a round trip agrees to the
// rounding of those four digits, not to double precision.
//
// Its one difference formula is named "CIECAM97s Delta E".
class TINTVALE_API TColorSpace_CIECAM97s : public TColorSpace_Appearance {
public:
    TColorSpace_CIECAM97s(const double* white, int viewingCondition);
    TColorSpace_CIECAM97s(const TColorSpace_CIECAM97s& other);
    TColorSpace_CIECAM97s& operator=(const TColorSpace_CIECAM97s& other);
    ~TColorSpace_CIECAM97s() override;

    int ToXYZ(const double* jch, double* xyz) const override;
    int FromXYZ(const double* xyz, double* jch) const override;

    // The one-entry formula list (static, not to be released) and its size, 1.
    static const char** GetDifferenceFunctionList();
    static int GetDifferenceFunctionListSize();

private:
    friend struct TColorSpaceCIECAM97sAccess; // unit tests of the private stages

    // The scene and the white's responses, for a white that StoreScene accepts.
    void InitializeScene(const double* white);

    // (R, G, B) = MB (X/Y, 1, Z/Y)
    static int MultiplyByMb(const double* xyz, double* rgb);
    int MultiplyByDp(const double* rgb, double* rgbc) const;
    // (R', G', B') = MH (y MB^-1 (Rc, Gc, Bc)), with the four-digit MB^-1.
    static int MultiplyByMhMbInv(const double* rgbc, double y, double* rgbp);
    // MB (MH^-1 (R', G', B') / factor), with the four-digit MH^-1.
    static int MultiplyByMbMhInv(const double* rgbp, double factor, double* rgbc);
    // Hue eccentricity e(h), h in degrees.
    static double CalculateE(double h);
    // Inverse of the post-adaptation compression, before the division by FL.
    static double CalculatePrime(double x);
    static double sgn(double x);

    double mFLL = 0.0;
    double mP = 0.0;
};

#endif
