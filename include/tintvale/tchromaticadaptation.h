// TChromaticAdaptation: a linear (von Kries-type) chromatic adaptation transform of XYZ from a
// source white to a destination white, with full adaptation.
#ifndef TINTVALE_TCHROMATICADAPTATION_H
#define TINTVALE_TCHROMATICADAPTATION_H

#include <tintvale/texport.h>

// XYZ = M^-1 diag(rho_d / rho_s) M XYZ, where M takes XYZ to the method's cone-like responses rho
// and rho_s, rho_d are the responses of the source and destination whites (CIE 160:2004, 4; the
// degree of adaptation D = 1). Methods, by index (GetMethodList gives the names):
//   0 "von Kries"  Hunt-Pointer-Estevez responses (as B. Lindbloom tabulates them for von Kries)
//   1 "Bradford"   Lam (1985), the linearised Bradford transform (ICC.1:2010, Annex E)
//   2 "CAT02"      CIE 159:2004, 3.1
//   3 "CAT16"      Li et al., Color Res. Appl. 42(6), 2017; CIE 248:2022
// The whites and the colours share one scale (Y = 100 or Y = 1 alike).
//
// Error numbers (ErrNo): 0 valid; 1 an unknown method; 2 a null white, a white that is not
// finite or one whose response to the method's transform is not positive. An invalid object
// adapts nothing.
class TINTVALE_API TChromaticAdaptation {
public:
    enum Method { VonKries = 0, Bradford = 1, CAT02 = 2, CAT16 = 3 };

    TChromaticAdaptation(int method, const double* sourceWhite, const double* destinationWhite);

    int ErrNo() const { return mError; }
    int GetMethod() const { return mMethod; }
    // The 3 x 3 matrix taking source XYZ to destination XYZ, row by row (9 values).
    const double* GetMatrix() const { return &mMatrix[0][0]; }
    // XYZ under the source white to XYZ under the destination white (xyz and out may be the same
    // array). 0; the error number when the object is invalid, 3 for a null pointer, 4 for a
    // colour that is not finite (out then untouched).
    int Adapt(const double* xyz, double* out) const;

    // The method names "von Kries", "Bradford", "CAT02", "CAT16" in index order, null-terminated.
    static const char* const* GetMethodList();
    static int GetMethodListSize();
    // Index of name (letter case ignored), or -1.
    static int MethodNameToIndex(const char* name);

private:
    int mMethod = 0;
    int mError = 0;
    double mMatrix[3][3] = {};
};

#endif
