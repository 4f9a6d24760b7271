// TEmissionSpectrum: a measurement given as the spectral radiance of a light or display.
#ifndef TINTVALE_TEMISSIONSPECTRUM_H
#define TINTVALE_TEMISSIONSPECTRUM_H

#include <tintvale/texport.h>
#include <tintvale/tonemeasurement.h>

#include <memory>

// Owns a private copy of its spectrum, or none (error number 3) when built from null. XYZ is the
// observer's absolute summation (TObserver::GetXYZ without a white); the illuminant is not used.
class TINTVALE_API TEmissionSpectrum : public TOneMeasurement {
public:
    TEmissionSpectrum(const TSpectrum* spectrum, const TMeasGeom* geom);
    TEmissionSpectrum(const TSpectrum* spectrum, const TMeasGeom* geom, int count, const double* coords);
    TEmissionSpectrum(const TEmissionSpectrum&) = delete;
    ~TEmissionSpectrum() override;

    TOneMeasurement* Copy() const override;
    // 3 for a null observer or output, 2 without a spectrum.
    int GetXYZ(const TIlluminant* ill, const TObserver* obs, double* xyz) const override;
    const double* GetUniformSpectrum(double* start, double* end, int* count) const override;
    const TSpectrum* GetSpectrum() const override;

private:
    std::unique_ptr<TSpectrum> mSpectrum;
};

#endif
