// TCgats measurement bridge: measurements from table rows and back, and the Lab and ink-book
// columns added to a table.
#include "cgats_text.h"
#include "tcgats_test_access.h"

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlabmeasurement.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tobserver.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>
#include <tintvale/txyzmeasurement.h>

#include "shipped_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using A = TCgatsTestAccess;

namespace {

std::vector<double> Values(const TCgats& c, int t, int s, const char* field)
{
    std::vector<double> out;
    const int i = c.GetFieldNameIndex(t, field);
    EXPECT_GE(i, 0) << field;
    char text[128];
    if (i >= 0 && c.GetField(t, s, i, text, sizeof text) == 0)
        out.push_back(std::stod(text));
    return out;
}

double Value(const TCgats& c, int t, int s, const char* field)
{
    const auto v = Values(c, t, s, field);
    return v.empty() ? NAN : v[0];
}

const char* const kCmykFields = "SampleID CMYK_C CMYK_M CMYK_Y CMYK_K";

class Bridge : public ShippedD50 {
protected:
    TMeasGeom mGeom { 0 };
};

} // namespace

TEST_F(Bridge, SpectralTablesGiveReflectionSpectraWithCoordinates)
{
    // Spectral and Lab columns together: the spectrum wins; the Lab values are not consulted.
    auto c = Read("CGATS.17\n"
        + Table(std::string(kCmykFields) + " LAB_L LAB_A LAB_B nm380 nm730",
            { "a 100 0 50 0 1 2 3 0.25 0.75", "b 0 0 0 0 4 5 6 0.5 0.5" }, true));
    auto m = c->GetMeasurement(0, 0, mD50, &mTwo, &mGeom);
    ASSERT_TRUE(m);
    ASSERT_NE(dynamic_cast<TReflectionSpectrum*>(m.get()), nullptr);
    int n = 0;
    const double* coords = m->GetCoord(&n);
    ASSERT_EQ(n, 4);
    EXPECT_DOUBLE_EQ(coords[0], 0.0);
    EXPECT_DOUBLE_EQ(coords[1], 1.0);
    EXPECT_DOUBLE_EQ(coords[2], 0.5);
    EXPECT_DOUBLE_EQ(coords[3], 1.0);
    // The two points are joined linearly on the grid: 0.25 at 380, 0.75 at 730, 0.5 half way.
    const double* grid = m->GetUniformSpectrum(nullptr, nullptr, nullptr);
    ASSERT_NE(grid, nullptr);
    EXPECT_NEAR(grid[0], 0.25, 1e-12);
    EXPECT_NEAR(grid[35], 0.75, 1e-12);
    EXPECT_NEAR(grid[17], 0.25 + 0.5 * 170.0 / 350.0, 1e-12);

    // Written back into the other row: the tints and the spectrum of the first.
    ASSERT_EQ(c->SetMeasurement(0, 1, m.get(), mD50, &mTwo), 0);
    std::vector<double> tints;
    ASSERT_EQ(c->GetCoordinates(0, 1, tints), 0);
    EXPECT_EQ(tints, (std::vector<double> { 100, 0, 50, 0 }));
    EXPECT_NEAR(Value(*c, 0, 1, "nm380"), 0.25, 1e-12);
    EXPECT_NEAR(Value(*c, 0, 1, "nm730"), 0.75, 1e-12);
    // The Lab columns receive the spectrum's Lab under D50, computed here independently.
    const TIlluminantAndObserver iao(mD50, &mTwo, 36);
    double white[3], xyz[3];
    iao.GetXYZWhite(white);
    iao.GetXYZ(m->GetSpectrum(), xyz, 36);
    const double fy = std::cbrt(xyz[1] / white[1]);
    EXPECT_NEAR(Value(*c, 0, 1, "LAB_L"), 116 * fy - 16, 1e-5);
    EXPECT_NEAR(Value(*c, 0, 1, "LAB_A"), 500 * (std::cbrt(xyz[0] / white[0]) - fy), 1e-5);
}

TEST_F(Bridge, PercentSpectraAreFactorsInTheMeasurementAndPercentInTheTable)
{
    auto c = Read(Table("SampleID nm400 nm410", { "a 45.3 50", "b 1 1" }, true));
    auto m = c->GetMeasurement(0, 0, nullptr, nullptr, &mGeom);
    ASSERT_TRUE(m);
    EXPECT_NEAR(m->GetSpectrum()->GetUniformSpectrum(nullptr, nullptr, nullptr)[2], 0.453, 1e-12);
    EXPECT_EQ(m->GetCoord(nullptr), nullptr); // no process colours, no coordinates
    ASSERT_EQ(c->SetMeasurement(0, 1, m.get(), nullptr, nullptr), 0);
    EXPECT_NEAR(Value(*c, 0, 1, "nm400"), 45.3, 1e-9);
    EXPECT_NEAR(Value(*c, 0, 1, "nm410"), 50.0, 1e-9);
}

TEST_F(Bridge, LabAndXyzTables)
{
    auto lab = Read(Table("SampleID LAB_L LAB_A LAB_B XYZ_X XYZ_Y XYZ_Z", { "a 50 10 -20 1 2 3" }, true));
    auto m = lab->GetMeasurement(0, 0, mD50, &mTwo, &mGeom);
    ASSERT_NE(dynamic_cast<TLABMeasurement*>(m.get()), nullptr);
    const double* white = mWhite;
    double values[3];
    ASSERT_EQ(m->GetLAB(mD50, &mTwo, white, values), 0);
    EXPECT_DOUBLE_EQ(values[0], 50);
    EXPECT_DOUBLE_EQ(values[1], 10);
    EXPECT_DOUBLE_EQ(values[2], -20);
    // Without an illuminant no white exists for the Lab values.
    EXPECT_FALSE(lab->GetMeasurement(0, 0, nullptr, &mTwo, &mGeom));
    EXPECT_FALSE(lab->GetMeasurement(0, 0, mD50, &mTwo, nullptr));

    auto xyz = Read(Table("SampleID XYZ_X XYZ_Y XYZ_Z", { "a 41.2 21.3 1.9" }, true));
    m = xyz->GetMeasurement(0, 0, mD50, &mTwo, &mGeom);
    ASSERT_NE(dynamic_cast<TXYZMeasurement*>(m.get()), nullptr);
    ASSERT_EQ(m->GetXYZ(mD50, &mTwo, values), 0);
    EXPECT_DOUBLE_EQ(values[0], 41.2);
    EXPECT_DOUBLE_EQ(values[1], 21.3);
    EXPECT_DOUBLE_EQ(values[2], 1.9);

    // Names and channels alone make no measurement; nor do bad indices.
    auto bare = Read(Table(kCmykFields, { "a 1 2 3 4" }, true));
    EXPECT_FALSE(bare->GetMeasurement(0, 0, mD50, &mTwo, &mGeom));
    EXPECT_FALSE(xyz->GetMeasurement(0, 1, mD50, &mTwo, &mGeom));
    EXPECT_FALSE(xyz->GetMeasurement(1, 0, mD50, &mTwo, &mGeom));
    EXPECT_FALSE(xyz->GetMeasurement(0, -1, mD50, &mTwo, &mGeom));
}

TEST_F(Bridge, FailedWritesLeaveTheRowUnchanged)
{
    auto c = Read(Table(std::string(kCmykFields) + " LAB_L LAB_A LAB_B nm400",
        { "a 10 20 30 40 50 1 2 0.5", "b 5 6 7 8 60 3 4 0.6" }, true));
    const std::string before = [&] {
        char* b = nullptr;
        c->WriteToBuffer(&b);
        std::string s = b;
        delete[] b;
        return s;
    }();
    auto m = c->GetMeasurement(0, 0, mD50, &mTwo, &mGeom);
    ASSERT_TRUE(m);
    EXPECT_EQ(c->SetMeasurement(0, 1, m.get(), mD50, nullptr), -1); // Lab needs the observer
    EXPECT_EQ(c->SetMeasurement(0, 1, m.get(), nullptr, &mTwo), -1);
    const double three[3] = { 0.1, 0.2, 0.3 };
    ASSERT_EQ(m->SetCoord(3, three), 0);
    EXPECT_EQ(c->SetMeasurement(0, 1, m.get(), mD50, &mTwo), -1); // 3 coordinates, 4 channels
    EXPECT_EQ(c->SetMeasurement(0, 2, m.get(), mD50, &mTwo), -1);
    EXPECT_EQ(c->SetMeasurement(0, 1, nullptr, mD50, &mTwo), -1);
    char* after = nullptr;
    c->WriteToBuffer(&after);
    EXPECT_EQ(before, after);
    delete[] after;
}

TEST_F(Bridge, LabMeasurementLeavesTheSpectrumAlone)
{
    auto c = Read(Table("SampleID LAB_L LAB_A LAB_B nm400", { "a 50 1 2 0.5" }, true));
    const double* white = mWhite;
    const TLABMeasurement lab(70, -3, 4, white, &mGeom, mD50, &mTwo);
    ASSERT_EQ(c->SetMeasurement(0, 0, &lab, mD50, &mTwo), 0);
    EXPECT_DOUBLE_EQ(Value(*c, 0, 0, "LAB_L"), 70);
    EXPECT_DOUBLE_EQ(Value(*c, 0, 0, "LAB_A"), -3);
    EXPECT_DOUBLE_EQ(Value(*c, 0, 0, "LAB_B"), 4);
    EXPECT_DOUBLE_EQ(Value(*c, 0, 0, "nm400"), 0.5);
}

TEST_F(Bridge, SpectraAreResampledAtTheTableWavelengths)
{
    // A 5-nm spectrum: the measurement keeps it on the 10-nm grid, where its points lie exactly.
    auto f = [](double nm) { return 0.5 + 0.4 * std::sin(nm / 50.0); };
    std::vector<double> nm, values;
    for (double w = 380; w <= 730; w += 5) {
        nm.push_back(w);
        values.push_back(f(w));
    }
    const TSpectrum spectrum(nm.data(), static_cast<int>(nm.size()), values.data());
    const TReflectionSpectrum m(spectrum, &mGeom);

    std::string fields = "SampleID";
    std::string row = "a";
    for (int w = 400; w <= 700; w += 10) {
        fields += " nm" + std::to_string(w);
        row += " 0";
    }
    auto c = Read(Table(fields, { row }, true));
    ASSERT_EQ(c->GetNrWaveLengths(0), 31);
    ASSERT_EQ(c->SetMeasurement(0, 0, &m, nullptr, nullptr), 0);
    std::vector<double> out;
    ASSERT_EQ(c->GetSpectrum(0, 0, out), 0);
    ASSERT_EQ(out.size(), 31u);
    for (int k = 0; k < 31; ++k)
        EXPECT_NEAR(out[k], f(400 + 10 * k), 1e-12) << 400 + 10 * k;

    // Wavelengths off the grid and unevenly spaced get the linear interpolation of the grid at
    // each of them, not at evenly spaced points between the first and the last.
    auto uneven = Read(Table("SampleID nm400 nm405 nm450", { "a 0 0 0" }, true));
    ASSERT_EQ(uneven->SetMeasurement(0, 0, &m, nullptr, nullptr), 0);
    ASSERT_EQ(uneven->GetSpectrum(0, 0, out), 0);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_NEAR(out[1], (f(400) + f(410)) / 2, 1e-12);
    EXPECT_NEAR(out[2], f(450), 1e-12);
}

TEST(TCgatsAddLab, TwiceAddsTheColumnsOnce)
{
    auto c = Read("CGATS.17\n" + Table("SampleID CMYK_C CMYK_M CMYK_Y", { "a 1 2 3", "b 4 5 6" }, true));
    const double lab0[2][3] = { { 50, 1, 2 }, { 60, 3, 4 } };
    const double* rows[2] = { lab0[0], lab0[1] };
    ASSERT_EQ(c->AddLab(0, rows), 0);
    EXPECT_EQ(c->GetNrFields(0), 7);
    EXPECT_TRUE(c->ContainsLab(0));
    const double lab1[2][3] = { { 70, 5, 6 }, { 80, -7, -8 } };
    const double* rows1[2] = { lab1[0], lab1[1] };
    ASSERT_EQ(c->AddLab(0, rows1), 0);
    EXPECT_EQ(c->GetNrFields(0), 7);
    EXPECT_STREQ(A::GetTag(*c, 3)->Value(), "7");

    auto back = Read(Written(*c));
    std::vector<double> lab;
    ASSERT_EQ(back->GetLab(0, 1, lab), 0);
    EXPECT_EQ(lab, (std::vector<double> { 80, -7, -8 }));
    EXPECT_EQ(back->GetNrProcessColors(0), 3);

    EXPECT_EQ(c->AddLab(0, nullptr), 1);
    const double* missing[2] = { lab1[0], nullptr };
    EXPECT_EQ(c->AddLab(0, missing), 1);
    EXPECT_EQ(c->AddLab(1, rows), 1);
}

TEST(TCgatsAddLab, SecondTableKeepsBothFieldCountsRightAndAnUncountedTableGivesOne)
{
    auto c = Read("CGATS.17\n" + Table("SampleID XYZ_X XYZ_Y XYZ_Z", { "a 1 2 3" }, true)
        + Table("SampleID CMYK_C CMYK_M CMYK_Y", { "b 4 5 6" }, true));
    const double lab[3] = { 50, 1, 2 };
    const double* rows[1] = { lab };
    ASSERT_EQ(c->AddLab(1, rows), 0);
    auto back = Read(Written(*c));
    EXPECT_EQ(back->GetNrFields(0), 4);
    EXPECT_EQ(back->GetNrFields(1), 7);
    EXPECT_TRUE(back->ContainsLab(1));

    // Without a field-count line the columns are added and 1 returned.
    auto uncounted = Read(Table("SampleID XYZ_X XYZ_Y XYZ_Z", { "a 1 2 3" }));
    EXPECT_EQ(uncounted->AddLab(0, rows), 1);
    EXPECT_TRUE(uncounted->ContainsLab(0));
}

TEST(TCgatsInkBook, NamesAreAddedDeclaredAndReadBack)
{
    auto c = Read("CGATS.17\n" + Table("SampleID CMYK_C CMYK_M CMYK_Y", { "a 1 2 3", "b 4 5 6" }, true));
    // Fewer names than samples: refused, nothing changed.
    EXPECT_EQ(c->AddInkBookNames(0, { "only one" }), 1);
    EXPECT_FALSE(c->ContainsInkBookNames(0));
    EXPECT_EQ(A::FindTag(*c, 29), -1);

    ASSERT_EQ(c->AddInkBookNames(0, { "Book 1", "Book2" }), 0);
    EXPECT_TRUE(c->ContainsInkBookNames(0));
    EXPECT_STREQ(A::GetTag(*c, 3)->Value(), "5");
    EXPECT_STREQ(A::GetTag(*c, 29)->Value(), "InkBook");
    // The declaration goes before the data format.
    EXPECT_LT(A::FindTag(*c, 29), A::FindTag(*c, 3));

    // A second call overwrites in place.
    ASSERT_EQ(c->AddInkBookNames(0, { "x", "y", "z" }), 0);
    EXPECT_EQ(c->GetNrFields(0), 5);
    auto back = Read(Written(*c));
    std::string name;
    ASSERT_EQ(back->GetInkBookName(0, 1, name), 0);
    EXPECT_EQ(name, "y");
    // The file written again is the same text.
    EXPECT_EQ(Written(*back), Written(*c));

    // Without a field-count line the column is added and 1 returned.
    auto uncounted = Read(Table("SampleID CMYK_C CMYK_M CMYK_Y", { "a 1 2 3" }));
    EXPECT_EQ(uncounted->AddInkBookNames(0, { "n" }), 1);
    EXPECT_TRUE(uncounted->ContainsInkBookNames(0));
}
