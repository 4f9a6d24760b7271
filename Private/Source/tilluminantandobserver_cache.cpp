// The per-thread integration object of the last illuminant and observer.
#include "tilluminantandobserver_cache.h"

#include <tintvale/tilluminant.h>
#include <tintvale/tspectrum.h>

#include <cstring>
#include <memory>
#include <string>

namespace tintvale::detail {

namespace {

// Everything the integration reads from its illuminant and observer.
struct IntegratorKey {
    const TIlluminant* illuminant = nullptr;
    bool named = false;
    std::string name;
    bool hasSpectrum = false;
    double samples[TSpectrum::kNrUniform] = {};
    int observer = -1;

    explicit IntegratorKey(const TIlluminant* ill = nullptr, const TObserver* obs = nullptr)
        : illuminant(ill)
    {
        if (ill == nullptr || obs == nullptr)
            return;
        named = ill->GetName() != nullptr;
        if (named)
            name = ill->GetName();
        hasSpectrum = ill->GetSpectrum() != nullptr;
        if (hasSpectrum)
            std::memcpy(samples, Samples(ill), sizeof samples);
        observer = obs->Index();
    }

    static const double* Samples(const TIlluminant* ill)
    {
        return ill->GetSpectrum()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    }

    // Bit for bit: a sample changed to an equal value (0.0 for -0.0) merely costs a rebuild.
    bool Matches(const TIlluminant* ill, const TObserver* obs) const
    {
        const char* other = ill->GetName();
        return ill == illuminant && obs->Index() == observer && (other != nullptr) == named
            && (!named || name == other) && (ill->GetSpectrum() != nullptr) == hasSpectrum
            && (!hasSpectrum || std::memcmp(samples, Samples(ill), sizeof samples) == 0);
    }
};

struct CachedIntegrator {
    IntegratorKey key;
    std::unique_ptr<TIlluminantAndObserver> integrator;
};

// Per thread, so that worker threads and Python callers without the GIL never share it.
thread_local CachedIntegrator tLast;

} // namespace

const TIlluminantAndObserver& ThreadIntegrator(const TIlluminant* illuminant, const TObserver* observer)
{
    if (!tLast.integrator || !tLast.key.Matches(illuminant, observer)) {
        tLast.integrator.reset();
        tLast.key = IntegratorKey(illuminant, observer);
        tLast.integrator = std::make_unique<TIlluminantAndObserver>(
            illuminant, observer, TIlluminantAndObserver::kMaxPoints);
    }
    return *tLast.integrator;
}

} // namespace tintvale::detail
