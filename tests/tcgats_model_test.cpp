// TCgats model: vocabulary look-ups, error state, field-name classification, header analysis.
#include "tcgatsinternals.h"

#include "tcgatsfield.h"
#include "tcgatstableheader.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

using A = TCgatsInternals;

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
    const std::pair<const char*, int> rows[]
        = { { "ORIGINATOR", 0 }, { "NUMBER_OF_FIELDS", 3 }, { "BEGIN_DATA", 24 }, { "KEYWORD", 29 },
              { "NumberOfStrips", 30 }, { "NUMBEROFSTRIPS", -1 }, { "NUMBER_OF_STRIPS", 32 },
              { "ADD_CUTTING_LINE", 54 }, { "SPECTRAL_START_NM", -1 }, // after the vocabulary
              { "originator", -1 }, { "CGATS.17", -1 }, { "", -1 }, { nullptr, -1 } };
    for (const auto& [text, kind] : rows)
        EXPECT_EQ(A::MatchTag(*c, text), kind) << (text ? text : "null");
    EXPECT_FALSE(A::SetErrorCode(*c, TCgats::kErrFieldCount));
    const char* longest = "Number of header fields found doesn't match number of header fields declared.";
    EXPECT_STREQ(c->GetErrorMsg(), longest); // 77 characters, whole
    // No error only reports; a number that is no code keeps the message.
    EXPECT_TRUE(A::SetErrorCode(*c, TCgats::kErrNone) && !A::SetErrorCode(*c, TCgats::kErrNrCodes));
    EXPECT_EQ(c->GetErrorCode(), TCgats::kErrNrCodes);
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
    int x = 0;
    std::string s;
    EXPECT_EQ((std::vector<int> { static_cast<int>(A::CustomFields(*c).size()), Classify(*c, "LAB_L").type,
                  Classify(*c, "string").type, A::MatchField(*c, nullptr, &x, &x, &x, &s),
                  A::MatchField(*c, "LAB_L", &x, nullptr, &x, &s) }),
        (std::vector<int> { 2, TCgatsField::kDouble, TCgatsField::kString, -1, -1 }));
    // Declared names come before the vocabulary, but patterns still come first.
    A::AddCustomField(*c, "LAB_L");
    A::AddCustomField(*c, "nm400");
    EXPECT_TRUE(Classify(*c, "lab_l").category == TCgatsField::kKeyword
        && Classify(*c, "nm400").category == TCgatsField::kSpectral);
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

TEST(TCgatsErrors, EveryCodeHasItsOwnMessageAndTableErrorsTranslate)
{
    std::set<std::string> seen;
    for (int code = TCgats::kErrLineTooLong; code < TCgats::kErrNrCodes; ++code) {
        const char* message = TCgats::Message(code);
        ASSERT_NE(message, nullptr) << code;
        EXPECT_TRUE(seen.insert(message).second) << code << ": " << message; // no message twice
    }
    EXPECT_TRUE(TCgats::Message(TCgats::kErrNrCodes) == nullptr && TCgats::Message(-2) == nullptr);
    // Table codes: 10 (the text ended) and 0 are code 1, too many or too few rows 13, an empty
    // slot 12, a bad ink map 8; anything unknown 1.
    const std::pair<int, int> rows[] = { { 10, 1 }, { 0, 1 }, { 11, 13 }, { 5, 13 }, { 3, 12 }, { 13, 8 },
        { 1, 6 }, { 2, 14 }, { 7, 17 }, { 14, 26 }, { 15, 31 }, { 16, 29 }, { 17, 1 }, { -1, 1 } };
    for (const auto& [table, file] : rows)
        EXPECT_EQ(A::TableErrorToCgatsError(table), file) << table;
}
