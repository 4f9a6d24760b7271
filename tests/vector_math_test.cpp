// The vector powers and arc tangents of the appearance models' bulk path against the C library's.
#include "vector_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using tintvale::detail::Atan2Many;
using tintvale::detail::PowMany;

TEST(VectorMath, PowersAgreeWithTheCLibrary)
{
    // Bases from 1e-300 to 1e300 at 1.1 % steps (odd in number, so the tail takes its own path) and
    // the exponents the models use (0.42, 0.9, c z) with others either side; the error grows with
    // |y ln x| as any pow through e^(y ln x) does, and stays within 4e-16 (1 + |y ln x|).
    std::vector<double> x;
    for (double v = 1e-300; v < 1e300; v *= 1.011)
        x.push_back(v);
    std::vector<double> out(x.size());
    double worst = 0.0;
    for (double y : { 0.42, 0.9, 1.7574, 2.0, -0.7, 1.0 / 0.42, 7.5 }) {
        PowMany(x.data(), y, out.data(), x.size());
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double expected = std::pow(x[i], y);
            if (expected == 0.0 || std::isinf(expected)) {
                EXPECT_EQ(out[i], expected) << x[i] << "^" << y;
                continue;
            }
            const double error = std::fabs(out[i] / expected - 1.0) / (1.0 + std::fabs(y * std::log(x[i])));
            worst = std::max(worst, error);
        }
    }
    EXPECT_LT(worst, 4e-16);
    // Special bases as the C library defines their powers.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    x = { 0.0, -0.0, -1.0, -2.5, 1.0, inf, -inf, nan, 4.9e-324, 2.2e-308, 1e-310, 3.0 };
    out.resize(x.size());
    for (double y : { 0.42, 0.9, 2.0, -0.7 }) {
        PowMany(x.data(), y, out.data(), x.size());
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double expected = std::pow(x[i], y);
            if (std::isnan(expected))
                EXPECT_TRUE(std::isnan(out[i])) << x[i] << "^" << y;
            else if (std::isinf(expected) || expected == 0.0)
                EXPECT_EQ(out[i], expected) << x[i] << "^" << y;
            else
                EXPECT_NEAR(out[i], expected, 1e-15 * std::fabs(expected)) << x[i] << "^" << y;
        }
    }
}

TEST(VectorMath, ArcTangentsAgreeWithTheCLibrary)
{
    std::vector<double> y, x, out;
    for (int i = -20; i <= 20; ++i)
        for (int j = -20; j <= 20; ++j) {
            y.push_back(0.37 * i);
            x.push_back(0.53 * j);
        }
    out.resize(x.size());
    Atan2Many(y.data(), x.data(), out.data(), x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(out[i], std::atan2(y[i], x[i]), 4e-16 * std::fabs(std::atan2(y[i], x[i])) + 1e-300);
}

} // namespace
