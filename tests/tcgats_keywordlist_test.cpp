// TCgats: listing and reading every header keyword, the ones the library does not name included.
#include <tintvale/tcgats.h>

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
    TCgats c(kFile, 0);
    ASSERT_EQ(c.GetErrorCode(), 0) << c.GetErrorMsg();
    const std::vector<std::pair<std::string, std::string>> expected = { { "ORIGINATOR", "Spectro Suite 4.2" },
        { "DESCRIPTOR", "press check, sheet 12" }, { "INSTRUMENTATION", "Spectro 3" },
        { "KEYWORD", "WEIGHTING_FUNCTION" }, { "WEIGHTING_FUNCTION", "ILLUMINANT, D50" },
        { "DEVICE_CLASS", "OUTPUT" }, { "NUMBER_OF_FIELDS", "2" }, { "NUMBER_OF_SETS", "1" },
        { "NUMBER_OF_FIELDS", "2" }, { "NUMBER_OF_SETS", "1" } };
    EXPECT_EQ(c.GetKeywords(), expected);
    EXPECT_STREQ(c.GetKeywordValue("DEVICE_CLASS"), "OUTPUT");
    EXPECT_STREQ(c.GetKeywordValue("weighting_function"), "ILLUMINANT, D50");
    EXPECT_EQ(c.GetKeywordValue("FILTER"), nullptr);
    EXPECT_EQ(c.GetKeywordValue(nullptr), nullptr);
    // A keyword set through the library is listed like one read from a file.
    ASSERT_EQ(c.AddCustomTag("PRINT_RUN", "7"), 0);
    EXPECT_STREQ(c.GetKeywordValue("PRINT_RUN"), "7");
    EXPECT_EQ(c.GetKeywords().at(6),
        (std::pair<std::string, std::string> { "PRINT_RUN", "7" })); // ahead of the data
}
