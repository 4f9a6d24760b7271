// TXYZMeasurement: tristimulus values bound to one illuminant and observer.
#include <tintvale/txyzmeasurement.h>

#include <tintvale/tobserver.h>

#include "tmeasurement_white.h"

TXYZMeasurement::TXYZMeasurement(
    double x, double y, double z, const TMeasGeom* geom, const TIlluminant* ill, const TObserver* obs)
    : TXYZMeasurement(x, y, z, geom, ill, obs, 0, nullptr)
{ }

TXYZMeasurement::TXYZMeasurement(double x, double y, double z, const TMeasGeom* geom, const TIlluminant* ill,
    const TObserver* obs, int count, const double* coords)
    : TOneMeasurement(geom, count, coords)
{
    if (ill == nullptr || obs == nullptr) {
        SetError(3);
        return;
    }
    mXYZ[0] = x;
    mXYZ[1] = y;
    mXYZ[2] = z;
    mIlluminant = ill;
    mObserver = std::make_unique<TObserver>(*obs);
}

TXYZMeasurement::~TXYZMeasurement() = default;

TOneMeasurement* TXYZMeasurement::Copy() const
{
    int count = 0;
    const double* coords = GetCoord(&count);
    auto* copy = new TXYZMeasurement(
        mXYZ[0], mXYZ[1], mXYZ[2], GetGeometry(), mIlluminant, mObserver.get(), count, coords);
    if (ErrNo() != 0)
        copy->SetError(ErrNo());
    return copy;
}

int TXYZMeasurement::GetXYZ(const TIlluminant* ill, const TObserver* obs, double* xyz) const
{
    if (xyz == nullptr)
        return kInvalidArgument;
    if (!IsFiniteTriple(mXYZ))
        return kNotFinite;
    for (int c = 0; c < 3; ++c)
        xyz[c] = mXYZ[c];
    if (!mObserver)
        return 3;
    // The illuminant by identity, the observer by equality; null asks for any.
    if ((ill != nullptr && ill != mIlluminant) || (obs != nullptr && !(*obs == *mObserver)))
        return -1;
    return 0;
}

const double* TXYZMeasurement::GetUniformSpectrum(double* /*start*/, double* /*end*/, int* /*count*/) const
{
    return nullptr;
}
