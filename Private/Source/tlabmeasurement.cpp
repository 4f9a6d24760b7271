// TLABMeasurement: CIELAB values relative to a stated white, and a reflectance that matches them.
#include <tintvale/tlabmeasurement.h>

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tobserver.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>

#include "tmeasurement_white.h"

#include <algorithm>
#include <cmath>

TLABMeasurement::TLABMeasurement(double l, double a, double b, const double* const white,
    const TMeasGeom* geom, const TIlluminant* ill, const TObserver* obs)
    : TLABMeasurement(l, a, b, white, geom, ill, obs, 0, nullptr)
{ }

TLABMeasurement::TLABMeasurement(double l, double a, double b, const double* const white,
    const TMeasGeom* geom, const TIlluminant* ill, const TObserver* obs, int count, const double* coords)
    : TOneMeasurement(geom, count, coords)
{
    if (white == nullptr || ill == nullptr || obs == nullptr) {
        SetError(3);
        return;
    }
    mLab[0] = l;
    mLab[1] = a;
    mLab[2] = b;
    for (int c = 0; c < 3; ++c)
        mWhite[c] = white[c];
    mIlluminant = ill;
    mObserver = std::make_unique<TObserver>(*obs);
}

TLABMeasurement::~TLABMeasurement() = default;

TOneMeasurement* TLABMeasurement::Copy() const
{
    int count = 0;
    const double* coords = GetCoord(&count);
    auto* copy = new TLABMeasurement(
        mLab[0], mLab[1], mLab[2], mWhite, GetGeometry(), mIlluminant, mObserver.get(), count, coords);
    if (ErrNo() != 0)
        copy->SetError(ErrNo());
    return copy;
}

int TLABMeasurement::Matches(const TIlluminant* ill, const TObserver* obs) const
{
    // The illuminant by identity, the observer by equality; null asks for any.
    if ((ill != nullptr && ill != mIlluminant) || (obs != nullptr && !(*obs == *mObserver)))
        return -1;
    return 0;
}

int TLABMeasurement::GetXYZ(const TIlluminant* ill, const TObserver* obs, double* xyz) const
{
    if (xyz == nullptr || !mObserver)
        return 3;
    if (Matches(ill, obs) != 0)
        return -1;
    if (!IsValidLabWhite(mWhite))
        return kInvalidArgument;
    if (!IsFiniteTriple(mLab))
        return kNotFinite;
    double result[3];
    // With the white and the Lab checked, only the cube can fail: L* of about 1e102 and beyond
    // cubes past the largest double.
    TLabSpace(mWhite).LabToXYZ(mLab, result);
    return DeliverFinite(result, xyz);
}

const double* TLABMeasurement::GetUniformSpectrum(double* /*start*/, double* /*end*/, int* /*count*/) const
{
    return nullptr;
}

int TLABMeasurement::GetLAB(
    const TIlluminant* ill, const TObserver* obs, const double* white, double* lab) const
{
    if (lab == nullptr)
        return kInvalidArgument;
    if (!IsFiniteTriple(mLab))
        return kNotFinite;
    for (int c = 0; c < 3; ++c)
        lab[c] = mLab[c];
    if (!mObserver)
        return 3;
    if (Matches(ill, obs) != 0)
        return -1;
    if (white == nullptr)
        return 0;
    bool same = true;
    for (int c = 0; c < 3; ++c)
        same = same && std::fabs(mWhite[c] - white[c]) <= kWhiteTolerance;
    if (same)
        return 0;
    return TOneMeasurement::GetLAB(ill, obs, white, lab);
}

TOneMeasurement* TLABMeasurement::CreateSpectralMeasurement(const TOneMeasurement* tmpl) const
{
    if (tmpl == nullptr || !mObserver || !IsValidLabWhite(mWhite))
        return nullptr;
    const double* start = tmpl->GetUniformSpectrum(nullptr, nullptr, nullptr);
    if (start == nullptr)
        return nullptr;
    TIlluminantAndObserver io(mIlluminant, mObserver.get(), TIlluminantAndObserver::kMaxPoints);
    double target[3];
    TLabSpace(mWhite).LabToXYZ(mLab, target);
    double values[TSpectrum::kNrUniform];
    if (io.CalculateMatchingSpectrum(
            target, mWhite, nullptr, nullptr, start, TIlluminantAndObserver::MatchInLab, values)
        < 0.0)
        return nullptr;
    const TSpectrum spectrum(values);
    int count = 0;
    const double* coords = GetCoord(&count);
    return new TReflectionSpectrum(spectrum, tmpl->GetGeometry(), count, coords);
}
