// TEmissionSpectrum: the spectral radiance of a light or display as a measurement.
#include <tintvale/temissionspectrum.h>

#include <tintvale/tobserver.h>
#include <tintvale/tspectrum.h>

#include "tmeasurement_white.h"

#include <algorithm>

TEmissionSpectrum::TEmissionSpectrum(const TSpectrum* spectrum, const TMeasGeom* geom)
    : TEmissionSpectrum(spectrum, geom, 0, nullptr)
{ }

TEmissionSpectrum::TEmissionSpectrum(
    const TSpectrum* spectrum, const TMeasGeom* geom, int count, const double* coords)
    : TOneMeasurement(geom, count, coords)
{
    if (spectrum != nullptr)
        mSpectrum = std::make_unique<TSpectrum>(*spectrum);
    else
        SetError(3);
}

TEmissionSpectrum::~TEmissionSpectrum() = default;

TOneMeasurement* TEmissionSpectrum::Copy() const
{
    int count = 0;
    const double* coords = GetCoord(&count);
    auto* copy = new TEmissionSpectrum(mSpectrum.get(), GetGeometry(), count, coords);
    if (ErrNo() != 0)
        copy->SetError(ErrNo());
    return copy;
}

int TEmissionSpectrum::GetXYZ(const TIlluminant* /*ill*/, const TObserver* obs, double* xyz) const
{
    if (obs == nullptr || xyz == nullptr)
        return 3;
    if (!mSpectrum)
        return kNoSpectrum;
    double result[3];
    const int status = obs->GetXYZ(mSpectrum.get(), result);
    if (status != 0)
        return status;
    return DeliverFinite(result, xyz);
}

const double* TEmissionSpectrum::GetUniformSpectrum(double* start, double* end, int* count) const
{
    return mSpectrum ? mSpectrum->GetUniformSpectrum(start, end, count) : nullptr;
}

const TSpectrum* TEmissionSpectrum::GetSpectrum() const { return mSpectrum.get(); }
