// Chart layout: TCMS::TLayoutInfo and its keywords (writing, reading back, copying).
#include "cgats_text.h"
#include "tcgatsinternals.h"

#include <tintvale/tcms.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using A = TCgatsInternals;
using TCMS::TLayoutInfo;

namespace {

const char* kFile = "CGATS.17\nORIGINATOR me\nNUMBER_OF_FIELDS 1\nBEGIN_DATA_FORMAT\nLAB_L\nEND_DATA_FORMAT\n"
                    "NUMBER_OF_SETS 1\nBEGIN_DATA\n1\nEND_DATA\n";

} // namespace

TEST(TCgatsLayout, AddWritesSpecifiedFieldsInOrderAheadOfTheData)
{
    auto c = Read(kFile);
    TLayoutInfo info;
    info.iRowLength = 14;
    info.iNrOfCols = 1; // not written
    info.iNrOfPages = 2;
    info.iIsPellorLayout = 1;
    info.iPatchHeight = 6.5;
    info.iPatchWidth = 0.0; // not written (> 0 required)
    info.iGapSizeX = 0.0; // written (>= 0)
    info.iBorderPatches = 2;
    info.iInkSet = 3;
    info.iMirrorX = 1;
    info.SetMeasurementCondition(1);
    info.iGapsBetweenPatches = TCMS::kOptionalNo;
    info.iGapMode = static_cast<TCMS::GapMode>(0);
    info.iColor = { 300 % 256, 0, 255, 9 };
    ASSERT_EQ(c->AddLayoutInfo(info), 0);
    EXPECT_EQ(Written(*c),
        "CGATS.17\nORIGINATOR\tme\nLGOROWLENGTH\t14\nNUMBER_OF_STRIPS\t14\nNumberOfStrips\t2\n"
        "LAYOUT_TYPE\t\"Pellor\"\nPATCH_HEIGHT\t6.50000\nGAP_SIZE_X\t0.00000\nBORDER_PATCHES\t2\nINKSET\t3\n"
        "MIRROR_X\t1\nMEASUREMENT_CONDITION\t\"M1\"\nGAPS_BETWEEN_PATCHES\t0\nGAP_MODE\t0\nCOLOR_RED\t44\n"
        "COLOR_GREEN\t0\nCOLOR_BLUE\t255\nNUMBER_OF_FIELDS\t1\nBEGIN_DATA_FORMAT\nLAB_L\nEND_DATA_FORMAT\n"
        "NUMBER_OF_SETS\t1\nBEGIN_DATA\n1\t\nEND_DATA\n");
    EXPECT_TRUE(A::GetTag(*c, 36)->unquoted == 2 && A::GetTag(*c, 31)->unquoted == 1); // reals are marked 2

    // Adding again replaces in place.
    info.iRowLength = 7;
    ASSERT_EQ(c->AddLayoutInfo(info), 0);
    EXPECT_EQ(A::TagNames(*c)[2] + " " + A::Tags(*c)[2]->Value(), "LGOROWLENGTH 7");

    // An object in error adds nothing.
    auto bad = Read(kFile);
    A::SetErrorCode(*bad, TCgats::kErrCommentTag);
    EXPECT_TRUE(bad->AddLayoutInfo(info) == TCgats::kErrCommentTag && A::Tags(*bad).size() == 8u);
}

TEST(TCgatsLayout, ReadBackGivesItsOwnDefaults)
{
    // Fields: rows, columns, pages, patch height and width, gap y and x, border, device, ink set,
    // mirror; absent keywords read 1 row, column and page and -1 for the rest but the border.
    auto fields = [](const TLayoutInfo& i) {
        return std::vector<double> { double(i.iRowLength), double(i.iNrOfCols), double(i.iNrOfPages),
            i.iPatchHeight, i.iPatchWidth, i.iGapSizeY, i.iGapSizeX, double(i.iBorderPatches),
            double(i.iDevice), double(i.iInkSet), double(i.iMirrorX) };
    };
    auto c = Read(kFile);
    TLayoutInfo info;
    info.iRowLength = 14;
    info.iNrOfCols = 1;
    info.iNrOfPages = 1;
    info.iPatchHeight = 6.5;
    info.iColor = { 1, 2 }; // fewer than three: not written
    ASSERT_EQ(c->AddLayoutInfo(info), 0);
    const TLayoutInfo back = c->GetLayoutInfo();
    EXPECT_EQ(fields(back), (std::vector<double> { 14, 1, 1, 6.5, 0, -1, -1, 0, -1, -1, -1 }));
    EXPECT_TRUE(back.iColor.empty() && back.iAddCuttingLine == TCMS::kOptionalUnspecified);
    // What reads back writes back unchanged.
    auto again = Read(kFile);
    ASSERT_EQ(again->AddLayoutInfo(back), 0);
    EXPECT_TRUE(again->GetLayoutInfo() == back);
    // The short form leaves the optional settings unspecified; a mirror of 0 is not written, any
    // positive patch size is.
    auto s = Read(kFile);
    ASSERT_EQ(s->AddLayoutInfo(0, 3, 0, 0, 1.0, 5.0, 1.0, -1.0, 0, 4, -1, 0, "M2"), 0);
    EXPECT_EQ(fields(s->GetLayoutInfo()), (std::vector<double> { 1, 3, 1, 1, 5, 1, -1, 0, 4, -1, -1 }));
    EXPECT_EQ(s->GetLayoutInfo().iMeasurementCondition, "M2");
}

TEST(TCgatsLayout, CopyKeepsTheTargetCommentAndSkipsOtherKeywords)
{
    auto source = Read("PATCH_WIDTH 7.5\nGAP_MODE 1 # from source\nADD_CUTTING_LINE 1\nGUI_NAME g\n"
                       "LAYOUT_VERSION 3\nSPECTRO s\nCOLOR_RED 5\n");
    auto target = Read("CGATS.17\nPATCH_WIDTH 6 # target note\nGAP_MODE 0 # target gap\n"
        + std::string("NUMBER_OF_FIELDS 1\nBEGIN_DATA_FORMAT\nLAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS "
                      "1\nBEGIN_DATA\n1\nEND_DATA\n"));
    ASSERT_EQ(target->CopyLayoutInfoFrom(source.get()), 0);
    // COLOR_RED is inserted ahead of the data.
    EXPECT_EQ((std::vector<std::string> { A::GetTag(*target, 37)->Value(), A::GetTag(*target, 37)->Comment(),
                  A::GetTag(*target, 50)->Comment(), A::TagNames(*target)[1], A::TagNames(*target)[3] }),
        (std::vector<std::string> { "7.5", " target note", " from source", "PATCH_WIDTH", "COLOR_RED" }));
    for (int kind : { 54, 45, 43, 46 }) // ADD_CUTTING_LINE and the other keywords are not copied
        EXPECT_EQ(A::GetTag(*target, kind), nullptr) << kind;
    EXPECT_EQ(target->CopyLayoutInfoFrom(nullptr), TCgats::kErrNotCgats);
}

TEST(TCgatsLayout, ReplacingOutsideTheTagListIsRefusedAndArrayCopiesStayInTheirArrays)
{
    auto c = Read(kFile);
    const std::vector<std::string> names = A::TagNames(*c);
    const int count = static_cast<int>(names.size());
    for (int position : { -1, count })
        EXPECT_EQ(A::InsertTag(*c, 0, "X", "v", position, true), TCgats::kErrNotCgats) << position;
    EXPECT_EQ(A::TagNames(*c), names);

    struct Copying : TCgats {
        using TCgats::CopyTagList;
        using TCgats::TCgats;
    };
    const Copying copying(kFile, 0);
    TCgatsTag past(0, "past", 0, "", "");
    std::vector<TCgatsTag*> tags(count + 1, &past);
    int n = 0, nrComments = -1;
    copying.CopyTagList(&n, tags.data(), &nrComments, nullptr, 0);
    EXPECT_TRUE(n == count && nrComments == 0 && tags[count] == &past);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(std::string(tags[i]->Name() ? tags[i]->Name() : ""), names[i]);
        delete tags[i];
    }
}
