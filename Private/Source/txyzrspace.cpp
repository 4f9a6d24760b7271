// TXYZRSpace: XYZ relative to a reference white.
#include <tintvale/txyzrspace.h>

namespace {

constexpr double kMinWhiteComponent = 1e-6;

} // namespace

TXYZRSpace::TXYZRSpace(const double* white)
    : mError(0)
    , mWhite { 0.0, 0.0, 0.0 }
{
    if (!white) {
        mError = 2;
        return;
    }
    for (int i = 0; i < 3; ++i) {
        mWhite[i] = white[i];
        if (!(white[i] >= kMinWhiteComponent))
            mError = 2;
    }
}

TXYZRSpace::TXYZRSpace(const TXYZRSpace& other) = default;
TXYZRSpace& TXYZRSpace::operator=(const TXYZRSpace& other) = default;
TXYZRSpace::~TXYZRSpace() = default;

int TXYZRSpace::XYZToXYZR(const double* xyz, double* xyzr) const
{
    if (!xyz || !xyzr)
        return 2;
    for (int i = 0; i < 3; ++i)
        xyzr[i] = xyz[i] / mWhite[i];
    return 0;
}

int TXYZRSpace::XYZRToXYZ(const double* xyzr, double* xyz) const
{
    if (!xyzr || !xyz)
        return 2;
    for (int i = 0; i < 3; ++i)
        xyz[i] = xyzr[i] * mWhite[i];
    return 0;
}

int TXYZRSpace::XYZToYR(const double* xyz, double* yr) const
{
    if (!xyz || !yr)
        return 2;
    *yr = xyz[1] / mWhite[1];
    return 0;
}

int TXYZRSpace::YRToXYZ(const double* yr, double* xyz) const
{
    if (!yr || !xyz)
        return 2;
    const double scale = yr[0];
    for (int i = 0; i < 3; ++i)
        xyz[i] = mWhite[i] * scale;
    return 0;
}
