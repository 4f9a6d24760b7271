// TCgats: the conditions files state for their colorimetric data, in each form, and their rewriting.
#include "cgats_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const char* kTable = "BEGIN_DATA_FORMAT\nSampleID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\n"
                     "BEGIN_DATA\na 50 0 0\nEND_DATA\n";

std::pair<std::string, std::string> Stated(const std::string& header)
{
    const TCgats c = Parsed("CGATS.17\n" + header + kTable);
    return { c.GetStatedIlluminant(), c.GetStatedObserver() };
}

} // namespace

TEST(TCgatsConditions, StatedInEveryFormFirstFormFirst)
{
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(Stated(""), P("", "")); // CGATS.17 and ISO 13655 then mean D50 and 2 degree
    EXPECT_EQ(Stated("WEIGHTING_FUNCTION \"ILLUMINANT, D50\"\nWEIGHTING_FUNCTION \"OBSERVER, 2 degree\"\n"),
        P("D50", "2 degree"));
    EXPECT_EQ(Stated("KEYWORD \"ILLUMINANT\"\nILLUMINANT \"D65\"\nKEYWORD \"OBSERVER\"\nOBSERVER \"10\"\n"),
        P("D65", "10 degree"));
    EXPECT_EQ(Stated("OBSERVER \"1931_2\"\n"), P("", "2 degree"));
    EXPECT_EQ(Stated("OBSERVER \"1964_10\"\n"), P("", "10 degree"));
    EXPECT_EQ(Stated("MEASUREMENT_SOURCE \"Illumination=D50 ObserverAngle=10degree WhiteBase=Abs\"\n"),
        P("D50", "10 degree"));
    // The CGATS.17 form wins over the others.
    EXPECT_EQ(Stated("ILLUMINANT \"A\"\nWEIGHTING_FUNCTION \"ILLUMINANT, CIE Illuminant D65\"\n"),
        P("CIE Illuminant D65", ""));
    // Only a weighting function line states it that way.
    EXPECT_EQ(Stated("DESCRIPTOR \"Illuminant, D65 in the booth\"\nILLUMINANT \"D50\"\n"), P("D50", ""));
}

TEST(TCgatsConditions, SettingThemRewritesEveryContraryStatement)
{
    TCgats c = Parsed(
        "CGATS.17\nKEYWORD \"ILLUMINANT\"\nILLUMINANT \"D50\"\nKEYWORD \"OBSERVER\"\nOBSERVER \"10\"\n"
        "MEASUREMENT_SOURCE \"Illumination=D50 ObserverAngle=10degree WhiteBase=Abs\"\n"
        "WEIGHTING_FUNCTION \"OBSERVER, 10 degree\"\n"
        + std::string(kTable));
    ASSERT_EQ(c.SetStatedConditions("CIE Illuminant D65", "2 degree"), 0);
    EXPECT_EQ((std::vector<std::string> { c.GetWeightingFunction(), c.GetKeywordValue("ILLUMINANT"),
                  c.GetKeywordValue("OBSERVER"), c.GetKeywordValue("MEASUREMENT_SOURCE") }),
        (std::vector<std::string> { "ILLUMINANT, CIE Illuminant D65; OBSERVER, 2 degree",
            "CIE Illuminant D65", "2 degree", "Illumination=D65 ObserverAngle=2degree WhiteBase=Abs" }));
    // Read back, the file says one thing in every form.
    const TCgats again = Parsed(Written(c));
    EXPECT_EQ(again.GetStatedIlluminant() + "/" + again.GetStatedObserver(), "CIE Illuminant D65/2 degree");
    EXPECT_EQ(
        c.SetStatedConditions("D50\"", "2 degree"), TCgats::kErrUnwritableValue); // cannot be written back
}

// Each table of a file of several is checked by what its own section states, then by the header;
// a file of one table keeps reading its first statement, wherever it stands.
TEST(TCgatsConditions, EachTableStatesItsOwnThenTheHeaders)
{
    const std::string three = std::string("CGATS.17\nWEIGHTING_FUNCTION \"ILLUMINANT, D50\"\n")
        + "WEIGHTING_FUNCTION \"OBSERVER, 2 degree\"\nMEASUREMENT_CONDITION \"M1\"\n" + kTable
        + "WEIGHTING_FUNCTION \"ILLUMINANT, D65\"\nWEIGHTING_FUNCTION \"OBSERVER, 10 degree\"\n"
          "WEIGHTING_FUNCTION \"INTEGRATION, CIE 15 5 nm 380-780\"\nMEASUREMENT_CONDITION \"M0\"\n"
        + kTable + "KEYWORD \"ILLUMINANT\"\nILLUMINANT \"A\"\n" + kTable;
    const TCgats c = Parsed(three);
    ASSERT_EQ(c.GetNrTables(), 3);
    const struct {
        const char *illuminant, *observer, *condition, *weighting;
    } expected[] = { { "D50", "2 degree", "M1", "ILLUMINANT, D50; OBSERVER, 2 degree" },
        { "D65", "10 degree", "M0",
            "ILLUMINANT, D65; OBSERVER, 10 degree; INTEGRATION, CIE 15 5 nm 380-780" },
        // Its own ILLUMINANT line beats the header's weighting lines; the rest is the header's.
        { "A", "2 degree", "M1", "ILLUMINANT, D50; OBSERVER, 2 degree" } };
    for (int t = 0; t < 3; ++t) {
        SCOPED_TRACE("table " + std::to_string(t));
        EXPECT_EQ((std::vector<std::string> { c.GetTableIlluminant(t), c.GetTableObserver(t),
                      c.GetTableMeasurementCondition(t), c.GetTableWeightingFunction(t) }),
            (std::vector<std::string> { expected[t].illuminant, expected[t].observer, expected[t].condition,
                expected[t].weighting }));
    }
    // The file's first statement is still what the getters without a table give.
    EXPECT_EQ(c.GetStatedIlluminant() + " " + c.GetMeasurementCondition(), "D50 M1");
    // One table: a statement after its data still counts, as before.
    const TCgats one = Parsed("CGATS.17\n" + std::string(kTable) + "MEASUREMENT_CONDITION \"M2\"\n");
    EXPECT_EQ(one.GetTableMeasurementCondition(0) + "|" + one.GetTableIlluminant(0), "M2|");
    // Averaging compares table with table: the same files, their second tables differing.
    const TCgats other = Parsed(three.substr(0, three.find("MEASUREMENT_CONDITION \"M0\""))
        + "MEASUREMENT_CONDITION \"M2\"\n" + kTable + "KEYWORD \"ILLUMINANT\"\nILLUMINANT \"A\"\n" + kTable);
    const TCgats averaged(std::vector<const TCgats*> { &c, &other });
    EXPECT_NE(averaged.GetErrorCode(), 0);
    EXPECT_TRUE(Has(averaged.GetErrorMsg(), "MEASUREMENT_CONDITION")) << averaged.GetErrorMsg();
    const TCgats same(std::vector<const TCgats*> { &c, &c });
    EXPECT_EQ(same.GetErrorCode(), 0) << same.GetErrorMsg();
}
