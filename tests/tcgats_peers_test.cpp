// Files the library writes, read back here and by LittleCMS: every value and header fact whole, in
// the library's own naming and in the CGATS.17 and ArgyllCMS conventions.
#include "cgats_text.h"

#include <gtest/gtest.h>

#include <lcms2.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using Convention = TCgats::Convention;

void Quiet(cmsContext, cmsUInt32Number, const char*) { }

// The text as LittleCMS reads it; null when it refuses the text.
struct It8 {
    explicit It8(const std::string& text)
    {
        cmsSetLogErrorHandler(Quiet);
        handle = cmsIT8LoadFromMem(nullptr, text.data(), static_cast<cmsUInt32Number>(text.size()));
    }
    ~It8()
    {
        if (handle)
            cmsIT8Free(handle);
    }
    std::string Cell(const char* sample, const char* field) const
    {
        const char* text = cmsIT8GetData(handle, sample, field);
        return text ? text : "<none>";
    }
    std::string Cell(int row, int column) const
    {
        const char* text = cmsIT8GetDataRowCol(handle, row, column);
        return text ? text : "<none>";
    }
    std::string Property(const char* name) const
    {
        const char* text = cmsIT8GetProperty(handle, name);
        return text ? text : "<none>";
    }
    cmsHANDLE handle = nullptr;
};

// A file as calibration software writes it: a quoted first line, CR line ends, a bare date of
// several words, and measurements of seven to nine significant digits.
const char* kCalibration = "\"File created by Spectro Suite 2.1\"\rORIGINATOR Spectro Suite\r"
                           "CREATED Sun Sep 04 06:04:18 2022\rNUMBER_OF_FIELDS 4\rBEGIN_DATA_FORMAT\r"
                           "SAMPLE_ID LAB_L LAB_A LAB_B\rEND_DATA_FORMAT\rNUMBER_OF_SETS 2\rBEGIN_DATA\r"
                           "A1 67.89389 12.345678 -0.123456789\rA2 5.0000001 -93.2501234 1234567.89\r"
                           "END_DATA\r";
const char* const kCells[2][4] = { { "A1", "67.89389", "12.345678", "-0.123456789" },
    { "A2", "5.0000001", "-93.2501234", "1234567.89" } };
const char* const kLab[3] = { "LAB_L", "LAB_A", "LAB_B" };

} // namespace

TEST(TCgatsPeers, MeasuredDigitsHeaderValuesAndTheFirstLineReadBackWhole)
{
    auto read = Read(kCalibration);
    const std::string written = Written(*read);
    EXPECT_EQ(written.substr(0, written.find("NUMBER_OF_FIELDS")),
        " \"File created by Spectro Suite 2.1\"\nORIGINATOR\t\"Spectro Suite\"\n"
        "CREATED\t\"Sun Sep 04 06:04:18 2022\"\n");
    // Written, read, averaged with itself and written again: the same text, the same doubles as
    // the C library reads from the original digits.
    auto back = Read(written);
    EXPECT_EQ(Written(*back), written);
    EXPECT_EQ(Written(TCgats(std::vector<const TCgats*> { back.get(), read.get() })), written);
    EXPECT_STREQ(back->GetCreated(), "Sun Sep 04 06:04:18 2022");
    for (int s = 0; s < 2; ++s) {
        std::vector<double> lab;
        ASSERT_EQ(back->GetLab(0, s, lab), 0);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(lab[k], std::strtod(kCells[s][k + 1], nullptr)) << kCells[s][k + 1];
    }

    // LittleCMS refuses the file as it came (a first line it cannot place) and reads the written
    // one whole: the first line, the header values and every cell's digits.
    EXPECT_EQ(It8(kCalibration).handle, nullptr);
    const It8 it8(written);
    ASSERT_NE(it8.handle, nullptr);
    EXPECT_EQ(
        cmsIT8GetSheetType(it8.handle) + ("|" + it8.Property("CREATED")) + "|" + it8.Property("ORIGINATOR"),
        "\"File created by Spectro Suite 2.1\"|Sun Sep 04 06:04:18 2022|Spectro Suite");
    for (const auto& row : kCells)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(it8.Cell(row[0], kLab[k]), row[k + 1]);
}

TEST(TCgatsPeers, ConventionsRenameRescaleAndDescribeAndReadBack)
{
    const TCgats chart(TINTVALE_DATA_DIR "/samples/chart_reference.txt");
    ASSERT_EQ(chart.GetErrorCode(), 0);
    std::vector<double> factors;
    ASSERT_EQ(chart.GetSpectrum(0, 18, factors), 0); // the white, a flat 0.9

    // ArgyllCMS: CTI3, SAMPLE_ID, SPEC_nnn in percent with the band keywords; LittleCMS and the
    // reader here take the same values from it. The object itself is not changed.
    const std::string argyll = Written(chart, Convention::Argyll);
    EXPECT_EQ(argyll.compare(0, 5, "CTI3\n"), 0);
    const It8 it8(argyll);
    ASSERT_NE(it8.handle, nullptr);
    std::vector<std::string> keywords;
    for (const char* keyword :
        { "SPECTRAL_BANDS", "SPECTRAL_START_NM", "SPECTRAL_END_NM", "SPECTRAL_NORM", "DEVICE_CLASS" })
        keywords.push_back(it8.Property(keyword));
    EXPECT_EQ(keywords, (std::vector<std::string> { "36", "380", "730", "100", "OUTPUT" }));
    EXPECT_EQ(it8.Cell("white", "SPEC_380") + " " + it8.Cell("brown", "SPEC_380"), "90 5.023");
    EXPECT_EQ(it8.Property("MEASUREMENT_CONDITION"), "M0");
    auto back = Read(argyll);
    std::vector<double> again;
    ASSERT_EQ(back->GetSpectrum(0, 18, again), 0);
    for (std::size_t k = 0; k < factors.size(); ++k)
        EXPECT_NEAR(again[k], factors[k], 1e-15);
    std::string name;
    EXPECT_TRUE(back->GetSampleLabel(0, 18, name) == 0 && name == "white");
    EXPECT_EQ(Written(chart), Written(TCgats(TINTVALE_DATA_DIR "/samples/chart_reference.txt")));

    // A comment ahead of the first line stays ahead of the new first line.
    const std::string commented = Written(
        *Read("# hand made\nCGATS.17\n" + Table("SAMPLE_ID LAB_L", { "a 50" })), Convention::Argyll);
    EXPECT_EQ(commented.compare(0, 17, "# hand made\nCTI3\n"), 0) << commented;

    // CGATS.17: the standard names, the values as they are.
    auto cgats = Read(Written(chart, Convention::Cgats));
    EXPECT_TRUE(cgats->ContainsFieldName(0, "SAMPLE_ID") && cgats->ContainsFieldName(0, "SPECTRAL_NM_730"));
    EXPECT_FALSE(cgats->ContainsFieldName(0, "SampleID"));
    ASSERT_EQ(cgats->GetSpectrum(0, 18, again), 0);
    EXPECT_EQ(again, factors);

    // CMYK and XYZ without names: numbered samples and the device description; one spectrum alone
    // is a SPECT file; uneven bands cannot be ArgyllCMS spectra (30).
    auto cmyk = Read(
        "CGATS.17\n" + Table("CMYK_C CMYK_M CMYK_Y CMYK_K XYZ_X XYZ_Y XYZ_Z", { "0 0 0 0 90 93 77" }, true));
    const std::string device = Written(*cmyk, Convention::Argyll);
    for (const char* part :
        { "COLOR_REP\t\"CMYK_XYZ\"\n", "NUMBER_OF_FIELDS\t8\nBEGIN_DATA_FORMAT\nSAMPLE_ID\tCMYK_C",
            "BEGIN_DATA\n1\t0.0\t0.0\t0.0\t0.0\t90.0\t93.0\t77.0\t\n" })
        EXPECT_TRUE(Has(device, part)) << part;
    // An ArgyllCMS file is in percent even where its values are all small.
    auto dark = Read("CTI3\n" + Table("SAMPLE_ID SPEC_400 SPEC_410", { "1 2.5 3.5" }));
    EXPECT_TRUE(Has(Written(*dark, Convention::Argyll), "\n1\t2.5\t3.5\t\n"));
    EXPECT_TRUE(dark->GetSpectrum(0, 0, again) == 0 && again == (std::vector<double> { 0.025, 0.035 }));
    // Its band keywords stand ahead of the data format, its values shifted in decimal: 57, not
    // 0.57 * 100 = 56.99999999999999.
    const std::string spect
        = Written(*Read(Table("nm400 nm410 nm420", { "0.57 0.07 0.29" })), Convention::Argyll);
    EXPECT_EQ(spect.compare(0, 6, "SPECT\n"), 0);
    EXPECT_LT(spect.find("SPECTRAL_BANDS"), spect.find("BEGIN_DATA_FORMAT"));
    for (const char* part : { "MEAS_TYPE\t\"REFLECTIVE\"\n", "\n1\t57.0\t7.0\t29.0\t\n" })
        EXPECT_TRUE(Has(spect, part)) << spect;
    auto uneven = Read(Table("nm400 nm410 nm430", { "0.5 0.25 0.125", "0.5 0.5 0.5" }));
    int result = 0;
    Written(*uneven, Convention::Argyll, &result);
    EXPECT_TRUE(result == 30 && uneven->GetErrorCode() == TCgats::kErrConvention) << result;
    // A first line that opens a block, in any letter case, is no file type to replace.
    auto block = Read("begin_notes\nfree text\nend_notes\n" + Table("SAMPLE_ID LAB_L", { "1 50" }));
    const std::string kept = "CGATS.17\nbegin_notes\nfree text\nend_notes\n";
    EXPECT_EQ(Written(*block, Convention::Cgats).compare(0, kept.size(), kept), 0);
}

TEST(TCgatsPeers, NamesWithCommentQuoteAndBlankCharactersReadBackWhole)
{
    // LittleCMS ends a bare word at "#" (the rest of the line a comment) and at either quote; the
    // writer quotes such names, and the rows after them stay in place.
    const std::vector<std::string> names = { "a#b", "x'y", "'lead", "two words", "Gr\xC3\xBCn", "plain" };
    std::vector<std::vector<double>> lab;
    for (std::size_t s = 0; s < names.size(); ++s)
        lab.push_back({ 10.0 * static_cast<double>(s + 1), 0.5, -0.25 });
    const std::vector<std::vector<double>> noChannels(names.size());
    const TCgats c(100.0, 0.0, noChannels, lab, {}, {}, {}, names, {}, 0, 0, 0, false);
    ASSERT_EQ(c.GetErrorCode(), 0) << c.GetErrorMsg();
    const std::string written = Written(c);
    for (const char* part : { "\n\"a#b\"\t10\t", "\n\"x'y\"\t", "\nplain\t60\t" })
        EXPECT_TRUE(Has(written, part)) << part << " in\n" << written;
    for (const std::string& text : { written, Written(c, Convention::Cgats) }) {
        const It8 it8(text);
        ASSERT_NE(it8.handle, nullptr) << text;
        EXPECT_EQ(cmsIT8GetPropertyDbl(it8.handle, "NUMBER_OF_SETS"), static_cast<double>(names.size()));
        for (std::size_t s = 0; s < names.size(); ++s) {
            EXPECT_EQ(it8.Cell(static_cast<int>(s), 0), names[s]) << text;
            EXPECT_EQ(it8.Cell(static_cast<int>(s), 1), std::to_string(10 * (s + 1))) << text;
        }
        auto back = Read(text);
        std::string name;
        for (std::size_t s = 0; s < names.size(); ++s)
            EXPECT_TRUE(back->GetSampleLabel(0, static_cast<int>(s), name) == 0 && name == names[s]) << name;
    }
    // A bare header value with such bytes is written quoted too.
    auto bare = Read("CGATS.17\nLAB_NAME M\xC3\xBCller's\n" + Table("SAMPLE_ID LAB_L", { "1 50" }, true));
    const std::string header = Written(*bare);
    EXPECT_TRUE(Has(header, "\nLAB_NAME\t\"M\xC3\xBCller's\"\n")) << header;
    const It8 headerRead(header);
    ASSERT_NE(headerRead.handle, nullptr) << header;
    EXPECT_EQ(headerRead.Property("LAB_NAME"), "M\xC3\xBCller's");
    // Names no quoting can write back are refused (29), as the keyword setters refuse such values,
    // and so are such cells in a file read: a quote in a bare name, a line end in a quoted one.
    for (const char* bad : { "x\"y", "two\nlines", "cr\r" })
        EXPECT_EQ(TCgats(100.0, 0.0, { {} }, { { 50.0, 0.0, 0.0 } }, {}, {}, {}, { bad }, {}, 0, 0, 0, false)
                      .GetErrorCode(),
            TCgats::kErrUnwritableValue)
            << bad;
    for (const char* row : { "x\"y 50", "\"two\nlines\" 50" }) {
        const TCgats read(("CGATS.17\n" + Table("SAMPLE_ID LAB_L", { row, "z 60" })).c_str(), 0);
        EXPECT_EQ(read.GetErrorCode(), TCgats::kErrUnwritableValue) << row;
        EXPECT_EQ(read.GetErrorLine(), 7) << row;
    }
}

TEST(TCgatsPeers, ArgyllConventionRefusesWhatArgyllCannotRead)
{
    // spec2cie reads no "nan" or "inf", and a single band gives no spectral range ("Field
    // SPEC_-2147483648"): refused with 30 and the cause, nothing written.
    const struct {
        std::string fields, first, second, cause;
    } cases[]
        = { { "SAMPLE_ID nm400 nm410", "a 0.5 0.5", "b 0.5 nan", "Field nm410 of sample 2 is not a finite" },
              { "SAMPLE_ID nm400 nm410 LAB_L", "a inf 0.5 50", "b 0.5 0.5 50",
                  "Field nm400 of sample 1 is not a finite" },
              { "nm400 nm410", "0.5 0.5", "-inf 0.5", "Field nm400 of sample 2 is not a finite" },
              { "SAMPLE_ID nm400", "a 0.5", "b 0.25", "at least two bands" } };
    for (const auto& k : cases) {
        const TCgats c = Parsed("CGATS.17\n" + Table(k.fields, { k.first, k.second }));
        int result = 0;
        EXPECT_TRUE(Written(c, Convention::Argyll, &result).empty() && result == TCgats::kErrConvention);
        EXPECT_TRUE(Has(c.GetErrorMsg(), k.cause)) << c.GetErrorMsg();
    }
}
