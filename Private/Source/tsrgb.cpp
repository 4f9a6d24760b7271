// TSrgb: XYZ and CIELAB under a white to sRGB, through the library's Bradford adaptation.
#include <tintvale/tsrgb.h>

#include <tintvale/tchromaticadaptation.h>

#include <cmath>

namespace {

// IEC 61966-2-1:1999, 5.2: the D65 white of sRGB by its chromaticity, and XYZ (Y = 1) to linear RGB.
constexpr double kD65x = 0.3127;
constexpr double kD65y = 0.3290;
const double kXyzToLinear[3][3] = {
    { 3.2406, -1.5372, -0.4986 },
    { -0.9689, 1.8758, 0.0415 },
    { 0.0557, -0.2040, 1.0570 },
};
// IEC 61966-2-1:1999, 5.2: V' = 12.92 V for V <= 0.0031308, else 1.055 V^(1/2.4) - 0.055.
constexpr double kLinearLimit = 0.0031308;
constexpr double kLinearSlope = 12.92;
constexpr double kGamma = 2.4;
constexpr double kOffset = 0.055;

// The white's scale (Y = 100) to the scale of the sRGB equations (Y = 1).
constexpr double kWhiteY = 100.0;

// Linear to encoded, odd-symmetric below 0.
double Encode(double v)
{
    const double a = std::fabs(v);
    const double e
        = a <= kLinearLimit ? kLinearSlope * a : (1.0 + kOffset) * std::pow(a, 1.0 / kGamma) - kOffset;
    return std::copysign(e, v);
}

} // namespace

TSrgb::TSrgb(const double* white)
    : mLab(white)
{
    if (!white || !(white[1] != 0.0)) {
        mError = 2;
        return;
    }
    // The adaptation sees the chromaticity of each white, both at Y = 1.
    const double source[3] = { white[0] / white[1], 1.0, white[2] / white[1] };
    const double d65[] = { kD65x / kD65y, 1.0, (1.0 - kD65x - kD65y) / kD65y };
    const TChromaticAdaptation bradford(TChromaticAdaptation::Bradford, source, d65);
    if (bradford.ErrNo() != 0) {
        mError = 2;
        return;
    }
    const double* adapt = bradford.GetMatrix();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            mToLinear[i][j] = kXyzToLinear[i][0] * adapt[j] + kXyzToLinear[i][1] * adapt[3 + j]
                + kXyzToLinear[i][2] * adapt[6 + j];
}

int TSrgb::XYZToRgb(const double* xyz, double* rgb) const
{
    if (mError != 0)
        return mError;
    if (!xyz || !rgb)
        return 3;
    const double v[3] = { xyz[0] / kWhiteY, xyz[1] / kWhiteY, xyz[2] / kWhiteY };
    for (int c = 0; c < 3; ++c)
        rgb[c] = Encode(mToLinear[c][0] * v[0] + mToLinear[c][1] * v[1] + mToLinear[c][2] * v[2]);
    return 0;
}

int TSrgb::LabToRgb(const double* lab, double* rgb) const
{
    if (mError != 0)
        return mError;
    if (!lab || !rgb)
        return 3;
    double xyz[3];
    mLab.LabToXYZ(lab, xyz);
    return XYZToRgb(xyz, rgb);
}
