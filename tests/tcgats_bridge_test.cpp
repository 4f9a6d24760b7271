// TCgats measurement bridge: measurements from table rows and back, and the Lab and ink-book
// columns added to a table.
#include "cgats_text.h"
#include "tcgatsinternals.h"

#include <tintvale/tlabmeasurement.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>
#include <tintvale/txyzmeasurement.h>

#include "shipped_fixture.h"

#include <cmath>
#include <string>
#include <vector>

using A = TCgatsInternals;

namespace {

double Value(const TCgats& c, int t, int s, const char* field)
{
    char text[128];
    return c.GetField(t, s, c.GetFieldNameIndex(t, field), text, sizeof text) == 0 ? std::stod(text) : NAN;
}

const std::string kCmyk = "SampleID CMYK_C CMYK_M CMYK_Y CMYK_K";

class Bridge : public ShippedD50 {
protected:
    TMeasGeom mGeom { 0 };
};

} // namespace

TEST_F(Bridge, SpectraAreReadInterpolatedAndWrittenBackWithLab)
{
    // Spectral and Lab columns together: the spectrum wins; the Lab values are not consulted.
    auto c = Read("CGATS.17\n"
        + Table(kCmyk + " LAB_L LAB_A LAB_B nm380 nm730",
            { "a 100 0 50 0 1 2 3 0.25 0.75", "b 0 0 0 0 4 5 6 0.5 0.5" }, true));
    auto m = c->GetMeasurement(0, 0, mD50, &mTwo, &mGeom);
    ASSERT_NE(dynamic_cast<TReflectionSpectrum*>(m.get()), nullptr);
    // The two points are joined linearly on the grid: 0.25 at 380, 0.75 at 730.
    EXPECT_NEAR(m->GetUniformSpectrum(nullptr, nullptr, nullptr)[17], 0.25 + 0.5 * 170.0 / 350.0, 1e-12);

    ASSERT_EQ(c->SetMeasurement(0, 1, m.get(), mD50, &mTwo), 0);
    EXPECT_NEAR(Value(*c, 0, 1, "nm730"), 0.75, 1e-12);
    // The Lab columns receive the spectrum's Lab under D50, from the CIE formula applied here.
    const TIlluminantAndObserver iao(mD50, &mTwo, 36);
    double xyz[3];
    iao.GetXYZ(m->GetSpectrum(), xyz, 36);
    EXPECT_NEAR(Value(*c, 0, 1, "LAB_L"), 116 * std::cbrt(xyz[1] / mWhite[1]) - 16, 1e-5);

    // Percent spectra are factors in the measurement and percent in the table.
    auto pct = Read(Table("SampleID nm400 nm410", { "a 45.3 50", "b 1 1" }, true));
    m = pct->GetMeasurement(0, 0, nullptr, nullptr, &mGeom);
    ASSERT_TRUE(m);
    EXPECT_NEAR(m->GetSpectrum()->GetUniformSpectrum(nullptr, nullptr, nullptr)[2], 0.453, 1e-12);
    ASSERT_EQ(pct->SetMeasurement(0, 1, m.get(), nullptr, nullptr), 0);
    EXPECT_NEAR(Value(*pct, 0, 1, "nm410"), 50.0, 1e-9);
    // A 5-nm spectrum is kept on the 10-nm grid; wavelengths off the grid and unevenly spaced get
    // the grid interpolated at each of them.
    auto f = [](double nm) { return 0.5 + 0.4 * std::sin(nm / 50.0); };
    std::vector<double> nm, values;
    for (double w = 380; w <= 730; w += 5) {
        nm.push_back(w);
        values.push_back(f(w));
    }
    const TReflectionSpectrum fine(TSpectrum(nm.data(), static_cast<int>(nm.size()), values.data()), &mGeom);
    auto odd = Read(Table("SampleID nm400 nm405 nm450", { "a 0 0 0" }, true));
    ASSERT_EQ(odd->SetMeasurement(0, 0, &fine, nullptr, nullptr), 0);
    std::vector<double> out;
    ASSERT_TRUE(odd->GetSpectrum(0, 0, out) == 0 && out.size() == 3u);
    EXPECT_NEAR(out[1], (f(400) + f(410)) / 2, 1e-12);
    EXPECT_NEAR(out[2], f(450), 1e-12);
}

TEST_F(Bridge, RowsWritesAndAddedColumns)
{
    auto lab = Read(Table("SampleID LAB_L LAB_A LAB_B XYZ_X XYZ_Y XYZ_Z", { "a 50 10 -20 1 2 3" }, true));
    EXPECT_NE(dynamic_cast<TLABMeasurement*>(lab->GetMeasurement(0, 0, mD50, &mTwo, &mGeom).get()), nullptr);
    // Without an illuminant no white exists for the Lab values.
    EXPECT_FALSE(
        lab->GetMeasurement(0, 0, nullptr, &mTwo, &mGeom) || lab->GetMeasurement(0, 0, mD50, &mTwo, nullptr));

    auto xyz = Read(Table("SampleID XYZ_X XYZ_Y XYZ_Z", { "a 41.2 21.3 1.9" }, true));
    auto m = xyz->GetMeasurement(0, 0, mD50, &mTwo, &mGeom);
    ASSERT_NE(dynamic_cast<TXYZMeasurement*>(m.get()), nullptr);
    double values[3];
    ASSERT_EQ(m->GetXYZ(mD50, &mTwo, values), 0);
    EXPECT_EQ(std::vector<double>(values, values + 3), (std::vector<double> { 41.2, 21.3, 1.9 }));
    // Written back, XYZ columns receive them.
    auto target = Read(Table("SampleID XYZ_X XYZ_Y XYZ_Z", { "b 0 0 0" }, true));
    ASSERT_EQ(target->SetMeasurement(0, 0, m.get(), mD50, &mTwo), 0);
    EXPECT_TRUE(Value(*target, 0, 0, "XYZ_X") == 41.2 && Value(*target, 0, 0, "XYZ_Z") == 1.9);

    // Names and channels alone make no measurement; nor do bad indices.
    EXPECT_FALSE(Read(Table(kCmyk, { "a 1 2 3 4" }, true))->GetMeasurement(0, 0, mD50, &mTwo, &mGeom));
    EXPECT_FALSE(
        xyz->GetMeasurement(0, 1, mD50, &mTwo, &mGeom) || xyz->GetMeasurement(1, 0, mD50, &mTwo, &mGeom));

    // Failed writes leave the row unchanged.
    auto c = Read(Table(
        kCmyk + " LAB_L LAB_A LAB_B nm400", { "a 10 20 30 40 50 1 2 0.5", "b 5 6 7 8 60 3 4 0.6" }, true));
    const std::string before = Written(*c);
    m = c->GetMeasurement(0, 0, mD50, &mTwo, &mGeom);
    ASSERT_TRUE(m);
    // The first: Lab needs the observer.
    EXPECT_EQ(
        (std::vector<int> { c->SetMeasurement(0, 1, m.get(), mD50, nullptr),
            c->SetMeasurement(0, 1, m.get(), nullptr, &mTwo), c->SetMeasurement(0, 2, m.get(), mD50, &mTwo),
            c->SetMeasurement(0, 1, nullptr, mD50, &mTwo) }),
        std::vector<int>(4, -1));
    const double three[3] = { 0.1, 0.2, 0.3 };
    ASSERT_EQ(m->SetCoord(3, three), 0);
    EXPECT_EQ(c->SetMeasurement(0, 1, m.get(), mD50, &mTwo), -1); // 3 coordinates, 4 channels
    EXPECT_EQ(Written(*c), before);

    // A Lab measurement writes the Lab columns and leaves the spectrum alone.
    auto one = Read(Table("SampleID LAB_L LAB_A LAB_B nm400", { "a 50 1 2 0.5" }, true));
    const TLABMeasurement labM(70, -3, 4, mWhite, &mGeom, mD50, &mTwo);
    ASSERT_EQ(one->SetMeasurement(0, 0, &labM, mD50, &mTwo), 0);
    std::vector<double> written;
    EXPECT_TRUE(one->GetLab(0, 0, written) == 0 && written == (std::vector<double> { 70, -3, 4 }));
    EXPECT_DOUBLE_EQ(Value(*one, 0, 0, "nm400"), 0.5);
    // Lab added twice adds the columns once and counts each table.
    auto cols = Read("CGATS.17\n" + Table("SampleID XYZ_X XYZ_Y XYZ_Z", { "x 1 2 3" }, true)
        + Table("SampleID CMYK_C CMYK_M CMYK_Y", { "a 1 2 3", "b 4 5 6" }, true));
    const double labRows[3][3] = { { 50, 1, 2 }, { 60, 3, 4 }, { 80, -7, -8 } };
    const double* rows[2] = { labRows[0], labRows[1] };
    const double* rows1[2] = { labRows[0], labRows[2] };
    ASSERT_EQ(cols->AddLab(1, rows), 0);
    ASSERT_EQ(cols->AddLab(1, rows1), TCgats::kErrNone);
    auto colsBack = Read(Written(*cols));
    std::vector<double> got;
    EXPECT_TRUE(colsBack->GetNrFields(1) == 7 && colsBack->GetLab(1, 1, got) == 0
        && got == (std::vector<double> { 80, -7, -8 }));

    const double* missing[2] = { labRows[0], nullptr };
    EXPECT_EQ(
        (std::vector<int> { cols->AddLab(1, nullptr), cols->AddLab(1, missing), cols->AddLab(2, rows) }),
        std::vector<int>(3, TCgats::kErrNotCgats));
    // Without a field-count line the columns are added and 1 returned.
    auto uncounted = Read(Table("SampleID XYZ_X XYZ_Y XYZ_Z", { "a 1 2 3" }));
    EXPECT_TRUE(uncounted->AddLab(0, rows) == TCgats::kErrNotCgats && uncounted->ContainsLab(0));
    // Ink-book names are declared before the format.
    auto ink = Read("CGATS.17\n" + Table("SampleID CMYK_C CMYK_M CMYK_Y", { "a 1 2 3", "b 4 5 6" }, true));
    // Fewer names than samples: refused, nothing changed.
    EXPECT_TRUE(
        ink->AddInkBookNames(0, { "only one" }) == TCgats::kErrNotCgats && A::FindTag(*ink, 29) == -1);
    ASSERT_EQ(ink->AddInkBookNames(0, { "Book 1", "Book2" }), 0);
    EXPECT_LT(A::FindTag(*ink, 29), A::FindTag(*ink, 3));
    std::string name;
    ASSERT_EQ(ink->GetInkBookName(0, 0, name), 0);
    EXPECT_EQ(name, "Book 1");
    // A second call overwrites in place; the file written again is the same text.
    ASSERT_EQ(ink->AddInkBookNames(0, { "x", "y", "z" }), 0);
    auto inkBack = Read(Written(*ink));
    EXPECT_TRUE(inkBack->GetInkBookName(0, 1, name) == 0 && name == "y") << name;
    EXPECT_EQ(Written(*inkBack), Written(*ink));
}
