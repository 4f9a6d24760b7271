// TColorSpace: an unknown type and the errors of the representation behind it.
#include <tintvale/tcolorspace.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kD65[3] = { 95.047, 100.0, 108.883 };

} // namespace

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
