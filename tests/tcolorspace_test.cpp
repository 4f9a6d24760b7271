// TColorSpace: type selection, error precedence, forwarding and the name tables.
#include <tintvale/tcolorspace.h>

#include <tintvale/tcolorspace_ciecam02.h>
#include <tintvale/tcolorspace_ciecam97s.h>
#include <tintvale/tlabspace.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kD65[3] = { 95.047, 100.0, 108.883 };

} // namespace

TEST(TColorSpaceFacade, FormulaListsPerType)
{
    const int sizes[] = { 6, 1, 1, -1 };
    for (int type = 0; type < 4; ++type)
        EXPECT_EQ(TColorSpace::GetDifferenceFunctionListSize(type), sizes[type]) << type;
    EXPECT_STREQ(TColorSpace::GetDifferenceFunctionList(1)[0], "CIECAM97s Delta E");
    EXPECT_STREQ(TColorSpace::GetDifferenceFunctionList(2)[0], "CIECAM02 Delta E");
    EXPECT_EQ(TColorSpace::GetDifferenceFunctionList(-1), nullptr);
    EXPECT_EQ(TColorSpace(kD65, 2).GetDifferenceFunctionList(), TColorSpace::GetDifferenceFunctionList(2));
}

TEST(TColorSpaceFacade, InvalidTypeHasNoSpaceAndRepresentationErrorsShowThrough)
{
    const TColorSpace space(kD65, 3);
    EXPECT_EQ(space.ErrNo(), 1);
    EXPECT_EQ(space.GetDifferenceFunctionListSize(), -1);
    double out[3] = { 7.0, 7.0, 7.0 };
    EXPECT_EQ(space.FromXYZ(kD65, out), 1);
    EXPECT_EQ(space.ToXYZ(kD65, out), 1);
    EXPECT_EQ(space.CalcSquareDeltaE(kD65, kD65, 0), -1.0);
    EXPECT_TRUE(std::isnan(space.CalcDeltaE(kD65, kD65, 0)));
    // The representation's own errors show through.
    MessageCapture capture;
    const double negativeY[3] = { 95.0, -100.0, 108.0 };
    EXPECT_EQ(TColorSpace(negativeY, 0).ErrNo(), 2);
    EXPECT_EQ(TColorSpace(negativeY, 2).ErrNo(), -1);
    EXPECT_EQ(TColorSpace(negativeY, 1).ErrNo(), -1);
    EXPECT_EQ(capture.messages.size(), 1u);
}

TEST(TColorSpaceFacade, ForwardsToTheRepresentation)
{
    const double xyz1[3] = { 41.24, 21.26, 1.93 }, xyz2[3] = { 35.76, 71.52, 11.92 };
    const TLabSpace lab(kD65);
    const TColorSpace_CIECAM97s cam97(kD65, 0);
    const TColorSpace_CIECAM02 cam02(kD65, 0);
    const TColorSpaceRepresentation* direct[3] = { &lab, &cam97, &cam02 };
    for (int type = 0; type < 3; ++type) {
        const TColorSpace space(kD65, type);
        double viaFacade[3], viaSpace[3], back[3], backDirect[3];
        space.FromXYZ(xyz1, viaFacade);
        direct[type]->FromXYZ(xyz1, viaSpace);
        space.ToXYZ(viaFacade, back);
        direct[type]->ToXYZ(viaSpace, backDirect);
        EXPECT_EQ(viaFacade[2], viaSpace[2]) << type;
        EXPECT_EQ(back[0], backDirect[0]) << type;
        const double square = space.CalcSquareDeltaE(xyz1, xyz2, 0);
        EXPECT_EQ(square, direct[type]->CalcSquareDeltaE(xyz1, xyz2, 0));
        // The facade always takes the square root, also for the appearance spaces.
        EXPECT_EQ(space.CalcDeltaE(xyz1, xyz2, 0), std::sqrt(square)) << type;
        double c2[3];
        space.FromXYZ(xyz2, c2);
        EXPECT_EQ(space.CalcSquareDeltaEConverted(viaFacade, c2, 0), square);
    }
    EXPECT_TRUE(std::isnan(TColorSpace(kD65, 0).CalcDeltaE(xyz1, xyz2, 9)));
}
