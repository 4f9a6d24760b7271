// TObserver: the colour-matching tables, observer selection, the shared spectra and the summations.
#include <tintvale/tobserver.h>
#include <tintvale/tspectrum.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Table row of a wavelength on the 5-nm table.
int Row(int nm) { return (nm - 380) / 5; }

double ColumnSum(const double (*table)[TObserver::kNrTableRows], int observer)
{
    double sum = 0.0;
    for (int i = 0; i < TObserver::kNrTableRows; ++i)
        sum += table[observer][i];
    return sum;
}

} // namespace

// Check values of the CIE 1931 four-decimal tabulation and CIE 15.2:1986 Table 2.2.
TEST(TObserverTables, CheckValuesOfBothObservers)
{
    EXPECT_EQ(TObserver::sXSpectrum[0][Row(600)], 1.0622);
    EXPECT_EQ(TObserver::sZSpectrum[0][Row(445)], 1.7826);
    EXPECT_EQ(TObserver::sXSpectrum[1][Row(595)], 1.1343);
    EXPECT_EQ(TObserver::sZSpectrum[1][Row(445)], 2.0273);
    EXPECT_EQ(TObserver::sZSpectrum[0][Row(780)], 0.0);
    // The published four-decimal entries decide the sums to within a few units of the last place.
    const double sums[2][3] = { { 21.3713, 21.3714, 21.3713 }, { 23.3294, 23.3323, 23.3343 } };
    for (int o = 0; o < 2; ++o) {
        EXPECT_NEAR(ColumnSum(TObserver::sXSpectrum, o), sums[o][0], 0.0003) << o;
        EXPECT_NEAR(ColumnSum(TObserver::sYSpectrum, o), sums[o][1], 0.0003) << o;
        EXPECT_NEAR(ColumnSum(TObserver::sZSpectrum, o), sums[o][2], 0.0003) << o;
    }
}

TEST(TObserverSelection, ByIndexAndByExactName)
{
    const char** list = nullptr;
    int count = 0;
    EXPECT_EQ(TObserver::GetKnownObservers(nullptr, &count), 2);
    ASSERT_EQ(TObserver::GetKnownObservers(&list, &count), 0);
    ASSERT_EQ(count, 2);
    // Index and error of numbers and of the exact name only; a copy of a bad one clears the error, an
    // assignment keeps it.
    const TObserver bad(5);
    TObserver assigned(1);
    assigned = bad;
    EXPECT_EQ(assigned.ErrNo(), 2);
    EXPECT_EQ(TObserver(bad).ErrNo(), 0);
    const TObserver rows[] = { TObserver(1), TObserver(2), TObserver(-1), TObserver(list[1]),
        TObserver("10 Degree"), TObserver(static_cast<const char*>(nullptr)), TObserver(assigned) };
    const int indices[] = { 1, 0, 0, 1, 0, 0, 0 }, errors[] = { 0, 2, 2, 0, 2, 2, 0 };
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        EXPECT_EQ(rows[k].Index(), indices[k]) << k;
        EXPECT_EQ(rows[k].ErrNo(), errors[k]) << k;
    }
    EXPECT_STREQ(TObserver("10 degree").GetName(), "10 degree");
}

TEST(TObserverSpectra, GridSamplesAreTheTableValuesSharedPerObserver)
{
    const TSpectrum* y = TObserver(0).GetYSensitivity();
    EXPECT_EQ(y->GetUniformSpectrum(nullptr, nullptr, nullptr)[17], 0.9950);
    // Shared: every observer object of one index sees the same spectra.
    EXPECT_EQ(TObserver(0).GetYSensitivity(), y);
    EXPECT_NE(TObserver(1).GetYSensitivity(), y);
}

// Sums of the four-decimal tables at 380, 390, ..., 730 nm, computed independently from the
// published tables: 2°: 10.6823, 10.6852, 10.6770; 10°: 11.6636, 11.6641, 11.6645.
TEST(TObserverSummation, AbsoluteScalesTheGridSumBy683)
{
    TSpectrum ones = Flat(1.0);
    const double sums[2][3] = { { 10.6823, 10.6852, 10.6770 }, { 11.6636, 11.6641, 11.6645 } };
    double xyz[3];
    for (int o = 0; o < 2; ++o) {
        ASSERT_EQ(TObserver(o).GetXYZ(&ones, xyz), 0);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(xyz[c], 6.83 * sums[o][c], 1e-9) << o << " " << c;
    }
    EXPECT_EQ(TObserver(0).GetXYZ(nullptr, xyz), 2);
    EXPECT_EQ(TObserver(0).GetXYZ(&ones, nullptr), 2);
}

TEST(TObserverSummation, NormalisedToTheWhite)
{
    double wl[] = { 380, 500, 600, 730 };
    double v[] = { 0.2, 1.5, 0.7, 3.0 };
    TSpectrum s(wl, 4, v);
    double xyz[3];
    ASSERT_EQ(TObserver(1).GetXYZ(&s, &s, xyz), 0);
    EXPECT_NEAR(xyz[1], 100.0, 1e-12);

    // Equal-energy white: X/Y is the ratio of the grid sums.
    TSpectrum e = Flat(100.0);
    ASSERT_EQ(TObserver(0).GetXYZ(&e, &e, xyz), 0);
    EXPECT_NEAR(xyz[0], 100.0 * 10.6823 / 10.6852, 1e-9);
    EXPECT_NEAR(xyz[2], 100.0 * 10.6770 / 10.6852, 1e-9);

    TSpectrum zero = Flat(0.0);
    EXPECT_EQ(TObserver(0).GetXYZ(&s, &zero, xyz), 3);
    EXPECT_EQ(TObserver(0).GetXYZ(&s, nullptr, xyz), 2);
}

// The first use of the shared spectra from several threads at once builds them exactly once.
// Each test runs in its own process, so this really is the first call.
TEST(TObserverConcurrency, FirstUseFromManyThreads)
{
    constexpr int kThreads = 8;
    std::atomic<int> ready { 0 };
    std::atomic<bool> go { false };
    std::vector<const TSpectrum*> seen(2 * kThreads, nullptr);
    std::vector<double> y(2 * kThreads, 0.0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            TObserver a(0);
            TObserver b(1);
            TSpectrum ones = Flat(1.0);
            ++ready;
            while (!go.load())
                std::this_thread::yield();
            double xyz[3] = { 0, 0, 0 };
            a.GetXYZ(&ones, xyz);
            seen[2 * t] = a.GetYSensitivity();
            y[2 * t] = xyz[1];
            b.GetXYZ(&ones, xyz);
            seen[2 * t + 1] = b.GetYSensitivity();
            y[2 * t + 1] = xyz[1];
        });
    }
    while (ready.load() < kThreads)
        std::this_thread::yield();
    go = true;
    for (auto& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(seen[2 * t], seen[0]);
        EXPECT_EQ(seen[2 * t + 1], seen[1]);
        EXPECT_NEAR(y[2 * t], 6.83 * 10.6852, 1e-9);
        EXPECT_NEAR(y[2 * t + 1], 6.83 * 11.6641, 1e-9);
    }
    EXPECT_NE(seen[0], seen[1]);
}
