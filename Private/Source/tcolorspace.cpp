// TColorSpace: the facade over the CIELAB, CIECAM97s and CIECAM02 spaces.
#include <tintvale/tcolorspace.h>

#include <tintvale/tcolorspace_ciecam02.h>
#include <tintvale/tcolorspace_ciecam97s.h>
#include <tintvale/tlabspace.h>

#include <cmath>
#include <limits>

namespace {

const char* sColorSpaceList[] = { "CIELAB (Classic)", "CIECAM97s", "CIECAM02" };
constexpr int kNrColorSpaces = 3;
// The facade always uses the average surround.
constexpr int kViewingCondition = 0;

} // namespace

TColorSpace::TColorSpace(const double* white, int type)
    : mError(0)
    , mType(type)
{
    switch (type) {
    case 0:
        mRepresentation = std::make_unique<TLabSpace>(white);
        break;
    case 1:
        mRepresentation = std::make_unique<TColorSpace_CIECAM97s>(white, kViewingCondition);
        break;
    case 2:
        mRepresentation = std::make_unique<TColorSpace_CIECAM02>(white, kViewingCondition);
        break;
    default:
        mError = 1;
        break;
    }
}

TColorSpace::~TColorSpace() = default;

int TColorSpace::ErrNo() const
{
    if (mError != 0)
        return mError;
    return mRepresentation ? mRepresentation->ErrNo() : 1;
}

int TColorSpace::ToXYZ(const double* coords, double* xyz) const
{
    return mRepresentation ? mRepresentation->ToXYZ(coords, xyz) : 1;
}

int TColorSpace::FromXYZ(const double* xyz, double* coords) const
{
    return mRepresentation ? mRepresentation->FromXYZ(xyz, coords) : 1;
}

double TColorSpace::CalcSquareDeltaE(const double* xyz1, const double* xyz2, int index) const
{
    return mRepresentation ? mRepresentation->CalcSquareDeltaE(xyz1, xyz2, index) : -1.0;
}

double TColorSpace::CalcSquareDeltaEConverted(const double* coords1, const double* coords2, int index) const
{
    return mRepresentation ? mRepresentation->CalcSquareDeltaEConverted(coords1, coords2, index) : -1.0;
}

double TColorSpace::CalcDeltaE(const double* xyz1, const double* xyz2, int index) const
{
    if (!mRepresentation)
        return std::numeric_limits<double>::quiet_NaN();
    return std::sqrt(mRepresentation->CalcSquareDeltaE(xyz1, xyz2, index));
}

const char** TColorSpace::GetColorSpaceList() { return sColorSpaceList; }

int TColorSpace::GetColorSpaceListSize() { return kNrColorSpaces; }

const char** TColorSpace::GetDifferenceFunctionList() const { return GetDifferenceFunctionList(mType); }

int TColorSpace::GetDifferenceFunctionListSize() const { return GetDifferenceFunctionListSize(mType); }

const char** TColorSpace::GetDifferenceFunctionList(int type)
{
    switch (type) {
    case 0:
        return TLabSpace::GetDifferenceFunctionList();
    case 1:
        return TColorSpace_CIECAM97s::GetDifferenceFunctionList();
    case 2:
        return TColorSpace_CIECAM02::GetDifferenceFunctionList();
    default:
        return nullptr;
    }
}

int TColorSpace::GetDifferenceFunctionListSize(int type)
{
    switch (type) {
    case 0:
        return TLabSpace::GetDifferenceFunctionListSize();
    case 1:
        return TColorSpace_CIECAM97s::GetDifferenceFunctionListSize();
    case 2:
        return TColorSpace_CIECAM02::GetDifferenceFunctionListSize();
    default:
        return -1;
    }
}
