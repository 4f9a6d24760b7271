// TMeasGeom: the geometry table, construction fall-backs and the static look-ups.
#include <tintvale/tmeasgeom.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

TEST(TMeasGeomTable, ThirteenExactNames)
{
    EXPECT_EQ(TMeasGeom::sNrGeom, 13);
    EXPECT_STREQ(TMeasGeom::sGeomList[0], "Ill 45, Obs 0");
    EXPECT_STREQ(TMeasGeom::sGeomList[3], "Ill Diffuse, Obs 8, Specular included");
    EXPECT_STREQ(TMeasGeom::sGeomList[5], "Ill 8, Obs Diffuse, Specular included");
    EXPECT_STREQ(TMeasGeom::sGeomList[8], "Ill 45, Obs 0, D65 Filter");
    EXPECT_STREQ(TMeasGeom::sGeomList[12], "Ill None, Obs 0, UV Filter");
    const char** list = nullptr;
    int count = 0;
    EXPECT_EQ(TMeasGeom::GetKnownGeometries(&list, &count), 0);
    EXPECT_EQ(count, 13);
    EXPECT_STREQ(list[6], "Ill None, Obs 0");
    int untouched = -7;
    EXPECT_EQ(TMeasGeom::GetKnownGeometries(&list, nullptr), 2);
    const char** listUntouched = nullptr;
    EXPECT_EQ(TMeasGeom::GetKnownGeometries(nullptr, &untouched), 2);
    EXPECT_EQ(TMeasGeom::GetKnownGeometries(&listUntouched, nullptr), 2);
    EXPECT_EQ(untouched, -7);
    EXPECT_EQ(listUntouched, nullptr);
}

TEST(TMeasGeomConstruction, NumbersOutOfRangeFallBackSilently)
{
    MessageCapture capture;
    TMeasGeom ok(12);
    EXPECT_EQ(ok.Index(), 12);
    EXPECT_EQ(ok.ErrNo(), 0);
    EXPECT_STREQ(ok.Name(), "Ill None, Obs 0, UV Filter");
    for (int bad : { 13, -1 }) {
        TMeasGeom g(bad);
        EXPECT_EQ(g.Index(), 0) << bad;
        EXPECT_EQ(g.ErrNo(), 2) << bad;
    }
    EXPECT_TRUE(capture.messages.empty());
}

TEST(TMeasGeomConstruction, NameIsCaseSensitive)
{
    MessageCapture capture;
    TMeasGeom exact("Ill 8, Obs Diffuse, Specular included");
    EXPECT_EQ(exact.Index(), 5);
    EXPECT_EQ(exact.ErrNo(), 0);
    TMeasGeom lower("ill 8, obs diffuse, specular included");
    EXPECT_EQ(lower.Index(), 0);
    EXPECT_EQ(lower.ErrNo(), 2);
    TMeasGeom null(static_cast<const char*>(nullptr));
    EXPECT_EQ(null.ErrNo(), 2);
    EXPECT_TRUE(capture.messages.empty());
}

TEST(TMeasGeomConstruction, CopyClearsErrorAssignmentKeepsIt)
{
    TMeasGeom bad(99);
    TMeasGeom copy(bad);
    EXPECT_EQ(copy.ErrNo(), 0);
    EXPECT_EQ(copy.Index(), 0);
    TMeasGeom assigned(4);
    assigned = bad;
    EXPECT_EQ(assigned.ErrNo(), 2);
    EXPECT_EQ(assigned.Index(), 0);
}

TEST(TMeasGeomLookup, NumberByNameIgnoresCase)
{
    MessageCapture capture;
    EXPECT_EQ(TMeasGeom::GetGeometryNumber("ill 8, obs diffuse, specular included"), 5);
    EXPECT_EQ(TMeasGeom::GetGeometryNumber("ILL NONE, OBS 0, D65 FILTER"), 11);
    EXPECT_EQ(TMeasGeom::GetGeometryNumber("Ill 0, Obs 45"), 1);
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(TMeasGeom::GetGeometryNumber("Ill 0, Obs 46"), -1);
    EXPECT_EQ(TMeasGeom::GetGeometryNumber(nullptr), -1);
    ASSERT_EQ(capture.messages.size(), 2u);
    EXPECT_EQ(capture.messages[0].text, "Unkown Geometry");
    EXPECT_NE(capture.messages[0].file.find("tmeasgeom"), std::string::npos);
    EXPECT_GT(capture.messages[0].line, 0);
}

TEST(TMeasGeomLookup, NameByNumber)
{
    MessageCapture capture;
    EXPECT_STREQ(TMeasGeom::GetGeometryName(12), "Ill None, Obs 0, UV Filter");
    EXPECT_STREQ(TMeasGeom::GetGeometryName(0), "Ill 45, Obs 0");
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(TMeasGeom::GetGeometryName(13), nullptr);
    EXPECT_EQ(TMeasGeom::GetGeometryName(-1), nullptr);
    ASSERT_EQ(capture.messages.size(), 2u);
    EXPECT_EQ(capture.messages[1].text, "Unkown Geometry");
}
