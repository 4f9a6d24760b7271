// TCgats writer: tag lines, field names, data rows, block bodies, buffers and atomic saving.
#include "cgats_text.h"
#include "tcgatsinternals.h"

#include "numtext.h"
#include "tcgatsvaluelist.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <memory>
#include <string>
#include <vector>

using A = TCgatsInternals;

namespace {

const char* kMixed
    = "CGATS.17\r\nORIGINATOR \"Test rig\"  #  two blanks\nINKSET 3\n#word\nKEYWORD \"Remark\"\n"
      "BEGIN_NOTES\r\nfree\ttext\r\nEND_NOTES\nNUMBER_OF_FIELDS 5\nBEGIN_DATA_FORMAT\n"
      "SampleID Remark LAB_L nm400 nm410\nEND_DATA_FORMAT\nNUMBER_OF_SETS 3\nBEGIN_DATA\n"
      "A1 \"two words\" 0.123456789 1e-7 250\nA2 \"\" 0 -0.00001234 1234567\n"
      "A3 \" lead\" 12.5 nan 99.99999\nEND_DATA\n";

const char* kMixedWritten
    = "CGATS.17\nORIGINATOR\t\"Test rig\"\t#  two blanks\nINKSET\t3\n# word\nKEYWORD\t\"Remark\"\n"
      "BEGIN_NOTES\nfree\ttext\nEND_NOTES\nNUMBER_OF_FIELDS\t5\nBEGIN_DATA_FORMAT\n"
      "SampleID\tRemark\tLAB_L\tnm400\tnm410\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t3\nBEGIN_DATA\n"
      "A1\t\"two words\"\t0.123456789\t1e-07\t250\t\nA2\t\"\"\t0\t-0.00001234\t1234567\t\n"
      "A3\t\" lead\"\t12.5\tnan\t99.99999\t\nEND_DATA\n";

} // namespace

TEST(TCgatsWriter, WritesTagsNamesRowsAndBlocks)
{
    EXPECT_EQ(Written(*Read("")), "");
    EXPECT_EQ(Written(*Read(kMixedWritten)), kMixedWritten); // kMixed itself: in the locale test
    // Tables follow their sections; a template with a data format and no data saves too.
    const std::string two
        = "CGATS.17\nBEGIN_DATA_FORMAT\nSampleID\tLAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t1\n"
          "BEGIN_DATA\nA\t1\t\nEND_DATA\nBEGIN_DATA_FORMAT\nXYZ_Y\nEND_DATA_FORMAT\n"
          "NUMBER_OF_SETS\t2\nBEGIN_DATA\n2\t\n3\t\nEND_DATA\nNUMBER_OF_FIELDS\t2\n"
          "BEGIN_DATA_FORMAT\nSampleID\tLAB_L\nEND_DATA_FORMAT\n";
    EXPECT_EQ(Written(*Read(two)), two);
}

TEST(TCgatsWriter, BlockEndLinesInAnyLetterCaseGetNoDeclarationInsideTheBlock)
{
    // A block ends at the first line that starts with its end keyword in any letter case, and
    // "BEGIN_" alone ends at any "END_" line: a "KEYWORD" line written ahead of such an end line
    // would read back as part of the block. A keyword declared twice keeps both declarations.
    const std::string text = "CGATS.17\nKEYWORD \"Remark\"\nKEYWORD \"Remark\"\nRemark \"a\"\n"
                             "BEGIN_NOTES\nfree text\nend_Notes 1\nBEGIN_\nKEYWORD \"X\"\nEnD_X \"y\"\n";
    const std::string expected
        = "CGATS.17\nKEYWORD\t\"Remark\"\nKEYWORD\t\"Remark\"\nRemark\t\"a\"\n"
          "BEGIN_NOTES\nfree text\nend_Notes\t1\nBEGIN_\nKEYWORD \"X\"\nEnD_X\t\"y\"\n";
    auto c = Read(text);
    EXPECT_EQ(Written(*c), expected);
    auto again = Read(expected);
    EXPECT_EQ(Written(*again), expected);
    EXPECT_EQ(A::CommentTags(*again), (std::vector<std::string> { "free text\n", "KEYWORD \"X\"\n" }));
    EXPECT_EQ(again->GetKeywords(), c->GetKeywords());
    EXPECT_STREQ(again->GetKeywordValue("Remark"), "a");
    // A keyword of another program, even one that starts with "_", is declared in the standard form.
    const std::string standard = Written(*Read("CGATS.17\n_PRIVATE \"x\"\n"), TCgats::Convention::Cgats);
    EXPECT_TRUE(Has(standard, "KEYWORD\t\"_PRIVATE\"\n_PRIVATE\t\"x\"\n")) << standard;
}

TEST(TCgatsWriter, TagLines)
{
    auto c = A::Empty();
    A::AddTag(*c, 0, "ORIGINATOR", 0, "a b", "");
    A::AddTag(*c, 41, "INKSET", 1, "3", "");
    A::AddTag(*c, 36, "PATCH_HEIGHT", 2, "6.50000", "mm");
    A::AddTag(*c, 2, "CREATED", 0, "", "");
    A::AddTag(*c, -1, nullptr, 0, "", "");
    A::AddTag(*c, -1, nullptr, 0, "", "note");
    // A bare value of several words is quoted, as strict readers need.
    A::AddTag(*c, 1, "FILE_DESCRIPTOR", 1, "two words", "");
    A::AddTag(*c, 20, "SERIAL", 1, "two  blanks", "");
    EXPECT_EQ(Written(*c),
        "ORIGINATOR\t\"a b\"\nINKSET\t3\nPATCH_HEIGHT\t6.50000\t# mm\nCREATED\n# note\n"
        "FILE_DESCRIPTOR\t\"two words\"\nSERIAL\t\"two  blanks\"\n");
}

TEST(TCgatsWriter, IntColumnsAndWritingFailures)
{
    auto c
        = Read("BEGIN_DATA_FORMAT\nSampleID\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\nA B\nEND_DATA\n");
    // Replace the text column by an Int column to see its formatting.
    TCgatsTable& t = *A::Tables(*c)[0];
    t.header->fields[0]->type = TCgatsField::kInt;
    auto ints = std::make_unique<TCgatsValueListInt>(2);
    const char cells[] = " -7 n/a";
    ints->SetValue(0, cells, cells + 3); // blanks skipped, the leading number taken
    ints->SetValue(1, cells + 4, cells + 7); // no number: 0
    TCgatsValueListDouble reals(1);
    reals.SetValue(0, cells + 4, cells + 7);
    EXPECT_TRUE(ints->GetInt(1) == 0 && reals.GetDouble(0) == 0.0);
    ints->Set(1, 2147483647);
    t.columns[0] = std::move(ints);
    EXPECT_EQ(Written(*c),
        "BEGIN_DATA_FORMAT\nSampleID\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t2\nBEGIN_DATA\n-7\t\n2147483647\t\n"
        "END_DATA\n");

    // A row count that differs from the declared one fails with 13, after what was written.
    t.nrFilled = 1;
    int result = 0;
    EXPECT_EQ(Written(*c, TCgats::Convention::AsHeld, &result),
        "BEGIN_DATA_FORMAT\nSampleID\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t2\nBEGIN_DATA\n");
    EXPECT_EQ(result, 13);
    // Now in error: nothing more is written.
    char* untouched = reinterpret_cast<char*>(&result);
    EXPECT_EQ(c->WriteToBuffer(&untouched), TCgats::kErrSampleCount);
    EXPECT_EQ(untouched, reinterpret_cast<char*>(&result));
}

TEST(TCgatsWriter, ReadingAndSavingIgnoreTheHostLocaleAndAFailedSaveKeepsTheFile)
{
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    std::locale savedCpp;
    // A decimal-comma facet in the C++ locale, and the German C locale where it is installed.
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    std::locale::global(std::locale(std::locale::classic(), new Comma));
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    auto c = Read(kMixed);
    const std::string written = Written(*c);
    TempDir dir;
    const std::string path = dir.File("locale.txt");
    const int saved = c->SaveAs(path.c_str());
    std::locale::global(savedCpp);
    std::setlocale(LC_ALL, savedC.c_str());
    EXPECT_EQ(written, kMixedWritten);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(TempDir::Read(path), kMixedWritten);
    // A failing write leaves the existing file as it was.
    auto broken = Read("ORIGINATOR other\n");
    A::AddTag(*broken, 4, "BEGIN_DATA_FORMAT", 0, "", "");
    EXPECT_EQ(broken->SaveAs(path.c_str()), TCgats::kErrIllegalTableIndex);
    EXPECT_EQ(TempDir::Read(path), kMixedWritten);
}

TEST(TCgatsWriter, RowsWiderThanTheWritersChunkReadBackValueTrue)
{
    // 250 full-precision values a row (over 4 KB of text) and a text cell of 6 000 characters:
    // every value and the text read back exactly, and the text is written once.
    constexpr int kFields = 250;
    std::string names = "SampleID SAMPLE_NAME";
    std::string row = "A1 \"" + std::string(6000, 'x') + "\"";
    std::vector<double> values;
    for (int k = 0; k < kFields; ++k) {
        names += " nm" + std::to_string(380 + k);
        values.push_back(1.0 / (3.0 + k) * (k % 2 ? 1e-3 : 7.0));
        row += " " + tintvale::detail::FormatShortest(values.back());
    }
    auto c = Read("BEGIN_DATA_FORMAT\n" + names + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\n" + row
        + "\n" + row + "\nEND_DATA\n");
    ASSERT_EQ(c->GetErrorCode(), 0);
    const std::string written = Written(*c);
    auto back = Read(written);
    ASSERT_EQ(back->GetErrorCode(), 0);
    for (int s = 0; s < 2; ++s)
        for (int k = 0; k < kFields; ++k)
            ASSERT_EQ(A::Tables(*back)[0]->columns[k + 2]->GetDouble(s), values[k]) << s << " " << k;
    EXPECT_STREQ(A::Tables(*back)[0]->columns[1]->GetString(1), std::string(6000, 'x').c_str());
    EXPECT_EQ(Written(*back), written);
}
