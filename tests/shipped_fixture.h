// The set-up most colorimetric tests share: the shipped illuminants, CIE D50 and its white under the
// 2-degree observer, and both standard observers.
#ifndef TINTVALE_TESTS_SHIPPED_FIXTURE_H
#define TINTVALE_TESTS_SHIPPED_FIXTURE_H

#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tobserver.h>

#include <gtest/gtest.h>

class ShippedD50 : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mFactory.AddDirectory(TINTVALE_DATA_DIR "/illuminants"), 0);
        mD50 = Get("CIE Illuminant D50");
        ASSERT_NE(mD50, nullptr);
        TIlluminantAndObserver(mD50, &mTwo, 36).GetXYZWhite(mWhite);
    }
    TIlluminant* Get(const char* name)
    {
        TIlluminant* ill = mFactory.GetIlluminant(name);
        EXPECT_NE(ill, nullptr) << name;
        return ill;
    }

    TIlluminantFactory mFactory;
    TIlluminant* mD50 = nullptr;
    TObserver mTwo { 0 };
    TObserver mTen { 1 };
    double mWhite[3] = { 0, 0, 0 };
};

#endif
