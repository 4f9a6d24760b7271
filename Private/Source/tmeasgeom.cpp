// TMeasGeom: the table of measurement geometries and the look-ups by number and name.
#include <tintvale/tmeasgeom.h>

#include "halden.h"

#include <cstring>

const char* const TMeasGeom::sGeomList[TMeasGeom::kNrGeom] = {
    "Ill 45, Obs 0",
    "Ill 0, Obs 45",
    "Ill Diffuse, Obs 8",
    "Ill Diffuse, Obs 8, Specular included",
    "Ill 8, Obs Diffuse",
    "Ill 8, Obs Diffuse, Specular included",
    "Ill None, Obs 0",
    "Ill 45, Obs 0, Pol Filter",
    "Ill 45, Obs 0, D65 Filter",
    "Ill 45, Obs 0, UV Filter",
    "Ill None, Obs 0, Pol Filter",
    "Ill None, Obs 0, D65 Filter",
    "Ill None, Obs 0, UV Filter",
};
const int TMeasGeom::sNrGeom = TMeasGeom::kNrGeom;

namespace {

// The source named in messages.
constexpr char kSource[] = "tmeasgeom";

const char* const kUnknownGeometry = "Unkown Geometry";

bool IsGeometryNumber(int number)
{
    return static_cast<unsigned>(number) < static_cast<unsigned>(TMeasGeom::kNrGeom);
}

} // namespace

TMeasGeom::TMeasGeom(int number)
{
    if (IsGeometryNumber(number))
        mNumber = number;
    else
        mError = 2;
}

TMeasGeom::TMeasGeom(const char* name)
{
    if (name != nullptr) {
        for (int i = 0; i < kNrGeom; ++i) {
            if (std::strcmp(name, sGeomList[i]) == 0) {
                mNumber = i;
                return;
            }
        }
    }
    mError = 2;
}

TMeasGeom::TMeasGeom(const TMeasGeom& other)
    : mNumber(other.mNumber)
{ }

TMeasGeom& TMeasGeom::operator=(const TMeasGeom& other)
{
    mNumber = other.mNumber;
    mError = other.mError;
    return *this;
}

TMeasGeom::~TMeasGeom() = default;

const char* TMeasGeom::GetGeometryName(int number)
{
    if (IsGeometryNumber(number))
        return sGeomList[number];
    error_mess_fl(kUnknownGeometry, kSource, __LINE__);
    return nullptr;
}

int TMeasGeom::GetGeometryNumber(const char* name)
{
    if (name != nullptr) {
        for (int i = 0; i < kNrGeom; ++i) {
            if (strcmp_ci(name, sGeomList[i]) == 0)
                return i;
        }
    }
    error_mess_fl(kUnknownGeometry, kSource, __LINE__);
    return -1;
}

int TMeasGeom::GetKnownGeometries(const char*** list, int* count)
{
    if (list == nullptr || count == nullptr)
        return 2;
    *list = const_cast<const char**>(sGeomList);
    *count = kNrGeom;
    return 0;
}
