// TObserver: the colour-matching tables, observer selection, the shared spectra and the summations.
#include <tintvale/tobserver.h>
#include <tintvale/tspectrum.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
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
    EXPECT_EQ(TObserver::sYSpectrum[0][Row(555)], 1.0002);
    EXPECT_EQ(TObserver::sZSpectrum[0][Row(445)], 1.7826);
    EXPECT_EQ(TObserver::sYSpectrum[0][Row(380)], 0.0);
    EXPECT_EQ(TObserver::sXSpectrum[0][Row(780)], 0.0);
    EXPECT_EQ(TObserver::sYSpectrum[0][Row(780)], 0.0);
    EXPECT_EQ(TObserver::sZSpectrum[0][Row(780)], 0.0);
    EXPECT_EQ(TObserver::sXSpectrum[1][Row(595)], 1.1343);
    EXPECT_EQ(TObserver::sYSpectrum[1][Row(555)], 0.9991);
    EXPECT_EQ(TObserver::sZSpectrum[1][Row(445)], 2.0273);
    // The published four-decimal entries decide the sums to within a few units of the last place.
    EXPECT_NEAR(ColumnSum(TObserver::sXSpectrum, 0), 21.3713, 0.0003);
    EXPECT_NEAR(ColumnSum(TObserver::sYSpectrum, 0), 21.3714, 0.0003);
    EXPECT_NEAR(ColumnSum(TObserver::sZSpectrum, 0), 21.3713, 0.0003);
    EXPECT_NEAR(ColumnSum(TObserver::sXSpectrum, 1), 23.3294, 0.0003);
    EXPECT_NEAR(ColumnSum(TObserver::sYSpectrum, 1), 23.3323, 0.0003);
    EXPECT_NEAR(ColumnSum(TObserver::sZSpectrum, 1), 23.3343, 0.0003);
}

TEST(TObserverSelection, ByIndexAndByExactName)
{
    const char** list = nullptr;
    int count = 0;
    EXPECT_EQ(TObserver::GetKnownObservers(nullptr, &count), 2);
    EXPECT_EQ(TObserver::GetKnownObservers(&list, nullptr), 2);
    ASSERT_EQ(TObserver::GetKnownObservers(&list, &count), 0);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(list[1], "10 degree");
    EXPECT_EQ(TObserver(1).Index(), 1);
    EXPECT_EQ(TObserver(1).ErrNo(), 0);
    for (int bad : { 2, -1 }) {
        TObserver o(bad);
        EXPECT_EQ(o.Index(), 0) << bad;
        EXPECT_EQ(o.ErrNo(), 2) << bad;
    }
    TObserver ten("10 degree");
    EXPECT_EQ(ten.Index(), 1);
    EXPECT_EQ(ten.ErrNo(), 0);
    EXPECT_STREQ(ten.GetName(), "10 degree");
    TObserver capital("10 Degree");
    EXPECT_EQ(capital.Index(), 0);
    EXPECT_EQ(capital.ErrNo(), 2);
    TObserver none(static_cast<const char*>(nullptr));
    EXPECT_EQ(none.Index(), 0);
    EXPECT_EQ(none.ErrNo(), 2);
}

TEST(TObserverSelection, CopyKeepsIndexOnlyAssignmentKeepsError)
{
    TObserver bad(5);
    TObserver copy(bad);
    EXPECT_EQ(copy.ErrNo(), 0);
    TObserver assigned(1);
    assigned = bad;
    EXPECT_EQ(assigned.ErrNo(), 2);
    EXPECT_EQ(assigned.Index(), 0);
}

TEST(TObserverSpectra, GridSamplesAreTheTableValuesSharedPerObserver)
{
    TObserver two(0);
    const TSpectrum* y = two.GetYSensitivity();
    ASSERT_NE(y, nullptr);
    const double* ySamples = y->GetUniformSpectrum(nullptr, nullptr, nullptr);
    EXPECT_EQ(ySamples[17], 0.9950);
    EXPECT_EQ(ySamples[0], 0.0);
    // The grid sums of both observers are checked against independent sums below. Shared: every
    // observer object of one index sees the same spectra.
    TObserver ten(1);
    EXPECT_EQ(TObserver(0).GetYSensitivity(), y);
    EXPECT_NE(ten.GetYSensitivity(), y);
}

// Sums of the four-decimal tables at 380, 390, ..., 730 nm, computed independently from the
// published tables: 2°: 10.6823, 10.6852, 10.6770; 10°: 11.6636, 11.6641, 11.6645.
TEST(TObserverSummation, AbsoluteScalesTheGridSumBy683)
{
    TSpectrum ones = Flat(1.0);
    double xyz[3];
    ASSERT_EQ(TObserver(0).GetXYZ(&ones, xyz), 0);
    EXPECT_NEAR(xyz[0], 6.83 * 10.6823, 1e-9);
    EXPECT_NEAR(xyz[1], 6.83 * 10.6852, 1e-9);
    EXPECT_NEAR(xyz[2], 6.83 * 10.6770, 1e-9);
    ASSERT_EQ(TObserver(1).GetXYZ(&ones, xyz), 0);
    EXPECT_NEAR(xyz[0], 6.83 * 11.6636, 1e-9);
    EXPECT_NEAR(xyz[1], 6.83 * 11.6641, 1e-9);
    EXPECT_NEAR(xyz[2], 6.83 * 11.6645, 1e-9);
    EXPECT_EQ(TObserver(0).GetXYZ(nullptr, xyz), 2);
    EXPECT_EQ(TObserver(0).GetXYZ(&ones, nullptr), 2);
}

TEST(TObserverSummation, NormalisedToTheWhite)
{
    double wl[] = { 380, 500, 600, 730 };
    double v[] = { 0.2, 1.5, 0.7, 3.0 };
    TSpectrum s(wl, 4, v);
    double xyz[3];
    ASSERT_EQ(TObserver(0).GetXYZ(&s, &s, xyz), 0);
    EXPECT_NEAR(xyz[1], 100.0, 1e-12);
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
    EXPECT_EQ(TObserver(0).GetXYZ(nullptr, &s, xyz), 2);
    EXPECT_EQ(TObserver(0).GetXYZ(&s, &s, nullptr), 2);
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
