// The shipped CIE illuminants, the fluorescent lamps above all: colour temperatures, white points,
// the ASTM weights under 2° and the lamps' own spectra under 10°, and the matching search under them.
#include <tintvale/tcgats.h>
#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlabmeasurement.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tobserver.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kDeltaE2000 = 2;

TIlluminant* Shipped(const std::string& name)
{
    static TIlluminantFactory factory;
    static const bool loaded = factory.AddDirectory(TINTVALE_DATA_DIR "/illuminants") == 0;
    return loaded ? factory.GetIlluminant(("CIE Illuminant " + name).c_str()) : nullptr;
}

double DeltaE(const double* a, const double* b, int i)
{
    return std::sqrt(TLabSpace::CalcSquareDeltaEConvertedStatic(a, b, i));
}

// Lab of a spectrum under io, relative to io's white.
void LabOf(const TIlluminantAndObserver& io, const TSpectrum& spectrum, double* lab)
{
    double white[3], xyz[3];
    io.GetXYZWhite(white);
    ASSERT_EQ(io.GetXYZ(&spectrum, xyz, 36), 0);
    TLabSpace(white).XYZToLab(xyz, lab);
}

} // namespace

// CIE 15:2004: Table T.8.1 for F1-F12, the nominal temperatures of A and D50-D75. C and E have
// none there: C 6775 K and E 5456 K are the CIE 1960 UCS distance minimum on the Planckian locus,
// computed once with NumPy from the 5-nm, 380-780 nm tables.
TEST(ShippedIlluminants, TemperaturesAndFluorescentWhites)
{
    const std::pair<const char*, double> rows[] = { { "A", 2856 }, { "C", 6775 }, { "D50", 5003 },
        { "D55", 5503 }, { "D65", 6504 }, { "D75", 7504 }, { "E", 5456 }, { "F1", 6430 }, { "F2", 4230 },
        { "F3", 3450 }, { "F4", 2940 }, { "F5", 6350 }, { "F6", 4150 }, { "F7", 6500 }, { "F8", 5000 },
        { "F9", 4150 }, { "F10", 5000 }, { "F11", 4000 }, { "F12", 3000 } };
    for (const auto& [name, kelvin] : rows) {
        ASSERT_NE(Shipped(name), nullptr) << name;
        EXPECT_NEAR(Shipped(name)->GetColorTemperature(), kelvin, 0.01 * kelvin) << name;
    }
    // x, y of the white under 2° and 10°: NumPy, the CIE 5-nm illuminant and observer tables summed
    // over 380-780 nm (X = Σ S x̄ / Σ S ȳ), computed once. The mercury lines must reach the 10-nm grid.
    const auto lamps = CsvRows(TINTVALE_SOURCE_DIR "/tests/data/fluorescent_white_xy.csv");
    ASSERT_EQ(lamps.size(), 12u);
    for (std::size_t lamp = 0; lamp < lamps.size(); ++lamp) {
        const std::vector<double>& xy = lamps[lamp];
        const std::string name = "F" + std::to_string(lamp + 1);
        for (int observer : { 0, 1 }) {
            const TObserver obs(observer);
            double w[3];
            TIlluminantAndObserver(Shipped(name), &obs, 36).GetXYZWhite(w);
            const double sum = w[0] + w[1] + w[2];
            EXPECT_NEAR(w[0] / sum, xy.at(2 * observer), 0.005) << name << ' ' << observer;
            EXPECT_NEAR(w[1] / sum, xy.at(2 * observer + 1), 0.005) << name << ' ' << observer;
        }
    }
}

// The sample chart under F11 and the 10° observer: CIELAB from NumPy, computed once, with the CIE
// 5-nm F11 and 10° tables over 380-780 nm, the chart's 10-nm reflectances interpolated linearly to
// 5 nm and held flat beyond 730 nm, relative to the white of the same integration.
TEST(ShippedIlluminants, ChartUnderF11AndMatchingUnderTheAstmLamps)
{
    const auto expected = CsvRows(TINTVALE_SOURCE_DIR "/tests/data/chart_reference_f11_10deg_lab.csv");
    ASSERT_EQ(expected.size(), 24u);
    TIlluminant* f11 = Shipped("F11");
    ASSERT_NE(f11, nullptr);
    TObserver ten(1);
    TMeasGeom geom(0);
    const TIlluminantAndObserver io(f11, &ten, 36);
    const TCgats chart(TINTVALE_DATA_DIR "/samples/chart_reference.txt");
    ASSERT_EQ(chart.GetNrSamples(0), 24);
    for (int s = 0; s < 24; ++s) {
        const auto m = chart.GetMeasurement(0, s, f11, &ten, &geom);
        ASSERT_TRUE(m && m->GetSpectrum()) << s;
        double lab[3];
        LabOf(io, *m->GetSpectrum(), lab);
        EXPECT_LT(DeltaE(lab, expected[s].data(), kDeltaE2000), 0.5) << "sample " << s;
    }
    // A Lab value made spectral under F2, F7 and F11 integrates back to itself, and the search reports the
    // difference that the spectrum actually has.
    const double targets[][3] = { { 50, 0, 0 }, { 55, 40, 30 }, { 70, -20, 20 }, { 40, 10, -30 } };
    double half[36];
    std::fill(half, half + 36, 0.5);
    const TReflectionSpectrum grey(half, &geom);
    for (const char* name : { "F2", "F7", "F11" })
        for (int observer : { 0, 1 })
            for (const double* lab : targets) {
                const TIlluminant* ill = Shipped(name);
                ASSERT_NE(ill, nullptr) << name;
                const TObserver obs(observer);
                TIlluminantAndObserver io(ill, &obs, 36);
                double white[3];
                io.GetXYZWhite(white);
                const TLABMeasurement m(lab[0], lab[1], lab[2], white, &geom, ill, &obs);
                const std::unique_ptr<TOneMeasurement> spectral(m.CreateSpectralMeasurement(&grey));
                ASSERT_NE(spectral, nullptr) << name;
                double got[3];
                LabOf(io, *spectral->GetSpectrum(), got);
                EXPECT_LT(DeltaE(got, lab, 0), 0.5) << name << ' ' << obs.GetName() << ' ' << lab[1];

                double target[3];
                TLabSpace(white).LabToXYZ(lab, target);
                double result[36];
                const double reported = io.CalculateMatchingSpectrum(
                    target, white, nullptr, nullptr, half, TIlluminantAndObserver::MatchInLab, result);
                LabOf(io, TSpectrum(result), got);
                EXPECT_NEAR(reported, DeltaE(got, lab, 0), 1e-9) << name << ' ' << obs.GetName();
            }
}
