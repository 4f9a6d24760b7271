// TXYZRSpace: XYZ relative to the white, relative luminance and the white check.
#include <tintvale/txyzrspace.h>

#include <gtest/gtest.h>

#include <vector>

TEST(TXYZRSpace, ConversionsRelativeToTheWhiteAndItsThreshold)
{
    const double d65[3] = { 95.047, 100.0, 108.883 };
    const TXYZRSpace space(d65);
    EXPECT_EQ(space.ErrNo(), 0);
    const double xyz[3] = { 19.01, 20.0, 21.78 };
    // A fourth element beyond each triple must stay untouched.
    double xyzr[4] = { 0.0, 0.0, 0.0, -7.0 }, back[4] = { 0.0, 0.0, 0.0, -7.0 }, grey[3], yr = 0.0;
    EXPECT_EQ(space.XYZToXYZR(xyz, xyzr), 0);
    EXPECT_DOUBLE_EQ(xyzr[0], 19.01 / 95.047);
    EXPECT_DOUBLE_EQ(xyzr[1], 0.2);
    EXPECT_DOUBLE_EQ(xyzr[2], 21.78 / 108.883);
    space.XYZRToXYZ(xyzr, back);
    EXPECT_EQ(space.XYZToYR(d65, &yr), 0);
    EXPECT_EQ(yr, 1.0);
    const double half = 0.5;
    EXPECT_EQ(space.YRToXYZ(&half, grey), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(back[i], xyz[i]);
        EXPECT_DOUBLE_EQ(grey[i], d65[i] / 2);
    }
    EXPECT_TRUE(xyzr[3] == -7.0 && back[3] == -7.0);
    EXPECT_EQ(space.XYZToXYZR(nullptr, xyzr), 2);
    // A white below the threshold is an error, and copies keep it.
    const double tiny[3] = { 95.047, 100.0, 1e-7 }, limit[3] = { 95.047, 100.0, 1e-6 },
                 negative[3] = { -1.0, 100.0, 100.0 };
    EXPECT_EQ((std::vector<int> { TXYZRSpace(tiny).ErrNo(), TXYZRSpace(limit).ErrNo(),
                  TXYZRSpace(negative).ErrNo(), TXYZRSpace(nullptr).ErrNo() }),
        (std::vector<int> { 2, 0, 2, 2 }));
    TXYZRSpace assigned(limit);
    assigned = TXYZRSpace(tiny);
    EXPECT_EQ(assigned.ErrNo(), 2);
    EXPECT_EQ(TXYZRSpace(assigned).ErrNo(), 2);
}
