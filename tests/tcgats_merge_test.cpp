// TCgats merging and comparison: averages of several files, equality within 0.01, the same
// measurements and the same sample list; and a file built, saved, measured and extended end to end.
#include "tcgats_test_access.h"
#include "temp_dir.h"

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tobserver.h>
#include <tintvale/tonemeasurement.h>

#include "cielab_reference.h"
#include "shipped_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using A = TCgatsTestAccess;

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

TEST(TCgatsAverage, IntColumnsRoundHalfAwayFromZero)
{
    TCgats a = Build({ { 10, 20, 30 }, { 0, 0, 0 } }, { { 50, 1, 2 }, { 60, 0, 0 } }, { "first", "p" });
    TCgats b = Build({ { 20, 40, 30 }, { 0, 0, 0 } }, { { 51, 2, 2 }, { 60, 0, 0 } }, { "second", "q" });
    // Column 4 is LAB_L, made Int here: 1 and 2 average to 2, -1 and -2 to -2.
    MakeIntColumn(a, 4, { 1, -1 });
    MakeIntColumn(b, 4, { 2, -2 });
    TCgats c = Build({ { 0, 0, 0 }, { 0, 0, 0 } }, { { 0, 0, 0 }, { 0, 0, 0 } });
    MakeIntColumn(c, 4, { 0, -3 });

    TCgats avg(std::vector<const TCgats*> { &a, &b });
    ASSERT_EQ(avg.GetErrorCode(), 0) << avg.GetErrorMsg();
    EXPECT_EQ(Cell(avg, 0, 4), 2);
    EXPECT_EQ(Cell(avg, 1, 4), -2);
    std::vector<double> tints;
    ASSERT_EQ(avg.GetCoordinates(0, 0, tints), 0);
    EXPECT_EQ(tints, (std::vector<double> { 15, 30, 30 }));
    EXPECT_DOUBLE_EQ(Cell(avg, 0, 5), 1.5);
    std::string name;
    ASSERT_EQ(avg.GetSampleName(0, 0, name), 0);
    EXPECT_EQ(name, "first"); // texts come from the first file

    // Three files: (1 + 2 + 0) / 3 = 1; (-1 - 2 - 3) / 3 = -2; the Double mean of 10, 20, 0.
    TCgats three(std::vector<const TCgats*> { &a, &b, &c });
    ASSERT_EQ(three.GetErrorCode(), 0);
    EXPECT_EQ(Cell(three, 0, 4), 1);
    EXPECT_EQ(Cell(three, 1, 4), -2);
    EXPECT_DOUBLE_EQ(Cell(three, 0, 1), 10);

    // One file is its copy.
    TCgats one(std::vector<const TCgats*> { &a });
    EXPECT_TRUE(one == a);
}

TEST(TCgatsAverage, IncompatibleFilesFail)
{
    TCgats a = Build({ { 10, 20, 30 } }, { { 50, 1, 2 } });
    TCgats twoSamples = Build({ { 10, 20, 30 }, { 1, 2, 3 } }, { { 50, 1, 2 }, { 1, 2, 3 } });
    TCgats noLab = Build({ { 10, 20, 30 } }, {});
    TCgats otherName(100.0, 0.0, { { 10, 20, 30 } }, { { 50, 1, 2 } }, {}, {}, {}, {}, { "x", "y", "z" }, 0,
        0, 0,
        true); // PC3_* instead of CMYK_*
    TCgats failed(static_cast<const TCgats*>(nullptr));
    for (const std::vector<const TCgats*>& files :
        { std::vector<const TCgats*> {}, std::vector<const TCgats*> { &a, nullptr },
            std::vector<const TCgats*> { &a, &failed }, std::vector<const TCgats*> { &a, &twoSamples },
            std::vector<const TCgats*> { &a, &noLab }, std::vector<const TCgats*> { &a, &otherName } }) {
        TCgats avg(files);
        EXPECT_EQ(avg.GetErrorCode(), 1) << files.size();
        EXPECT_STREQ(avg.GetErrorMsg(), "The file is not a valid Cgats file.");
    }
    // A different number of tables.
    const std::string table = "BEGIN_DATA_FORMAT\nSampleID LAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\n"
                              "BEGIN_DATA\na 1\nEND_DATA\n";
    TCgats oneTable(table.c_str(), 0), twoTables((table + table).c_str(), 0);
    EXPECT_EQ(TCgats(std::vector<const TCgats*> { &oneTable, &twoTables }).GetErrorCode(), 1);
}

TEST(TCgatsCompare, EqualityWithinOneHundredth)
{
    const TCgats base = Build({ { 10, 20, 30 } }, { { 50, 1, 2 } });
    EXPECT_TRUE(base == Build({ { 10, 20, 30 } }, { { 50.005, 1, 2 } }));
    EXPECT_FALSE(base == Build({ { 10, 20, 30 } }, { { 50.02, 1, 2 } }));
    EXPECT_TRUE(base != Build({ { 10, 20, 30 } }, { { 50.02, 1, 2 } }));
    EXPECT_FALSE(base == Build({ { 10, 20, 30 } }, { { 50, 1, 2 } }, { "other" }));
    TCgats tagged(base);
    tagged.SetOriginator("x");
    EXPECT_FALSE(base == tagged);
    // The error state takes no part.
    TCgats failing(base);
    A::SetErrorCode(failing, 30);
    EXPECT_TRUE(base == failing);
}

TEST(TCgatsCompare, SameMeasurementsAndSameSampleList)
{
    const TCgats base = Build({ { 10, 20, 30 }, { 40, 50, 60 } }, { { 50, 1, 2 }, { 60, 3, 4 } });
    const TCgats otherTints = Build({ { 11, 20, 30 }, { 40, 50, 60 } }, { { 50.005, 1, 2 }, { 60, 3, 4 } });
    const TCgats otherLab = Build({ { 10.5, 20, 30 }, { 40, 50, 60 } }, { { 50, 1, 2 }, { 60, 3.5, 4 } });
    EXPECT_TRUE(base.HasSameMeasurementsAs(otherTints));
    EXPECT_FALSE(base.HasSameMeasurementsAs(otherLab));
    EXPECT_FALSE(base.HasSameMeasurementsAs(Build({ { 10, 20, 30 }, { 40, 50, 60 } }, {})));
    EXPECT_FALSE(base.HasSameMeasurementsAs(Build({ { 10, 20, 30 } }, { { 50, 1, 2 } })));

    EXPECT_TRUE(base.HasSameSampleListAs(otherLab, 0.5));
    EXPECT_FALSE(base.HasSameSampleListAs(otherLab, 0.4));
    EXPECT_FALSE(base.HasSameSampleListAs(otherTints, 0.5));
    const TCgats four = Build({ { 10, 20, 30, 0 }, { 40, 50, 60, 0 } }, {});
    EXPECT_FALSE(base.HasSameSampleListAs(four, 1.0));

    // Wavelengths must agree in count and value.
    const std::vector<std::vector<double>> spectra = { { 0.5, 0.6 } };
    const TCgats s1(100, 0, { { 1, 2, 3 } }, {}, {}, spectra, { 400, 410 }, {}, {}, 0, 0, 0, false);
    const TCgats s2(100, 0, { { 1, 2, 3 } }, {}, {}, spectra, { 400, 420 }, {}, {}, 0, 0, 0, false);
    const TCgats s3(100, 0, { { 1, 2, 3 } }, {}, {}, { { 0.5, 0.62 } }, { 400, 410 }, {}, {}, 0, 0, 0, false);
    EXPECT_TRUE(s1.HasSameMeasurementsAs(s1));
    EXPECT_FALSE(s1.HasSameMeasurementsAs(s2));
    EXPECT_FALSE(s1.HasSameMeasurementsAs(s3));
}

using TCgatsEndToEnd = ShippedD50;

TEST_F(TCgatsEndToEnd, BuiltSavedMeasuredAndExtendedWithLab)
{
    TIlluminant* d50 = mD50;
    TObserver& two = mTwo;
    const double* white = mWhite;
    TMeasGeom geom(0);

    // Four smooth reflectances on the 36-point grid and CMYK tints on a 0 ... 255 scale.
    std::vector<double> wavelengths;
    for (int k = 0; k < 36; ++k)
        wavelengths.push_back(380 + 10 * k);
    std::vector<std::vector<double>> spectra, coords;
    for (int s = 0; s < 4; ++s) {
        std::vector<double> r;
        for (double w : wavelengths)
            r.push_back(0.45 + 0.4 * std::sin((w - 380) / (60.0 + 25 * s) + s));
        spectra.push_back(r);
        coords.push_back({ 255.0 * s / 3, 0, 255, 51 });
    }
    const TCgats built(255.0, 0.0, coords, {}, {}, spectra, wavelengths, {}, {}, 0, 0, 0, false);
    ASSERT_EQ(built.GetErrorCode(), 0) << built.GetErrorMsg();

    TempDir dir;
    const std::string first = dir.File("built.txt"), second = dir.File("with lab.txt");
    ASSERT_EQ(built.SaveAs(first.c_str()), 0);
    TCgats read(first.c_str());
    ASSERT_EQ(read.GetErrorCode(), 0) << read.GetErrorMsg();
    ASSERT_EQ(read.GetNrSamples(0), 4);

    const TIlluminantAndObserver iao(d50, &two, 36);
    std::vector<std::vector<double>> labs;
    for (int s = 0; s < 4; ++s) {
        auto m = read.GetMeasurement(0, s, d50, &two, &geom);
        ASSERT_TRUE(m) << s;
        int n = 0;
        const double* c = m->GetCoord(&n);
        ASSERT_EQ(n, 4);
        EXPECT_NEAR(c[0], 1.0 - s / 3.0, 1e-6); // tints pass through text: 33.3333
        EXPECT_DOUBLE_EQ(c[2], 0.0);
        std::vector<double> lab(3);
        ASSERT_EQ(m->GetLAB(d50, &two, white, lab.data()), 0);
        labs.push_back(lab);
    }
    std::vector<const double*> rows;
    for (const auto& lab : labs)
        rows.push_back(lab.data());
    ASSERT_EQ(read.AddLab(0, rows.data()), 0);
    ASSERT_EQ(read.SaveAs(second.c_str()), 0);

    TCgats final(second.c_str());
    ASSERT_EQ(final.GetErrorCode(), 0) << final.GetErrorMsg();
    EXPECT_EQ(final.GetNrFields(0), 1 + 4 + 36 + 3);
    for (int s = 0; s < 4; ++s) {
        // Direct computation from the arrays: the 36 values weighted by the D50 and 2° products.
        double xyz[3];
        ASSERT_EQ(iao.GetXYZ(spectra[s].data(), xyz, 36), 0);
        std::vector<double> expected(3);
        reference::XYZToLab(xyz, white, expected.data());
        std::vector<double> lab;
        ASSERT_EQ(final.GetLab(0, s, lab), 0);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(lab[k], expected[k], 2e-3) << s << " " << k;
    }
    // The channel tints survived both round trips.
    EXPECT_TRUE(final.HasSameSampleListAs(read, 1e-4));
}
