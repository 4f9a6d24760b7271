// TLabSpace: CIE 1976 L*a*b* relative to one reference white, its polar form and six
// colour-difference formulas.
#ifndef TINTVALE_TLABSPACE_H
#define TINTVALE_TLABSPACE_H

#include <tintvale/tcolorspacerepresentation.h>
#include <tintvale/texport.h>

// Triples are three doubles: XYZ on the scale of the reference white (a white with Y = 100 gives
// L* = 100 for itself), Lab as L*, a*, b*, LHC as L*, hue angle in radians in [0, 2 pi), chroma.
//
// Error numbers (ErrNo):
//   0 valid
//   2 the reference white was null or had a component that is negative, zero, denormal or not
//     finite; "Invalid XYZref values" was reported for the first such component (set to 0 when
//     negative). The object stays usable, but what it converts is not a colour.
//
// Conversions return 0; 2 when a required pointer is null; XYZToLab and LabToXYZ (and so ToXYZ and
// FromXYZ) return 1 under an invalid white or when a result is not a finite number, and still write
// the result.
//
// Difference formulas, by index (GetDifferenceFunctionList gives the names):
//   0 "CIELAB Delta E (Classic)"   CIE 1976 Delta E*ab
//   1 "Delta E 94"                 CIE94, graphic-arts weights (K1 = 0.045, K2 = 0.015)
//   2 "Delta E 2000"               CIEDE2000, kL = kC = kH = 1
//   3 "CMC(1:1)"                   CMC l:c, l = 1, c = 1
//   4 "CMC(2:1)"                   CMC l:c, l = 2, c = 1
//   5 "Delta E 2000 (2:1:1)"       CIEDE2000, kL = 2, kC = kH = 1
// The first colour of a pair is the sample, the second the reference: CIE94 and CMC take their
// weights from the second colour. An index outside 0..5 (or a null colour) gives -1.0.
class TINTVALE_API TLabSpace : public TColorSpaceRepresentation {
public:
    // Copies the three white components (X, Y, Z), then validates them.
    explicit TLabSpace(const double* white);
    TLabSpace(const TLabSpace& other);
    TLabSpace& operator=(const TLabSpace& other);
    ~TLabSpace() override;

    int ErrNo() const override { return mError; }

    // Same as LabToXYZ and XYZToLab.
    int ToXYZ(const double* lab, double* xyz) const override;
    int FromXYZ(const double* xyz, double* lab) const override;

    // CIE 15:2004, 8.2.1. A negative component converts as 0.
    int XYZToLab(const double* xyz, double* lab) const;
    // Inverse of XYZToLab; a component that comes out negative is set to 0.
    int LabToXYZ(const double* lab, double* xyz) const;
    // Bulk XYZToLab over count consecutive triples (xyz and lab both advance by 3), computed in
    // single precision: results differ from XYZToLab in the low digits. count < 1 converts nothing.
    int FastXYZToLab(const double* xyz, double* lab, int count) const;
    int XYZToLHC(const double* xyz, double* lhc) const;
    int LHCToXYZ(const double* lhc, double* xyz) const;
    static int LabToLHC(const double* lab, double* lhc);
    // Hue expected in [0, 2 pi]; it is not wrapped.
    static int LHCToLab(const double* lhc, double* lab);
    // Re-expresses Lab relative to this white as Lab relative to otherWhite (3 doubles, only read).
    int LabToLab(const double* labIn, double* labOut, const double* otherWhite) const;
    // In place: xyz to Lab under white1, then that Lab back to XYZ under white2.
    static int XYZToLabToXYZ(const double* white1, const double* white2, double* xyz);
    // *sqSat = a*^2 + b*^2 of xyz under this white.
    int GetSqSat(const double* xyz, double* sqSat) const;

    // Squared difference of two Lab colours with formula index; -1.0 for an unknown index.
    static double CalcSquareDeltaEConvertedStatic(const double* lab1, const double* lab2, int index);
    double CalcSquareDeltaEConverted(const double* lab1, const double* lab2, int index) const override;
    // Converts both XYZ under this white, then the squared difference.
    double CalcSquareDeltaE(const double* xyz1, const double* xyz2, int index) const override;
    // Square root of CalcSquareDeltaE; -1.0 when that is negative or not a number.
    double CalcDeltaE(const double* xyz1, const double* xyz2, int index) const override;
    // (a2 - a1)^2 + (b2 - b1)^2: the chromatic part Delta C^2 + Delta H^2.
    static double CalcSquareDeltaCHConvertedStatic(const double* lab1, const double* lab2);
    // Delta H^2 = (a2 - a1)^2 + (b2 - b1)^2 - (C1 - C2)^2; not clamped, may be slightly negative.
    static double CalcSquareDeltaHConvertedStatic(const double* lab1, const double* lab2);
    // Spot colour tone value (ISO 20654) as a fraction: 0 at the paper, 1 at the solid; 0 when paper
    // and solid coincide. With solid null: the distance of the tint from the paper; with paper null:
    // the distance of the tint from the origin (in the ISO 20654 V coordinates).
    static double CalcSCTV(const double* labTint, const double* labPaper, const double* labSolid);

    // The six formula names; the table is static and must not be released.
    static const char** GetDifferenceFunctionList();
    static int GetDifferenceFunctionListSize();
    // The formula front ends take when none is named: CIEDE2000.
    static constexpr int kDefaultDifferenceFunction = 2;
    // The other accepted names of formula index ("CIEDE2000", "dE00", "CIE 2000" for index 2, ...):
    // a static list ending with null, or null for an index outside 0..5.
    static const char* const* GetDifferenceFunctionAliases(int index);
    // Index of a formula by its name or one of its aliases, compared ignoring letter case; -1 when
    // nothing matches (a null name included). Pass the result on only when it is not -1: the
    // difference functions answer -1.0 to it.
    static int DifferenceFunctionNameToIndex(const char* name);

private:
    static double FLab(double t);
    static double Fm1Lab(double f);
    static double CalculateHue(const double* lab);

    double mWhite[3];
    int mError;
};

#endif
