// TCgats queries: presence, counts, per-sample values, colour descriptions, the solid-patch
// search and the header keywords with their defaults and setters.
#include "cgats_text.h"
#include "tcgatsinternals.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using A = TCgatsInternals;

namespace {

// Three-ink CMYK-less custom file: the process colours are PC3_1 ... PC3_3.
const std::string kSolids = "CGATS.17\nPROCESSCOLOR_ID \"Cyan ink\"\nPROCESSCOLOR_ID \"Magenta ink\"\n"
                            "PROCESSCOLOR_ID \"Yellow ink\"\nSPOT_ID \"unused\"\n"
    + Table("SampleID PC3_1 PC3_2 PC3_3 LAB_L LAB_A LAB_B nm400 nm500",
        {
            "paper 0 0 0 95 0 0 90 91", // not a solid
            "c1 100 0.4 0 55 -37 -50 20 60", // cyan solid: 0.4 is empty
            "m1 100 0.5 0 50 70 -5 1 1", // 0.5 is not empty
            "m2 0 99.5 0 48 74 -3 2 2", // 99.5 is not full
            "cm 0 100 100 47 68 -2 3 3", // two full channels
            "ym 0 0.5 100 80 -3 85 4 4", // a full channel beside one neither empty nor full
            "m3 0 100 0 48 75 -4 30 10", // magenta solid
            "c2 100 0 0 11 11 11 11 11", // a later cyan solid is ignored
        });

} // namespace

TEST(TCgatsQueries, PresenceAndCounts)
{
    auto c = Read(
        Table("SampleID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L LAB_A LAB_B XYZ_X XYZ_Y XYZ_Z InkBook nm400 nm410",
            { "a 0 0 0 0 1 2 3 4 5 6 \"Book one\" 0.1 0.2" })
        + Table("SPOT_1 SPOT_2 SampleName", { "1 2 x", "3 4 y" }));
    auto flags = [&](int t) {
        return std::vector<bool> { c->ContainsFieldName(t, "InkBook"), c->ContainsFieldName(t, "inkbook"),
            c->ContainsInkBookNames(t), c->ContainsLab(t), c->ContainsXyz(t), c->ContainsProcessColors(t),
            c->IsCMYKDefined(t), c->ContainsSpotColors(t), c->IsSpotColorDefined(t),
            c->ContainsSampleNames(t), c->ContainsWaveLengths(t), c->IsCustomDefined(t),
            c->IsNColorDefined(t) };
    };
    auto counts = [&](int t) {
        return std::vector<int> { c->GetNrFields(t), c->GetNrSamples(t), c->GetNrProcessColors(t),
            c->GetNrSpotColors(t), c->GetNrWaveLengths(t) };
    };
    EXPECT_EQ(c->GetNrTables(), 2);
    EXPECT_EQ(flags(0), (std::vector<bool> { 1, 0, 1, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0 }));
    // Only "SampleID" is the sample-name field.
    EXPECT_EQ(flags(1), (std::vector<bool> { 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0 }));
    EXPECT_EQ(flags(2), std::vector<bool>(13, false));
    EXPECT_EQ(flags(-1), std::vector<bool>(13, false));
    EXPECT_EQ(counts(0), (std::vector<int> { 14, 1, 4, 0, 2 }));
    EXPECT_EQ(counts(1), (std::vector<int> { 3, 2, 0, 2, 0 }));
    EXPECT_EQ(counts(2), (std::vector<int> { -1, -1, -1, -1, -1 }));
    EXPECT_EQ(counts(-1), (std::vector<int> { -1, -1, -1, -1, -1 }));
    std::string ink;
    EXPECT_TRUE(c->GetInkBookName(0, 0, ink) == 0 && ink == "Book one") << ink;
    // An object in error refuses most queries, but not the field and sample counts.
    A::SetErrorCode(*c, TCgats::kErrSampleCount);
    EXPECT_EQ(flags(0), std::vector<bool>(13, false));
    EXPECT_EQ(counts(0), (std::vector<int> { 14, 1, -1, -1, -1 }));
}

TEST(TCgatsQueries, PerSampleValues)
{
    auto c = Read("KEYWORD \"Code\"\n"
        + Table("SampleID CMYK_M CMYK_C CMYK_Y LAB_L LAB_A LAB_B XYZ_X XYZ_Y XYZ_Z nm420 nm400 nm410 Code",
            { "first 20 10 30 50 -5 7 20 21 22 0.5 0.3 0.4 c1", "second 1 2 3 4 5 6 7 8 9 0.6 0.7 0.8 c2" }));
    // Each query's values, or {} when it fails.
    std::vector<double> v;
    auto got = [&](int result) { return result == 0 ? v : std::vector<double> {}; };
    EXPECT_EQ(got(c->GetCoordinates(0, 0, v)), (std::vector<double> { 10, 20, 30 })); // channel order C, M, Y
    EXPECT_EQ(got(c->GetLab(0, 1, v)), (std::vector<double> { 4, 5, 6 }));
    EXPECT_EQ(got(c->GetXyz(0, 0, v)), (std::vector<double> { 20, 21, 22 }));
    EXPECT_EQ(got(c->GetSpectrum(0, 0, v)), (std::vector<double> { 0.3, 0.4, 0.5 })); // ascending wavelength
    std::vector<int> wl;
    std::string name;
    EXPECT_TRUE(c->GetWaveLengths(0, wl) == 0 && wl == (std::vector<int> { 400, 410, 420 }));
    EXPECT_TRUE(c->GetSampleName(0, 1, name) == 0 && name == "second") << name;
    // No spots, a sample and a table out of range.
    EXPECT_EQ((std::vector<int> { c->GetSpotCoordinates(0, 0, v), c->GetLab(0, 2, v), c->GetLab(1, 0, v) }),
        (std::vector<int> { -1, -1, -1 }));

    // The caller-buffer forms write into caller memory and refuse a null one.
    double buffer[3] = { -1, -1, -1 };
    double* out = buffer;
    ASSERT_EQ(c->GetLab(0, 0, &out), 0);
    EXPECT_EQ(buffer[2], 7.0);
    double* none = nullptr;
    EXPECT_EQ(c->GetLab(0, 0, &none), -1);
    int nm[3] = {};
    int* nmOut = nm;
    ASSERT_EQ(c->GetWaveLengths(0, &nmOut), 0);
    EXPECT_EQ(nm[2], 420);
    char text[16] = "junk";
    char* textOut = text;
    ASSERT_EQ(c->GetSampleName(0, 1, &textOut), 0);
    EXPECT_STREQ(text, "second");
    char* noText = nullptr;
    EXPECT_EQ(c->GetSampleName(0, 1, &noText), -1);

    // Without an "InkBook" field the caller's buffer gets the empty text.
    char ink[16] = "junk";
    char* inkOut = ink;
    EXPECT_EQ(c->GetInkBookName(0, 0, &inkOut), -1);
    EXPECT_STREQ(ink, "");
}

TEST(TCgatsQueries, ColourDescriptions)
{
    auto c = Read(kSolids);
    EXPECT_TRUE(c->ContainsCustomProcessColorDescriptions() && c->ContainsSpotDescriptions());
    std::vector<const char*> d;
    ASSERT_EQ(c->GetCustomProcessColorDescriptions(0, d), 0);
    EXPECT_EQ(std::vector<std::string>(d.begin(), d.end()),
        (std::vector<std::string> { "Cyan ink", "Magenta ink", "Yellow ink" }));
    EXPECT_EQ(c->GetSpotColorDescriptions(0, d), -1); // the table has no spots

    // Fewer descriptions than colours: -1, with those found written.
    auto few = Read("PROCESSCOLOR_ID \"only\"\n" + Table("PC2_1 PC2_2", { "1 2" }));
    const char* slots[2] = { nullptr, nullptr };
    const char** out = slots;
    EXPECT_EQ(few->GetCustomProcessColorDescriptions(0, &out), -1);
    EXPECT_TRUE(slots[0] && std::string(slots[0]) == "only" && slots[1] == nullptr);
    EXPECT_FALSE(Read("")->ContainsSpotDescriptions());
}

TEST(TCgatsQueries, SolidSearchThresholdsAndFirstWins)
{
    auto c = Read(kSolids);
    std::vector<std::vector<double>> values;
    // Yellow has no solid: 1, but cyan and magenta are filled.
    EXPECT_EQ(c->GetColorValues(0, values, false, true), 1);
    EXPECT_EQ(values, (std::vector<std::vector<double>> { { 55, -37, -50 }, { 48, 75, -4 }, {} }));

    // With a yellow solid appended every colour is found; spectra in percent come out as factors.
    std::string withYellow = kSolids;
    withYellow.replace(withYellow.find("NUMBER_OF_SETS 8"), 16, "NUMBER_OF_SETS 9");
    withYellow.insert(withYellow.find("END_DATA\n"), "y1 0 0 100 90 -5 90 5 50\n");
    auto all = Read(withYellow);
    ASSERT_EQ(all->GetColorValues(0, values, true, true), 0);
    // Percent table: 20 -> 0.2.
    EXPECT_EQ((std::vector<double> { values[0][0], values[1][0], values[2][1] }),
        (std::vector<double> { 0.20, 0.30, 0.50 }));

    EXPECT_EQ(all->GetColorValues(0, values, false, false), 1); // no spot channels

    // Only tints: nothing found and the buffers untouched.
    auto tints = Read(Table("CMYK_C CMYK_M CMYK_Y LAB_L LAB_A LAB_B", { "50 0 0 1 2 3", "0 20 0 1 2 3" }));
    double untouched[3][3] = { { -9, -9, -9 }, { -9, -9, -9 }, { -9, -9, -9 } };
    double* urows[3] = { untouched[0], untouched[1], untouched[2] };
    double** uout = urows;
    EXPECT_EQ(tints->GetProcessColorLab(0, &uout), 1);
    EXPECT_EQ(untouched[0][0], -9.0);
    EXPECT_EQ(tints->GetProcessColorSpectra(0, &uout), 1); // no spectra at all
}

TEST(TCgatsKeywords, GettersAndDefaults)
{
    auto numbers = [](const TCgats& c) {
        return std::vector<double> { c.GetGapSizeX(), c.GetGapSizeY(), c.GetPatchWidth(), c.GetPatchHeight(),
            double(c.GetInkSetNumber()), double(c.GetIsMirroredX()), double(c.GetNrOfCols()),
            double(c.GetNrOfPages()), double(c.GetNrOfRows()), double(c.GetRowLength()) };
    };
    auto none = Read("CGATS.17\n");
    EXPECT_TRUE(none->GetTargetType() == nullptr && none->GetOriginator() == nullptr);
    EXPECT_STREQ(none->GetMeasurementCondition(), "");
    EXPECT_EQ(numbers(*none), (std::vector<double> { -1, -1, 0, 0, -1, -1, 1, 1, 1, 1 }));
    // Reals are read up to the first character that is not part of a number.
    auto some = Read(
        "TARGET_TYPE \"\"\nPATCH_WIDTH 6,5\nGAP_SIZE_X abc\nGAP_SIZE_Y 2.5mm\nPATCH_HEIGHT 7\n"
        "INKSET 4\nMIRROR_X 1\nNUMBER_OF_COLS 9\nNUMBER_OF_STRIPS 3\nLGOROWLENGTH 2\n"
        "MEASUREMENT_CONDITION M1\nSPECTRO \"i1\"\nLAYOUT_VERSION 2\nGUI_NAME \"g\"\nCREATED \"2026\"\n"
        "FILE_DESCRIPTOR d\nNumberOfStrips 4\n");
    EXPECT_EQ(numbers(*some), (std::vector<double> { 0, 2.5, 6, 7, 4, 1, 9, 4, 3, 3 }));
    EXPECT_EQ(Read("LGOROWLENGTH 12\n")->GetNrOfRows(), 12); // the larger of the two row keywords
    EXPECT_STREQ(some->GetTargetType(), ""); // present but empty
    EXPECT_EQ((std::vector<std::string> { some->GetMeasurementCondition(), some->GetSpectrophotometer(),
                  some->GetVersion(), some->GetGUIName(), some->GetCreated(), some->GetFileDescriptor() }),
        (std::vector<std::string> { "M1", "i1", "2", "g", "2026", "d" }));
    for (const auto& [text, pellor] : { std::pair<const char*, bool> { "LAYOUT_TYPE Pellor\n", true },
             { "LAYOUT_TYPE pellor\n", false }, { "LAYOUT_TYPE \"Pellor \"\n", false }, { "", false } })
        EXPECT_EQ(Read(text)->IsPellorLayout(), pellor) << text;
}

TEST(TCgatsKeywords, SettersReplaceInPlaceOrInsertAheadOfTheData)
{
    auto c = Read("CGATS.17\nCREATED \"old\" # dropped\nORIGINATOR x\n" + Table("LAB_L", { "1" }));
    EXPECT_TRUE(c->SetCreated("first") == 0 && c->SetCreated("second") == 0 && c->SetTargetType(nullptr) == 0
        && c->SetInkSet(static_cast<TCMS::InkSet>(3)) == 0);
    // The object in error refuses SetInkSet but not the text setters.
    A::SetErrorCode(*c, TCgats::kErrEmptyTableHeader);
    EXPECT_EQ(c->SetInkSet(static_cast<TCMS::InkSet>(5)), TCgats::kErrEmptyTableHeader);
    EXPECT_EQ(c->SetCreated("third"), 0);
    EXPECT_EQ(A::TagNames(*c),
        (std::vector<std::string> { "CGATS.17", "CREATED", "ORIGINATOR", "TARGET_TYPE", "INKSET",
            "BEGIN_DATA_FORMAT", "END_DATA_FORMAT", "NUMBER_OF_SETS", "BEGIN_DATA", "END_DATA" }));
    EXPECT_EQ(
        A::Tags(*c)[1]->Value() + std::string("|") + A::Tags(*c)[1]->Comment() + "|" + c->GetTargetType(),
        "third||");
    EXPECT_EQ((std::vector<int> { A::Tags(*c)[1]->unquoted, A::Tags(*c)[4]->unquoted, c->GetInkSetNumber() }),
        (std::vector<int> { 0, 1, 3 }));
    // Without a data section the line is appended.
    auto bare = Read("CGATS.17\nORIGINATOR me\n");
    EXPECT_TRUE(bare->SetTargetType("x") == 0 && A::TagNames(*bare).back() == "TARGET_TYPE");
}

TEST(TCgatsQueries, CellsRefuseEveryBadRequestWithMinusOneAndWriteNothing)
{
    auto c = Read(Table("SampleID LAB_L", { "a 50.5" }));
    auto call = [&](int t, int s, int f, char** out) { return c->GetField(t, s, f, out); };
    char buffer[16] = "untouched";
    char* out = buffer;
    char* none = nullptr;
    // Table, sample and field out of range on either side, and no buffer.
    for (const auto& [t, s, f] : { std::array<int, 3> { -1, 0, 0 }, { 1, 0, 0 }, { 0, -1, 0 }, { 0, 1, 0 },
             { 0, 0, -1 }, { 0, 0, 2 } }) {
        EXPECT_EQ(call(t, s, f, &out), -1) << t << s << f;
        EXPECT_EQ(c->GetField(t, s, f, buffer, sizeof buffer), -1) << t << s << f;
    }
    EXPECT_EQ((std::vector<int> { call(0, 0, 0, &none), call(0, 0, 0, nullptr),
                  c->GetField(0, 0, 1, nullptr, 16), c->GetField(0, 0, 1, buffer, 0) }),
        std::vector<int>(4, -1));
    // "50.50000" needs nine bytes with its terminator.
    EXPECT_EQ(c->GetField(0, 0, 1, buffer, 8), -1);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(c->GetField(0, 0, 1, buffer, 9), 0);
    EXPECT_STREQ(buffer, "50.50000");
    // The other per-sample queries refuse with -1 too: no spectrum, a sample out of range, no output.
    std::vector<double> spectrum;
    std::string label;
    EXPECT_EQ((std::vector<int> { c->GetSpectrum(0, 0, spectrum), c->GetSampleLabel(0, 1, label),
                  c->GetSampleLabel(1, 0, label),
                  c->GetCustomProcessColorDescriptions(0, static_cast<const char***>(nullptr)) }),
        std::vector<int>(4, -1));
    // An object in error answers no cell.
    A::SetErrorCode(*c, TCgats::kErrSampleCount);
    EXPECT_EQ(call(0, 0, 0, &out), -1);
    EXPECT_EQ(c->GetField(0, 0, 0, buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "50.50000");
}
