// TReflectionSpectrum: a measurement given as a reflectance (or transmittance) spectrum.
#ifndef TINTVALE_TREFLECTIONSPECTRUM_H
#define TINTVALE_TREFLECTIONSPECTRUM_H

#include <tintvale/texport.h>
#include <tintvale/tonemeasurement.h>

#include <memory>

// Owns a private copy of its spectrum. Built from a null spectrum it holds an empty one (every
// sample unset) and has error number 3; GetXYZ then returns 2. XYZ integrates the spectrum under the
// illuminant and observer asked for (TIlluminantAndObserver, 36 points), the perfect white at Y = 100.
class TINTVALE_API TReflectionSpectrum : public TOneMeasurement {
public:
    TReflectionSpectrum(const TSpectrum& spectrum, const TMeasGeom* geom);
    TReflectionSpectrum(const TSpectrum& spectrum, const TMeasGeom* geom, int count, const double* coords);
    // The 36 uniform samples at 380, 390, ..., 730 nm.
    TReflectionSpectrum(const double* values, const TMeasGeom* geom);
    TReflectionSpectrum(const double* values, const TMeasGeom* geom, int count, const double* coords);
    TReflectionSpectrum(const TSpectrum* spectrum, const TMeasGeom* geom);
    TReflectionSpectrum(const TSpectrum* spectrum, const TMeasGeom* geom, int count, const double* coords);
    // Geometry, spectrum and error number; the copy has no coordinates.
    TReflectionSpectrum(const TReflectionSpectrum& other);
    ~TReflectionSpectrum() override;

    TOneMeasurement* Copy() const override;
    int GetXYZ(const TIlluminant* ill, const TObserver* obs, double* xyz) const override;
    const double* GetUniformSpectrum(double* start, double* end, int* count) const override;
    const TSpectrum* GetSpectrum() const override;

private:
    void Take(const TSpectrum* spectrum);

    std::unique_ptr<TSpectrum> mSpectrum;
    bool mEmpty = false; // built without a spectrum
};

#endif
