// Lab to 8-bit sRGB for display, clipped into range and marked when it was.
#include "qc_srgb.h"

#include <algorithm>
#include <cmath>

namespace tintvale::qc {

namespace {

constexpr int kMax8 = 255;

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
    : mSrgb(white)
{ }

Srgb8 SrgbRenderer::FromLab(const double* lab) const
{
    Srgb8 out;
    double rgb[3];
    if (mSrgb.LabToRgb(lab, rgb) != 0) {
        out.clipped = true;
        return out;
    }
    for (int c = 0; c < 3; ++c) {
        const double level = std::round(rgb[c] * kMax8);
        if (!std::isfinite(level)) {
            out.clipped = true;
            continue;
        }
        out.clipped = out.clipped || level < 0.0 || level > kMax8;
        out.rgb[c] = static_cast<int>(std::clamp(level, 0.0, static_cast<double>(kMax8)));
    }
    return out;
}

} // namespace tintvale::qc
