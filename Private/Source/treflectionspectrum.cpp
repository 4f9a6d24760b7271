// TReflectionSpectrum: a reflectance spectrum as a measurement, integrated to XYZ on demand.
#include <tintvale/treflectionspectrum.h>

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tspectrum.h>

#include "tilluminantandobserver_cache.h"
#include "tmeasurement_white.h"

#include <algorithm>

TReflectionSpectrum::TReflectionSpectrum(const TSpectrum& spectrum, const TMeasGeom* geom)
    : TOneMeasurement(geom)
{
    Take(&spectrum);
}

TReflectionSpectrum::TReflectionSpectrum(
    const TSpectrum& spectrum, const TMeasGeom* geom, int count, const double* coords)
    : TOneMeasurement(geom, count, coords)
{
    Take(&spectrum);
}

TReflectionSpectrum::TReflectionSpectrum(const double* values, const TMeasGeom* geom)
    : TOneMeasurement(geom)
{
    if (values != nullptr) {
        const TSpectrum spectrum(values);
        Take(&spectrum);
    } else {
        Take(nullptr);
    }
}

TReflectionSpectrum::TReflectionSpectrum(
    const double* values, const TMeasGeom* geom, int count, const double* coords)
    : TOneMeasurement(geom, count, coords)
{
    if (values != nullptr) {
        const TSpectrum spectrum(values);
        Take(&spectrum);
    } else {
        Take(nullptr);
    }
}

TReflectionSpectrum::TReflectionSpectrum(const TSpectrum* spectrum, const TMeasGeom* geom)
    : TOneMeasurement(geom)
{
    Take(spectrum);
}

TReflectionSpectrum::TReflectionSpectrum(
    const TSpectrum* spectrum, const TMeasGeom* geom, int count, const double* coords)
    : TOneMeasurement(geom, count, coords)
{
    Take(spectrum);
}

TReflectionSpectrum::TReflectionSpectrum(const TReflectionSpectrum& other)
    : TOneMeasurement(other)
    , mSpectrum(std::make_unique<TSpectrum>(*other.mSpectrum))
    , mEmpty(other.mEmpty)
{ }

TReflectionSpectrum::~TReflectionSpectrum() = default;

// A copy of spectrum, or an empty one (every sample unset) with error number 3.
void TReflectionSpectrum::Take(const TSpectrum* spectrum)
{
    if (spectrum != nullptr) {
        mSpectrum = std::make_unique<TSpectrum>(*spectrum);
        return;
    }
    mSpectrum = std::make_unique<TSpectrum>();
    mEmpty = true;
    SetError(3);
}

TOneMeasurement* TReflectionSpectrum::Copy() const
{
    int count = 0;
    const double* coords = GetCoord(&count);
    auto* copy = new TReflectionSpectrum(mEmpty ? nullptr : mSpectrum.get(), GetGeometry(), count, coords);
    if (ErrNo() != 0)
        copy->SetError(ErrNo());
    return copy;
}

int TReflectionSpectrum::GetXYZ(const TIlluminant* ill, const TObserver* obs, double* xyz) const
{
    if (ill == nullptr || obs == nullptr || xyz == nullptr)
        return 3;
    if (mEmpty)
        return 2;
    // A table of spectra under one condition builds the integration once, not once a sample.
    const TIlluminantAndObserver& io = tintvale::detail::ThreadIntegrator(ill, obs);
    // An illuminant without spectrum or luminance cannot weight the reflectance.
    if (io.ErrNo() != 0)
        return kInvalidArgument;
    double result[3];
    const int status = io.GetXYZ(mSpectrum.get(), result, TIlluminantAndObserver::kMaxPoints);
    if (status != 0)
        return status;
    // A NaN or infinite sample (or a sum past the largest double) gives no colour.
    return DeliverFinite(result, xyz);
}

const double* TReflectionSpectrum::GetUniformSpectrum(double* start, double* end, int* count) const
{
    return mSpectrum->GetUniformSpectrum(start, end, count);
}

const TSpectrum* TReflectionSpectrum::GetSpectrum() const { return mSpectrum.get(); }
