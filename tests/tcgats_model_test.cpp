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
#include <utility>
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

TEST(TCgatsVocabulary, KeywordsMatchCaseSensitivelyAndErrorsKeepTheirMessage)
{
    auto c = A::Empty();
    const std::pair<const char*, int> rows[] = { { "ORIGINATOR", 0 }, { "NUMBER_OF_FIELDS", 3 },
        { "BEGIN_DATA", 24 }, { "KEYWORD", 29 }, { "NumberOfStrips", 30 }, { "NUMBEROFSTRIPS", -1 },
        { "NUMBER_OF_STRIPS", 32 }, { "ADD_CUTTING_LINE", 54 }, { "originator", -1 }, { "CGATS.17", -1 },
        { "", -1 }, { nullptr, -1 } };
    for (const auto& [text, kind] : rows)
        EXPECT_EQ(A::MatchTag(*c, text), kind) << (text ? text : "null");
    EXPECT_FALSE(A::SetErrorCode(*c, 12));
    const char* longest = "Number of header fields found doesn't match number of header fields declared.";
    EXPECT_STREQ(c->GetErrorMsg(), longest); // 77 characters, whole
    EXPECT_TRUE(A::SetErrorCode(*c, 0)); // only reports
    EXPECT_FALSE(A::SetErrorCode(*c, 30)); // a code without a message keeps the previous one
    EXPECT_EQ(c->GetErrorCode(), 30);
    EXPECT_STREQ(c->GetErrorMsg(), longest);
}

TEST(TCgatsMatchField, PatternsVocabularyAndDeclaredNames)
{
    auto c = A::Empty();
    const int spectral = TCgatsField::kSpectral;
    const struct {
        const char* name;
        int result, category, index;
        std::string canonical; // checked when not empty
    } rows[] = { { "nm380", 0, spectral, 380, "" }, { "SPECTRAL_NM_400", 0, spectral, 400, "" },
        { "NM_400", 0, spectral, 400, "" }, { "SPECTRAL_NM400", 0, spectral, 400, "" },
        { "SPECTRAL_400", 0, spectral, 400, "" }, { "6CLR_2", 0, TCgatsField::kNColor, 1, "" },
        { "SPOT_3", 0, TCgatsField::kSpot, 2, "" }, { "PC5_4", 0, TCgatsField::kCustomProcess, 3, "" },
        { "SPOT_0", 0, TCgatsField::kSpot, -1, "" }, // channel zero is left to the header analysis
        { "SPECTRAL_NM", 14, TCgatsField::kStandard, -99, "" }, // the exact vocabulary name
        { "spectral_400", -1, -99, -99, "" }, { "nm-5", -1, -99, -99, "" },
        { "lab_l", 23, TCgatsField::kStandard, -99, "LAB_L" },
        { "CHI_SQD_PAR", 39, TCgatsField::kStandard, -99, "" },
        { "cmyk_k", 5, TCgatsField::kStandard, -99, "" }, { "UNKNOWN_FIELD", -1, -99, -99, "" },
        // Sample-name spellings are declared on first use, then found as declared.
        { "SampleName", 0, TCgatsField::kKeyword, -99, "" },
        { "sample_name", 1, TCgatsField::kKeyword, -99, "sample_name" },
        { "SAMPLENAME", 0, TCgatsField::kKeyword, -99, "" } };
    for (const auto& r : rows) {
        const Match m = Classify(*c, r.name);
        EXPECT_EQ(m.result, r.result) << r.name;
        EXPECT_EQ(m.category, r.category) << r.name;
        EXPECT_TRUE(r.index == -99 || m.index == r.index) << r.name << ": " << m.index;
        EXPECT_TRUE(r.canonical.empty() || m.canonical == r.canonical) << r.name << ": " << m.canonical;
    }
    EXPECT_EQ(A::CustomFields(*c).size(), 2u);
    EXPECT_EQ(Classify(*c, "LAB_L").type, TCgatsField::kDouble);
    EXPECT_EQ(Classify(*c, "string").type, TCgatsField::kString);
    int x = 0;
    std::string s;
    EXPECT_EQ(A::MatchField(*c, nullptr, &x, &x, &x, &s), -1);
    EXPECT_EQ(A::MatchField(*c, "LAB_L", &x, nullptr, &x, &s), -1);
    // Declared names come before the vocabulary, but patterns still come first.
    A::AddCustomField(*c, "LAB_L");
    A::AddCustomField(*c, "nm400");
    EXPECT_EQ(Classify(*c, "lab_l").category, TCgatsField::kKeyword);
    EXPECT_EQ(Classify(*c, "nm400").category, TCgatsField::kSpectral);
    EXPECT_EQ(A::AddCustomField(*c, "") + A::AddCustomField(*c, nullptr), 2);
}

TEST(TCgatsAnalyse, ColourKindChannelOrderAndCompleteColumnGroups)
{
    using H = TCgatsTableHeader;
    using V = std::vector<int>;
    // Field names; Analyse's result, colour model, colour, spot, wavelength, Lab and XYZ fields.
    const struct {
        std::vector<std::string> names;
        int result, model = H::kNoColor; // omitted columns are empty
        V colors {}, spots {}, wavelengths {}, lab {}, xyz {};
    } rows[] = { // Three CMYK channels, incomplete Lab not kept.
        { { "SampleID", "CMYK_C", "CMYK_M", "CMYK_Y", "LAB_L" }, 0, H::kCmyk, { 1, 2, 3 } },
        // Channel order follows C, M, Y, K, not the header order.
        { { "CMYK_K", "CMYK_Y", "CMYK_M", "CMYK_C" }, 0, H::kCmyk, { 3, 2, 1, 0 } },
        // Without cyan there is no colour kind, and process colours are then not considered.
        { { "CMYK_M", "CMYK_Y", "CMYK_K", "PC2_1", "PC2_2" }, 0 },
        { { "6CLR_1", "6CLR_2", "6CLR_3", "6CLR_4", "6CLR_5", "6CLR_6" }, 0, H::kNColor,
            { 0, 1, 2, 3, 4, 5 } },
        // Fewer than five channels, or a channel beyond the count, fail.
        { { "4CLR_1", "4CLR_2", "4CLR_3", "4CLR_4" }, 1 },
        { { "6CLR_1", "6CLR_2", "6CLR_3", "6CLR_4", "6CLR_5", "6CLR_6", "6CLR_7" }, 1 },
        // A channel repeated instead of another: the count matches but one channel is missing.
        { { "5CLR_1", "5CLR_2", "5CLR_3", "5CLR_4", "5CLR_4", "PC1_1" }, 0 },
        // Fewer N-colour fields than the count: the custom process colours decide.
        { { "5CLR_1", "5CLR_2", "PC2_2", "PC2_1", "LAB_L" }, 0, H::kCustom, { 3, 2 } },
        // A count larger than the header's fields fails (its array is never made).
        { { "5CLR_1", "5CLR_2", "PC2_2", "PC2_1" }, 1 },
        { { "SampleID", "PC3_3", "PC3_1", "PC3_2", "SPOT_2", "SPOT_1" }, 0, H::kCustom, { 2, 3, 1 },
            { 5, 4 } },
        { { "SPOT_1", "SPOT_2" }, 0, H::kSpotColor, {}, { 0, 1 } },
        { { "SPOT_1", "SPOT_3" }, 1 }, // spot 3 of two spots
        { { "SPOT_0" }, 1 }, { { "PC2_1", "PC2_3" }, 1 },
        // Wavelengths ascend, ties in header order.
        { { "SampleID", "nm700", "nm400", "nm550" }, 0, H::kNoColor, {}, {}, { 2, 3, 1 } },
        { { "nm500", "SPECTRAL_400", "NM_500", "nm400" }, 0, H::kNoColor, {}, {}, { 1, 3, 0, 2 } },
        { { "nm10", "nm0" }, 0, H::kNoColor, {}, {}, { 1, 0 } }, // zero is a wavelength
        // Lab and XYZ only when complete.
        { { "LAB_B", "XYZ_X", "LAB_L", "XYZ_Y", "LAB_A" }, 0, H::kNoColor, {}, {}, {}, { 2, 4, 0 } },
        { { "XYZ_Z", "XYZ_Y", "XYZ_X" }, 0, H::kNoColor, {}, {}, {}, {}, { 2, 1, 0 } }
    };
    for (const auto& r : rows) {
        const std::string what = r.names[0] + " ... " + r.names.back();
        auto h = Analysed(r.names, r.result);
        EXPECT_EQ(h->analysed, r.result == 0) << what;
        EXPECT_EQ(h->colorModel, r.model) << what;
        EXPECT_EQ((std::vector<V> {
                      h->colorFields, h->spotFields, h->waveLengthFields, h->labFields, h->xyzFields }),
            (std::vector<V> { r.colors, r.spots, r.wavelengths, r.lab, r.xyz }))
            << what;
        EXPECT_EQ(h->nrColors, static_cast<int>(r.colors.size())) << what;
        EXPECT_EQ(h->sampleIdField, r.names[0] == "SampleID" && r.result == 0 ? 0 : -1) << what;
    }
    // Only a field named exactly SampleID is the sample-name column.
    EXPECT_EQ(Analysed({ "SampleName", "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K" })->sampleIdField, -1);
}

TEST(TCgatsAnalyse, WavelengthListNeedsAnAnalysedSpectralHeader)
{
    int wl[3] = { 0, 0, 0 };
    ASSERT_EQ(Analysed({ "SampleID", "nm700", "nm400", "nm550" })->GetWaveLengths(wl), 0);
    EXPECT_EQ(std::vector<int>(wl, wl + 3), (std::vector<int> { 400, 550, 700 }));
    EXPECT_EQ(Analysed({ "LAB_L" })->GetWaveLengths(wl), 1);
    EXPECT_EQ(HeaderOf({ "nm400" })->GetWaveLengths(wl), 1);
    // A spectral field with a negative wavelength can only be made by hand; it fails.
    auto bad = HeaderOf({ "nm400" });
    bad->AppendField(TCgatsField(TCgatsField::kDouble, "odd", TCgatsField::kSpectral, -10, 0));
    EXPECT_EQ(bad->Analyse(), 1);
}

TEST(TCgatsTableHeader, SlotsAndAppending)
{
    TCgatsTableHeader h(2);
    EXPECT_EQ(h.Analyse(), 1); // empty slots
    EXPECT_EQ(h.AppendField(TCgatsField(TCgatsField::kDouble, "LAB_L", 0, 0, 23)), 1);
    EXPECT_EQ(h.SetField(TCgatsField::kString, "", 1, 0, 0), 1); // invalid
    EXPECT_EQ(h.SetField(TCgatsField::kString, "SampleID", 1, 0, 0), 0);
    EXPECT_EQ(h.SetField(TCgatsField::kDouble, "LAB_L", 0, 0, 23), 0);
    EXPECT_EQ(h.SetField(TCgatsField::kDouble, "LAB_A", 0, 0, 24), 1); // full
    EXPECT_EQ(std::make_pair(h.FindField("LAB_L"), h.FindField("lab_l")), std::make_pair(1, -1));
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
    EXPECT_TRUE(table.header->analysed);
}

TEST(TCgatsTable, PercentSpectraAreDetectedInTheFirstFiveRowsOnly)
{
    const std::vector<const char*> fraction = { "A", "0.5", "0.9" }, percent = { "B", "0.5", "45.3" },
                                   ten = { "C", "10.0", "10" };
    const struct {
        std::vector<std::vector<const char*>> rows;
        bool percent;
    } cases[] = { { { percent }, true }, { { ten }, false },
        { { fraction, fraction, fraction, fraction, fraction, percent }, false } };
    for (const auto& k : cases) {
        TCgatsTable table;
        auto header = HeaderOf({ "SampleID", "nm400", "nm410" }, static_cast<int>(k.rows.size()));
        ASSERT_EQ(table.Init(header, true), 0);
        for (const auto& row : k.rows)
            EXPECT_EQ(table.AddSample(row.data()), 0);
        EXPECT_EQ(table.spectralPercent, k.percent) << k.rows.size();
        EXPECT_EQ(table.AddSample(percent.data()), 11); // one row more than declared
        EXPECT_EQ(table.nrFilled, static_cast<int>(k.rows.size()));
    }
}

TEST(TCgatsValueList, ConversionsBetweenColumnTypes)
{
    TCgatsValueListInt ints(2);
    TCgatsValueListDouble doubles(2);
    TCgatsValueListString strings(2);
    ints.SetValue(0, " 42abc");
    ints.SetValue(1, "x");
    doubles.SetValue(0, "-2.75e0xyz");
    EXPECT_EQ((std::vector<double> { double(ints.GetInt(0)), double(ints.GetInt(1)), ints.GetDouble(0),
                  doubles.GetDouble(0), double(doubles.GetInt(0)) }),
        (std::vector<double> { 42, 0, 42, -2.75, -2 })); // Int truncates toward zero
    EXPECT_EQ(strings.GetString(0), nullptr);
    strings.SetValue(0, "a b");
    EXPECT_STREQ(strings.GetString(0), "a b");
    // Indices outside the column are ignored rather than written.
    doubles.SetValue(5, "1");
    strings.SetValue(-1, "1");
    EXPECT_EQ(doubles.GetDouble(5), 0.0);
    EXPECT_EQ(strings.GetString(-1), nullptr);
}

TEST(TCgatsTags, InsertChangeCopyAndCustomTags)
{
    auto c = A::Empty();
    A::AddTag(*c, -1, "CGATS.17", 0, "", "");
    A::AddTag(*c, 0, "ORIGINATOR", 0, "me", "first");
    A::AddTag(*c, 3, "NUMBER_OF_FIELDS", 1, "2", "");
    A::AddTag(*c, 4, "BEGIN_DATA_FORMAT", 0, "", "");
    A::AddTag(*c, 24, "BEGIN_DATA", 0, "", "");
    EXPECT_EQ(A::InsertTag(*c, 2, "CREATED", 0, "today", "", -1, false), 0);
    EXPECT_EQ(A::InsertTag(*c, 16, "TARGET_TYPE", 0, "x", "", 1, false), 0);
    EXPECT_EQ(A::InsertTag(*c, -1, "MINE", 0, "y", "", 6, false), 0); // pulled back to the data
    EXPECT_EQ(A::TagNames(*c),
        (std::vector<std::string> { "CGATS.17", "TARGET_TYPE", "ORIGINATOR", "CREATED", "MINE",
            "NUMBER_OF_FIELDS", "BEGIN_DATA_FORMAT", "BEGIN_DATA" }));
    // Replacing needs a valid position.
    EXPECT_EQ(A::InsertTag(*c, 2, "CREATED", 0, "tomorrow", "", 3, true), 0);
    EXPECT_STREQ(A::Tags(*c)[3]->Value(), "tomorrow");
    EXPECT_EQ(A::InsertTag(*c, 2, "CREATED", 0, "x", "", 8, true), 1);

    // The first tag of a kind changes; the old comment stays unless a new one is given.
    A::AddTag(*c, 0, "ORIGINATOR", 0, "you", "");
    EXPECT_EQ(A::ChangeTagValue(*c, 0, "us", nullptr), 0);
    EXPECT_STREQ(A::Tags(*c)[2]->Value(), "us");
    EXPECT_STREQ(A::Tags(*c)[2]->Comment(), "first");
    EXPECT_EQ(A::ChangeTagValue(*c, 0, "them", "second"), 0);
    EXPECT_STREQ(A::Tags(*c)[2]->Comment(), "second");
    EXPECT_STREQ(A::Tags(*c).back()->Value(), "you");
    EXPECT_EQ(A::ChangeTagValue(*c, 20, "x", ""), 1);
    // A custom tag is quoted and of kind -1, found ignoring case; keywords that would read back
    // as another line are refused.
    EXPECT_EQ(c->AddCustomTag("MY_KEY", "v"), 0);
    const TCgatsTag* custom = A::GetTag(*c, "my_key");
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->kind, -1);
    EXPECT_EQ(custom->unquoted, 0);
    for (const char* bad :
        { "", "TWO WORDS", "TAB\tBED", "HASH#", "LINE\nEND", static_cast<const char*>(nullptr) })
        EXPECT_EQ(c->AddCustomTag(bad, "v"), 1) << (bad ? bad : "null");
    // Copying by kind changes the first tag of that kind (kind -1: the first line).
    TCgatsTag incoming(-1, "OTHER", 0, "changed", "");
    EXPECT_EQ(A::CopyTagFrom(*c, &incoming), 0);
    EXPECT_STREQ(A::Tags(*c)[0]->Name(), "CGATS.17");
    EXPECT_STREQ(A::Tags(*c)[0]->Value(), "changed");
    TCgatsTag created(2, "CREATED", 0, "now", "");
    EXPECT_EQ(A::CopyTagFrom(*c, &created), 0);
    EXPECT_STREQ(A::GetTag(*c, 2)->Value(), "now");
}
