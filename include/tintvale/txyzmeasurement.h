// TXYZMeasurement: a measurement given as tristimulus values under one illuminant and observer.
#ifndef TINTVALE_TXYZMEASUREMENT_H
#define TINTVALE_TXYZMEASUREMENT_H

#include <tintvale/texport.h>
#include <tintvale/tonemeasurement.h>

#include <memory>

// Keeps X, Y, Z, borrows the illuminant (compared by identity: another object of the same name is
// another illuminant) and owns a copy of the observer (compared by equality). Built with a null
// illuminant or observer it keeps zeros and no illuminant or observer, has error number 3, and
// its GetXYZ returns 3.
class TINTVALE_API TXYZMeasurement : public TOneMeasurement {
public:
    TXYZMeasurement(
        double x, double y, double z, const TMeasGeom* geom, const TIlluminant* ill, const TObserver* obs);
    TXYZMeasurement(double x, double y, double z, const TMeasGeom* geom, const TIlluminant* ill,
        const TObserver* obs, int count, const double* coords);
    TXYZMeasurement(const TXYZMeasurement&) = delete;
    ~TXYZMeasurement() override;

    TOneMeasurement* Copy() const override;
    // Writes the stored X, Y, Z, then returns -1 when ill or obs (where non-null) is not the stored one;
    // 4 (nothing written) when a stored value is not finite.
    int GetXYZ(const TIlluminant* ill, const TObserver* obs, double* xyz) const override;
    // Null: not spectral.
    const double* GetUniformSpectrum(double* start, double* end, int* count) const override;

    const TIlluminant* GetIlluminant() const { return mIlluminant; }
    // The owned observer copy; null when built without one.
    const TObserver* GetObserver() const { return mObserver.get(); }

private:
    double mXYZ[3] = { 0.0, 0.0, 0.0 };
    const TIlluminant* mIlluminant = nullptr;
    std::unique_ptr<TObserver> mObserver;
};

#endif
