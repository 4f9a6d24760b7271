// TXYZRSpace: XYZ relative to a reference white, component by component (the white is (1, 1, 1)),
// and the relative luminance Y / Yw.
#ifndef TINTVALE_TXYZRSPACE_H
#define TINTVALE_TXYZRSPACE_H

#include <tintvale/texport.h>

// Error numbers (ErrNo):
//   0 valid
//   2 a white component is below 1e-6 (zero and negative included), or the white was null. The
//     white is stored anyway; divisions by such a component give infinite or not-a-number values.
// Conversions return 0 (2 for a null pointer).
class TINTVALE_API TXYZRSpace {
public:
    explicit TXYZRSpace(const double* white);
    TXYZRSpace(const TXYZRSpace& other);
    TXYZRSpace& operator=(const TXYZRSpace& other);
    virtual ~TXYZRSpace();

    int ErrNo() const { return mError; }
    // xyzr[i] = xyz[i] / white[i]
    int XYZToXYZR(const double* xyz, double* xyzr) const;
    // xyz[i] = xyzr[i] * white[i]
    int XYZRToXYZ(const double* xyzr, double* xyz) const;
    // One value: Y / Yw.
    int XYZToYR(const double* xyz, double* yr) const;
    // The white scaled by yr[0]: the neutral of that relative luminance.
    int YRToXYZ(const double* yr, double* xyz) const;

private:
    int mError;
    double mWhite[3];
};

#endif
