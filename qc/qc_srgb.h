// CIELAB shown on screen: the library's sRGB of Lab under the measurement's white (TSrgb), 8 bits
// per channel.
#ifndef TINTVALE_QC_SRGB_H
#define TINTVALE_QC_SRGB_H

#include <tintvale/tsrgb.h>

#include <string>

namespace tintvale::qc {

// An 8-bit sRGB colour; clipped when a channel fell outside 0 ... 255 and was clipped into it.
struct Srgb8 {
    int rgb[3] = {};
    bool clipped = false;
    // "#rrggbb"
    std::string Hex() const;
};

class SrgbRenderer {
public:
    // white: XYZ of the white the Lab values are relative to (Y = 100).
    explicit SrgbRenderer(const double* white);
    Srgb8 FromLab(const double* lab) const;

private:
    TSrgb mSrgb;
};

} // namespace tintvale::qc

#endif
