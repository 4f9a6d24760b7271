// TObserver: the CIE 1931 2° and CIE 1964 10° standard colorimetric observers, their colour-matching
// functions on the library's 36-sample grid and a plain tristimulus summation over that grid.
#ifndef TINTVALE_TOBSERVER_H
#define TINTVALE_TOBSERVER_H

#include <tintvale/texport.h>

class TSpectrum;

// Selects observer 0 "2 degree" (CIE 1931) or 1 "10 degree" (CIE 1964). A small value type.
//
// Error numbers (ErrNo): 0, or 2 when the constructor argument named no observer (observer 0 is
// then used). GetXYZ returns 0, 2 for a null pointer, or the status of a failing in-product;
// the normalised form returns 3 when the white has no positive luminance.
//
// The colour-matching spectra are shared, process-wide and immutable: they are built once per
// observer on first use (safe when several threads make that first call at once) and never released.
// Returned spectrum pointers are not owned by the caller.
class TINTVALE_API TObserver {
public:
    static constexpr int kNrObservers = 2;
    // 380, 385, ..., 780 nm.
    static constexpr int kNrTableRows = 81;

    explicit TObserver(int index = 0);
    // Exact, case-sensitive look-up in sObsNameList.
    explicit TObserver(const char* name);
    // Copies the index only; the copy fetches its spectra again when needed and has error 0.
    TObserver(const TObserver& other);
    TObserver& operator=(const TObserver& other);
    virtual ~TObserver();

    // Observers are equal when their indices are.
    bool operator==(const TObserver& other) const { return mIndex == other.mIndex; }
    bool operator!=(const TObserver& other) const { return mIndex != other.mIndex; }

    const char* GetName() const { return sObsNameList[mIndex]; }
    int Index() const { return mIndex; }
    int ErrNo() const { return mError; }

    // *list receives sObsNameList (read-only), *count 2. Returns 2 when either pointer is null, else 0.
    static int GetKnownObservers(const char*** list, int* count);

    // The colour-matching functions of this observer on the 36-sample grid.
    const TSpectrum* GetXSensitivity() const;
    const TSpectrum* GetYSensitivity() const;
    const TSpectrum* GetZSensitivity() const;

    // X = 6.83 * sum x̄[i] s[i] over the grid, likewise Y and Z.
    int GetXYZ(const TSpectrum* spectrum, double* xyz) const;
    // X = k * sum x̄[i] s[i], k = 100 / sum ȳ[i] w[i]: spectrum is the stimulus (for a reflectance,
    // reflectance times light), white the light, so that a perfect white gives Y = 100.
    int GetXYZ(const TSpectrum* spectrum, const TSpectrum* white, double* xyz) const;

    // The colour-matching functions x̄, ȳ, z̄ at 380, 385, ..., 780 nm, four decimals (CIE 15.2:1986
    // Tables 2.1 and 2.2); one row per observer.
    static const double sXSpectrum[kNrObservers][kNrTableRows];
    static const double sYSpectrum[kNrObservers][kNrTableRows];
    static const double sZSpectrum[kNrObservers][kNrTableRows];
    static const char* const sObsNameList[kNrObservers];
    static const int sNrObservers;

protected:
    // Builds the shared spectra of this observer if needed and points this object at them.
    void InitSpectra() const;

private:
    void FetchSpectra() const;

    mutable const TSpectrum* mX = nullptr;
    mutable const TSpectrum* mY = nullptr;
    mutable const TSpectrum* mZ = nullptr;
    int mIndex = 0;
    int mError = 0;
};

#endif
