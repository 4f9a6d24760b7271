// TCgats reader: header lines, data formats, data sections, free-form blocks and failure codes.
#include "tcgats_test_access.h"

#include "tcgatstableheader.h"
#include "tcgatsvaluelist.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

using A = TCgatsTestAccess;

namespace {

std::unique_ptr<TCgats> Read(const std::string& text) { return std::make_unique<TCgats>(text.c_str(), 0); }

const TCgatsTag& Tag(TCgats& c, std::size_t i) { return *A::Tags(c).at(i); }

std::string Cell(const TCgats& c, int table, int sample, int field)
{
    char buffer[512] = "";
    char* out = buffer;
    if (c.GetField(table, sample, field, &out) != 0)
        return "<fail>";
    return buffer;
}

const char* kSmall = "CGATS.17\n"
                     "ORIGINATOR\t\"Test rig\"\t# first\n"
                     "NUMBER_OF_FIELDS\t4\n"
                     "BEGIN_DATA_FORMAT\n"
                     "SampleID\tLAB_L\tLAB_A\tLAB_B\n"
                     "END_DATA_FORMAT\n"
                     "NUMBER_OF_SETS\t2\n"
                     "BEGIN_DATA\n"
                     "A1\t50.5\t-2\t3.25\t\n"
                     "A2\t60\t1e1\t-0.5\t\n"
                     "END_DATA\n";

} // namespace

TEST(TCgatsReader, EmptyTextGivesAnEmptySoundObject)
{
    auto c = Read("");
    EXPECT_EQ(c->GetErrorCode(), 0);
    EXPECT_TRUE(A::Tags(*c).empty());
    EXPECT_TRUE(A::Tables(*c).empty());
    auto blank = Read("\n\r\n  \t\n");
    EXPECT_EQ(blank->GetErrorCode(), 0);
    EXPECT_TRUE(A::Tags(*blank).empty());
}

TEST(TCgatsReader, SmallFileBuildsTagsAndTable)
{
    auto c = Read(kSmall);
    ASSERT_EQ(c->GetErrorCode(), 0) << c->GetErrorMsg();
    EXPECT_EQ(A::TagNames(*c),
        (std::vector<std::string> { "CGATS.17", "ORIGINATOR", "NUMBER_OF_FIELDS", "BEGIN_DATA_FORMAT",
            "END_DATA_FORMAT", "NUMBER_OF_SETS", "BEGIN_DATA", "END_DATA" }));
    EXPECT_EQ(Tag(*c, 0).kind, -1);
    EXPECT_STREQ(Tag(*c, 1).Value(), "Test rig");
    EXPECT_EQ(Tag(*c, 1).unquoted, 0);
    EXPECT_STREQ(Tag(*c, 1).Comment(), " first");
    EXPECT_EQ(Tag(*c, 2).unquoted, 1);
    ASSERT_EQ(A::Tables(*c).size(), 1u);
    const TCgatsTable& t = *A::Tables(*c)[0];
    EXPECT_EQ(t.nrFilled, 2);
    EXPECT_EQ(t.header->sampleIdField, 0);
    EXPECT_EQ(t.header->labFields, (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(Cell(*c, 0, 0, 0), "A1");
    EXPECT_EQ(Cell(*c, 0, 0, 1), "50.50000");
    EXPECT_EQ(Cell(*c, 0, 1, 2), "10.00000");
    EXPECT_EQ(Cell(*c, 0, 1, 3), "-0.50000");
    EXPECT_EQ(c->GetFieldNameIndex(0, "LAB_B"), 3);
    EXPECT_EQ(c->GetFieldNameIndex(0, "lab_b"), -1);
    EXPECT_EQ(A::TmpHeader(*c), nullptr);
}

TEST(TCgatsReader, HeaderLineRules)
{
    auto c = Read("\xEF\xBB\xBF"
                  "CGATS.17\n"
                  "ORIGINATOR a b  c\n"
                  "FILE_DESCRIPTOR \"a b  c\"\n"
                  "CREATED \"x # y\" z\n"
                  "# word\n"
                  "   TARGET_TYPE\t\t\"\"   # empty\r\n"
                  "MATERIAL abc\"def\" ghi\n"
                  "SERIAL \"  lead\"\n"
                  "PROD_DATE");
    ASSERT_EQ(c->GetErrorCode(), 0);
    ASSERT_EQ(A::Tags(*c).size(), 9u);
    // The byte-order mark stays part of the first keyword.
    EXPECT_STREQ(Tag(*c, 0).Name(),
        "\xEF\xBB\xBF"
        "CGATS.17");
    EXPECT_EQ(Tag(*c, 0).kind, -1);
    // Bare words keep one blank between them; quoted ones keep their blanks.
    EXPECT_STREQ(Tag(*c, 1).Value(), "a b c");
    EXPECT_EQ(Tag(*c, 1).unquoted, 1);
    EXPECT_STREQ(Tag(*c, 2).Value(), "a b  c");
    EXPECT_EQ(Tag(*c, 2).unquoted, 0);
    // "#" between quotes is text.
    EXPECT_STREQ(Tag(*c, 3).Value(), "x # y");
    EXPECT_STREQ(Tag(*c, 3).Comment(), "");
    // A comment-only line is a tag without keyword.
    EXPECT_EQ(Tag(*c, 4).Name(), nullptr);
    EXPECT_STREQ(Tag(*c, 4).Comment(), " word");
    EXPECT_EQ(Tag(*c, 5).kind, 16);
    EXPECT_STREQ(Tag(*c, 5).Value(), "");
    EXPECT_STREQ(Tag(*c, 5).Comment(), " empty");
    // A quote right after a bare word ends the value there and marks it quoted.
    EXPECT_STREQ(Tag(*c, 6).Value(), "abc");
    EXPECT_EQ(Tag(*c, 6).unquoted, 0);
    EXPECT_STREQ(Tag(*c, 7).Value(), "  lead");
    // The last line needs no line end.
    EXPECT_STREQ(Tag(*c, 8).Name(), "PROD_DATE");
}

TEST(TCgatsReader, CommentOnTheLastLineIsKept)
{
    auto c = Read("CGATS.17\n# closing note");
    ASSERT_EQ(A::Tags(*c).size(), 2u);
    EXPECT_STREQ(Tag(*c, 1).Comment(), " closing note");
}

TEST(TCgatsReader, OverlongHeaderPartsGiveMinusOne)
{
    const std::string k255(255, 'K'), v4095(4095, 'v'), c511(511, 'c');
    EXPECT_EQ(Read(k255 + " 1\n")->GetErrorCode(), 0);
    EXPECT_EQ(Read(k255 + "K 1\n")->GetErrorCode(), -1);
    EXPECT_EQ(Read("ORIGINATOR \"" + v4095 + "\"\n")->GetErrorCode(), 0);
    EXPECT_EQ(Read("ORIGINATOR \"" + v4095 + "v\"\n")->GetErrorCode(), -1);
    EXPECT_EQ(Read("ORIGINATOR x #" + c511 + "\n")->GetErrorCode(), 0);
    auto tooLong = Read("CGATS.17\nORIGINATOR x #" + c511 + "c\nCREATED now\n");
    EXPECT_EQ(tooLong->GetErrorCode(), -1);
    EXPECT_STREQ(tooLong->GetErrorMsg(), ""); // no message for -1
    EXPECT_EQ(A::Tags(*tooLong).size(), 1u); // what came before stays
}

TEST(TCgatsReader, DeclaredFieldCountsAreChecked)
{
    const std::string tail = "END_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n1 2 3 4\nEND_DATA\n";
    auto four = Read("NUMBER_OF_FIELDS 3\nBEGIN_DATA_FORMAT\nLAB_L LAB_A LAB_B XYZ_X\n" + tail);
    EXPECT_EQ(four->GetErrorCode(), 10);
    EXPECT_STREQ(four->GetErrorMsg(), "Badly formatted header field.");
    auto two = Read("NUMBER_OF_FIELDS 3\nBEGIN_DATA_FORMAT\nLAB_L LAB_A\n" + tail);
    EXPECT_EQ(two->GetErrorCode(), 12);
    auto free = Read("BEGIN_DATA_FORMAT\nLAB_L LAB_A LAB_B\n XYZ_X # the rest\n" + tail);
    ASSERT_EQ(free->GetErrorCode(), 0) << free->GetErrorMsg();
    EXPECT_EQ(A::Tables(*free)[0]->NrFields(), 4);
    EXPECT_EQ(Cell(*free, 0, 0, 3), "4.00000");
    // A declared slot left empty by a table without data format.
    auto noFormat = Read("NUMBER_OF_FIELDS 2\nNUMBER_OF_SETS 1\nBEGIN_DATA\n1 2\n");
    EXPECT_EQ(noFormat->GetErrorCode(), 12);
    auto noFields = Read("BEGIN_DATA_FORMAT\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n1\n");
    EXPECT_EQ(noFields->GetErrorCode(), 14);
    auto unterminated = Read("BEGIN_DATA_FORMAT\nLAB_L LAB_A\n");
    EXPECT_EQ(unterminated->GetErrorCode(), 9);
    EXPECT_STREQ(unterminated->GetErrorMsg(), "END_DATA_FORMAT tag not found.");
    auto inconsistent
        = Read("BEGIN_DATA_FORMAT\nSPOT_1 SPOT_3\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n1 2\n");
    EXPECT_EQ(inconsistent->GetErrorCode(), 17);
}

TEST(TCgatsReader, UndeclaredFieldsBecomeTextColumnsWithADeclaration)
{
    auto c = Read(
        "CGATS.17\nORIGINATOR me\nBEGIN_DATA_FORMAT\nSampleID spectral_400 \"LAB_L\"\nEND_DATA_FORMAT\n"
        "NUMBER_OF_SETS 1\nBEGIN_DATA\nX 0,5 1,5\nEND_DATA\n");
    ASSERT_EQ(c->GetErrorCode(), 0) << c->GetErrorMsg();
    // The declaration goes before the data format line, which is stored after its section.
    EXPECT_EQ(A::TagNames(*c),
        (std::vector<std::string> { "CGATS.17", "ORIGINATOR", "KEYWORD", "BEGIN_DATA_FORMAT",
            "END_DATA_FORMAT", "NUMBER_OF_SETS", "BEGIN_DATA", "END_DATA" }));
    EXPECT_STREQ(Tag(*c, 2).Value(), "spectral_400");
    EXPECT_EQ(Tag(*c, 2).unquoted, 0);
    const TCgatsTableHeader& h = *A::Tables(*c)[0]->header;
    EXPECT_EQ(h.fields[1]->type, TCgatsField::kString);
    EXPECT_EQ(h.fields[1]->vocabIndex, -1);
    EXPECT_EQ(h.fields[2]->name, "LAB_L"); // surrounding quotes dropped
    // The comma is kept in a text column and read as a decimal point in a number column.
    EXPECT_EQ(Cell(*c, 0, 0, 1), "0,5");
    EXPECT_EQ(Cell(*c, 0, 0, 2), "1.50000");
    // Both names taken in on the fly count as declared, as they will when the written file is read.
    EXPECT_EQ(A::CustomFields(*c), (std::vector<std::string> { "SampleID", "spectral_400" }));

    // After NUMBER_OF_FIELDS the declaration goes before it.
    auto d = Read("ORIGINATOR me\nNUMBER_OF_FIELDS 1\nBEGIN_DATA_FORMAT\nodd\nEND_DATA_FORMAT\n");
    EXPECT_EQ(A::TagNames(*d)[1], "KEYWORD");
}

TEST(TCgatsReader, KeywordLinesAndColourIdsAreCounted)
{
    auto c = Read(
        "KEYWORD \"Remark\"\nKEYWORD \"\"\nPROCESSCOLOR_ID \"a\"\nPROCESSCOLOR_ID \"b\"\nSPOT_ID \"s\"\n"
        "BEGIN_DATA_FORMAT\nremark\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n\"two "
        "words\"\nEND_DATA\n");
    ASSERT_EQ(c->GetErrorCode(), 0);
    EXPECT_EQ(A::CustomFields(*c), (std::vector<std::string> { "Remark" }));
    EXPECT_EQ(A::NrProcessColorIds(*c), 2);
    EXPECT_EQ(A::NrSpotIds(*c), 1);
    EXPECT_EQ(A::Tables(*c)[0]->header->fields[0]->name, "Remark");
    EXPECT_EQ(Cell(*c, 0, 0, 0), "two words");
}

TEST(TCgatsReader, DeclaredNamesMatchIgnoringCaseFirstDeclarationFirst)
{
    auto c = Read("KEYWORD \"Note\"\nKEYWORD \"LAB_L\"\nKEYWORD \"NOTE\"\nBEGIN_DATA_FORMAT\nnote lab_l "
                  "SAMPLEID sampleid\n"
                  "END_DATA_FORMAT\n");
    ASSERT_EQ(c->GetErrorCode(), 0);
    const TCgatsTableHeader* h = A::TmpHeader(*c);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->fields[0]->name, "Note");
    EXPECT_EQ(h->fields[0]->vocabIndex, 0);
    // A declared vocabulary name is a text column.
    EXPECT_EQ(h->fields[1]->name, "LAB_L");
    EXPECT_EQ(h->fields[1]->category, TCgatsField::kKeyword);
    EXPECT_EQ(h->fields[1]->vocabIndex, 1);
    // The sample-name spelling is declared once, in the spelling first met.
    EXPECT_EQ(h->fields[2]->name, "SAMPLEID");
    EXPECT_EQ(h->fields[3]->name, "SAMPLEID");
    EXPECT_EQ(h->fields[3]->vocabIndex, 3);
    EXPECT_EQ(A::CustomFields(*c), (std::vector<std::string> { "Note", "LAB_L", "NOTE", "SAMPLEID" }));
}

TEST(TCgatsReader, DataValuesFormOneStream)
{
    auto c = Read(
        "BEGIN_DATA_FORMAT\nSampleID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 3\nBEGIN_DATA\n"
        "a 1 2\n3 b 4 5 6 \"\" 7\r\n8 9 END_DATA\n#x\n");
    ASSERT_EQ(c->GetErrorCode(), 0) << c->GetErrorMsg();
    EXPECT_EQ(Cell(*c, 0, 1, 0), "b");
    EXPECT_EQ(Cell(*c, 0, 2, 0), "");
    EXPECT_EQ(Cell(*c, 0, 2, 3), "9.00000");
    // END_DATA ends the data wherever it stands; the next line is read as a tag.
    EXPECT_EQ(A::TagNames(*c).back(), "");
    EXPECT_STREQ(A::Tags(*c).back()->Comment(), "x");
}

TEST(TCgatsReader, TheLastValueMustBeClosed)
{
    const std::string head
        = "BEGIN_DATA_FORMAT\nSampleID LAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n";
    auto bare = Read(head + "A 5");
    EXPECT_EQ(bare->GetErrorCode(), 26);
    EXPECT_STREQ(bare->GetErrorMsg(), "END_DATA tag not found.");
    EXPECT_TRUE(A::Tables(*bare).empty());
    EXPECT_NE(A::TmpHeader(*bare), nullptr); // the header stays pending
    EXPECT_EQ(Read(head + "A \"5\"")->GetErrorCode(), 26);
    EXPECT_EQ(Read(head + "A \"5\"END_DATA")->GetErrorCode(), 0);
    EXPECT_EQ(Read(head + "A")->GetErrorCode(), 13);
    EXPECT_EQ(Read(head + "\"A")->GetErrorCode(), 1);
}

TEST(TCgatsReader, LongValuesAndNamesAreReadWhole)
{
    const std::string longText(300, 'x');
    const std::string longName(5000, 'N');
    auto c = Read("BEGIN_DATA_FORMAT\nSampleID " + longName + " LAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\n"
        + "BEGIN_DATA\n" + longText + " \"" + longText + " y\" 1." + std::string(200, '5') + "\nEND_DATA\n");
    ASSERT_EQ(c->GetErrorCode(), 0) << c->GetErrorMsg();
    const TCgatsTable& t = *A::Tables(*c)[0];
    EXPECT_EQ(t.header->fields[1]->name, longName);
    EXPECT_EQ(std::string(t.columns[0]->GetString(0)), longText);
    EXPECT_EQ(std::string(t.columns[1]->GetString(0)), longText + " y");
    EXPECT_NEAR(t.columns[2]->GetDouble(0), 1.5555555555, 1e-9);
}

TEST(TCgatsReader, TablesNeedTheirOwnFormatAndCount)
{
    const std::string table1 = "NUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nSampleID LAB_L\nEND_DATA_FORMAT\n"
                               "NUMBER_OF_SETS 1\nBEGIN_DATA\nA 1\nEND_DATA\n";
    const std::string table2 = "NUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nSampleID XYZ_Y\nEND_DATA_FORMAT\n"
                               "NUMBER_OF_SETS 2\nBEGIN_DATA\nB 2\nC 3\nEND_DATA\n";
    auto two = Read("CGATS.17\n" + table1 + table2);
    ASSERT_EQ(two->GetErrorCode(), 0);
    ASSERT_EQ(A::Tables(*two).size(), 2u);
    EXPECT_EQ(Cell(*two, 1, 1, 0), "C");
    EXPECT_EQ(Cell(*two, 1, 1, 1), "3.00000");

    auto again = Read(table1 + "NUMBER_OF_SETS 1\nBEGIN_DATA\nB 2\nEND_DATA\n");
    EXPECT_EQ(again->GetErrorCode(), 27);
    EXPECT_EQ(again->GetErrorLine(), 10);
    EXPECT_EQ(A::Tables(*again).size(), 1u); // the first table stays
    auto noCount = Read("BEGIN_DATA_FORMAT\nLAB_L\nEND_DATA_FORMAT\nBEGIN_DATA\n1\n");
    EXPECT_EQ(noCount->GetErrorCode(), 27);
}

TEST(TCgatsReader, FreeFormBlocksAreKeptVerbatim)
{
    auto lf = Read(
        "CGATS.17\nBEGIN_NOTES\n  line one\t\"q\" # not a comment\nline two\nend_notes\nORIGINATOR x\n");
    ASSERT_EQ(lf->GetErrorCode(), 0) << lf->GetErrorMsg();
    EXPECT_EQ(
        A::CommentTags(*lf), (std::vector<std::string> { "  line one\t\"q\" # not a comment\nline two\n" }));
    EXPECT_EQ(A::TagNames(*lf),
        (std::vector<std::string> { "CGATS.17", "BEGIN_NOTES", "end_notes", "ORIGINATOR" }));

    auto crlf = Read("BEGIN_X\r\na\r\nb\r\nEND_X\r\n");
    ASSERT_EQ(crlf->GetErrorCode(), 0);
    EXPECT_EQ(A::CommentTags(*crlf), (std::vector<std::string> { "a\r\nb\r\n" }));

    // An empty block is kept as an empty body.
    for (const char* text : { "BEGIN_X\nEND_X\n", "BEGIN_X\r\nEND_X\r\n" }) {
        auto empty = Read(text);
        ASSERT_EQ(empty->GetErrorCode(), 0);
        EXPECT_EQ(A::CommentTags(*empty), (std::vector<std::string> { "" }));
    }
    auto unclosed = Read("BEGIN_X\nabc\n");
    EXPECT_EQ(unclosed->GetErrorCode(), 5);
    EXPECT_STREQ(unclosed->GetErrorMsg(), "Error while reading comment tag.");
}

TEST(TCgatsReader, DataFormatFollowedByAnotherFormatIsRefused)
{
    // Formats and tables are paired by order when writing: a format without data in the middle
    // would lose its names. A last format without data is a template and stays.
    const std::string format = "BEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L\nEND_DATA_FORMAT\n";
    const std::string data = "NUMBER_OF_SETS 1\nBEGIN_DATA\n1 50\nEND_DATA\n";
    EXPECT_EQ(Read(format + data)->GetErrorCode(), 0);
    EXPECT_EQ(Read(format + format + data)->GetErrorCode(), 28);
    EXPECT_EQ(Read(format + data + format + format + data)->GetErrorCode(), 28);
    EXPECT_EQ(Read(format + "NUMBER_OF_FIELDS 2\n" + format + data)->GetErrorCode(), 28);
    EXPECT_EQ(Read(format + data + format)->GetErrorCode(), 0);
    EXPECT_EQ(Read(format + data + format + "# trailing comment")->GetErrorCode(), 0);
    EXPECT_EQ(Read(format + data + format + data)->GetErrorCode(), 0);
}

TEST(TCgatsReader, FieldNameWithAQuoteInsideIsRefused)
{
    const std::string tail = "END_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n1 x\nEND_DATA\n";
    EXPECT_EQ(Read("BEGIN_DATA_FORMAT\nSAMPLE_ID \"MY_NAME\"\n" + tail)->GetErrorCode(), 0);
    EXPECT_EQ(Read("BEGIN_DATA_FORMAT\nSAMPLE_ID MY\"NAME\n" + tail)->GetErrorCode(), 10);
}

TEST(TCgatsReader, HostileCountsFailWithoutExhaustingMemory)
{
    auto fields = Read("NUMBER_OF_FIELDS 2000000000\nBEGIN_DATA_FORMAT\nLAB_L\nEND_DATA_FORMAT\n");
    EXPECT_EQ(fields->GetErrorCode(), 12);
    auto sets = Read(
        "BEGIN_DATA_FORMAT\nLAB_L LAB_A\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2000000000\nBEGIN_DATA\n1 2\n");
    EXPECT_EQ(sets->GetErrorCode(), 13);
    auto negative = Read("NUMBER_OF_FIELDS -5\nBEGIN_DATA_FORMAT\nLAB_L\nEND_DATA_FORMAT\n");
    EXPECT_EQ(negative->GetErrorCode(), 10);
    // Only the last declared count takes effect; a count after a pending format would replace its
    // names, so that is refused.
    auto last = Read(
        "NUMBER_OF_FIELDS 99999\nNUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nLAB_L LAB_A\nEND_DATA_FORMAT\n");
    EXPECT_EQ(last->GetErrorCode(), 0);
    ASSERT_NE(A::TmpHeader(*last), nullptr);
    EXPECT_EQ(A::TmpHeader(*last)->NrFields(), 2);
    auto replaced
        = Read("NUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nLAB_L LAB_A\nEND_DATA_FORMAT\nNUMBER_OF_FIELDS 3\n");
    EXPECT_EQ(replaced->GetErrorCode(), 28);
}

TEST(TCgatsReader, FileConstructor)
{
    EXPECT_EQ(TCgats(static_cast<const char*>(nullptr)).GetErrorCode(), 2);
    TCgats empty("");
    EXPECT_EQ(empty.GetErrorCode(), 2);
    EXPECT_STREQ(empty.GetErrorMsg(), "Empty file name.");
    TCgats missing("/nonexistent/dir/file.txt");
    EXPECT_EQ(missing.GetErrorCode(), 3);
    EXPECT_STREQ(missing.GetErrorMsg(), "The requested file could not be found.");

    const std::string path
        = ::testing::TempDir() + "tcgats_reader_small_" + std::to_string(getpid()) + ".txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << kSmall;
    }
    TCgats fromFile(path.c_str());
    ASSERT_EQ(fromFile.GetErrorCode(), 0);
    EXPECT_EQ(Cell(fromFile, 0, 1, 0), "A2");
    std::remove(path.c_str());
}

TEST(TCgatsReader, QuotesAroundFieldNamesAreStrippedOneAtEachEnd)
{
    const std::string tail = "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n1 x\nEND_DATA\n";
    // Name as written, error, and the name read (a name left empty is refused).
    const struct {
        const char* name;
        int error;
        const char* read;
    } rows[]
        = { { "\"A\"", 0, "A" }, { "\"B", 0, "B" }, { "C\"", 0, "C" }, { "\"\"", 10, "" }, { "\"", 10, "" } };
    for (const auto& r : rows) {
        auto c = Read("BEGIN_DATA_FORMAT\nSAMPLE_ID " + std::string(r.name) + tail);
        EXPECT_EQ(c->GetErrorCode(), r.error) << r.name;
        EXPECT_EQ(c->GetFieldNameIndex(0, r.read), r.error == 0 ? 1 : -1) << r.name;
    }
}
