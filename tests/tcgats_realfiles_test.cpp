// TCgats on files as instrument software writes them: exact value counts with the line of a fault,
// SPEC_nnn spectral columns with their keywords, long headers, custom keywords, header text, CR LF
// line ends and setters that refuse what cannot be written back. The files are written here.
#include "cgats_text.h"
#include "tcgatsinternals.h"

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tobserver.h>
#include <tintvale/tonemeasurement.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using A = TCgatsInternals;

namespace {

// Reads text, writes it, reads and writes that again: the two writings must be the same bytes.
std::string RoundTrip(const std::string& text)
{
    const std::string written = Written(*Read(text));
    EXPECT_EQ(Written(*Read(written)), written);
    return written;
}

// A reflectance spectrum of one red and one blue sample; the same formulas and "%.4f" percent
// values fed ArgyllCMS 2.3.1 spec2cie (D50, 2 degree) for the Lab values below.
double Red(double nm) { return 0.05 + 0.8 / (1.0 + std::exp(-(nm - 600.0) / 20.0)); }
double Blue(double nm) { return 0.05 + 0.75 * std::exp(-std::pow((nm - 450.0) / 30.0, 2.0)); }

// 106 bands from 380 to 730 nm, 3.33 nm apart, named by their rounded wavelength, as the most
// widely used open-source instrument software writes them.
std::string HighResolutionFile(const char* norm)
{
    const int n = 106;
    const double step = 350.0 / (n - 1);
    std::string names, rows[2];
    char text[32];
    for (int k = 0; k < n; ++k) {
        const double nm = 380.0 + step * k;
        std::snprintf(text, sizeof text, " SPEC_%03.0f", nm);
        names += text;
        std::snprintf(text, sizeof text, " %.4f", 100.0 * Red(nm));
        rows[0] += text;
        std::snprintf(text, sizeof text, " %.4f", 100.0 * Blue(nm));
        rows[1] += text;
    }
    return std::string(
               "CTI3\n\nKEYWORD \"DEVICE_CLASS\"\nDEVICE_CLASS \"OUTPUT\"\nKEYWORD \"SPECTRAL_BANDS\"\n")
        + "SPECTRAL_BANDS \"106\"\nKEYWORD \"SPECTRAL_START_NM\"\nSPECTRAL_START_NM \"380.000000\"\n"
        + "KEYWORD \"SPECTRAL_END_NM\"\nSPECTRAL_END_NM \"730.000000\"\n" + norm
        + "NUMBER_OF_FIELDS 107\nBEGIN_DATA_FORMAT\nSAMPLE_ID" + names + "\nEND_DATA_FORMAT\n"
        + "NUMBER_OF_SETS 2\nBEGIN_DATA\n1" + rows[0] + "\n2" + rows[1] + "\nEND_DATA\n";
}

} // namespace

TEST(TCgatsRealFiles, SpecColumnsWithTheirKeywordsGiveExactBandsAndLab)
{
    auto c = Read(HighResolutionFile("KEYWORD \"SPECTRAL_NORM\"\nSPECTRAL_NORM \"100.000000\"\n"));
    std::vector<double> nm;
    std::vector<int> named;
    ASSERT_TRUE(c->GetWaveLengths(0, nm) == 0 && c->GetWaveLengths(0, named) == 0 && nm.size() == 106u);
    EXPECT_EQ(named[1], 383);
    EXPECT_NEAR(nm[1], 380.0 + 10.0 / 3.0, 1e-9);
    EXPECT_NEAR(nm[104], 730.0 - 10.0 / 3.0, 1e-9);

    TIlluminantFactory factory;
    ASSERT_EQ(factory.AddDirectory(TINTVALE_DATA_DIR "/illuminants"), 0);
    TIlluminant* d50 = factory.GetIlluminant("D50");
    TObserver two(0);
    double white[3];
    TIlluminantAndObserver(d50, &two, 36).GetXYZWhite(white);
    // ArgyllCMS integrates the bands finely, the library on its 10-nm grid: they agree to 0.1.
    const double argyll[2][3] = { { 55.567, 51.6107, 48.8734 }, { 31.6222, 46.7633, -82.5608 } };
    for (int s = 0; s < 2; ++s) {
        TMeasGeom geometry;
        auto m = c->GetMeasurement(0, s, d50, &two, &geometry);
        ASSERT_TRUE(m);
        double lab[3];
        ASSERT_EQ(m->GetLAB(d50, &two, white, lab), 0);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(lab[k], argyll[s][k], 0.1) << "sample " << s << " component " << k;
    }
    // Every name is written as it was read.
    EXPECT_TRUE(Has(RoundTrip(HighResolutionFile("")), "SAMPLE_ID\tSPEC_380\tSPEC_383\tSPEC_387"));
}

TEST(TCgatsRealFiles, SpectralNormDecidesTheScale)
{
    // A dark sample in percent never exceeds 10: only the norm tells that these are percentages.
    const std::string tail = "BEGIN_DATA_FORMAT\nSPEC_400 SPEC_500\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\n"
                             "BEGIN_DATA\n4 8\nEND_DATA\n";
    // Without the norm, values up to 10 are factors.
    for (const auto& [norm, first] :
        { std::pair<std::string, double> { "SPECTRAL_NORM \"100.000000\"\n", 0.04 },
            { "SPECTRAL_NORM \"1.0\"\n", 4.0 }, { "", 4.0 } }) {
        std::vector<double> spectrum;
        ASSERT_EQ(Read("CGATS.17\n" + norm + tail)->GetSpectrum(0, 0, spectrum), 0);
        EXPECT_DOUBLE_EQ(spectrum[0], first) << norm;
    }
    // Only the first five rows decide: 45.3 first met in the sixth row is no percentage.
    std::vector<double> sixth;
    ASSERT_EQ(Read("CGATS.17\n" + Table("SPEC_400 SPEC_500", { "4 8", "4 8", "4 8", "4 8", "4 8", "45.3 8" }))
                  ->GetSpectrum(0, 5, sixth),
        0);
    EXPECT_DOUBLE_EQ(sixth[0], 45.3);
}

TEST(TCgatsRealFiles, LongCrLfHeadersWithCustomKeywordsAreWrittenBackWhole)
{
    // A type line that is not CGATS.17, 200 comment lines, keywords the library does not know and
    // values with blanks and "#", in a CR LF file: written back whole, with LF line ends, the
    // custom keywords declared ahead of their lines, bare values of several words quoted.
    std::string text
        = "CCSS   \r\n\r\nORIGINATOR \"strip #2 of 3\" # why\r\nCREATED Sun Sep 04 06:04:18 2022\r\n"
          "FILE_DESCRIPTOR a \t  b # c\r\nTARGET_TYPE \"a  b\"\r\nDISPLAY \"LCD #2\"\r\n"
          "REFERENCE_INSTRUMENT own\r\n";
    std::string expected
        = "CCSS\nORIGINATOR\t\"strip #2 of 3\"\t# why\nCREATED\t\"Sun Sep 04 06:04:18 2022\"\n"
          "FILE_DESCRIPTOR\t\"a b\"\t# c\nTARGET_TYPE\t\"a  b\"\nKEYWORD\t\"DISPLAY\"\n"
          "DISPLAY\t\"LCD #2\"\nKEYWORD\t\"REFERENCE_INSTRUMENT\"\nREFERENCE_INSTRUMENT\town\n";
    for (int i = 0; i < 200; ++i) {
        text += "# note " + std::to_string(i) + "\r\n";
        expected += "# note " + std::to_string(i) + "\n";
    }
    text += "BEGIN_NOTES\r\n  first\r\nsecond\r\nEND_NOTES\r\nNUMBER_OF_FIELDS 2\r\nBEGIN_DATA_FORMAT\r\n"
            "SAMPLE_ID SPEC_380\r\nEND_DATA_FORMAT\r\nNUMBER_OF_SETS 1\r\nBEGIN_DATA\r\n\"END_DATA\" 0.5\r\n"
            "END_DATA\r\n";
    expected += "BEGIN_NOTES\n  first\nsecond\nEND_NOTES\nNUMBER_OF_FIELDS\t2\nBEGIN_DATA_FORMAT\n"
                "SAMPLE_ID\tSPEC_380\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t1\nBEGIN_DATA\n\"END_DATA\"\t0."
                "5\t\nEND_DATA\n";
    EXPECT_EQ(RoundTrip(text), expected);
    auto c = Read(text);
    EXPECT_EQ((std::vector<std::string> {
                  c->GetOriginator(), c->GetCreated(), c->GetFileDescriptor(), c->GetTargetType() }),
        (std::vector<std::string> { "strip #2 of 3", "Sun Sep 04 06:04:18 2022", "a b", "a  b" }));
}

TEST(TCgatsRealFiles, SettersRefuseWhatCannotBeWrittenBack)
{
    const std::function<int(TCgats&, const char*)> setters[]
        = { [](TCgats& c, const char* v) { return c.SetOriginator(v); },
              [](TCgats& c, const char* v) { return c.SetCreated(v); },
              [](TCgats& c, const char* v) { return c.AddCustomTag("NOTE", v); },
              [](TCgats& c, const char* v) { return c.SetWeightingFunction(v, "2 degree"); } };
    for (const char* value : { "measured\nBEGIN_NOTES", "a\rb", "say \"x\"" }) {
        for (const auto& set : setters) {
            auto c = Read("CGATS.17\nORIGINATOR \"me\"\n");
            const std::string before = Written(*c);
            EXPECT_EQ(set(*c, value), TCgats::kErrUnwritableValue) << value;
            EXPECT_EQ(Written(*c), before) << value;
            EXPECT_EQ(c->GetErrorCode(), 0);
        }
    }
    auto c = Read("CGATS.17\nORIGINATOR \"me\"\n");
    // Keywords that would read back as another line are refused too.
    for (const char* bad :
        { "", "TWO WORDS", "TAB\tBED", "HASH#", "LINE\nEND", static_cast<const char*>(nullptr) })
        EXPECT_EQ(c->AddCustomTag(bad, "v"), TCgats::kErrNotCgats) << (bad ? bad : "null");
    EXPECT_EQ(c->SetOriginator("# not a comment"), 0);
    EXPECT_STREQ(Read(Written(*c))->GetOriginator(), "# not a comment");
}
