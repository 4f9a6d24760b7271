// TColorSpaceRepresentation: the interface shared by the colour spaces that can stand behind the
// colour-space facade (CIELAB, CIECAM02, CIECAM97s).
#ifndef TINTVALE_TCOLORSPACEREPRESENTATION_H
#define TINTVALE_TCOLORSPACEREPRESENTATION_H

#include <tintvale/texport.h>

// Every space is built from a reference white XYZ and keeps an error number (0 = valid).
// Coordinates are triples of doubles in the space's own order; XYZ is on the scale of the white.
// Difference operations take a formula index into the space's own formula list; the first colour is
// the sample, the second the reference.
class TINTVALE_API TColorSpaceRepresentation {
public:
    TColorSpaceRepresentation() = default;
    TColorSpaceRepresentation(const TColorSpaceRepresentation&) = default;
    TColorSpaceRepresentation& operator=(const TColorSpaceRepresentation&) = default;
    virtual ~TColorSpaceRepresentation();

    // Coordinates of this space to XYZ; 0 on success.
    virtual int ToXYZ(const double* coords, double* xyz) const = 0;
    // XYZ to coordinates of this space; 0 on success.
    virtual int FromXYZ(const double* xyz, double* coords) const = 0;
    // Colour difference of two XYZ colours with formula index.
    virtual double CalcDeltaE(const double* xyz1, const double* xyz2, int index) const = 0;
    // Squared colour difference of two XYZ colours with formula index.
    virtual double CalcSquareDeltaE(const double* xyz1, const double* xyz2, int index) const = 0;
    // Squared colour difference of two colours given in this space's coordinates.
    virtual double CalcSquareDeltaEConverted(
        const double* coords1, const double* coords2, int index) const = 0;
    // The error number set at construction.
    virtual int ErrNo() const = 0;
};

#endif
