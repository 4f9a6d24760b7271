// TCgats: listing and reading every header keyword, the ones the library does not name included.
#include "cgats_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Laid out as instrument software writes it: custom keywords declared or not, a free-form block,
// a comment line, two tables with their own counts.
const char* const kFile
    = "CGATS.17\nORIGINATOR\t\"Spectro Suite 4.2\"\nDESCRIPTOR\t\"press check, sheet 12\"\n"
      "INSTRUMENTATION\t\"Spectro 3\"\nKEYWORD\t\"WEIGHTING_FUNCTION\"\nWEIGHTING_FUNCTION\t\"ILLUMINANT, "
      "D50\"\n"
      "DEVICE_CLASS\tOUTPUT\n# measured at 23 C\nBEGIN_NOTES\nfree text\nEND_NOTES\nNUMBER_OF_FIELDS\t2\n"
      "BEGIN_DATA_FORMAT\nSAMPLE_ID\tLAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t1\nBEGIN_DATA\n1\t50\nEND_DATA\n"
      "NUMBER_OF_FIELDS\t2\nBEGIN_DATA_FORMAT\nSAMPLE_ID\tLAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t1\n"
      "BEGIN_DATA\n1\t60\nEND_DATA\n";

} // namespace

TEST(TCgatsKeywordList, ListsAndReadsEveryKeywordLine)
{
    TCgats c = Parsed(kFile);
    const std::vector<std::pair<std::string, std::string>> expected = { { "ORIGINATOR", "Spectro Suite 4.2" },
        { "DESCRIPTOR", "press check, sheet 12" }, { "INSTRUMENTATION", "Spectro 3" },
        { "KEYWORD", "WEIGHTING_FUNCTION" }, { "WEIGHTING_FUNCTION", "ILLUMINANT, D50" },
        { "DEVICE_CLASS", "OUTPUT" }, { "NUMBER_OF_FIELDS", "2" }, { "NUMBER_OF_SETS", "1" },
        { "NUMBER_OF_FIELDS", "2" }, { "NUMBER_OF_SETS", "1" } };
    EXPECT_EQ(c.GetKeywords(), expected);
    EXPECT_EQ(c.GetKeywordValue("DEVICE_CLASS") + std::string("|") + c.GetKeywordValue("weighting_function"),
        "OUTPUT|ILLUMINANT, D50");
    EXPECT_TRUE(c.GetKeywordValue("FILTER") == nullptr && c.GetKeywordValue(nullptr) == nullptr);
    // A keyword set through the library is listed like one read from a file.
    ASSERT_EQ(c.AddCustomTag("PRINT_RUN", "7"), 0);
    EXPECT_STREQ(c.GetKeywordValue("PRINT_RUN"), "7");
    EXPECT_EQ(c.GetKeywords().at(6),
        (std::pair<std::string, std::string> { "PRINT_RUN", "7" })); // ahead of the data
}

TEST(TCgatsKeywordList, KnownKeywordsReadAsTheirGettersAndAreWrittenAsTheirRowsSay)
{
    auto c = Read("CGATS.17\nSPECTRO \"i1 Pro\"\nSPECTRAL_BANDS 36\nPATCH_WIDTH 6.5\n");
    EXPECT_EQ((std::vector<std::string> {
                  c->GetKnownKeywordValue(46), c->GetSpectrophotometer(), c->GetKnownKeywordValue(37) }),
        (std::vector<std::string> { "i1 Pro", "i1 Pro", "6.5" }));
    auto named = Read("CGATS.17\nINSTRUMENTATION \"45/0 spectro\"\nDESCRIPTOR \"chart 3\"\n");
    EXPECT_EQ(
        named->GetInstrumentation() + std::string("|") + named->GetDescriptor(), "45/0 spectro|chart 3");
    EXPECT_TRUE(c->GetInstrumentation() == nullptr && c->GetDescriptor() == nullptr);
    // A spectral keyword is a custom line of its table's section, not a header keyword by kind.
    EXPECT_TRUE(c->GetKnownKeywordValue(57) == nullptr && c->GetKnownKeywordValue(-1) == nullptr);
    for (int row : { -1, TCgats::GetNrKnownKeywords() })
        EXPECT_TRUE(!TCgats::GetKnownKeyword(row) && !TCgats::GetKnownKeywordProperty(row)) << row;
    EXPECT_EQ((std::vector<int> { c->SetKnownKeywordValue(57, "1"), c->SetKnownKeywordValue(64, "1"),
                  c->SetKnownKeywordValue(0, "say \"x\"") }),
        (std::vector<int> { 1, 1, 29 }));
    // Text in quotes, numbers bare: the row decides, whatever the value looks like.
    EXPECT_EQ((std::vector<int> { c->SetKnownKeywordValue(0, "42"), c->SetKnownKeywordValue(33, "4"),
                  c->SetKnownKeywordValue(37, "7.25") }),
        (std::vector<int> { 0, 0, 0 }));
    EXPECT_EQ(Written(*c),
        "CGATS.17\nSPECTRO\t\"i1 Pro\"\nKEYWORD\t\"SPECTRAL_BANDS\"\nSPECTRAL_BANDS\t36\nPATCH_WIDTH\t7.25\n"
        "ORIGINATOR\t\"42\"\nNUMBER_OF_COLS\t4\n");
    EXPECT_EQ(c->GetNrOfCols(), 4);
}

TEST(TCgatsKeywordList, AddedVocabularyKeywordsAreTheGettersAndTheStructureIsRefused)
{
    auto c = Read("CGATS.17\n" + Table("SampleID LAB_L", { "1 50" }));
    const std::string before = Written(*c);
    // Each would read back as a count or a section and change what the file holds.
    for (const char* name :
        { "NUMBER_OF_FIELDS", "NUMBER_OF_SETS", "BEGIN_DATA", "END_DATA_FORMAT", "BEGIN_NOTES", "end_notes" })
        EXPECT_EQ(c->AddCustomTag(name, "x"), 1) << name;
    EXPECT_EQ(Written(*c), before);
    // The getter sees an added vocabulary keyword and the setter replaces it: one line, the last value.
    ASSERT_EQ(c->AddCustomTag("ORIGINATOR", "a"), 0);
    EXPECT_STREQ(c->GetOriginator(), "a");
    ASSERT_EQ(c->SetOriginator("b"), 0);
    const std::string text = Written(*c);
    EXPECT_EQ(text.find("ORIGINATOR"), text.rfind("ORIGINATOR"));
    EXPECT_STREQ(Read(text)->GetOriginator(), "b");
}
