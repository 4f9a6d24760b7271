// TSpectrum: construction, resampling onto the 36-point grid, products and file-data encoding.
#include <tintvale/tspectrum.h>

#include "halden.h"
#include "tspectrum_record.h"

#include <algorithm>
#include <cmath>
#include <cstring>

TSpectrum::TSpectrum() { SetToZero(); }

TSpectrum::TSpectrum(const TSpectrum& other)
{
    SetToZero();
    Init(other);
}

TSpectrum::TSpectrum(const double* uniform)
{
    SetToZero();
    if (!uniform) {
        mError = 2;
        return;
    }
    std::memcpy(mUniform, uniform, sizeof mUniform);
}

TSpectrum::TSpectrum(const double* wavelengths, int count, const double* values)
{
    SetToZero();
    mNonUniform = 1;
    if (!wavelengths || !values || count < 1 || count > kMaxPoints) {
        mError = 2;
        return;
    }
    mNrPoints = count;
    mWavelengths.assign(wavelengths, wavelengths + count);
    mValues.assign(values, values + count);
    mError = CalcStandardSpec();
}

TSpectrum::TSpectrum(const TSpectrum* a, const TSpectrum* b)
{
    SetToZero();
    if (!a || !b) {
        mError = 2;
        return;
    }
    if (a->mUniform[0] == kNotSet || b->mUniform[0] == kNotSet) {
        mError = 3;
        return;
    }
    for (int i = 0; i < kNrUniform; ++i)
        mUniform[i] = a->mUniform[i] * b->mUniform[i];
}

TSpectrum::TSpectrum(char* text)
{
    SetToZero();
    if (!text) {
        mError = 2;
        return;
    }
    TSpectrumRecord::ParseText(*this, text, std::strlen(text));
}

TSpectrum::TSpectrum(void* record, void** next)
{
    SetToZero();
    if (!record) {
        mError = 2;
        return;
    }
    // The caller vouches for the record; the reader never goes past the largest possible one.
    std::size_t used = 0;
    const auto* data = static_cast<const unsigned char*>(record);
    if (TSpectrumRecord::ReadLong(*this, data, TSpectrumRecord::kMaxLongRecord, &used) == 0 && next)
        *next = static_cast<unsigned char*>(record) + used;
}

TSpectrum::TSpectrum(const TSpectrum* reference, void* record, void** next)
{
    SetToZero();
    if (!reference || !record) {
        mError = 2;
        return;
    }
    std::size_t used = 0;
    const auto* data = static_cast<const unsigned char*>(record);
    const std::size_t bound = TSpectrumRecord::BlockSize(kMaxPoints > kNrUniform ? kMaxPoints : kNrUniform);
    if (TSpectrumRecord::ReadShort(*this, *reference, data, bound, &used) == 0 && next)
        *next = static_cast<unsigned char*>(record) + used;
}

TSpectrum::~TSpectrum() { Clear(); }

TSpectrum& TSpectrum::operator=(const TSpectrum& other)
{
    if (this != &other) {
        Clear();
        Init(other);
    }
    return *this;
}

const double* TSpectrum::GetUniformSpectrum(double* start, double* end, int* count) const
{
    if (start)
        *start = kFirstWavelength;
    if (end)
        *end = kLastWavelength;
    if (count)
        *count = kNrUniform;
    return mUniform;
}

int TSpectrum::InProduct(const TSpectrum* other, double* result) const
{
    if (!other || !result)
        return 2;
    double sum = 0.0;
    for (int i = 0; i < kNrUniform; ++i)
        sum += mUniform[i] * other->mUniform[i];
    *result = sum;
    return 0;
}

void TSpectrum::ClearNonUniform()
{
    mWavelengths = std::vector<double>();
    mValues = std::vector<double>();
    mFileData = std::vector<char>();
    mNonUniform = 0;
    mNrPoints = 0;
    mFileDataSize = 0;
    mError = 0;
}

const char* TSpectrum::ToFileData(int* size) const
{
    if (!size) {
        mError = 2;
        return nullptr;
    }
    const bool uniform = (mNonUniform == 0);
    const int n = uniform ? kNrUniform : mNrPoints;
    if (!TSpectrumRecord::Encodable(uniform ? mUniform : mValues.data(), n))
        return Unencodable(size);
    const std::size_t header = uniform ? 2 : 4 + 2 * static_cast<std::size_t>(n);
    mFileData.assign(header + TSpectrumRecord::BlockSize(n), 0);
    auto* out = reinterpret_cast<unsigned char*>(mFileData.data());
    out[0] = uniform ? 0 : 1;
    if (uniform) {
        TSpectrumRecord::EncodeBlock(mUniform, n, out + 2);
    } else {
        out[2] = static_cast<unsigned char>(n & 0xFF);
        out[3] = static_cast<unsigned char>(n >> 8);
        for (int i = 0; i < n; ++i) {
            // Wavelengths are stored as whole nanometres.
            const double w = mWavelengths[i];
            const unsigned nm = !(w > 0.0) ? 0u : (w >= 65535.0 ? 65535u : static_cast<unsigned>(w));
            out[4 + 2 * i] = static_cast<unsigned char>(nm & 0xFF);
            out[5 + 2 * i] = static_cast<unsigned char>(nm >> 8);
        }
        TSpectrumRecord::EncodeBlock(mValues.data(), n, out + header);
    }
    mFileDataSize = *size = static_cast<int>(mFileData.size());
    return mFileData.data();
}

const char* TSpectrum::ToShrtFileData(TSpectrum* reference, int* size) const
{
    if (!reference || !size) {
        mError = 2;
        return nullptr;
    }
    bool sameLayout = (reference->mNonUniform == mNonUniform);
    if (sameLayout && mNonUniform) {
        sameLayout = (reference->mNrPoints == mNrPoints);
        for (int i = 0; sameLayout && i < mNrPoints; ++i)
            sameLayout = (reference->mWavelengths[i] == mWavelengths[i]);
    }
    if (!sameLayout) {
        mError = 5;
        return nullptr;
    }
    const int n = mNonUniform ? mNrPoints : kNrUniform;
    if (!TSpectrumRecord::Encodable(mNonUniform ? mValues.data() : mUniform, n))
        return Unencodable(size);
    mFileData.assign(TSpectrumRecord::BlockSize(n), 0);
    TSpectrumRecord::EncodeBlock(
        mNonUniform ? mValues.data() : mUniform, n, reinterpret_cast<unsigned char*>(mFileData.data()));
    mFileDataSize = *size = static_cast<int>(mFileData.size());
    return mFileData.data();
}

// No record rather than one the reader would refuse or misread.
const char* TSpectrum::Unencodable(int* size) const
{
    mFileData = std::vector<char>();
    mFileDataSize = *size = 0;
    mError = kErrorMalformed;
    return nullptr;
}

void TSpectrum::SetToZero()
{
    mFileDataSize = 0;
    mNonUniform = 0;
    mNrPoints = 0;
    for (double& v : mUniform)
        v = kNotSet;
    mError = 0;
}

void TSpectrum::Clear()
{
    mWavelengths = std::vector<double>();
    mValues = std::vector<double>();
    mFileData = std::vector<char>();
    SetToZero();
}

void TSpectrum::Init(const TSpectrum& other)
{
    mNonUniform = other.mNonUniform;
    mNrPoints = other.mNrPoints;
    mWavelengths = other.mWavelengths;
    mValues = other.mValues;
    std::memcpy(mUniform, other.mUniform, sizeof mUniform);
    mError = 0;
}

// Linear interpolation through the points, flat beyond the smallest and largest wavelength.
bool TSpectrum::OnUniformGrid() const
{
    if (mNrPoints != kNrUniform)
        return false;
    double lambda = kFirstWavelength;
    for (int i = 0; i < kNrUniform; ++i, lambda += kUniformStep)
        if (mWavelengths[i] != lambda)
            return false;
    return true;
}

int TSpectrum::CalcStandardSpec()
{
    if (OnUniformGrid()) {
        // Every grid point is a sample: interpolation would return the samples themselves.
        for (int i = 0; i < kNrUniform; ++i)
            if (!std::isfinite(mValues[i]))
                return 4;
        std::copy(mValues.begin(), mValues.end(), mUniform);
        return 0;
    }
    lin_interp_double* interp = lin_interp_double_new(mNrPoints, 0);
    if (!interp)
        return 1;
    for (int i = 0; i < mNrPoints; ++i)
        if (lin_interp_double_insert(interp, mWavelengths[i], mValues[i]) < 0) {
            lin_interp_double_kill(interp);
            return 4;
        }
    int lowest = 0;
    int highest = 0;
    for (int i = 1; i < mNrPoints; ++i) {
        if (mWavelengths[i] < mWavelengths[lowest])
            lowest = i;
        if (mWavelengths[i] > mWavelengths[highest])
            highest = i;
    }
    lin_interp_double_insert(interp, 0.0, mValues[lowest]);
    lin_interp_double_insert(interp, 1000.0, mValues[highest]);
    double lambda = kFirstWavelength;
    for (int i = 0; i < kNrUniform; ++i, lambda += kUniformStep)
        lin_interp_double_inter(interp, lambda, &mUniform[i]);
    lin_interp_double_kill(interp);
    return 0;
}
