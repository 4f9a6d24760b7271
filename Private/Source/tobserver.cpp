// TObserver: observer selection, the shared colour-matching spectra and tristimulus summation.
#include <tintvale/tobserver.h>

#include <tintvale/tspectrum.h>

#include <cstring>
#include <mutex>

const char* const TObserver::sObsNameList[TObserver::kNrObservers] = { "2 degree", "10 degree" };
const int TObserver::sNrObservers = TObserver::kNrObservers;

namespace {

// Maximum spectral luminous efficacy scale of the summation, as the library has always used it.
constexpr double kLuminousScale = 6.83;
constexpr double kTableStart = 380.0;
constexpr double kTableStep = 5.0;

// Built once per observer and kept for the whole process.
const TSpectrum* sXTSpectrum[TObserver::kNrObservers] = { nullptr, nullptr };
const TSpectrum* sYTSpectrum[TObserver::kNrObservers] = { nullptr, nullptr };
const TSpectrum* sZTSpectrum[TObserver::kNrObservers] = { nullptr, nullptr };
std::once_flag sBuilt[TObserver::kNrObservers];

void BuildSpectra(int index)
{
    double wavelengths[TObserver::kNrTableRows];
    for (int i = 0; i < TObserver::kNrTableRows; ++i)
        wavelengths[i] = kTableStart + kTableStep * i;
    // The 5-nm table holds every 10-nm grid point, so the resampled grid samples are table values.
    sXTSpectrum[index] = new TSpectrum(wavelengths, TObserver::kNrTableRows, TObserver::sXSpectrum[index]);
    sYTSpectrum[index] = new TSpectrum(wavelengths, TObserver::kNrTableRows, TObserver::sYSpectrum[index]);
    sZTSpectrum[index] = new TSpectrum(wavelengths, TObserver::kNrTableRows, TObserver::sZSpectrum[index]);
}

} // namespace

TObserver::TObserver(int index)
{
    if (static_cast<unsigned>(index) < static_cast<unsigned>(kNrObservers))
        mIndex = index;
    else
        mError = 2;
}

TObserver::TObserver(const char* name)
{
    mError = 2;
    if (name == nullptr)
        return;
    for (int i = 0; i < kNrObservers; ++i) {
        if (std::strcmp(name, sObsNameList[i]) == 0) {
            mIndex = i;
            mError = 0;
            return;
        }
    }
}

TObserver::TObserver(const TObserver& other)
    : mIndex(other.mIndex)
{ }

TObserver& TObserver::operator=(const TObserver& other)
{
    mX = other.mX;
    mY = other.mY;
    mZ = other.mZ;
    mIndex = other.mIndex;
    mError = other.mError;
    return *this;
}

TObserver::~TObserver() = default;

int TObserver::GetKnownObservers(const char*** list, int* count)
{
    if (list == nullptr || count == nullptr)
        return 2;
    *list = const_cast<const char**>(sObsNameList);
    *count = kNrObservers;
    return 0;
}

void TObserver::InitSpectra() const
{
    std::call_once(sBuilt[mIndex], BuildSpectra, mIndex);
    mX = sXTSpectrum[mIndex];
    mY = sYTSpectrum[mIndex];
    mZ = sZTSpectrum[mIndex];
}

void TObserver::FetchSpectra() const
{
    if (mX == nullptr || mY == nullptr || mZ == nullptr)
        InitSpectra();
}

const TSpectrum* TObserver::GetXSensitivity() const
{
    FetchSpectra();
    return mX;
}

const TSpectrum* TObserver::GetYSensitivity() const
{
    FetchSpectra();
    return mY;
}

const TSpectrum* TObserver::GetZSensitivity() const
{
    FetchSpectra();
    return mZ;
}

// X = 6.83 * Σ x̄(λ) S(λ), Y and Z alike, over the 36-sample grid.
int TObserver::GetXYZ(const TSpectrum* spectrum, double* xyz) const
{
    if (spectrum == nullptr || xyz == nullptr)
        return 2;
    FetchSpectra();
    const TSpectrum* cmf[3] = { mX, mY, mZ };
    for (int c = 0; c < 3; ++c) {
        int status = cmf[c]->InProduct(spectrum, &xyz[c]);
        if (status != 0)
            return status;
    }
    for (int c = 0; c < 3; ++c)
        xyz[c] *= kLuminousScale;
    return 0;
}

// X = k Σ x̄(λ) S(λ), k = 100 / Σ ȳ(λ) W(λ) (CIE 15:2004, 7.1, on the grid without weights).
int TObserver::GetXYZ(const TSpectrum* spectrum, const TSpectrum* white, double* xyz) const
{
    if (spectrum == nullptr || white == nullptr || xyz == nullptr)
        return 2;
    FetchSpectra();
    const TSpectrum* cmf[3] = { mX, mY, mZ };
    for (int c = 0; c < 3; ++c) {
        int status = cmf[c]->InProduct(spectrum, &xyz[c]);
        if (status != 0)
            return status;
    }
    double whiteY = 0.0;
    int status = mY->InProduct(white, &whiteY);
    if (status != 0)
        return status;
    if (!(whiteY > 0.0))
        return 3;
    const double k = 100.0 / whiteY;
    for (int c = 0; c < 3; ++c)
        xyz[c] *= k;
    return 0;
}
