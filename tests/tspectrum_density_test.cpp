// Status densitometry of spectra and the shared filter cache.

#include "tspectrum_density.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <thread>

TEST(TSpectrumDensity, FiltersGreyStepNarrowBandUnsetSamplesAndDistance)
{
    // Filter rows sum to one and keep their published shape.
    for (int c = 0; c < kNrDensityChannels; ++c)
        for (int s = 0; s < kNrDensityStandards; ++s)
            EXPECT_NEAR(std::accumulate(sDensityFilters[c][s], sDensityFilters[c][s] + 36, 0.0), 1.0, 2e-4)
                << "channel " << c << " standard " << s;
    // ANSI/DIN visual row peak and tail; Status T and E share their red row, not their green.
    EXPECT_EQ(sDensityFilters[0][0][19], 0.094578);
    EXPECT_EQ(sDensityFilters[0][0][35], 0.0001);
    EXPECT_EQ(std::memcmp(sDensityFilters[3][6], sDensityFilters[3][7], sizeof sDensityFilters[3][6]), 0);
    EXPECT_NE(std::memcmp(sDensityFilters[2][6], sDensityFilters[2][7], sizeof sDensityFilters[2][6]), 0);
    // Peaks within blue 430..460, green 530..540, red 600..640 nm.
    for (int s = 0; s < kNrDensityStandards; ++s)
        for (int c = 1; c < 4; ++c) {
            int peak = 0;
            for (int j = 1; j < 36; ++j)
                if (sDensityFilters[c][s][j] > sDensityFilters[c][s][peak])
                    peak = j;
            const int nm = 380 + 10 * peak, lo[4] = { 0, 430, 530, 600 }, hi[4] = { 0, 460, 540, 640 };
            EXPECT_TRUE(nm >= lo[c] && nm <= hi[c]) << s << "/" << c << ": " << nm;
        }
    double d[4];
    int index = -1;
    for (int s = 0; s < 9; ++s) {
        ASSERT_EQ(Flat(0.1).GetDensity(static_cast<TCMS::FilterStandard>(s), d, &index), 0);
        for (double x : d)
            EXPECT_NEAR(x, 1.0, 1e-5) << TSpectrum::GetDensityList()[s];
        EXPECT_EQ(index, 3);
    }
    const TSpectrum step = Step();
    ASSERT_EQ(step.GetDensity(TCMS::IsoStatusT, d, &index), 0);
    const double statusT[4] = { 2.00, 1.67, 0.04, 1.47 };
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(d[c], statusT[c], 0.005) << c;
    EXPECT_EQ(index, 0);
    ASSERT_EQ(step.GetDensity(TCMS::AnsiA, d, &index), 0);
    EXPECT_NEAR(d[1], 2.0, 1e-5);
    EXPECT_EQ(index, 0) << "the first of the tied largest densities wins";

    // DIN NB reads single wavelengths: 620, 530 and 430 nm.
    const TSpectrum ramp = Ramp(0.02, 0.02);
    ASSERT_EQ(ramp.GetDensity(TCMS::DinNb, d, &index), 0);
    EXPECT_DOUBLE_EQ(d[0], -std::log10(0.02 + 0.02 * 24));
    EXPECT_DOUBLE_EQ(d[1], -std::log10(0.02 + 0.02 * 15));
    EXPECT_DOUBLE_EQ(d[2], -std::log10(0.02 + 0.02 * 5));
    double untouched[4] = { 7, 7, 7, 7 };
    EXPECT_EQ(ramp.GetDensity(static_cast<TCMS::FilterStandard>(9), untouched, &index), 2);
    EXPECT_EQ(ramp.GetDensity(static_cast<TCMS::FilterStandard>(-1), untouched, &index), 2);
    EXPECT_EQ(untouched[0], 7);
    EXPECT_EQ(ramp.GetDensity(TCMS::AnsiA, nullptr, &index), 2);

    // No density without reflected light.
    std::fill(d, d + 4, 7.0);
    index = -1;
    EXPECT_EQ(Flat(0.0).GetDensity(TCMS::IsoStatusM, d, &index), 1);
    EXPECT_EQ(d[0] + d[3], 14.0) << "nothing computed, nothing written";
    EXPECT_EQ(index, 3);
    EXPECT_EQ(TSpectrum().GetDensity(TCMS::IsoStatusM, d, &index), 1) << "unset samples are -1";

    // Dark only from 600 nm on: DIN NB has no cyan density at 620 nm, the first it computes.
    double v[36];
    for (int i = 0; i < 36; ++i)
        v[i] = i < 22 ? 0.5 : 0.0;
    EXPECT_EQ(TSpectrum(v).GetDensity(TCMS::DinNb, d, &index), 1);
    EXPECT_EQ(d[0], 7.0);
    // Dark only below 450 nm: cyan and magenta come out, yellow (430 nm) has none.
    for (int i = 0; i < 36; ++i)
        v[i] = i < 7 ? 0.0 : (i < 20 ? 0.5 : 0.01);
    EXPECT_EQ(TSpectrum(v).GetDensity(TCMS::DinNb, d, &index), 1);
    EXPECT_DOUBLE_EQ(d[1], -std::log10(0.5));
    EXPECT_EQ(d[2], 7.0);
    EXPECT_EQ(index, 0);

    // A perfect white: all densities 0, not neutral by a 0 / 0 ratio but the first largest.
    ASSERT_EQ(Flat(1.0).GetDensity(TCMS::DinNb, d, &index), 0);
    EXPECT_EQ(d[0], 0.0);
    EXPECT_EQ(index, 0);
    // Unset samples (-1.0) are interpolated as they are; a NaN sample is refused.
    double out[3];
    TSpectrum partly = Ramp(0.0, 1.0);
    partly.Data(10) = TSpectrum::kNotSet;
    ASSERT_EQ(partly.GetNonUniformSpectrum(470, 490, 3, out), 0);
    EXPECT_DOUBLE_EQ(out[1], -1.0);
    partly.Data(3) = std::nan("");
    EXPECT_EQ(partly.GetNonUniformSpectrum(400, 700, 3, out), 4);
    // The distance is Euclidean over the grid: samples 0.3 and 0.4 apart give 0.5.
    TSpectrum steps = Ramp(0.0, 1.0);
    TSpectrum moved(steps);
    moved.Data(12) += 0.3;
    moved.Data(0) += 0.4;
    EXPECT_NEAR(steps.CalcDistance(&moved), 0.5, 1e-12);
}

TEST(DensityFilterCache, ConcurrentFirstUseBuildsOneResponsePerFilter)
{
    std::vector<const TSpectrum*> seen(8 * 36);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t, &seen] {
            for (int k = 0; k < 36; ++k)
                seen[t * 36 + k] = DensityFilterResponse(k % 4, k / 4);
        });
    for (auto& th : threads)
        th.join();
    for (int k = 0; k < 36; ++k) {
        ASSERT_NE(seen[k], nullptr);
        for (int t = 1; t < 8; ++t)
            EXPECT_EQ(seen[t * 36 + k], seen[k]);
        const double* r = seen[k]->GetUniformSpectrum(nullptr, nullptr, nullptr);
        EXPECT_TRUE(std::equal(r, r + 36, sDensityFilters[k % 4][k / 4])) << k;
    }
    EXPECT_EQ(DensityFilterResponse(4, 0), nullptr);
    EXPECT_EQ(DensityFilterResponse(0, 9), nullptr);
}
