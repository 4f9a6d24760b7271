// TSrgb against the sRGB standard's own white and a peer's conversion.
#include <tintvale/tsrgb.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The white of sRGB from its chromaticity (IEC 61966-2-1:1999, 5.1: x 0.3127, y 0.3290), Y = 100,
// and the D50 white of colormath 3.0.
const double kD65[3] = { 0.3127 / 0.3290 * 100.0, 100.0, (1.0 - 0.3127 - 0.3290) / 0.3290 * 100.0 };
const double kD50[3] = { 96.422, 100.0, 82.521 };

} // namespace

TEST(TSrgb, WhiteIsFullScaleAndGreysFollowTheTransferCurve)
{
    // Under its own white, and under D50 adapted to it, the white is R' = G' = B' = 1 and a grey of
    // Y = 0.2 is 1.055 * 0.2^(1/2.4) - 0.055 = 0.48453 (IEC 61966-2-1:1999, 5.2); Y = 0.002 lies on the
    // linear segment: 12.92 * 0.002 = 0.02584. The standard's 4-decimal matrix holds to 2e-4.
    for (const double* white : { kD65, kD50 }) {
        const TSrgb srgb(white);
        ASSERT_EQ(srgb.ErrNo(), 0);
        double rgb[4] = { 0.0, 0.0, 0.0, 7.0 }; // three channels: the fourth element stays
        const double lab[3] = { 100.0, 0.0, 0.0 };
        ASSERT_EQ(srgb.LabToRgb(lab, rgb), 0);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(rgb[c], 1.0, 2e-4);
        for (const auto& [y, encoded] : { std::pair { 0.2, 0.48453 }, std::pair { 0.002, 0.02584 } }) {
            const double xyz[3] = { white[0] * y, white[1] * y, white[2] * y };
            ASSERT_EQ(srgb.XYZToRgb(xyz, rgb), 0);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(rgb[c], encoded, 1e-4) << y;
        }
        EXPECT_EQ(rgb[3], 7.0);
    }
}

TEST(TSrgb, AgreesWithColormathAndReportsWhatItCannotConvert)
{
    // colormath 3.0 (Debian python3-colormath): convert_color(LabColor(L, a, b, illuminant="d50"),
    // sRGBColor), Bradford adaptation, unclamped. Its whites and matrix carry more digits than the
    // standard's; they agree to 2e-3.
    const struct {
        double lab[3], rgb[3];
    } cases[] = {
        { { 50, 20, -30 }, { 0.52114944, 0.42366271, 0.66846977 } },
        { { 80, -40, 60 }, { 0.57181015, 0.85204332, 0.29227365 } },
        { { 5, 2, -3 }, { 0.07280388, 0.06200442, 0.08465005 } },
    };
    const TSrgb srgb(kD50);
    for (const auto& c : cases) {
        double rgb[3];
        ASSERT_EQ(srgb.LabToRgb(c.lab, rgb), 0);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(rgb[k], c.rgb[k], 2e-3) << c.lab[0] << " " << k;
    }
    // Beyond the gamut the curve continues below 0 (colormath clips this red to 0).
    const double outside[3] = { 60.0, -100.0, 80.0 };
    double rgb[3];
    ASSERT_EQ(srgb.LabToRgb(outside, rgb), 0);
    EXPECT_LT(rgb[0], 0.0);

    // An unusable white is reported by the CIELAB space that holds it, and converts nothing.
    const MessageCapture capture;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double badWhite[3] = { nan, 100.0, 82.0 };
    const double zeroY[3] = { 96.0, 0.0, 82.0 };
    EXPECT_TRUE(TSrgb(badWhite).ErrNo() == 2 && TSrgb(zeroY).ErrNo() == 2);
    EXPECT_EQ(TSrgb(nullptr).LabToRgb(outside, rgb), 2);
    EXPECT_EQ(srgb.LabToRgb(nullptr, rgb), 3);
    EXPECT_EQ(srgb.XYZToRgb(outside, nullptr), 3);
    EXPECT_EQ(capture.messages.size(), 3u);
}
