// Status densitometry of spectra: D = -log10(sum of filter weight x reflectance), ISO 5-3.
#include "tspectrum_density.h"

#include <tintvale/tspectrum.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>

namespace {

constexpr double kNeutralRatio = 0.7;

struct FilterCache {
    std::atomic<const TSpectrum*> entries[kNrDensityChannels][kNrDensityStandards] = {};
    std::unique_ptr<TSpectrum> owned[kNrDensityChannels][kNrDensityStandards];
    std::mutex mutex;
};

FilterCache& Cache()
{
    static FilterCache cache;
    return cache;
}

const char* sDensityNames[] = { "ANSI A", "ANSI T", "DIN", "DIN NB", "ISO Status A", "ISO Status M",
    "ISO Status T", "ISO Status E", "ISO Status I", nullptr };

} // namespace

const TSpectrum* DensityFilterResponse(int channel, int standard)
{
    if (channel < 0 || channel >= kNrDensityChannels || standard < 0 || standard >= kNrDensityStandards)
        return nullptr;
    FilterCache& cache = Cache();
    if (const TSpectrum* ready = cache.entries[channel][standard].load(std::memory_order_acquire))
        return ready;
    std::lock_guard<std::mutex> lock(cache.mutex);
    if (const TSpectrum* ready = cache.entries[channel][standard].load(std::memory_order_relaxed))
        return ready;
    auto response = std::make_unique<TSpectrum>(sDensityFilters[channel][standard]); // on the 10-nm grid
    if (response->ErrNo() != 0)
        return nullptr;
    cache.owned[channel][standard] = std::move(response);
    cache.entries[channel][standard].store(cache.owned[channel][standard].get(), std::memory_order_release);
    return cache.owned[channel][standard].get();
}

const char** TSpectrum::GetDensityList() { return sDensityNames; }

// Densities in the order cyan (red filter), magenta (green), yellow (blue), visual; the dominant
// index names the largest, or 3 (neutral) when the smallest is above 0.7 of the largest.
int TSpectrum::GetDensity(TCMS::FilterStandard standard, double* densities, int* dominant) const
{
    if (static_cast<unsigned>(standard) >= static_cast<unsigned>(kNrDensityStandards) || !densities
        || !dominant)
        return 2;
    int computed = 0;
    int largest = 0;
    int smallest = 0;
    for (int k = 0; k < 4; ++k) {
        const TSpectrum* response = DensityFilterResponse(3 - k, standard);
        double p = 0.0;
        if (!response || InProduct(response, &p) != 0)
            break;
        // A weighted reflectance that is not positive (black, unset or negative samples) has no
        // density: stop here as for a missing filter.
        const double density = p > 0.0 ? std::log10(1.0 / p) : NAN;
        if (!std::isfinite(density))
            break;
        densities[k] = density;
        if (densities[k] > densities[largest])
            largest = k;
        if (densities[k] < densities[smallest])
            smallest = k;
        ++computed;
    }
    if (computed == 0) {
        *dominant = 3;
        return 1;
    }
    const bool neutral
        = densities[largest] != 0.0 && densities[smallest] / densities[largest] > kNeutralRatio;
    *dominant = neutral ? 3 : largest;
    return computed == 4 ? 0 : 1;
}
