// TXYZRSpace: XYZ relative to the white, relative luminance and the white check.
#include <tintvale/txyzrspace.h>

#include <gtest/gtest.h>

namespace {

const double kD65[3] = { 95.047, 100.0, 108.883 };

} // namespace

TEST(TXYZRSpace, ConversionsDivideAndMultiplyByTheWhite)
{
    const TXYZRSpace space(kD65);
    EXPECT_EQ(space.ErrNo(), 0);
    const double xyz[3] = { 19.01, 20.0, 21.78 }, half = 0.5;
    double xyzr[3], back[3], grey[3], yr = 0.0;
    EXPECT_EQ(space.XYZToXYZR(xyz, xyzr), 0);
    EXPECT_EQ(space.XYZRToXYZ(xyzr, back), 0);
    EXPECT_EQ(space.XYZToYR(xyz, &yr), 0);
    EXPECT_EQ(space.YRToXYZ(&half, grey), 0);
    const double expectedXYZR[3] = { 19.01 / 95.047, 0.2, 21.78 / 108.883 },
                 expectedGrey[3] = { 47.5235, 50.0, 54.4415 };
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(xyzr[i], expectedXYZR[i]);
        EXPECT_DOUBLE_EQ(back[i], xyz[i]);
        EXPECT_DOUBLE_EQ(grey[i], expectedGrey[i]);
    }
    EXPECT_DOUBLE_EQ(yr, 0.2);
    EXPECT_EQ(space.XYZToXYZR(nullptr, xyzr), 2);
    EXPECT_EQ(space.XYZRToXYZ(xyzr, nullptr), 2);
    EXPECT_EQ(space.XYZToYR(nullptr, &yr), 2);
    EXPECT_EQ(space.YRToXYZ(&half, nullptr), 2);
}

TEST(TXYZRSpace, WhiteBelowThresholdIsAnError)
{
    const double tiny[3] = { 95.047, 100.0, 1e-7 }, limit[3] = { 95.047, 100.0, 1e-6 };
    const double negative[3] = { -1.0, 100.0, 100.0 };
    EXPECT_EQ(TXYZRSpace(limit).ErrNo(), 0);
    EXPECT_EQ(TXYZRSpace(negative).ErrNo(), 2);
    EXPECT_EQ(TXYZRSpace(nullptr).ErrNo(), 2);

    // The white is stored regardless, and assignment keeps both.
    TXYZRSpace assigned(kD65);
    assigned = TXYZRSpace(tiny);
    EXPECT_EQ(assigned.ErrNo(), 2);
    const double xyz[3] = { 1.0, 2.0, 3.0 };
    double xyzr[3];
    assigned.XYZToXYZR(xyz, xyzr);
    EXPECT_DOUBLE_EQ(xyzr[2], 3.0 / 1e-7);
}
