// ASTM E308 weights by ASTM E2022, cached.
#include <tintvale/tspectraltables.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>

namespace {

// Bounds the cache; each entry is a few kilobytes.
constexpr std::size_t kMaxCached = 256;

using Key = std::tuple<std::vector<double>, int, int, int, int>;

// Lagrange coefficient of node j among nodes k0 ... k0 + m - 1 at x (in steps).
double Coefficient(int k0, int m, int j, double x)
{
    double l = 1.0;
    for (int i = k0; i < k0 + m; ++i)
        if (i != j)
            l *= (x - i) / (j - i);
    return l;
}

// Adds s·cmf at one 1-nm wavelength to the grid weights: the grid point itself, or the Lagrange
// coefficients of the interval holding it (ASTM E2022: quadratic in the end intervals).
void Spread(std::vector<double>* w, int nodes, double x, const double* sc)
{
    const int k = static_cast<int>(x);
    const double r = x - k;
    auto add = [&](int j, double c) {
        for (int t = 0; t < 3; ++t)
            w[t][j] += c * sc[t];
    };
    if (x <= 0.0 || r == 0.0 || x >= nodes - 1) {
        add(x <= 0.0 ? 0 : (x >= nodes - 1 ? nodes - 1 : k), 1.0);
        return;
    }
    const int k0 = k == 0 ? 0 : k - 1;
    const int m = (k == 0 || k == nodes - 2) ? 3 : 4;
    for (int j = k0; j < k0 + m; ++j)
        add(j, Coefficient(k0, m, j, x));
}

std::shared_ptr<const TSpectralTables::Weights> Compute(
    const std::vector<double>& power, int observer, int first, int step, int count)
{
    // The grid of this step through the data's points, from its first point at or above 360 nm.
    const int lowIndex = TSpectralTables::kFirst + ((first - TSpectralTables::kFirst) % step + step) % step;
    const int nodes = (TSpectralTables::kLast - lowIndex) / step + 1;
    if (nodes < 4)
        return nullptr;
    std::vector<double> w[3] = { std::vector<double>(nodes, 0.0), std::vector<double>(nodes, 0.0),
        std::vector<double>(nodes, 0.0) };
    for (int i = 0; i < TSpectralTables::kNrRows; ++i) {
        const double s = power[i];
        if (s == 0.0)
            continue;
        double sc[3];
        for (int t = 0; t < 3; ++t)
            sc[t] = s * TSpectralTables::sObserver1nm[observer][t][i];
        Spread(w, nodes, static_cast<double>(TSpectralTables::kFirst + i - lowIndex) / step, sc);
    }
    double sumY = 0.0;
    for (double v : w[1])
        sumY += v;
    if (!(sumY > 0.0))
        return nullptr;
    const double k = 100.0 / sumY;
    auto out = std::make_shared<TSpectralTables::Weights>();
    std::vector<double>* o[3] = { &out->x, &out->y, &out->z };
    for (int t = 0; t < 3; ++t)
        o[t]->assign(count, 0.0);
    for (int g = 0; g < nodes; ++g) {
        const int lambda = lowIndex + step * g;
        const int j = std::clamp((lambda - first) / step, 0, count - 1); // the ends take what lies beyond
        for (int t = 0; t < 3; ++t)
            (*o[t])[j] += k * w[t][g];
    }
    return out;
}

} // namespace

std::shared_ptr<const TSpectralTables::Weights> TSpectralTables::AstmE308Weights(
    const std::vector<double>& power, int observer, int first, int step, int count)
{
    if (static_cast<int>(power.size()) != kNrRows || observer < 0 || observer >= kNrObservers || step < 2
        || count < 2)
        return nullptr;
    static std::mutex lock;
    static std::map<Key, std::shared_ptr<const Weights>> cache;
    Key key { power, observer, first, step, count };
    {
        const std::lock_guard<std::mutex> guard(lock);
        const auto found = cache.find(key);
        if (found != cache.end())
            return found->second;
    }
    std::shared_ptr<const Weights> made = Compute(power, observer, first, step, count);
    const std::lock_guard<std::mutex> guard(lock);
    if (cache.size() >= kMaxCached)
        cache.clear();
    cache.emplace(std::move(key), made);
    return made;
}
