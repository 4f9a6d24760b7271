// TMeasGeom: the optical geometry a measurement was taken under, one of 13 named geometries.
#ifndef TINTVALE_TMEASGEOM_H
#define TINTVALE_TMEASGEOM_H

#include <tintvale/texport.h>

// A value object holding one index into sGeomList; the index is always valid.
//
// Error numbers (ErrNo): 0, or 2 when the constructor argument named no geometry and geometry 0
// ("Ill 45, Obs 0") was taken instead. The constructors report nothing; the static look-ups send
// "Unkown Geometry" to the message sink for an unknown number or name.
class TINTVALE_API TMeasGeom {
public:
    static constexpr int kNrGeom = 13;

    explicit TMeasGeom(int number = 0);
    // Exact, case-sensitive comparison with the table names; null or unknown gives error 2.
    explicit TMeasGeom(const char* name);
    // Copies the geometry; the copy has error number 0.
    TMeasGeom(const TMeasGeom& other);
    // Copies the geometry and the error number.
    TMeasGeom& operator=(const TMeasGeom& other);
    virtual ~TMeasGeom();

    int Index() const { return mNumber; }
    int ErrNo() const { return mError; }
    const char* Name() const { return sGeomList[mNumber]; }

    // The table name of number, or null (with the message) when number is not 0..12.
    static const char* GetGeometryName(int number);
    // The number of the first table name equal to name ignoring case, or -1 (with the message).
    static int GetGeometryNumber(const char* name);
    // *list receives sGeomList (read-only), *count 13; returns 0, or 2 (storing nothing) when
    // either pointer is null.
    static int GetKnownGeometries(const char*** list, int* count);

    static const char* const sGeomList[kNrGeom];
    static const int sNrGeom;

private:
    int mNumber = 0;
    int mError = 0;
};

#endif
