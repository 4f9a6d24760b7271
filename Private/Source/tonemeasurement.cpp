// TOneMeasurement: geometry, colour coordinates, CIELAB from XYZ and the spot colour tone value.
#include <tintvale/tonemeasurement.h>

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tobserver.h>

#include "tilluminantandobserver_cache.h"
#include "tmeasurement_white.h"

#include <algorithm>

namespace {

// The given geometry, or geometry 0 in place of a missing one.
TMeasGeom GeometryOrDefault(const TMeasGeom* geom)
{
    return geom != nullptr ? TMeasGeom(*geom) : TMeasGeom(0);
}

} // namespace

TOneMeasurement::TOneMeasurement(const TMeasGeom* geom)
    : mError(geom != nullptr ? 0 : 3)
    , mGeometry(GeometryOrDefault(geom))
{ }

TOneMeasurement::TOneMeasurement(const TMeasGeom* geom, int count, const double* coords)
    : TOneMeasurement(geom)
{
    if (count > 0 && coords != nullptr)
        mCoords.assign(coords, coords + count);
}

TOneMeasurement::TOneMeasurement(const TOneMeasurement& other)
    : mError(other.mError)
    , mGeometry(other.mGeometry)
{ }

TOneMeasurement::~TOneMeasurement() = default;

const double* TOneMeasurement::GetCoord(int* count) const
{
    if (count != nullptr)
        *count = static_cast<int>(mCoords.size());
    return mCoords.empty() ? nullptr : mCoords.data();
}

int TOneMeasurement::SetCoord(int count, const double* coords)
{
    if (count < 0 || (count > 0 && coords == nullptr))
        return 3;
    mCoords.assign(coords, coords + count);
    return 0;
}

int TOneMeasurement::GetLAB(
    const TIlluminant* ill, const TObserver* obs, const double* white, double* lab) const
{
    if (lab == nullptr)
        return kInvalidArgument;
    double xyz[3];
    const int status = GetXYZ(ill, obs, xyz);
    if (status != kSuccess)
        return status;
    // Checked here rather than left to TLabSpace, which reports a bad white to the message sink and
    // accepts a zero component that would divide by zero.
    if (!IsValidLabWhite(white))
        return kInvalidArgument;
    double result[3];
    // With the white checked, only an overflow can fail: a finite XYZ far beyond a tiny white.
    TLabSpace(white).XYZToLab(xyz, result);
    return DeliverFinite(result, lab);
}

const TSpectrum* TOneMeasurement::GetSpectrum() const { return nullptr; }

TOneMeasurement* TOneMeasurement::CreateSpectralMeasurement(const TOneMeasurement* /*tmpl*/) const
{
    return GetSpectrum() != nullptr ? Copy() : nullptr;
}

// SCTV of this measurement between paper and solid in CIELAB under the white of ill and obs
// (ISO 20654).
double TOneMeasurement::GetSCTV(const TIlluminant* ill, const TObserver* obs, const TOneMeasurement* paper,
    const TOneMeasurement* solid) const
{
    if (ill == nullptr || obs == nullptr)
        return -1.0;
    // The samples of a tone-value table share one integration.
    const TIlluminantAndObserver& io = tintvale::detail::ThreadIntegrator(ill, obs);
    if (io.ErrNo() != 0)
        return -1.0;
    double white[3];
    io.GetXYZWhite(white);
    double lab[3];
    double paperLab[3];
    double solidLab[3];
    if (GetLAB(ill, obs, white, lab) != 0)
        return -1.0;
    if (paper != nullptr && paper->GetLAB(ill, obs, white, paperLab) != 0)
        return -1.0;
    if (solid != nullptr && solid->GetLAB(ill, obs, white, solidLab) != 0)
        return -1.0;
    return TLabSpace::CalcSCTV(
        lab, paper != nullptr ? paperLab : nullptr, solid != nullptr ? solidLab : nullptr);
}
