// TColorSpace_CIECAM02: the CIECAM02 colour appearance model (CIE 159:2004) as a colour space, for
// a fixed scene (adapting luminance 318.30988618379 cd/m^2, background Yb = 20).
#ifndef TINTVALE_TCOLORSPACE_CIECAM02_H
#define TINTVALE_TCOLORSPACE_CIECAM02_H

#include <tintvale/tcolorspace_appearance.h>
#include <tintvale/texport.h>

// Coordinates, error numbers and the colour difference as TColorSpace_Appearance says.
//
// Viewing conditions: 0 average (c 0.69, Nc 1.0, F 1.0), 1 dim (0.59, 0.95, 0.9),
// 2 dark (0.525, 0.8, 0.8).
//
// Conversions return 0 (2 for a null pointer). A negative post-adaptation cone response is
// compressed by its absolute value with its sign restored, forward and inverse, so real colours
// whose responses go negative (saturated reds, monochromatic stimuli) convert to finite values.
// J = 0 with C = 0 in the inverse gives not-a-number or infinite values; nothing is clamped.
//
// Its one difference formula is named "CIECAM02 Delta E".
class TINTVALE_API TColorSpace_CIECAM02 : public TColorSpace_Appearance {
public:
    TColorSpace_CIECAM02(const double* white, int viewingCondition);
    TColorSpace_CIECAM02(const TColorSpace_CIECAM02& other);
    TColorSpace_CIECAM02& operator=(const TColorSpace_CIECAM02& other);
    ~TColorSpace_CIECAM02() override;

    // The published inverse model.
    int ToXYZ(const double* jch, double* xyz) const override;
    // The forward model.
    int FromXYZ(const double* xyz, double* jch) const override;

    // The one-entry formula list (static, not to be released) and its size, 1.
    static const char** GetDifferenceFunctionList();
    static int GetDifferenceFunctionListSize();

private:
    // The scene and the white's responses, for a white that StoreScene accepts.
    void InitializeScene(const double* white);

    int ChromaticAdaptation(const double* rgb, double* rgbc) const;
    int InverseChromaticAdaptation(const double* rgbc, double* rgb) const;
    int AabToRGB(double achromatic, double a, double b, double* rgba) const;
};

#endif
