// TObserver: the colour-matching tables, observer selection, the shared spectra and the summations.
#include <tintvale/tobserver.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <thread>
#include <utility>

namespace {

// Sum of a table column, each row weighted by 1 or by its row number 1 ... 81 (a moved entry shows).
double ColumnSum(const double (*table)[TObserver::kNrTableRows], int observer, bool weighted)
{
    double sum = 0.0;
    for (int i = 0; i < TObserver::kNrTableRows; ++i)
        sum += table[observer][i] * (weighted ? i + 1 : 1);
    return sum;
}

} // namespace

// Check values of the CIE 1931 four-decimal tabulation and CIE 15.2:1986 Table 2.2.
TEST(TObserverTables, CheckValuesSelectionAndSummation)
{
    // Exact sums over 380 ... 780 nm of the published four-decimal entries, plain and weighted by the row
    // number, computed once in decimal arithmetic from the CIE tables: any changed entry shows.
    const double sums[2][2][3] = { { { 21.3714, 21.3713, 21.3715 }, { 841.0362, 791.5540, 338.0484 } },
        { { 23.3294, 23.3324, 23.3343 }, { 900.8320, 839.2124, 353.6481 } } };
    for (int o = 0; o < 2; ++o)
        for (int w = 0; w < 2; ++w) {
            EXPECT_NEAR(ColumnSum(TObserver::sXSpectrum, o, w), sums[o][w][0], 1e-9) << o << w;
            EXPECT_NEAR(ColumnSum(TObserver::sYSpectrum, o, w), sums[o][w][1], 1e-9) << o << w;
            EXPECT_NEAR(ColumnSum(TObserver::sZSpectrum, o, w), sums[o][w][2], 1e-9) << o << w;
        }
    // Selection by index and by exact name.
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
    // Grid samples are the table values, shared by every observer object of one index.
    const TSpectrum* y = TObserver(0).GetYSensitivity();
    EXPECT_EQ(y->GetUniformSpectrum(nullptr, nullptr, nullptr)[17], 0.9950);
    EXPECT_EQ(TObserver(0).GetYSensitivity(), y);
    EXPECT_NE(TObserver(1).GetYSensitivity(), y);
    // Absolute summation scales by 683 the grid sums at 380, 390, ..., 730 nm, computed independently
    // from the published tables.
    TSpectrum ones = Flat(1.0);
    const double gridSums[2][3] = { { 10.6823, 10.6852, 10.6770 }, { 11.6636, 11.6641, 11.6645 } };
    double xyz[3];
    for (int o = 0; o < 2; ++o) {
        ASSERT_EQ(TObserver(o).GetXYZ(&ones, xyz), 0);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(xyz[c], 6.83 * gridSums[o][c], 1e-9) << o << " " << c;
    }
    EXPECT_EQ(TObserver(0).GetXYZ(nullptr, xyz), 2);
    EXPECT_EQ(TObserver(0).GetXYZ(&ones, nullptr), 2);
    // Normalised to the white.
    double wl[] = { 380, 500, 600, 730 }, v[] = { 0.2, 1.5, 0.7, 3.0 };
    TSpectrum s(wl, 4, v);
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
    std::vector<const TSpectrum*> seen(16, nullptr);
    std::vector<double> y(16, 0.0);
    std::vector<std::thread> threads;
    for (int k = 0; k < 16; ++k)
        threads.emplace_back([&, k] {
            const TObserver o(k % 2);
            const TSpectrum ones = Flat(1.0);
            double xyz[3] = { 0, 0, 0 };
            o.GetXYZ(&ones, xyz);
            seen[k] = o.GetYSensitivity();
            y[k] = xyz[1];
        });
    for (auto& thread : threads)
        thread.join();
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(seen[k], seen[k % 2]);
        EXPECT_NEAR(y[k], 6.83 * (k % 2 ? 11.6641 : 10.6852), 1e-9);
    }
    EXPECT_NE(seen[0], seen[1]);
}
