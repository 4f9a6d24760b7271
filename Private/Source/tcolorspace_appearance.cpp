// TColorSpace_Appearance: the scene, lightness and colour difference both appearance spaces share
// (CIE 159:2004 for CIECAM02, CIE 131-1998 for CIECAM97s, which agree in these steps).
#include <tintvale/tcolorspace_appearance.h>

#include "appearance_common.h"

#include <cmath>

namespace {

constexpr double kRadToDeg = 57.29577951308232;

} // namespace

TColorSpace_Appearance::~TColorSpace_Appearance() = default;

TColorSpace_Appearance::TColorSpace_Appearance(const Surround (&table)[kNrSurrounds], int viewingCondition)
{
    if (viewingCondition < 0 || viewingCondition >= kNrSurrounds) {
        mError = -1;
        return;
    }
    mC = table[viewingCondition].c;
    mNc = table[viewingCondition].nc;
    mF = table[viewingCondition].f;
}

bool TColorSpace_Appearance::StoreScene(const double* white)
{
    if (!white || !std::isfinite(white[0]) || !std::isfinite(white[2]) || !(white[1] > 0.0)
        || !std::isfinite(white[1])) {
        mError = -1;
        return false;
    }
    for (int i = 0; i < 3; ++i)
        mWhite[i] = white[i];
    mLA = tintvale::detail::kSceneAdaptingLuminance;
    mYb = tintvale::detail::kSceneBackground;
    // n = Yb / Yw, Nbb = Ncb = 0.725 (1/n)^0.2
    mN = mYb / mWhite[1];
    mNbb = 0.725 * std::pow(1.0 / mN, 0.2);
    mFL = tintvale::detail::LuminanceAdaptationFactor(mLA);
    return true;
}

void TColorSpace_Appearance::StoreWhiteResponses(const double* rgbw)
{
    mRw = rgbw[0];
    mGw = rgbw[1];
    mBw = rgbw[2];
}

double TColorSpace_Appearance::AchromaticResponse(const double* rgba, double offset) const
{
    return (2.0 * rgba[0] + rgba[1] + 0.05 * rgba[2] - offset) * mNbb;
}

double TColorSpace_Appearance::Lightness(double achromatic) const
{
    return 100.0 * std::pow(achromatic / mAw, mC * mZ);
}

double TColorSpace_Appearance::AchromaticOfLightness(double lightness) const
{
    return mAw * std::pow(lightness / 100.0, 1.0 / (mC * mZ));
}

void TColorSpace_Appearance::OpponentDimensions(const double* rgba, double* a, double* b, double* hue)
{
    *a = rgba[0] - 12.0 * rgba[1] / 11.0 + rgba[2] / 11.0;
    *b = (rgba[0] + rgba[1] - 2.0 * rgba[2]) / 9.0;
    double h = std::atan2(*b, *a) * kRadToDeg;
    if (h < 0.0)
        h += 360.0;
    *hue = h;
}

double TColorSpace_Appearance::CalcSquareDeltaEConverted(const double* jch1, const double* jch2, int) const
{
    if (!jch1 || !jch2)
        return -1.0;
    return tintvale::detail::SquareDistanceJCh(jch1, jch2);
}

double TColorSpace_Appearance::CalcSquareDeltaE(const double* xyz1, const double* xyz2, int index) const
{
    double jch1[3], jch2[3];
    if (FromXYZ(xyz1, jch1) != 0 || FromXYZ(xyz2, jch2) != 0)
        return -1.0;
    return CalcSquareDeltaEConverted(jch1, jch2, index);
}

// Kept as the squared distance: hosts that have always read this value expect it squared.
double TColorSpace_Appearance::CalcDeltaE(const double* xyz1, const double* xyz2, int index) const
{
    return CalcSquareDeltaE(xyz1, xyz2, index);
}
