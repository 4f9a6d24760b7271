// TColorSpace: picks a colour space by type and forwards conversions and colour differences to it,
// and lists the spaces and their difference formulas by name for a host's user interface.
#ifndef TINTVALE_TCOLORSPACE_H
#define TINTVALE_TCOLORSPACE_H

#include <tintvale/texport.h>

#include <memory>

class TColorSpaceRepresentation;

// Types (GetColorSpaceList gives the names):
//   0 "CIELAB (Classic)"  TLabSpace, the six formulas of TLabSpace
//   1 "CIECAM97s"         TColorSpace_CIECAM97s, viewing condition 0, "CIECAM97s Delta E"
//   2 "CIECAM02"          TColorSpace_CIECAM02, viewing condition 0, "CIECAM02 Delta E"
//
// Error numbers (ErrNo):
//   1 the type was not 0, 1 or 2; there is no space behind the facade
//   otherwise the space's own error number (0 when valid; 2 for a negative white in CIELAB,
//   -1 for an unusable white in the appearance spaces)
// Check ErrNo before use: without a space the conversions return 1 and write nothing, and the
// squared differences return -1.0.
//
// The name tables are static and must not be released. The facade owns its space and is not
// copyable.
class TINTVALE_API TColorSpace {
public:
    // white: the reference white XYZ (3 doubles).
    TColorSpace(const double* white, int type);
    ~TColorSpace();
    TColorSpace(const TColorSpace&) = delete;
    TColorSpace& operator=(const TColorSpace&) = delete;

    int GetType() const { return mType; }
    int ErrNo() const;

    int ToXYZ(const double* coords, double* xyz) const;
    int FromXYZ(const double* xyz, double* coords) const;
    double CalcSquareDeltaE(const double* xyz1, const double* xyz2, int index) const;
    // Coordinates of this facade's space.
    double CalcSquareDeltaEConverted(const double* coords1, const double* coords2, int index) const;
    // sqrt(CalcSquareDeltaE): not-a-number for an unknown index (whose squared value is -1.0).
    double CalcDeltaE(const double* xyz1, const double* xyz2, int index) const;

    static const char** GetColorSpaceList();
    static int GetColorSpaceListSize();
    // The formula names of this facade's type; null and -1 for an invalid type.
    const char** GetDifferenceFunctionList() const;
    int GetDifferenceFunctionListSize() const;
    static const char** GetDifferenceFunctionList(int type);
    static int GetDifferenceFunctionListSize(int type);

private:
    int mError;
    int mType;
    std::unique_ptr<TColorSpaceRepresentation> mRepresentation;
};

#endif
