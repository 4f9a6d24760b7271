// TOneMeasurement: one colour sample under a measurement geometry, as a reflectance spectrum, an
// emission spectrum, an XYZ triple or a Lab triple (the four subclasses), able to give XYZ, Lab,
// densities, a spot colour tone value and a spectral equivalent.
#ifndef TINTVALE_TONEMEASUREMENT_H
#define TINTVALE_TONEMEASUREMENT_H

#include <tintvale/tcms.h>
#include <tintvale/texport.h>
#include <tintvale/tmeasgeom.h>

#include <vector>

class TIlluminant;
class TObserver;
class TSpectrum;

// The geometry is held by value; the colour coordinates (plain doubles attached by the creator,
// for instance 1 - tint / 100 per process colour) are owned. Illuminants given to measurements are
// borrowed and must outlive them; observers are copied.
//
// Error numbers (ErrNo): 0 complete; 3 constructed without a required part (a null geometry,
// spectrum, illuminant, observer or white); the object stays usable and destructible.
//
// Status codes of the operations:
//    0 success
//   -1 an XYZ or Lab measurement was asked under another illuminant (by identity) or observer
//      (by equality) than its own; a null illuminant or observer matches any
//    2 a spectral measurement has no spectrum, or a density standard above 8
//    3 a required pointer is null, or a white cannot serve as the reference of CIELAB (a
//      component not positive and finite), or the measurement lacks its illuminant or observer
//    4 GetXYZ, GetLAB: a stored value or the result is NaN or infinite; nothing is written
// Nothing is reported to the message sink.
//
// Objects returned by Copy and CreateSpectralMeasurement belong to the caller (delete them).
class TINTVALE_API TOneMeasurement {
public:
    // The status codes above (GetDensity adds 1: a density is undefined).
    enum Status : int {
        kOtherBinding = -1,
        kSuccess = 0,
        kUndefinedDensity = 1,
        kNoSpectrum = 2,
        kInvalidArgument = 3,
        kNotFinite = 4,
    };

    explicit TOneMeasurement(const TMeasGeom* geom);
    // Copies count coordinates; a count of 0 or below, or null coords, attaches none.
    TOneMeasurement(const TMeasGeom* geom, int count, const double* coords);
    TOneMeasurement& operator=(const TOneMeasurement&) = delete;

    virtual ~TOneMeasurement();
    // A new measurement of the same class with the same contents and coordinates.
    virtual TOneMeasurement* Copy() const = 0;
    // Densities relative to a reference (paper) measurement, cyan, magenta, yellow, visual (ISO 5-3,
    // see TSpectrum::GetDensity). With both spectra: this minus the reference, clamped at 0, and the
    // dominant index of this spectrum alone; 1 when either spectral density fails. Without a
    // spectrum on either side: D = log10(ref / this) of X, Y, Z (reference preset to 100 when it
    // gives no XYZ), visual = Y's; 1 when a ratio is not positive (densities from it on are
    // not written). Without a reference: the plain form.
    virtual int GetDensity(TCMS::FilterStandard standard, const TOneMeasurement* reference,
        const TIlluminant* ill, const TObserver* obs, double* densities, int* dominant) const;
    // Densities of the spectrum (TSpectrum::GetDensity); without a spectrum four 0.0, index 0, 0.
    virtual int GetDensity(TCMS::FilterStandard standard, double* densities, int* dominant) const;
    // XYZ (Y = 100 for the perfect white where an illuminant applies) under ill and obs.
    virtual int GetXYZ(const TIlluminant* ill, const TObserver* obs, double* xyz) const = 0;
    // The 36 uniform samples of the spectrum, null when not spectral; start, end and count as in
    // TSpectrum::GetUniformSpectrum. Owned by the measurement.
    virtual const double* GetUniformSpectrum(double* start, double* end, int* count) const = 0;
    // GetXYZ, then CIELAB relative to white (3 doubles).
    virtual int GetLAB(const TIlluminant* ill, const TObserver* obs, const double* white, double* lab) const;
    // The measured spectrum, owned by the measurement; null when not spectral.
    virtual const TSpectrum* GetSpectrum() const;
    // A spectral measurement reproducing this one, or null: spectral measurements give a copy,
    // XYZ measurements null. tmpl is used by the Lab measurement only.
    virtual TOneMeasurement* CreateSpectralMeasurement(const TOneMeasurement* tmpl) const;

    int ErrNo() const { return mError; }
    const TMeasGeom* GetGeometry() const { return &mGeometry; }
    // *count (where non-null) receives the count; the array is owned, null when there is none.
    const double* GetCoord(int* count) const;
    // Replaces the coordinates by a copy of count values (count 0 leaves none). Returns 0, or 3
    // (nothing changed) for a negative count or null coords with a positive count.
    int SetCoord(int count, const double* coords);

    // Spot colour tone value (ISO 20654) against paper and solid (either may be null), in CIELAB
    // under the white of ill and obs: 0 at the paper, 1 at the solid; -1.0 when a Lab fails.
    double GetSCTV(const TIlluminant* ill, const TObserver* obs, const TOneMeasurement* paper,
        const TOneMeasurement* solid) const;

protected:
    // Geometry and error number; no coordinates.
    TOneMeasurement(const TOneMeasurement& other);
    void SetError(int error) { mError = error; }

private:
    int mError = 0;
    TMeasGeom mGeometry;
    std::vector<double> mCoords;
};

#endif
