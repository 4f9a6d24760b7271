// TMeasGeom: the geometry table, construction fall-backs and the static look-ups.
#include <tintvale/tmeasgeom.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

TEST(TMeasGeomTable, KnownGeometriesAndRefusedArguments)
{
    const char** list = nullptr;
    int count = 0;
    EXPECT_EQ(TMeasGeom::GetKnownGeometries(&list, &count), 0);
    EXPECT_EQ(count, 13);
    EXPECT_STREQ(list[3], "Ill Diffuse, Obs 8, Specular included");
    int untouched = -7;
    EXPECT_EQ(TMeasGeom::GetKnownGeometries(nullptr, &untouched), 2);
    EXPECT_EQ(TMeasGeom::GetKnownGeometries(&list, nullptr), 2);
    EXPECT_EQ(untouched, -7);
}

TEST(TMeasGeomConstruction, NumbersAndExactNamesOrASilentFallBack)
{
    MessageCapture capture;
    struct Row {
        TMeasGeom geometry;
        int index, error;
    };
    const Row rows[] = { { TMeasGeom(12), 12, 0 }, { TMeasGeom(13), 0, 2 }, { TMeasGeom(-1), 0, 2 },
        { TMeasGeom("Ill 8, Obs Diffuse, Specular included"), 5, 0 },
        { TMeasGeom("ill 8, obs diffuse, specular included"), 0, 2 },
        { TMeasGeom(static_cast<const char*>(nullptr)), 0, 2 } };
    for (const Row& r : rows) {
        EXPECT_EQ(r.geometry.Index(), r.index) << r.geometry.Name();
        EXPECT_EQ(r.geometry.ErrNo(), r.error) << r.geometry.Name();
    }
    EXPECT_STREQ(rows[0].geometry.Name(), "Ill None, Obs 0, UV Filter");
    EXPECT_TRUE(capture.messages.empty());

    // A copy clears the error, an assignment keeps it.
    const TMeasGeom bad(99);
    EXPECT_EQ(TMeasGeom(bad).ErrNo(), 0);
    TMeasGeom assigned(4);
    assigned = bad;
    EXPECT_EQ(assigned.ErrNo(), 2);
    EXPECT_EQ(assigned.Index(), 0);
}

TEST(TMeasGeomLookup, NumberByNameIgnoresCaseAndNameByNumber)
{
    MessageCapture capture;
    EXPECT_EQ(TMeasGeom::GetGeometryNumber("ill 8, obs diffuse, specular included"), 5);
    EXPECT_EQ(TMeasGeom::GetGeometryNumber("ILL NONE, OBS 0, D65 FILTER"), 11);
    EXPECT_STREQ(TMeasGeom::GetGeometryName(0), "Ill 45, Obs 0");
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(TMeasGeom::GetGeometryNumber("Ill 0, Obs 46"), -1);
    EXPECT_EQ(TMeasGeom::GetGeometryNumber(nullptr), -1);
    EXPECT_EQ(TMeasGeom::GetGeometryName(13), nullptr);
    EXPECT_EQ(TMeasGeom::GetGeometryName(-1), nullptr);
    ASSERT_EQ(capture.messages.size(), 4u);
    EXPECT_EQ(capture.messages[3].text, "Unkown Geometry");
    EXPECT_NE(capture.messages[0].file.find("tmeasgeom"), std::string::npos);
}
