// TSrgb: colours measured under a white shown in sRGB (IEC 61966-2-1:1999), the white adapted to the
// D65 white of sRGB by Bradford (TChromaticAdaptation).
#ifndef TINTVALE_TSRGB_H
#define TINTVALE_TSRGB_H

#include <tintvale/texport.h>
#include <tintvale/tlabspace.h>

// XYZ under the white is adapted to D65, taken to linear RGB by the matrix of IEC 61966-2-1:1999, 5.2,
// and encoded by its transfer curve: V' = 12.92 V for V <= 0.0031308, else 1.055 V^(1/2.4) - 0.055.
// The curve is extended to negative values by odd symmetry, so a channel out of gamut comes back
// below 0 or above 1 by how far it lies out on the encoded scale; nothing is clipped.
//
// Error numbers (ErrNo): 0 valid; 2 a null white, one that is not finite or whose Bradford response
// is not positive. An invalid object converts nothing.
class TINTVALE_API TSrgb {
public:
    // white: XYZ of the white the colours are relative to, Y = 100.
    explicit TSrgb(const double* white);

    int ErrNo() const { return mError; }
    // Encoded R', G', B' (1 for the white) of a CIELAB colour relative to the white. 0; the error
    // number when the object is invalid, 3 for a null pointer.
    int LabToRgb(const double* lab, double* rgb) const;
    // The same for XYZ under the white (Y = 100 for the white).
    int XYZToRgb(const double* xyz, double* rgb) const;

private:
    int mError = 0;
    TLabSpace mLab;
    double mToLinear[3][3] = {}; // XYZ under the white (Y = 1) to linear sRGB
};

#endif
