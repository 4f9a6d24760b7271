// TXYZRSpace: XYZ relative to the white, relative luminance and the white check.
#include <tintvale/txyzrspace.h>

#include <gtest/gtest.h>

namespace {

const double kD65[3] = { 95.047, 100.0, 108.883 };

} // namespace

TEST(TXYZRSpace, WhiteIsUnity)
{
    const TXYZRSpace space(kD65);
    EXPECT_EQ(space.ErrNo(), 0);
    double xyzr[3];
    EXPECT_EQ(space.XYZToXYZR(kD65, xyzr), 0);
    for (double v : xyzr)
        EXPECT_EQ(v, 1.0);
    double yr = 0.0;
    EXPECT_EQ(space.XYZToYR(kD65, &yr), 0);
    EXPECT_EQ(yr, 1.0);
    const double one = 1.0;
    double xyz[3];
    EXPECT_EQ(space.YRToXYZ(&one, xyz), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(xyz[i], kD65[i]);
}

TEST(TXYZRSpace, ConversionsAndRoundTrip)
{
    const TXYZRSpace space(kD65);
    const double xyz[3] = { 19.01, 20.0, 21.78 };
    double xyzr[3], back[3];
    space.XYZToXYZR(xyz, xyzr);
    EXPECT_DOUBLE_EQ(xyzr[0], 19.01 / 95.047);
    EXPECT_DOUBLE_EQ(xyzr[1], 0.2);
    EXPECT_DOUBLE_EQ(xyzr[2], 21.78 / 108.883);
    space.XYZRToXYZ(xyzr, back);
    for (int i = 0; i < 3; ++i)
        EXPECT_DOUBLE_EQ(back[i], xyz[i]);
    const double half = 0.5;
    double grey[3];
    space.YRToXYZ(&half, grey);
    EXPECT_DOUBLE_EQ(grey[0], 47.5235);
    EXPECT_DOUBLE_EQ(grey[2], 54.4415);
    EXPECT_EQ(space.XYZToXYZR(nullptr, xyzr), 2);
}

TEST(TXYZRSpace, WhiteBelowThresholdIsAnError)
{
    const double tiny[3] = { 95.047, 100.0, 1e-7 };
    const double limit[3] = { 95.047, 100.0, 1e-6 };
    const double negative[3] = { -1.0, 100.0, 100.0 };
    EXPECT_EQ(TXYZRSpace(tiny).ErrNo(), 2);
    EXPECT_EQ(TXYZRSpace(limit).ErrNo(), 0);
    EXPECT_EQ(TXYZRSpace(negative).ErrNo(), 2);
    EXPECT_EQ(TXYZRSpace(nullptr).ErrNo(), 2);

    // The white is stored regardless, and copies keep both.
    TXYZRSpace stored(tiny);
    TXYZRSpace copy(stored);
    TXYZRSpace assigned(kD65);
    assigned = stored;
    EXPECT_EQ(copy.ErrNo(), 2);
    EXPECT_EQ(assigned.ErrNo(), 2);
    const double xyz[3] = { 1.0, 2.0, 3.0 };
    double xyzr[3];
    assigned.XYZToXYZR(xyz, xyzr);
    EXPECT_DOUBLE_EQ(xyzr[2], 3.0 / 1e-7);
}
