// TLABMeasurement: a measurement given as CIELAB values relative to a stated white, under one
// illuminant and observer.
#ifndef TINTVALE_TLABMEASUREMENT_H
#define TINTVALE_TLABMEASUREMENT_H

#include <tintvale/texport.h>
#include <tintvale/tonemeasurement.h>

#include <memory>

// Keeps L*, a*, b* and the white Xn, Yn, Zn they are relative to, borrows the illuminant (compared
// by identity) and owns a copy of the observer (compared by equality). Built with a null white,
// illuminant or observer it keeps zeros and no illuminant or observer, has error number 3, and its
// GetXYZ, GetLAB (beyond writing the stored Lab) and CreateSpectralMeasurement fail.
class TINTVALE_API TLABMeasurement : public TOneMeasurement {
public:
    // Within this distance in every component a white counts as the stored one.
    static constexpr double kWhiteTolerance = 0.1;

    TLABMeasurement(double l, double a, double b, const double* const white, const TMeasGeom* geom,
        const TIlluminant* ill, const TObserver* obs);
    TLABMeasurement(double l, double a, double b, const double* const white, const TMeasGeom* geom,
        const TIlluminant* ill, const TObserver* obs, int count, const double* coords);
    TLABMeasurement(const TLABMeasurement&) = delete;
    ~TLABMeasurement() override;

    TOneMeasurement* Copy() const override;
    // The stored Lab converted to XYZ under the stored white; -1 on another illuminant or
    // observer (nothing written), 3 when the stored white is not usable.
    int GetXYZ(const TIlluminant* ill, const TObserver* obs, double* xyz) const override;
    // Null: not spectral.
    const double* GetUniformSpectrum(double* start, double* end, int* count) const override;
    // Writes the stored Lab; -1 on another illuminant or observer. A null white, or one within
    // kWhiteTolerance of the stored white in every component, keeps the stored values (0); another
    // white converts them to Lab under it.
    int GetLAB(const TIlluminant* ill, const TObserver* obs, const double* white, double* lab) const override;
    // A TReflectionSpectrum whose colour under the stored illuminant and observer matches this Lab
    // (TIlluminantAndObserver::CalculateMatchingSpectrum from the uniform spectrum of tmpl, in
    // CIELAB, default bounds), with the geometry of tmpl and this measurement's coordinates. Null
    // when tmpl is null or not spectral, or the search cannot run.
    TOneMeasurement* CreateSpectralMeasurement(const TOneMeasurement* tmpl) const override;

    const TIlluminant* GetIlluminant() const { return mIlluminant; }
    // The owned observer copy; null when built without one.
    const TObserver* GetObserver() const { return mObserver.get(); }
    // The three white components.
    const double* GetWhite() const { return mWhite; }

private:
    // -1 when ill or obs (where non-null) is not the stored one, else 0.
    int Matches(const TIlluminant* ill, const TObserver* obs) const;

    double mLab[3] = { 0.0, 0.0, 0.0 };
    const TIlluminant* mIlluminant = nullptr;
    std::unique_ptr<TObserver> mObserver;
    double mWhite[3] = { 0.0, 0.0, 0.0 };
};

#endif
