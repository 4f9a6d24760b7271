// TCgats construction: copies, sample selections, ink maps and files built from arrays.
#include "cgats_text.h"
#include "tcgats_test_access.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using A = TCgatsTestAccess;

namespace {

constexpr int kKindNumberOfFields = 3;
constexpr int kKindNumberOfSets = 23;

std::string Name(const TCgats& c, int t, int s)
{
    std::string name;
    EXPECT_EQ(c.GetSampleName(t, s, name), 0);
    return name;
}

std::vector<double> Coords(const TCgats& c, int t, int s)
{
    std::vector<double> out;
    EXPECT_EQ(c.GetCoordinates(t, s, out), 0);
    return out;
}

std::string FieldNames(const TCgats& c, int t)
{
    // The written field-name line of table t.
    const std::string all = Written(c);
    const std::string begin = "BEGIN_DATA_FORMAT\n";
    std::size_t at = 0;
    for (int k = 0; k <= t; ++k)
        at = all.find(begin, at) + begin.size();
    return all.substr(at, all.find('\n', at) - at);
}

// CMYK with Lab; with a second table of XYZ.
const std::string kCmykTable = Table("SampleID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L LAB_A LAB_B",
    { "s0 10 20 30 40 90 1 2", "s1 11 21 31 41 80 3 4", "s2 12 22 32 42 70 5 6", "s3 13 23 33 43 60 7 8",
        "s4 14 24 34 44 50 9 10" },
    true);
const std::string kTwoTables = "CGATS.17\nORIGINATOR \"test\"\n" + kCmykTable
    + Table("SampleID XYZ_X XYZ_Y XYZ_Z", { "x0 1 2 3", "x1 4 5 6" }, true);

TCgats Build(const std::vector<std::vector<double>>& coords, double full = 100.0, double zero = 0.0,
    const std::vector<std::string>& descriptions = {}, bool custom = false)
{
    return TCgats(full, zero, coords, {}, {}, {}, {}, {}, descriptions, 0, 0, 0, custom);
}

} // namespace

TEST(TCgatsCopy, CopiesAreDeepAndEqual)
{
    auto src = Read(kTwoTables + "BEGIN_NOTES\nfree text\nEND_NOTES\n");
    TCgats copy(*src);
    EXPECT_EQ(copy.GetErrorCode(), 0);
    EXPECT_TRUE(copy == *src);
    EXPECT_EQ(Written(copy), Written(*src));
    copy.SetOriginator("changed");
    EXPECT_STREQ(src->GetOriginator(), "test");
    EXPECT_TRUE(copy != *src);

    TCgats assigned(src.get());
    assigned = copy;
    EXPECT_STREQ(assigned.GetOriginator(), "changed");
    EXPECT_EQ(Written(assigned), Written(copy));
    const TCgats& same = assigned;
    assigned = same;
    EXPECT_EQ(Written(assigned), Written(copy));

    TCgats fromNull(static_cast<const TCgats*>(nullptr));
    EXPECT_EQ(fromNull.GetErrorCode(), 25);
    EXPECT_STREQ(fromNull.GetErrorMsg(), "Trying to copy from empty data set.");
    TCgats failed("NUMBER_OF_SETS 1\nBEGIN_DATA\n", 0);
    ASSERT_NE(failed.GetErrorCode(), 0);
    TCgats copyOfFailed(&failed);
    EXPECT_EQ(copyOfFailed.GetErrorCode(), failed.GetErrorCode());
    EXPECT_STREQ(copyOfFailed.GetErrorMsg(), failed.GetErrorMsg());
    // Assigning a sound object clears the error.
    copyOfFailed = copy;
    EXPECT_EQ(copyOfFailed.GetErrorCode(), 0);
    EXPECT_STREQ(copyOfFailed.GetErrorMsg(), "");
}

TEST(TCgatsCopy, PendingDataFormatIsKept)
{
    // A data format without data reads without error and is written back; so is its copy.
    auto src = Read("CGATS.17\nBEGIN_DATA_FORMAT\nSampleID LAB_L\nEND_DATA_FORMAT\n");
    TCgats copy(*src);
    EXPECT_EQ(Written(copy), Written(*src));
}

TEST(TCgatsCopy, SampleSelectionAppliesToTheFirstTable)
{
    auto src = Read(kTwoTables);
    TCgats sel(src.get(), std::vector<int> { 4, 0 });
    ASSERT_EQ(sel.GetErrorCode(), 0);
    ASSERT_EQ(sel.GetNrSamples(0), 2);
    EXPECT_EQ(Name(sel, 0, 0), "s4");
    EXPECT_EQ(Name(sel, 0, 1), "s0");
    EXPECT_EQ(Coords(sel, 0, 0), (std::vector<double> { 14, 24, 34, 44 }));
    std::vector<double> lab;
    ASSERT_EQ(sel.GetLab(0, 1, lab), 0);
    EXPECT_EQ(lab, (std::vector<double> { 90, 1, 2 }));
    EXPECT_STREQ(A::GetTag(sel, kKindNumberOfSets)->Value(), "2");
    // The second table is whole, and its own "NUMBER_OF_SETS" untouched.
    EXPECT_EQ(sel.GetNrSamples(1), 2);
    EXPECT_EQ(Name(sel, 1, 1), "x1");
    // The result is a sound file.
    auto back = Read(Written(sel));
    EXPECT_TRUE(*back == sel);

    // A sample outside the table cannot be copied: the first table is left in error.
    TCgats bad(src.get(), std::vector<int> { 0, 5 });
    EXPECT_EQ(bad.GetErrorCode(), 0);
    EXPECT_EQ(bad.GetNrSamples(0), -1);
    EXPECT_EQ(bad.GetNrSamples(1), 2);
    // An empty list copies everything.
    TCgats all(src.get(), std::vector<int> {});
    EXPECT_TRUE(all == *src);
}

TEST(TCgatsCopy, InkMapRearrangesChannels)
{
    auto src = Read("CGATS.17\n" + kCmykTable);
    TCgats kcmy(src.get(), std::vector<int> { 3, 0, 1, 2 }, 0.0);
    ASSERT_EQ(kcmy.GetErrorCode(), 0);
    EXPECT_EQ(FieldNames(kcmy, 0), "SampleID\tCMYK_C\tCMYK_M\tCMYK_Y\tCMYK_K\tLAB_L\tLAB_A\tLAB_B");
    EXPECT_EQ(Coords(kcmy, 0, 2), (std::vector<double> { 42, 12, 22, 32 }));
    EXPECT_STREQ(A::GetTag(kcmy, kKindNumberOfFields)->Value(), "8");
    // A table without process colours cannot be mapped; the others are.
    TCgats two(Read(kTwoTables).get(), std::vector<int> { 3, 0, 1, 2 }, 0.0);
    EXPECT_EQ(Coords(two, 0, 2), (std::vector<double> { 42, 12, 22, 32 }));
    EXPECT_EQ(two.GetNrFields(1), -1);
    EXPECT_EQ(two.SaveAs("unused"), 8);

    // Every table's section declares its own new field count.
    auto mixed
        = Read("CGATS.17\n" + kCmykTable + Table("SampleID CMYK_C CMYK_M CMYK_Y", { "a 1 2 3" }, true));
    TCgats four(mixed.get(), std::vector<int> { 0, 1, 2, -1 }, 0.0);
    ASSERT_EQ(four.GetErrorCode(), 0);
    auto back = Read(Written(four));
    EXPECT_EQ(back->GetNrFields(0), 8);
    EXPECT_EQ(back->GetNrFields(1), 5);
    EXPECT_EQ(Coords(*back, 1, 0), (std::vector<double> { 1, 2, 3, 0 }));
}

TEST(TCgatsCopy, InkMapAddsFilledChannels)
{
    auto src
        = Read("CGATS.17\n" + Table("SampleID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L", { "a 1 2 3 4 50" }, true));
    TCgats five(src.get(), std::vector<int> { 0, 1, 2, 3, -1 }, 0.0);
    ASSERT_EQ(five.GetErrorCode(), 0);
    EXPECT_EQ(FieldNames(five, 0), "SampleID\t5CLR_1\t5CLR_2\t5CLR_3\t5CLR_4\t5CLR_5\tLAB_L");
    EXPECT_TRUE(five.IsNColorDefined(0));
    EXPECT_EQ(Coords(five, 0, 0), (std::vector<double> { 1, 2, 3, 4, 0 }));
    EXPECT_STREQ(A::GetTag(five, kKindNumberOfFields)->Value(), "7");
    auto back = Read(Written(five));
    EXPECT_EQ(back->GetNrProcessColors(0), 5);

    // A fill value goes through text with five decimals; channels may be repeated or dropped.
    TCgats filled(src.get(), std::vector<int> { -1, 2, 2 }, 12.345678);
    ASSERT_EQ(filled.GetErrorCode(), 0);
    EXPECT_EQ(FieldNames(filled, 0), "SampleID\tCMYK_C\tCMYK_M\tCMYK_Y\tLAB_L");
    EXPECT_EQ(Coords(filled, 0, 0), (std::vector<double> { 12.34568, 3, 3 }));
    EXPECT_STREQ(A::GetTag(filled, kKindNumberOfFields)->Value(), "5");

    // Illegal maps: an entry not below the channel count, or 1 or 2 channels (no names exist).
    for (const std::vector<int>& map :
        { std::vector<int> { 0, 1, 2, 4 }, std::vector<int> { 0, 1 }, std::vector<int> { 2 } }) {
        TCgats bad(src.get(), map, 0.0);
        EXPECT_EQ(bad.GetErrorCode(), 0);
        EXPECT_FALSE(bad.ContainsProcessColors(0));
        EXPECT_EQ(bad.SaveAs("unused"), 8);
        EXPECT_STREQ(bad.GetErrorMsg(), "Internal error: attempt to map inks using an illegal ink map.");
    }
}

TEST(TCgatsBuild, ChannelNamesByCount)
{
    // Three channels are CMY; two only as spot or custom colours (error 18 otherwise).
    EXPECT_EQ(FieldNames(Build({ { 1, 2, 3 } }), 0), "SampleID\tCMYK_C\tCMYK_M\tCMYK_Y");
    const std::vector<double> four(4, 0.0), six(6, 0.0), two(2, 0.0);
    auto cmyk = Build({ four });
    EXPECT_TRUE(cmyk.IsCMYKDefined(0));
    auto six6 = Build({ six });
    EXPECT_EQ(FieldNames(six6, 0), "SampleID\t6CLR_1\t6CLR_2\t6CLR_3\t6CLR_4\t6CLR_5\t6CLR_6");
    auto pair = Build({ two });
    EXPECT_EQ(pair.GetErrorCode(), 18);
    EXPECT_STREQ(pair.GetErrorMsg(), "Number of color coordinates not supported.");
    auto custom = Build({ two }, 100, 0, { "Orange ink", "Green" }, true);
    ASSERT_EQ(custom.GetErrorCode(), 0);
    EXPECT_EQ(FieldNames(custom, 0), "SampleID\tPC2_1\tPC2_2");
    // The descriptions are written quoted, as instrument software writes them; a blank survives.
    EXPECT_NE(Written(custom).find("PROCESSCOLOR_ID\t\"Green\"\n"), std::string::npos);
    auto reread = Read(Written(custom));
    std::vector<const char*> descriptions;
    ASSERT_EQ(reread->GetCustomProcessColorDescriptions(0, descriptions), 0);
    EXPECT_STREQ(descriptions[0], "Orange ink");
    EXPECT_STREQ(descriptions[1], "Green");
    auto spot = Build({ two }, 100, 0, { "Gold", "Silver" }, false);
    EXPECT_TRUE(spot.IsSpotColorDefined(0));
    EXPECT_EQ(A::NrSpotIds(spot), 2);
}

TEST(TCgatsBuild, WrittenFile)
{
    TCgats c(255.0, 0.0, { { 255, 0, 127.5, 0.0001 }, { 25.5, 255, 0, 0 } },
        { { 50, 1, -2 }, { 60.123456, 0, 0 } }, {}, { { 0.5, 0.25 }, { 0.125, 1 } }, { 380.4, 389.6 },
        { "a b", "c" }, {}, 0, 0, 0, false);
    ASSERT_EQ(c.GetErrorCode(), 0) << c.GetErrorMsg();
    char text[64];
    ASSERT_EQ(c.GetField(0, 0, 3, text, sizeof text), 0);
    EXPECT_STREQ(text, "50.00000");
    // 0.0001 of 255 is a tint below 0.0001: written as an exact zero.
    ASSERT_EQ(c.GetField(0, 0, 4, text, sizeof text), 0);
    EXPECT_STREQ(text, "0.00000");
    EXPECT_EQ(Written(c),
        "CGATS.17\nKEYWORD\t\"SampleID\"\nNUMBER_OF_FIELDS\t10\nBEGIN_DATA_FORMAT\n"
        "SampleID\tCMYK_C\tCMYK_M\tCMYK_Y\tCMYK_K\tLAB_L\tLAB_A\tLAB_B\tnm380\tnm390\nEND_DATA_FORMAT\n"
        "NUMBER_OF_SETS\t2\nBEGIN_DATA\n"
        "\"a b\"\t100\t0\t50\t0\t50\t1\t-2\t0.5\t0.25\t\n"
        "c\t10\t100\t0\t0\t60.1235\t0\t0\t0.125\t1\t\nEND_DATA\n");
    EXPECT_TRUE(*Read(Written(c)) == c);
}

TEST(TCgatsBuild, LayoutDefaultsAndFailures)
{
    TCgats c(100.0, 0.0, { { 1, 2, 3 }, { 4, 5, 6 } }, {}, { { 1, 2, 3 }, { 4, 5, 6 } }, {}, {}, {}, {}, 12,
        3, 2, false);
    ASSERT_EQ(c.GetErrorCode(), 0);
    EXPECT_EQ(A::TagNames(c),
        (std::vector<std::string> { "CGATS.17", "LGOROWLENGTH", "NUMBER_OF_STRIPS", "NUMBER_OF_COLS",
            "NumberOfStrips", "KEYWORD", "NUMBER_OF_FIELDS", "BEGIN_DATA_FORMAT", "END_DATA_FORMAT",
            "NUMBER_OF_SETS", "BEGIN_DATA", "END_DATA" }));
    EXPECT_EQ(c.GetRowLength(), 12);
    EXPECT_EQ(c.GetNrOfPages(), 2);
    EXPECT_EQ(Name(c, 0, 1), "2");
    EXPECT_TRUE(c.ContainsXyz(0));

    auto none = Build({});
    EXPECT_EQ(none.GetErrorCode(), 15);
    // Arrays that do not fit each other are refused before anything is read from them.
    EXPECT_EQ(
        TCgats(100, 0, { { 1, 2, 3 }, { 1, 2 } }, {}, {}, {}, {}, {}, {}, 0, 0, 0, false).GetErrorCode(), 18);
    EXPECT_EQ(
        TCgats(100, 0, { { 1, 2, 3 } }, { { 1, 2 } }, {}, {}, {}, {}, {}, 0, 0, 0, false).GetErrorCode(), 12);
    EXPECT_EQ(
        TCgats(100, 0, { { 1, 2, 3 } }, {}, {}, {}, {}, { "a", "b" }, {}, 0, 0, 0, false).GetErrorCode(), 13);
    EXPECT_EQ(TCgats(100, 0, { { 1, 2, 3 } }, {}, {}, { { 1 } }, { 400, 410 }, {}, {}, 0, 0, 0, false)
                  .GetErrorCode(),
        12);
    EXPECT_EQ(Build({ { 1, 2, 3 } }, 50, 50).GetErrorCode(), 18);
}
