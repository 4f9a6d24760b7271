// TCgats model: vocabulary look-ups, error state, tag list, field-name classification, header
// analysis, tables and value lists.
#include "tcgats_test_access.h"

#include "tcgatsfield.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatsvaluelist.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using A = TCgatsTestAccess;

namespace {

struct Match {
    int result = -99;
    int category = -99;
    int index = -99;
    int type = -99;
    std::string canonical;
};

Match Classify(TCgats& c, const char* name)
{
    Match m;
    m.result = A::MatchField(c, name, &m.category, &m.index, &m.type, &m.canonical);
    return m;
}

// A header built from names classified the way the reader does (undeclared names become text).
std::unique_ptr<TCgatsTableHeader> HeaderOf(const std::vector<std::string>& names, int nrSamples = 1)
{
    auto c = A::Empty();
    auto header = std::make_unique<TCgatsTableHeader>(0);
    for (const auto& name : names) {
        Match m = Classify(*c, name.c_str());
        if (m.result < 0)
            m = { -1, TCgatsField::kKeyword, 0, TCgatsField::kString, name };
        EXPECT_EQ(
            header->AppendField(TCgatsField(m.type, m.canonical.c_str(), m.category, m.index, m.result)), 0);
    }
    header->nrSamples = nrSamples;
    return header;
}

std::unique_ptr<TCgatsTableHeader> Analysed(const std::vector<std::string>& names, int expected = 0)
{
    auto header = HeaderOf(names);
    EXPECT_EQ(header->Analyse(), expected);
    return header;
}

} // namespace

TEST(TCgatsVocabulary, KeywordsAreMatchedCaseSensitively)
{
    auto c = A::Empty();
    EXPECT_EQ(A::MatchTag(*c, "ORIGINATOR"), 0);
    EXPECT_EQ(A::MatchTag(*c, "NUMBER_OF_FIELDS"), 3);
    EXPECT_EQ(A::MatchTag(*c, "BEGIN_DATA"), 24);
    EXPECT_EQ(A::MatchTag(*c, "KEYWORD"), 29);
    EXPECT_EQ(A::MatchTag(*c, "NumberOfStrips"), 30);
    EXPECT_EQ(A::MatchTag(*c, "NUMBEROFSTRIPS"), -1);
    EXPECT_EQ(A::MatchTag(*c, "numberofstrips"), -1);
    EXPECT_EQ(A::MatchTag(*c, "NUMBER_OF_STRIPS"), 32);
    EXPECT_EQ(A::MatchTag(*c, "ADD_CUTTING_LINE"), 54);
    EXPECT_EQ(A::MatchTag(*c, "originator"), -1);
    EXPECT_EQ(A::MatchTag(*c, "CGATS.17"), -1);
    EXPECT_EQ(A::MatchTag(*c, ""), -1);
    EXPECT_EQ(A::MatchTag(*c, nullptr), -1);
}

TEST(TCgatsVocabulary, TableErrorsTranslate)
{
    const int expected[][2]
        = { { 0, 1 }, { 1, 6 }, { 2, 14 }, { 3, 12 }, { 4, 15 }, { 5, 13 }, { 6, 16 }, { 7, 17 }, { 8, 19 },
              { 9, 20 }, { 10, 1 }, { 11, 13 }, { 12, 7 }, { 13, 8 }, { 14, 26 }, { 15, 1 }, { -3, 1 } };
    for (const auto& pair : expected)
        EXPECT_EQ(A::TableErrorToCgatsError(pair[0]), pair[1]) << "table error " << pair[0];
}

TEST(TCgatsErrorState, SetErrorCodeStoresCodeAndMessage)
{
    auto c = A::Empty();
    EXPECT_EQ(c->GetErrorCode(), 0);
    EXPECT_STREQ(c->GetErrorMsg(), "");
    EXPECT_FALSE(A::SetErrorCode(*c, 0));

    EXPECT_FALSE(A::SetErrorCode(*c, 12));
    EXPECT_EQ(c->GetErrorCode(), 12);
    // The longest message (77 characters) fits whole.
    EXPECT_STREQ(
        c->GetErrorMsg(), "Number of header fields found doesn't match number of header fields declared.");
    EXPECT_EQ(std::strlen(c->GetErrorMsg()), 77u);

    // Code 0 only reports.
    EXPECT_TRUE(A::SetErrorCode(*c, 0));
    EXPECT_EQ(c->GetErrorCode(), 12);

    // Codes without a message keep the previous one.
    EXPECT_FALSE(A::SetErrorCode(*c, 30));
    EXPECT_EQ(c->GetErrorCode(), 30);
    EXPECT_STREQ(
        c->GetErrorMsg(), "Number of header fields found doesn't match number of header fields declared.");
    A::SetErrorCode(*c, 25);
    EXPECT_STREQ(c->GetErrorMsg(), "Trying to copy from empty data set.");
    A::SetErrorCode(*c, 1);
    EXPECT_STREQ(c->GetErrorMsg(), "The file is not a valid Cgats file.");
}

TEST(TCgatsMatchField, SpectralPatterns)
{
    auto c = A::Empty();
    Match m = Classify(*c, "nm380");
    EXPECT_EQ(m.result, 0);
    EXPECT_EQ(m.category, TCgatsField::kSpectral);
    EXPECT_EQ(m.index, 380);
    EXPECT_EQ(m.type, TCgatsField::kDouble);
    EXPECT_EQ(m.canonical, "nm380");
    for (const char* name : { "SPECTRAL_NM_400", "NM_400", "SPECTRAL_NM400", "SPECTRAL_400" }) {
        m = Classify(*c, name);
        EXPECT_EQ(m.result, 0) << name;
        EXPECT_EQ(m.category, TCgatsField::kSpectral) << name;
        EXPECT_EQ(m.index, 400) << name;
    }
    // The exact vocabulary name is a standard field, not a spectral one.
    m = Classify(*c, "SPECTRAL_NM");
    EXPECT_EQ(m.result, 14);
    EXPECT_EQ(m.category, TCgatsField::kStandard);
    // Pattern literals are case-sensitive, and a negative number matches no pattern.
    EXPECT_EQ(Classify(*c, "spectral_400").result, -1);
    EXPECT_EQ(Classify(*c, "nm-5").result, -1);
}

TEST(TCgatsMatchField, ChannelPatterns)
{
    auto c = A::Empty();
    Match m = Classify(*c, "6CLR_2");
    EXPECT_EQ(m.result, 0);
    EXPECT_EQ(m.category, TCgatsField::kNColor);
    EXPECT_EQ(m.index, 1);
    m = Classify(*c, "SPOT_3");
    EXPECT_EQ(m.category, TCgatsField::kSpot);
    EXPECT_EQ(m.index, 2);
    m = Classify(*c, "PC5_4");
    EXPECT_EQ(m.category, TCgatsField::kCustomProcess);
    EXPECT_EQ(m.index, 3);
    EXPECT_EQ(m.type, TCgatsField::kDouble);
    // The channel number zero still matches (index -1 is left to the header analysis).
    m = Classify(*c, "SPOT_0");
    EXPECT_EQ(m.category, TCgatsField::kSpot);
    EXPECT_EQ(m.index, -1);
}

TEST(TCgatsMatchField, VocabularyIgnoresCaseAndGivesItsSpelling)
{
    auto c = A::Empty();
    Match m = Classify(*c, "lab_l");
    EXPECT_EQ(m.result, 23);
    EXPECT_EQ(m.category, TCgatsField::kStandard);
    EXPECT_EQ(m.canonical, "LAB_L");
    EXPECT_EQ(m.type, TCgatsField::kDouble);
    EXPECT_EQ(Classify(*c, "SAMPLE_ID").type, TCgatsField::kString);
    EXPECT_EQ(Classify(*c, "string").type, TCgatsField::kString);
    EXPECT_EQ(Classify(*c, "CHI_SQD_PAR").result, 39);
    EXPECT_EQ(Classify(*c, "cmyk_k").result, 5);
    m = Classify(*c, "UNKNOWN_FIELD");
    EXPECT_EQ(m.result, -1);
    EXPECT_EQ(m.category, -99); // untouched
    int x = 0;
    std::string s;
    EXPECT_EQ(A::MatchField(*c, nullptr, &x, &x, &x, &s), -1);
    EXPECT_EQ(A::MatchField(*c, "LAB_L", &x, nullptr, &x, &s), -1);
}

TEST(TCgatsMatchField, DeclaredNamesComeBeforeTheVocabulary)
{
    auto c = A::Empty();
    A::AddCustomField(*c, "Remark");
    A::AddCustomField(*c, "LAB_L");
    Match m = Classify(*c, "lab_l");
    EXPECT_EQ(m.result, 1);
    EXPECT_EQ(m.category, TCgatsField::kKeyword);
    EXPECT_EQ(m.type, TCgatsField::kString);
    EXPECT_EQ(m.canonical, "LAB_L");
    m = Classify(*c, "REMARK");
    EXPECT_EQ(m.result, 0);
    EXPECT_EQ(m.canonical, "Remark");
    // Patterns still come first.
    A::AddCustomField(*c, "nm400");
    EXPECT_EQ(Classify(*c, "nm400").category, TCgatsField::kSpectral);
    EXPECT_EQ(A::AddCustomField(*c, ""), 1);
    EXPECT_EQ(A::AddCustomField(*c, nullptr), 1);
}

TEST(TCgatsMatchField, SampleNameSpellingsAreDeclaredOnFirstUse)
{
    auto c = A::Empty();
    Match m = Classify(*c, "SampleName");
    EXPECT_EQ(m.result, 0);
    EXPECT_EQ(m.category, TCgatsField::kKeyword);
    EXPECT_EQ(m.type, TCgatsField::kString);
    m = Classify(*c, "sample_name");
    EXPECT_EQ(m.result, 1);
    EXPECT_EQ(m.canonical, "sample_name");
    ASSERT_EQ(A::CustomFields(*c).size(), 2u);
    // Declared now: a second use finds the declaration instead of adding one.
    EXPECT_EQ(Classify(*c, "SAMPLENAME").result, 0);
    EXPECT_EQ(A::CustomFields(*c).size(), 2u);
}

TEST(TCgatsAnalyse, CmykWithThreeChannelsAndMissingCyan)
{
    auto h = Analysed({ "SampleID", "CMYK_C", "CMYK_M", "CMYK_Y", "LAB_L" });
    EXPECT_EQ(h->colorModel, TCgatsTableHeader::kCmyk);
    EXPECT_EQ(h->nrColors, 3);
    EXPECT_EQ(h->colorFields, (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(h->sampleIdField, 0);
    EXPECT_TRUE(h->labFields.empty()); // incomplete Lab is not kept

    // Channel order follows C, M, Y, K, not the header order.
    h = Analysed({ "CMYK_K", "CMYK_Y", "CMYK_M", "CMYK_C" });
    EXPECT_EQ(h->colorFields, (std::vector<int> { 3, 2, 1, 0 }));
    EXPECT_EQ(h->nrColors, 4);

    // Without cyan there is no colour kind, and process colours are then not considered.
    h = Analysed({ "CMYK_M", "CMYK_Y", "CMYK_K", "PC2_1", "PC2_2" });
    EXPECT_EQ(h->colorModel, TCgatsTableHeader::kNoColor);
    EXPECT_EQ(h->nrColors, 0);
    EXPECT_TRUE(h->colorFields.empty());
    EXPECT_TRUE(h->analysed);

    // Only a field named exactly SampleID is the sample-name column.
    h = Analysed({ "SampleName", "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K" });
    EXPECT_EQ(h->sampleIdField, -1);
}

TEST(TCgatsAnalyse, NColorCountsAndRanges)
{
    auto h = Analysed({ "6CLR_1", "6CLR_2", "6CLR_3", "6CLR_4", "6CLR_5", "6CLR_6" });
    EXPECT_EQ(h->colorModel, TCgatsTableHeader::kNColor);
    EXPECT_EQ(h->nrColors, 6);
    EXPECT_EQ(h->colorFields, (std::vector<int> { 0, 1, 2, 3, 4, 5 }));

    // Fewer than five channels, or a channel beyond the count, fail and leave nothing analysed.
    h = Analysed({ "4CLR_1", "4CLR_2", "4CLR_3", "4CLR_4" }, 1);
    EXPECT_FALSE(h->analysed);
    EXPECT_EQ(h->colorModel, TCgatsTableHeader::kNoColor);
    h = Analysed({ "6CLR_1", "6CLR_2", "6CLR_3", "6CLR_4", "6CLR_5", "6CLR_6", "6CLR_7" }, 1);
    EXPECT_FALSE(h->analysed);

    // A channel repeated instead of another: the count matches but one channel is missing.
    h = Analysed({ "5CLR_1", "5CLR_2", "5CLR_3", "5CLR_4", "5CLR_4", "PC1_1" });
    EXPECT_EQ(h->colorModel, TCgatsTableHeader::kNoColor);

    // Fewer N-colour fields than the count: the custom process colours decide.
    h = Analysed({ "5CLR_1", "5CLR_2", "PC2_2", "PC2_1" });
    EXPECT_EQ(h->colorModel, TCgatsTableHeader::kCustom);
    EXPECT_EQ(h->colorFields, (std::vector<int> { 3, 2 }));
}

TEST(TCgatsAnalyse, CustomAndSpotNumbering)
{
    auto h = Analysed({ "SampleID", "PC3_3", "PC3_1", "PC3_2", "SPOT_2", "SPOT_1" });
    EXPECT_EQ(h->colorModel, TCgatsTableHeader::kCustom);
    EXPECT_EQ(h->colorFields, (std::vector<int> { 2, 3, 1 }));
    EXPECT_EQ(h->nrSpots, 2);
    EXPECT_EQ(h->spotFields, (std::vector<int> { 5, 4 }));

    h = Analysed({ "SPOT_1", "SPOT_2" });
    EXPECT_EQ(h->colorModel, TCgatsTableHeader::kSpotColor);
    Analysed({ "SPOT_1", "SPOT_3" }, 1); // spot 3 of two spots
    Analysed({ "SPOT_0" }, 1);
    Analysed({ "PC2_1", "PC2_3" }, 1);
}

TEST(TCgatsAnalyse, WavelengthsAscendWithTiesInHeaderOrder)
{
    auto h = Analysed({ "SampleID", "nm700", "nm400", "nm550" });
    EXPECT_EQ(h->nrWaveLengths, 3);
    EXPECT_EQ(h->waveLengthFields, (std::vector<int> { 2, 3, 1 }));
    int wl[3] = { 0, 0, 0 };
    ASSERT_EQ(h->GetWaveLengths(wl), 0);
    EXPECT_EQ(wl[0], 400);
    EXPECT_EQ(wl[1], 550);
    EXPECT_EQ(wl[2], 700);

    h = Analysed({ "nm500", "SPECTRAL_400", "NM_500", "nm400" });
    EXPECT_EQ(h->waveLengthFields, (std::vector<int> { 1, 3, 0, 2 }));

    // A spectral field with a negative wavelength can only be made by hand; it fails.
    auto bad = HeaderOf({ "nm400" });
    bad->AppendField(TCgatsField(TCgatsField::kDouble, "odd", TCgatsField::kSpectral, -10, 0));
    EXPECT_EQ(bad->Analyse(), 1);

    auto none = Analysed({ "LAB_L" });
    EXPECT_EQ(none->GetWaveLengths(wl), 1);
    auto notAnalysed = HeaderOf({ "nm400" });
    EXPECT_EQ(notAnalysed->GetWaveLengths(wl), 1);
}

TEST(TCgatsAnalyse, LabAndXyzOnlyWhenComplete)
{
    auto h = Analysed({ "LAB_B", "XYZ_X", "LAB_L", "XYZ_Y", "LAB_A" });
    EXPECT_EQ(h->labFields, (std::vector<int> { 2, 4, 0 }));
    EXPECT_TRUE(h->xyzFields.empty());
    h = Analysed({ "XYZ_Z", "XYZ_Y", "XYZ_X" });
    EXPECT_EQ(h->xyzFields, (std::vector<int> { 2, 1, 0 }));
    EXPECT_TRUE(h->labFields.empty());
}

TEST(TCgatsTableHeader, SlotsCopiesAndEquality)
{
    TCgatsTableHeader h(2);
    EXPECT_EQ(h.Analyse(), 1); // empty slots
    EXPECT_EQ(h.AppendField(TCgatsField(TCgatsField::kDouble, "LAB_L", 0, 0, 23)), 1);
    EXPECT_EQ(h.SetField(TCgatsField::kString, "", 1, 0, 0), 1); // invalid
    EXPECT_EQ(h.SetField(TCgatsField::kString, "SampleID", 1, 0, 0), 0);
    EXPECT_EQ(h.SetField(TCgatsField::kDouble, "LAB_L", 0, 0, 23), 0);
    EXPECT_EQ(h.SetField(TCgatsField::kDouble, "LAB_A", 0, 0, 24), 1); // full
    EXPECT_EQ(h.FindField("LAB_L"), 1);
    EXPECT_EQ(h.FindField("lab_l"), -1);
    EXPECT_FALSE(h.HasField("LAB_A"));
    h.nrSamples = 7;
    ASSERT_EQ(h.Analyse(), 0);

    // Appending resets the analysis.
    EXPECT_EQ(h.AppendField(TCgatsField(TCgatsField::kDouble, "LAB_A", 0, 0, 24)), 0);
    EXPECT_FALSE(h.analysed);
    EXPECT_EQ(h.sampleIdField, -1);
    EXPECT_EQ(h.AppendField(TCgatsField(TCgatsField::kDouble, "LAB_B", 0, 0, 25)), 0);
    ASSERT_EQ(h.Analyse(), 0);
    EXPECT_EQ(h.labFields, (std::vector<int> { 1, 2, 3 }));

    TCgatsTableHeader copy(h);
    EXPECT_TRUE(copy == h);
    EXPECT_TRUE(copy.analysed);
    copy.nrSamples = 8;
    EXPECT_TRUE(copy != h);

    // Selecting copy: fields 3 and 0, the first replaced; the sample count overridden.
    const int map[] = { 3, 0 };
    const TCgatsField replacement(TCgatsField::kDouble, "XYZ_Y", 0, 0, 18);
    const TCgatsField* replacements[] = { &replacement, nullptr };
    TCgatsTableHeader selected(h, 3, map, 2, replacements);
    ASSERT_EQ(selected.NrFields(), 2);
    EXPECT_EQ(selected.fields[0]->name, "XYZ_Y");
    EXPECT_EQ(selected.fields[1]->name, "SampleID");
    EXPECT_EQ(selected.nrSamples, 3);
    EXPECT_TRUE(selected.analysed);
    EXPECT_EQ(selected.sampleIdField, 1);
    EXPECT_TRUE(selected.labFields.empty());
}

TEST(TCgatsTableHeader, WritesNamesWithTabs)
{
    auto h = HeaderOf({ "SampleID", "lab_l", "nm400" });
    std::string out;
    ASSERT_EQ(h->Write(out), 0);
    EXPECT_EQ(out, "SampleID\tLAB_L\tnm400\n");
    TCgatsTableHeader empty(0);
    EXPECT_EQ(empty.Write(out), 1);
}

TEST(TCgatsTable, InitChecksInOrder)
{
    TCgatsTable table;
    std::unique_ptr<TCgatsTableHeader> none;
    EXPECT_EQ(table.Init(none, true), 1);
    auto noFields = std::make_unique<TCgatsTableHeader>(0);
    noFields->nrSamples = 3;
    EXPECT_EQ(table.Init(noFields, true), 2);
    // No samples is found before the empty slot.
    auto emptySlot = std::make_unique<TCgatsTableHeader>(2);
    emptySlot->SetField(TCgatsField::kDouble, "LAB_L", 0, 0, 23);
    EXPECT_EQ(table.Init(emptySlot, true), 4);
    emptySlot->nrSamples = 2;
    EXPECT_EQ(table.Init(emptySlot, true), 3);
    auto bad = HeaderOf({ "4CLR_1", "4CLR_2", "4CLR_3", "4CLR_4" });
    EXPECT_EQ(table.Init(bad, true), 7);
    auto badType = HeaderOf({ "LAB_L" });
    badType->fields[0]->type = 5;
    EXPECT_EQ(table.Init(badType, true), 6);
    // A failed Init leaves the header with the caller.
    EXPECT_TRUE(noFields && emptySlot && bad && badType);

    auto good = HeaderOf({ "SampleID", "LAB_L" }, 2);
    EXPECT_EQ(table.Init(good, true), 0);
    EXPECT_FALSE(good);
    ASSERT_EQ(table.columns.size(), 2u);
    EXPECT_EQ(table.columns[0]->GetType(), TCgatsValueList::kString);
    EXPECT_EQ(table.columns[1]->GetType(), TCgatsValueList::kDouble);
    EXPECT_TRUE(table.header->analysed);
}

TEST(TCgatsTable, PercentSpectraAreDetectedInTheFirstFiveRowsOnly)
{
    auto makeTable = [](int rows) {
        auto table = std::make_unique<TCgatsTable>();
        auto header = HeaderOf({ "SampleID", "nm400", "nm410" }, rows);
        EXPECT_EQ(table->Init(header, true), 0);
        return table;
    };
    const char* fraction[] = { "A", "0.5", "0.9" };
    const char* percent[] = { "B", "0.5", "45.3" };
    const char* ten[] = { "C", "10.0", "10" };

    auto first = makeTable(6);
    EXPECT_EQ(first->AddSample(percent), 0);
    EXPECT_TRUE(first->spectralPercent);

    auto sixth = makeTable(6);
    for (int i = 0; i < 5; ++i)
        sixth->AddSample(fraction);
    sixth->AddSample(percent);
    EXPECT_FALSE(sixth->spectralPercent);
    EXPECT_EQ(sixth->AddSample(percent), 11); // one row more than declared
    EXPECT_EQ(sixth->nrFilled, 6);

    auto exactlyTen = makeTable(1);
    exactlyTen->AddSample(ten);
    EXPECT_FALSE(exactlyTen->spectralPercent);
}

TEST(TCgatsValueList, TypesNumberingAndConversions)
{
    TCgatsValueListInt ints(2);
    TCgatsValueListDouble doubles(2);
    TCgatsValueListString strings(2);
    EXPECT_EQ(ints.GetType(), 0);
    EXPECT_EQ(doubles.GetType(), 1);
    EXPECT_EQ(strings.GetType(), 2);

    ints.SetValue(0, " 42abc");
    ints.SetValue(1, "x");
    EXPECT_EQ(ints.GetInt(0), 42);
    EXPECT_EQ(ints.GetInt(1), 0);
    EXPECT_EQ(ints.GetDouble(0), 42.0);
    EXPECT_EQ(ints.GetString(0), nullptr);

    doubles.SetValue(0, "-2.75e0xyz");
    EXPECT_EQ(doubles.GetDouble(0), -2.75);
    EXPECT_EQ(doubles.GetInt(0), -2); // truncated toward zero
    EXPECT_EQ(doubles.GetDouble(1), 0.0);

    EXPECT_EQ(strings.GetString(0), nullptr);
    strings.SetValue(0, "a b");
    EXPECT_STREQ(strings.GetString(0), "a b");
    EXPECT_EQ(strings.GetInt(0), 0);
    EXPECT_EQ(strings.GetDouble(0), 0.0);

    // Indices outside the column are ignored rather than written.
    doubles.SetValue(5, "1");
    strings.SetValue(-1, "1");
    EXPECT_EQ(doubles.GetDouble(5), 0.0);
    EXPECT_EQ(strings.GetString(-1), nullptr);
}

TEST(TCgatsValueList, DecimalCommaLocaleChangesNothing)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no decimal-comma locale installed";
    TCgatsValueListDouble doubles(1);
    doubles.SetValue(0, "1.5");
    const double value = doubles.GetDouble(0);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(value, 1.5);
}

TEST(TCgatsTags, InsertGoesAheadOfTheDataSections)
{
    auto c = A::Empty();
    A::AddTag(*c, -1, "CGATS.17", 0, "", "");
    A::AddTag(*c, 0, "ORIGINATOR", 0, "me", "");
    A::AddTag(*c, 3, "NUMBER_OF_FIELDS", 1, "2", "");
    A::AddTag(*c, 4, "BEGIN_DATA_FORMAT", 0, "", "");
    A::AddTag(*c, 24, "BEGIN_DATA", 0, "", "");

    EXPECT_EQ(A::InsertTag(*c, 2, "CREATED", 0, "today", "", -1, false), 0);
    EXPECT_EQ(A::TagNames(*c)[2], "CREATED");
    EXPECT_EQ(A::InsertTag(*c, 16, "TARGET_TYPE", 0, "x", "", 1, false), 0);
    EXPECT_EQ(A::TagNames(*c)[1], "TARGET_TYPE");
    // A position beyond the first data section is pulled back to it.
    EXPECT_EQ(A::InsertTag(*c, -1, "MINE", 0, "y", "", 6, false), 0);
    EXPECT_EQ(A::TagNames(*c),
        (std::vector<std::string> { "CGATS.17", "TARGET_TYPE", "ORIGINATOR", "CREATED", "MINE",
            "NUMBER_OF_FIELDS", "BEGIN_DATA_FORMAT", "BEGIN_DATA" }));

    // Replacing needs a valid position.
    EXPECT_EQ(A::InsertTag(*c, 2, "CREATED", 0, "tomorrow", "", 3, true), 0);
    EXPECT_STREQ(A::Tags(*c)[3]->Value(), "tomorrow");
    EXPECT_EQ(A::InsertTag(*c, 2, "CREATED", 0, "x", "", 8, true), 1);
    EXPECT_EQ(A::InsertTag(*c, 2, "CREATED", 0, "x", "", -1, true), 1);
    EXPECT_EQ(A::Tags(*c).size(), 8u);

    // Without a data section: at the position, or appended.
    auto d = A::Empty();
    A::AddTag(*d, -1, "CGATS.17", 0, "", "");
    A::AddTag(*d, 0, "ORIGINATOR", 0, "me", "");
    A::InsertTag(*d, 2, "CREATED", 0, "x", "", -1, false);
    A::InsertTag(*d, 1, "FILE_DESCRIPTOR", 0, "x", "", 1, false);
    A::InsertTag(*d, 16, "TARGET_TYPE", 0, "x", "", 9, false);
    EXPECT_EQ(A::TagNames(*d),
        (std::vector<std::string> { "CGATS.17", "FILE_DESCRIPTOR", "ORIGINATOR", "CREATED", "TARGET_TYPE" }));
}

TEST(TCgatsTags, FindChangeAndCopy)
{
    auto c = A::Empty();
    A::AddTag(*c, -1, "CGATS.17", 0, "", "");
    A::AddTag(*c, 0, "ORIGINATOR", 0, "me", "first");
    A::AddTag(*c, 0, "ORIGINATOR", 0, "you", "");
    A::AddTag(*c, -1, nullptr, 0, "", " a note");
    EXPECT_EQ(A::FindTag(*c, 0), 1);
    EXPECT_EQ(A::FindTag(*c, 2), -1);
    EXPECT_STREQ(A::GetTag(*c, 0)->Value(), "me");
    EXPECT_EQ(A::GetTag(*c, 5), nullptr);
    EXPECT_STREQ(A::GetTag(*c, "originator")->Value(), "me");
    EXPECT_STREQ(A::GetTag(*c, "cgats.17")->Name(), "CGATS.17");
    EXPECT_EQ(A::GetTag(*c, "NOPE"), nullptr);
    EXPECT_EQ(A::Tags(*c)[3]->Name(), nullptr);

    // The old comment stays unless a new one is given.
    EXPECT_EQ(A::ChangeTagValue(*c, 0, "us", nullptr), 0);
    EXPECT_STREQ(A::Tags(*c)[1]->Value(), "us");
    EXPECT_STREQ(A::Tags(*c)[1]->Comment(), "first");
    EXPECT_EQ(A::ChangeTagValue(*c, 0, "them", "second"), 0);
    EXPECT_STREQ(A::Tags(*c)[1]->Comment(), "second");
    EXPECT_EQ(A::ChangeTagValue(*c, 2, "x", ""), 1);

    // A custom tag is quoted and of kind -1; copying by kind changes the first kind -1 tag.
    EXPECT_EQ(c->AddCustomTag("MY_KEY", "v"), 0);
    const TCgatsTag* custom = A::GetTag(*c, "MY_KEY");
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->kind, -1);
    EXPECT_EQ(custom->unquoted, 0);
    // Keywords that would read back as another line are refused.
    for (const char* bad : { "", "TWO WORDS", "TAB\tBED", "HASH#", "LINE\nEND" })
        EXPECT_EQ(c->AddCustomTag(bad, "v"), 1) << bad;
    EXPECT_EQ(c->AddCustomTag(nullptr, "v"), 1);
    TCgatsTag incoming(-1, "OTHER", 0, "changed", "");
    EXPECT_EQ(A::CopyTagFrom(*c, &incoming), 0);
    EXPECT_STREQ(A::Tags(*c)[0]->Name(), "CGATS.17");
    EXPECT_STREQ(A::Tags(*c)[0]->Value(), "changed");
    TCgatsTag created(2, "CREATED", 0, "now", "");
    EXPECT_EQ(A::CopyTagFrom(*c, &created), 0);
    EXPECT_STREQ(A::GetTag(*c, 2)->Value(), "now");
}

TEST(TCgatsTags, CopyTagListRenumbersTheFieldCount)
{
    auto c = A::Empty();
    A::AddTag(*c, -1, "CGATS.17", 0, "", "");
    A::AddTag(*c, 3, "NUMBER_OF_FIELDS", 1, "10", "fields");
    A::CommentTags(*c).push_back("body\n");
    auto copy = [&](int nrColors) {
        std::vector<TCgatsTag*> tags(2, nullptr);
        std::vector<char*> bodies(1, nullptr);
        int nrTags = 0, nrBodies = 0;
        A::CopyTagList(*c, &nrTags, tags.data(), &nrBodies, bodies.data(), nrColors);
        EXPECT_EQ(nrTags, 2);
        EXPECT_EQ(nrBodies, 1);
        EXPECT_STREQ(bodies[0], "body\n");
        EXPECT_STREQ(tags[1]->Comment(), "fields");
        const std::string value = tags[1]->Value();
        for (TCgatsTag* t : tags)
            delete t;
        for (char* b : bodies)
            delete[] b;
        return value;
    };
    EXPECT_EQ(copy(0), "10");
    // Without a table the old colour count counts as -1.
    EXPECT_EQ(copy(5), "16");

    auto table = std::make_unique<TCgatsTable>();
    auto header = HeaderOf({ "SampleID", "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K" }, 1);
    ASSERT_EQ(table->Init(header, true), 0);
    A::Tables(*c).push_back(std::move(table));
    EXPECT_EQ(copy(5), "11");
    EXPECT_EQ(copy(3), "9");
    A::SetErrorCode(*c, 3);
    EXPECT_EQ(copy(5), "16");
}

TEST(TCgatsTags, TagEqualityAndConstruction)
{
    TCgatsTag a(0, "ORIGINATOR", 0, "x", nullptr);
    TCgatsTag b(0, "ORIGINATOR", 0, "x", "");
    EXPECT_TRUE(a == b);
    TCgatsTag noName(0, "", 0, nullptr, nullptr);
    EXPECT_EQ(noName.Name(), nullptr);
    EXPECT_STREQ(noName.Value(), "");
    EXPECT_TRUE(a != TCgatsTag(0, "originator", 0, "x", ""));
    EXPECT_TRUE(a != TCgatsTag(0, "ORIGINATOR", 1, "x", ""));
    EXPECT_TRUE(noName != TCgatsTag(0, "X", 0, "", ""));
}

TEST(TCgatsModel, PendingHeaderAndSamples)
{
    auto c = A::Empty();
    EXPECT_EQ(A::TmpHeader(*c), nullptr);
    EXPECT_EQ(A::InitTmpHeader(*c, 3), 0);
    ASSERT_NE(A::TmpHeader(*c), nullptr);
    EXPECT_EQ(A::TmpHeader(*c)->NrFields(), 3);
    A::InitTmpHeader(*c, -2);
    EXPECT_EQ(A::TmpHeader(*c)->NrFields(), 0);
    EXPECT_EQ(A::SetNrSamples(*c, 12), 0);
    EXPECT_EQ(A::NrSamples(*c), 12);
}
