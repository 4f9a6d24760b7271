// TMeasGeom: the geometry table, construction fall-backs and the static look-ups.
#include <tintvale/tmeasgeom.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

TEST(TMeasGeom, TableConstructionAndLookUps)
{
    MessageCapture capture;
    const char** list = nullptr;
    int count = 0, untouched = -7;
    EXPECT_TRUE(TMeasGeom::GetKnownGeometries(&list, &count) == 0 && count == 13);
    EXPECT_STREQ(list[3], "Ill Diffuse, Obs 8, Specular included");
    EXPECT_TRUE(TMeasGeom::GetKnownGeometries(nullptr, &untouched) == 2
        && TMeasGeom::GetKnownGeometries(&list, nullptr) == 2);
    EXPECT_EQ(untouched, -7);
    // Construction takes a number or the exact name, else falls back to 0 silently with error 2.
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
    // A copy clears the error, an assignment keeps it.
    const TMeasGeom bad(99);
    TMeasGeom assigned(4);
    assigned = bad;
    EXPECT_TRUE(TMeasGeom(bad).ErrNo() == 0 && assigned.ErrNo() == 2 && assigned.Index() == 0);
    EXPECT_TRUE(capture.messages.empty());
    // The static look-ups ignore case by name and report what they do not know.
    EXPECT_EQ(TMeasGeom::GetGeometryNumber("ill 45, obs 0"), 0);
    EXPECT_EQ(TMeasGeom::GetGeometryNumber("ILL NONE, OBS 0, D65 FILTER"), 11);
    EXPECT_STREQ(TMeasGeom::GetGeometryName(0), "Ill 45, Obs 0");
    EXPECT_TRUE(
        TMeasGeom::GetGeometryNumber("Ill 0, Obs 46") == -1 && TMeasGeom::GetGeometryNumber(nullptr) == -1);
    EXPECT_TRUE(TMeasGeom::GetGeometryName(13) == nullptr && TMeasGeom::GetGeometryName(-1) == nullptr);
    ASSERT_EQ(capture.messages.size(), 4u);
    EXPECT_NE(capture.messages[0].file.find("tmeasgeom"), std::string::npos);
}
