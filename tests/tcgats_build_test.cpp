// TCgats construction: copies, sample selections, ink maps and files built from arrays.
#include "cgats_text.h"
#include "tcgatsinternals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using A = TCgatsInternals;

namespace {

constexpr int kKindNumberOfFields = 3;

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

// The written field-name line of the first table.
std::string FieldNames(const TCgats& c)
{
    const std::string all = Written(c), begin = "BEGIN_DATA_FORMAT\n";
    const std::size_t at = all.find(begin) + begin.size();
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

TEST(TCgatsCopy, CopiesSelectionsAndInkMaps)
{
    auto src = Read(kTwoTables + "BEGIN_NOTES\nfree text\nEND_NOTES\n");
    TCgats copy(*src);
    EXPECT_EQ(Written(copy), Written(*src));
    copy.SetOriginator("changed");
    EXPECT_STREQ(src->GetOriginator(), "test");
    // A data format read without its data is written back by the copy too.
    auto pending = Read("CGATS.17\nBEGIN_DATA_FORMAT\nSampleID LAB_L\nEND_DATA_FORMAT\n");
    EXPECT_EQ(Written(TCgats(*pending)), Written(*pending));

    EXPECT_EQ(TCgats(static_cast<const TCgats*>(nullptr)).GetErrorCode(), TCgats::kErrEmptySource);
    TCgats failed("NUMBER_OF_SETS 1\nBEGIN_DATA\n", 0);
    TCgats copyOfFailed(&failed);
    ASSERT_NE(failed.GetErrorCode(), 0);
    EXPECT_EQ(copyOfFailed.GetErrorCode(), failed.GetErrorCode());
    copyOfFailed = copy; // a sound object assigned clears the error
    EXPECT_TRUE(copyOfFailed.GetErrorCode() == 0 && *copyOfFailed.GetErrorMsg() == '\0');
    EXPECT_EQ(Written(copyOfFailed), Written(copy));
    // A sample selection applies to the first table.
    auto two = Read(kTwoTables);
    TCgats sel(two.get(), std::vector<int> { 4, 0 });
    EXPECT_EQ(Name(sel, 0, 0) + Name(sel, 0, 1) + Name(sel, 1, 1), "s4s0x1"); // the second table whole
    EXPECT_TRUE(*Read(Written(sel)) == sel);

    // A sample outside the table cannot be copied: the first table is left in error.
    TCgats bad(two.get(), std::vector<int> { 0, 5 });
    EXPECT_EQ(std::make_pair(bad.GetNrSamples(0), bad.GetNrSamples(1)), std::make_pair(-1, 2));
    EXPECT_TRUE(TCgats(two.get(), std::vector<int> {}) == *two); // an empty list copies everything
    // Ink maps rearrange, add, fill and drop channels.
    // KCMY: the names stay, the values move; a table without process colours cannot be mapped.
    TCgats kcmy(Read(kTwoTables).get(), std::vector<int> { 3, 0, 1, 2 }, 0.0);
    EXPECT_EQ(Coords(kcmy, 0, 2), (std::vector<double> { 42, 12, 22, 32 }));
    EXPECT_EQ(kcmy.GetNrFields(1), -1);

    // Every table's section declares its own new field count.
    auto mixed
        = Read("CGATS.17\n" + kCmykTable + Table("SampleID CMYK_C CMYK_M CMYK_Y", { "a 1 2 3" }, true));
    auto back = Read(Written(TCgats(mixed.get(), std::vector<int> { 0, 1, 2, -1 }, 0.0)));
    EXPECT_EQ(back->GetNrFields(0), 8);
    EXPECT_EQ(Coords(*back, 1, 0), (std::vector<double> { 1, 2, 3, 0 }));

    auto fiveSrc
        = Read("CGATS.17\n" + Table("SampleID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L", { "a 1 2 3 4 50" }, true));
    TCgats five(fiveSrc.get(), std::vector<int> { 0, 1, 2, 3, -1 }, 0.0);
    EXPECT_EQ(FieldNames(five), "SampleID\t5CLR_1\t5CLR_2\t5CLR_3\t5CLR_4\t5CLR_5\tLAB_L");
    EXPECT_EQ(Coords(five, 0, 0), (std::vector<double> { 1, 2, 3, 4, 0 }));
    EXPECT_STREQ(A::GetTag(five, kKindNumberOfFields)->Value(), "7");
    // A fill value is kept as given; channels may be repeated or dropped.
    TCgats filled(fiveSrc.get(), std::vector<int> { -1, 2, 2 }, 12.345678);
    EXPECT_EQ(FieldNames(filled), "SampleID\tCMYK_C\tCMYK_M\tCMYK_Y\tLAB_L");
    EXPECT_EQ(Coords(filled, 0, 0), (std::vector<double> { 12.345678, 3, 3 }));
    EXPECT_STREQ(A::GetTag(filled, kKindNumberOfFields)->Value(), "5");

    // Illegal maps: an entry not below the channel count, or 1 or 2 channels (no names exist).
    for (const std::vector<int>& map :
        { std::vector<int> { 0, 1, 2, 4 }, std::vector<int> { 0, 1 }, std::vector<int> { 2 } })
        EXPECT_EQ(TCgats(fiveSrc.get(), map, 0.0).SaveAs("unused"), TCgats::kErrIllegalInkMap) << map.size();
}

TEST(TCgatsBuild, WrittenFileLayoutAndFailures)
{
    // Tints on a 10 ... 265 scale: 0.0001 above zero is a tint below 0.0001, written as an exact
    // zero; 0.0002805 above is the tint (10.0002805 - 10) * 100 / 255, in doubles
    // 0.0001100000000002243 (Python 3.11), written with all its digits, as is 60.123456.
    TCgats c(265.0, 10.0, { { 265, 10, 137.5, 10.0001 }, { 35.5, 265, 10, 10.0002805 } },
        { { 50, 1, -2 }, { 60.123456, 0, 0 } }, {}, { { 0.5, 0.25 }, { 0.125, 1 } }, { 380.4, 389.6 },
        { "a b", "c" }, {}, 0, 0, 0, false);
    EXPECT_EQ(Written(c),
        "CGATS.17\nKEYWORD\t\"SampleID\"\nNUMBER_OF_FIELDS\t10\nBEGIN_DATA_FORMAT\n"
        "SampleID\tCMYK_C\tCMYK_M\tCMYK_Y\tCMYK_K\tLAB_L\tLAB_A\tLAB_B\tnm380\tnm390\nEND_DATA_FORMAT\n"
        "NUMBER_OF_SETS\t2\nBEGIN_DATA\n"
        "\"a b\"\t100\t0\t50\t0\t50\t1\t-2\t0.5\t0.25\t\n"
        "c\t10\t100\t0\t0.0001100000000002243\t60.123456\t0\t0\t0.125\t1\t\nEND_DATA\n");
    EXPECT_TRUE(*Read(Written(c)) == c);
    // Two channels only as spot or custom colours.
    EXPECT_EQ(Build({ { 1, 2 } }).GetErrorCode(), TCgats::kErrColorCount);
    auto custom = Build({ { 1, 2 } }, 100, 0, { "Orange ink", "Green" }, true);
    EXPECT_EQ(FieldNames(custom), "SampleID\tPC2_1\tPC2_2");
    // The descriptions are written quoted, as instrument software writes them.
    EXPECT_TRUE(Has(Written(custom), "PROCESSCOLOR_ID\t\"Green\"\n"));
    auto spot = Build({ { 1, 2 } }, 100, 0, { "Gold", "Silver" }, false);
    EXPECT_TRUE(spot.IsSpotColorDefined(0) && A::NrSpotIds(spot) == 2);
    // Layout defaults and failures.
    // Two columns and two pages: the fewest that are written.
    TCgats layout(100.0, 0.0, { { 1, 2, 3 }, { 4, 5, 6 } }, {}, { { 1, 2, 3 }, { 4, 5, 6 } }, {}, {}, {}, {},
        12, 2, 2, false);
    EXPECT_EQ(A::TagNames(layout),
        (std::vector<std::string> { "CGATS.17", "LGOROWLENGTH", "NUMBER_OF_STRIPS", "NUMBER_OF_COLS",
            "NumberOfStrips", "KEYWORD", "NUMBER_OF_FIELDS", "BEGIN_DATA_FORMAT", "END_DATA_FORMAT",
            "NUMBER_OF_SETS", "BEGIN_DATA", "END_DATA" }));
    EXPECT_TRUE(layout.GetNrOfPages() == 2 && layout.ContainsXyz(0));

    // Arrays that do not fit each other are refused before anything is read from them.
    using Rows = std::vector<std::vector<double>>;
    auto code = [](const Rows& coords, const Rows& lab, const Rows& spectra, double full = 100,
                    const std::vector<std::string>& names = {}) {
        return TCgats(full, 0, coords, lab, {}, spectra, { 400, 410 }, names, {}, 0, 0, 0, false)
            .GetErrorCode();
    };
    // The third: full equal to zero.
    EXPECT_EQ((std::vector<int> { code({}, {}, {}), code({ { 1, 2, 3 }, { 1, 2 } }, {}, {}),
                  code({ { 1, 2, 3 } }, {}, {}, 0), code({ { 1, 2, 3 } }, { { 1, 2 } }, {}),
                  code({ { 1, 2, 3 } }, {}, { { 1 } }), code({ { 1, 2, 3 } }, {}, {}, 100, { "a", "b" }) }),
        (std::vector<int> { 15, 18, 18, 12, 12, 13 }));
}
