// Lab to 8-bit sRGB for display.
#include "qc_srgb.h"

#include <algorithm>
#include <cmath>

namespace tool {

namespace {

using Matrix = double[3][3];

// The Bradford cone-response matrix (K. M. Lam, "Metamerism and colour constancy", University of
// Bradford, 1985; as published in CIE 131-1998 with CIECAM97s).
const Matrix kBradford = {
    { 0.8951, 0.2664, -0.1614 },
    { -0.7502, 1.7135, 0.0367 },
    { 0.0389, -0.0685, 1.0296 },
};

// IEC 61966-2-1:1999, 5.2: the D65 white of sRGB by its chromaticity, and XYZ (Y = 1) to linear RGB.
constexpr double kD65x = 0.3127;
constexpr double kD65y = 0.3290;
const Matrix kXyzToSrgb = {
    { 3.2406, -1.5372, -0.4986 },
    { -0.9689, 1.8758, 0.0415 },
    { 0.0557, -0.2040, 1.0570 },
};
// IEC 61966-2-1:1999, 5.2: V' = 12.92 V for V <= 0.0031308, else 1.055 V^(1/2.4) - 0.055.
constexpr double kLinearLimit = 0.0031308;
constexpr double kLinearSlope = 12.92;
constexpr double kGamma = 2.4;
constexpr double kOffset = 0.055;

constexpr int kMax8 = 255;

void Multiply(const Matrix& m, const double* v, double* out)
{
    for (int i = 0; i < 3; ++i)
        out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
}

void Product(const Matrix& a, const Matrix& b, Matrix& out)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
}

// The inverse by the adjugate over the determinant.
void Invert(const Matrix& m, Matrix& out)
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
        - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
        + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            out[i][j] = (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / det;
        }
}

// Linear to encoded, extended to negative values by odd symmetry so that how far a channel lies
// out of range is measured on the encoded scale.
double Encode(double v)
{
    const double a = std::fabs(v);
    const double e
        = a <= kLinearLimit ? kLinearSlope * a : (1.0 + kOffset) * std::pow(a, 1.0 / kGamma) - kOffset;
    return std::copysign(e, v);
}

} // namespace

std::string Srgb8::Hex() const
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex = "#";
    for (int c : rgb) {
        hex += kDigits[c / 16];
        hex += kDigits[c % 16];
    }
    return hex;
}

SrgbRenderer::SrgbRenderer(const double* white)
    : mLab(white)
{
    // von Kries adaptation in the Bradford cone space: M^-1 diag(rho_D65 / rho_white) M.
    const double source[3] = { white[0] / white[1], 1.0, white[2] / white[1] };
    const double d65[3] = { kD65x / kD65y, 1.0, (1.0 - kD65x - kD65y) / kD65y };
    double rhoSource[3], rhoD65[3];
    Multiply(kBradford, source, rhoSource);
    Multiply(kBradford, d65, rhoD65);
    Matrix scaled, inverse, adapt;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            scaled[i][j] = rhoD65[i] / rhoSource[i] * kBradford[i][j];
    Invert(kBradford, inverse);
    Product(inverse, scaled, adapt);
    Product(kXyzToSrgb, adapt, mToLinearRgb);
}

Srgb8 SrgbRenderer::FromLab(const double* lab) const
{
    double xyz[3], linear[3];
    mLab.LabToXYZ(lab, xyz);
    // The white has Y = 100; the sRGB equations take Y = 1.
    for (double& v : xyz)
        v /= 100.0;
    Multiply(mToLinearRgb, xyz, linear);
    Srgb8 out;
    for (int c = 0; c < 3; ++c) {
        const double level = std::round(Encode(linear[c]) * kMax8);
        if (!std::isfinite(level)) {
            out.clipped = true;
            continue;
        }
        out.clipped = out.clipped || level < 0.0 || level > kMax8;
        out.rgb[c] = static_cast<int>(std::clamp(level, 0.0, static_cast<double>(kMax8)));
    }
    return out;
}

} // namespace tool
