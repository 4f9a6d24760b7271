// TCgats merging and comparison: averages of several files, equality within 0.01, the same
// measurements and the same sample list.
#include "tcgatsinternals.h"

#include "cgats_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using A = TCgatsInternals;

namespace {

TCgats Build(const std::vector<std::vector<double>>& coords, const std::vector<std::vector<double>>& lab,
    const std::vector<std::string>& names = {})
{
    TCgats c(100.0, 0.0, coords, lab, {}, {}, {}, names, {}, 0, 0, 0, false);
    EXPECT_EQ(c.GetErrorCode(), 0) << c.GetErrorMsg();
    return c;
}

// Makes column field of table 0 an Int column holding values (the reader makes none).
void MakeIntColumn(TCgats& c, int field, const std::vector<int>& values)
{
    TCgatsTable& table = *A::Tables(c)[0];
    table.header->fields[field]->type = TCgatsField::kInt;
    auto list = std::make_unique<TCgatsValueListInt>(static_cast<int>(values.size()));
    for (std::size_t s = 0; s < values.size(); ++s)
        list->Set(static_cast<int>(s), values[s]);
    table.columns[field] = std::move(list);
}

double Cell(const TCgats& c, int s, int field)
{
    char text[64];
    EXPECT_EQ(c.GetField(0, s, field, text, sizeof text), 0);
    return std::stod(text);
}

} // namespace

TEST(TCgatsMerge, AveragesAndComparisons)
{
    TCgats a = Build({ { 10, 20, 30 }, { 0, 0, 0 } }, { { 50, 1, 2 }, { 60, 0, 0 } });
    TCgats b = Build({ { 10, 20, 30 }, { 0, 0, 0 } }, { { 51, 2, 2 }, { 60, 0, 0 } });
    TCgats c = Build({ { 10, 20, 30 }, { 0, 0, 0 } }, { { 0, 0, 0 }, { 0, 0, 0 } });
    // Column 4 is LAB_L, made Int here: halves round away from zero.
    MakeIntColumn(a, 4, { 1, -1 });
    MakeIntColumn(b, 4, { 2, -2 });
    MakeIntColumn(c, 4, { 1, -3 });
    TCgats avg(std::vector<const TCgats*> { &a, &b }), three(std::vector<const TCgats*> { &a, &b, &c });
    ASSERT_EQ(avg.GetErrorCode(), 0) << avg.GetErrorMsg();
    // Three files: (1 + 2 + 1) / 3 = 1.33 rounds down to 1; (-1 - 2 - 3) / 3 = -2.
    EXPECT_EQ(
        (std::vector<double> { Cell(avg, 0, 4), Cell(avg, 1, 4), Cell(three, 0, 4), Cell(three, 1, 4) }),
        (std::vector<double> { 2, -2, 1, -2 }));
    // Incompatible files fail.
    TCgats one = Build({ { 10, 20, 30 } }, { { 50, 1, 2 } });
    TCgats twoSamples = Build({ { 10, 20, 30 }, { 1, 2, 3 } }, { { 50, 1, 2 }, { 1, 2, 3 } });
    TCgats noLab = Build({ { 10, 20, 30 } }, {});
    // PC3_* instead of CMYK_*
    TCgats otherName(
        100.0, 0.0, { { 10, 20, 30 } }, { { 50, 1, 2 } }, {}, {}, {}, {}, { "x", "y", "z" }, 0, 0, 0, true);
    TCgats failed(static_cast<const TCgats*>(nullptr));
    const std::string table = "BEGIN_DATA_FORMAT\nSampleID LAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\n"
                              "BEGIN_DATA\na 1\nEND_DATA\n";
    TCgats oneTable(table.c_str(), 0), twoTables((table + table).c_str(), 0);
    // A number in the first column is averaged like any other.
    const std::string labOnly
        = "BEGIN_DATA_FORMAT\nLAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n";
    TCgats light((labOnly + "50 1 2\nEND_DATA\n").c_str(), 0),
        dark((labOnly + "52 1 2\nEND_DATA\n").c_str(), 0);
    std::vector<double> mean;
    ASSERT_EQ(TCgats(std::vector<const TCgats*> { &light, &dark }).GetLab(0, 0, mean), 0);
    EXPECT_EQ(mean, (std::vector<double> { 51, 1, 2 }));
    // The same numbers under other field names are another file.
    const std::string xyzOnly
        = "BEGIN_DATA_FORMAT\nXYZ_X XYZ_Y XYZ_Z\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n";
    EXPECT_FALSE(light == TCgats((xyzOnly + "50 1 2\nEND_DATA\n").c_str(), 0));
    for (const std::vector<const TCgats*>& files :
        { std::vector<const TCgats*> {}, { &one, nullptr }, { &one, &failed }, { &one, &twoSamples },
            { &one, &noLab }, { &one, &otherName }, { &oneTable, &twoTables } })
        EXPECT_EQ(TCgats(files).GetErrorCode(), TCgats::kErrNotCgats) << files.size();
    // Equality within 0.01, the same measurements and the same sample list.
    const TCgats base = Build({ { 10, 20, 30 } }, { { 50, 1, 2 } });
    EXPECT_TRUE(base == Build({ { 10, 20, 30 } }, { { 50.005, 1, 2 } }));
    EXPECT_TRUE(base != Build({ { 10, 20, 30 } }, { { 50.011, 1, 2 } }));
    EXPECT_FALSE(base == Build({ { 10, 20, 30 } }, { { 50, 1, 2 } }, { "other" }));
    TCgats tagged(base);
    tagged.SetOriginator("x");
    EXPECT_FALSE(base == tagged);
    TCgats failing(base); // the error state takes no part
    A::SetErrorCode(failing, TCgats::kErrConvention);
    EXPECT_TRUE(base == failing);

    const TCgats two = Build({ { 10, 20, 30 }, { 40, 50, 60 } }, { { 50, 1, 2 }, { 60, 3, 4 } });
    const TCgats otherTints = Build({ { 11, 20, 30 }, { 40, 50, 60 } }, { { 50.005, 1, 2 }, { 60, 3, 4 } });
    const TCgats otherLab = Build({ { 10.5, 20, 30 }, { 40, 50, 60 } }, { { 50, 1, 2 }, { 60, 3.5, 4 } });
    EXPECT_EQ((std::vector<bool> { two.HasSameMeasurementsAs(otherTints), two.HasSameMeasurementsAs(otherLab),
                  two.HasSameMeasurementsAs(Build({ { 10, 20, 30 }, { 40, 50, 60 } }, {})),
                  two.HasSameMeasurementsAs(base), two.HasSameSampleListAs(otherLab, 0.5),
                  two.HasSameSampleListAs(otherLab, 0.4), two.HasSameSampleListAs(otherTints, 0.5),
                  two.HasSameSampleListAs(Build({ { 10, 20, 30, 0 }, { 40, 50, 60, 0 } }, {}), 1.0) }),
        (std::vector<bool> { true, false, false, false, true, false, false, false }));
    // Int columns differ as whole numbers.
    TCgats ints = base, other = base;
    MakeIntColumn(ints, 4, { 1 });
    MakeIntColumn(other, 4, { 2 });
    EXPECT_FALSE(ints == other);
    MakeIntColumn(other, 4, { 1 });
    EXPECT_TRUE(ints == other);

    // Wavelengths and spectral values must agree.
    auto spectral = [](double nm, double value) {
        return TCgats(
            100, 0, { { 1, 2, 3 } }, {}, {}, { { 0.5, value } }, { 400, nm }, {}, {}, 0, 0, 0, false);
    };
    EXPECT_TRUE(spectral(410, 0.6).HasSameMeasurementsAs(spectral(410, 0.6))
        && !spectral(410, 0.6).HasSameMeasurementsAs(spectral(420, 0.6))
        && !spectral(410, 0.6).HasSameMeasurementsAs(spectral(410, 0.62)));
}

// Averaging pairs each row with its partner: by name when both files name their samples, else by
// position; a name without partner, a pair whose device values differ, or files that state other
// conditions are refused with the sample or the condition named.
TEST(TCgatsMerge, AveragesPairTheSamePatchesOnly)
{
    const TCgats a
        = Build({ { 0, 0, 0 }, { 100, 0, 0 } }, { { 95, 0.1, -2 }, { 55, -37, -50 } }, { "p", "c" });
    const TCgats reordered
        = Build({ { 100, 0, 0 }, { 0, 0, 0 } }, { { 57, -37, -50 }, { 96, 0.2, -2 } }, { "c", "p" });
    const TCgats avg(std::vector<const TCgats*> { &a, &reordered });
    ASSERT_EQ(avg.GetErrorCode(), 0) << avg.GetErrorMsg();
    std::vector<double> lab, second;
    ASSERT_TRUE(avg.GetLab(0, 0, lab) == 0 && avg.GetLab(0, 1, second) == 0);
    // (0.1 + 0.2) / 2 is 0.15000000000000002 in binary; a mean keeps 15 significant digits.
    EXPECT_EQ(lab, (std::vector<double> { 95.5, 0.15, -2 }));
    EXPECT_EQ(second, (std::vector<double> { 56, -37, -50 }));

    const TCgats other
        = Build({ { 100, 0, 0 }, { 0, 0, 0 } }, { { 57, -37, -50 }, { 96, 0, -2 } }, { "c", "q" });
    const TCgats twice = Build({ { 0, 0, 0 }, { 0, 0, 0 } }, { { 95, 0, -2 }, { 96, 0, -2 } }, { "p", "p" });
    const TCgats yellow
        = Build({ { 0, 0, 100 }, { 100, 0, 0 } }, { { 95, 0, -2 }, { 55, -37, -50 } }, { "p", "c" });
    const struct {
        const TCgats& file;
        const char* message;
    } refused[] = { { other, "Sample \"p\" has no partner of that name in every file." },
        { twice, "Sample \"c\" has no partner of that name in every file." },
        { yellow, "Sample \"p\": field CMYK_Y differs between the files." } };
    // A long name is cut to 40 characters, so that the message fits the library's message.
    const std::string longName(50, 'n');
    const TCgats longNamed
        = Build({ { 0, 0, 0 }, { 100, 0, 0 } }, { { 95, 0, -2 }, { 55, -37, -50 } }, { longName, "c" });
    EXPECT_EQ(std::string(TCgats(std::vector<const TCgats*> { &longNamed, &a }).GetErrorMsg()),
        "Sample \"" + std::string(40, 'n') + "...\" has no partner of that name in every file.");
    for (const auto& r : refused) {
        const TCgats failed(std::vector<const TCgats*> { &a, &r.file });
        EXPECT_EQ(failed.GetErrorCode(), TCgats::kErrNotCgats);
        EXPECT_STREQ(failed.GetErrorMsg(), r.message);
    }

    // Without names, the rows of the same position must be the same patch.
    const std::string format = "CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L LAB_A LAB_B";
    const auto plain = Read(Table(format, { "0 0 0 0 95 0 -2", "100 0 0 0 55 -37 -50" }));
    const auto swapped = Read(Table(format, { "100 0 0 0 55 -37 -50", "0 0 0 0 95 0 -2" }));
    const auto shifted = Read(Table(format, { "0 0 0 0 97 0 -2", "100 0 0 0 57 -37 -50" }));
    EXPECT_EQ(TCgats(std::vector<const TCgats*> { plain.get(), shifted.get() }).GetErrorCode(), 0);
    EXPECT_STREQ(TCgats(std::vector<const TCgats*> { plain.get(), swapped.get() }).GetErrorMsg(),
        "Sample \"1\": field CMYK_C differs between the files.");

    // Conditions: letter case and the unstated default aside, they must agree.
    const std::string rows = Table("SAMPLE_ID LAB_L LAB_A LAB_B", { "w 95 0 0" });
    const auto stated = [&](const std::string& header) { return Read("CGATS.17\n" + header + rows); };
    const auto m0 = stated("MEASUREMENT_CONDITION \"M0 ZA\"\n");
    const auto m0lower = stated("MEASUREMENT_CONDITION \"m0 za\"\n");
    const auto m1 = stated("MEASUREMENT_CONDITION \"M1\"\n");
    const auto d50 = stated("KEYWORD \"ILLUMINANT\"\nILLUMINANT \"CIE Illuminant D50\"\n");
    const auto d65 = stated("KEYWORD \"ILLUMINANT\"\nILLUMINANT \"D65\"\n");
    const auto unstated = stated("");
    const auto tenDegree = stated("KEYWORD \"OBSERVER\"\nOBSERVER \"10\"\n");
    EXPECT_EQ(TCgats(std::vector<const TCgats*> { m0.get(), m0lower.get() }).GetErrorCode(), 0);
    EXPECT_EQ(TCgats(std::vector<const TCgats*> { d50.get(), unstated.get() }).GetErrorCode(), 0);
    EXPECT_STREQ(TCgats(std::vector<const TCgats*> { m0.get(), m1.get() }).GetErrorMsg(),
        "The files state different MEASUREMENT_CONDITIONs (M0 ZA, M1).");
    EXPECT_STREQ(TCgats(std::vector<const TCgats*> { unstated.get(), d65.get() }).GetErrorMsg(),
        "The files state different illuminants (D50, D65).");
    EXPECT_STREQ(TCgats(std::vector<const TCgats*> { unstated.get(), tenDegree.get() }).GetErrorMsg(),
        "The files state different observers (2 degree, 10 degree).");
}
