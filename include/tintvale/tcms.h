// TCMS: enumerations and structures shared across the library's classes: the density standards and
// the CGATS chart layout with its small enumerations (written to and read from files as integers).
#ifndef TINTVALE_TCMS_H
#define TINTVALE_TCMS_H

#include <tintvale/texport.h>

#include <string>
#include <vector>

namespace TCMS {

// Density standards (status filter sets); TSpectrum::GetDensityList() gives their display names.
enum FilterStandard : int {
    AnsiA = 0,
    AnsiT = 1,
    Din = 2,
    DinNb = 3,
    IsoStatusA = 4,
    IsoStatusM = 5,
    IsoStatusT = 6,
    IsoStatusE = 7,
    IsoStatusI = 8
};

// A yes/no setting that may be left unspecified; any other integer is a specified setting.
enum OptionalBool : int { kOptionalUnspecified = -1, kOptionalNo = 0, kOptionalYes = 1 };

// How gaps are placed between patches; negative means unspecified, 0 and up are modes.
enum GapMode : int { kGapModeUnspecified = -1 };

// The ink set of a chart (the "INKSET" keyword); negative means unspecified.
enum InkSet : int { kInkSetUnspecified = -1 };

// The physical layout of a printed test chart, as carried in CGATS header keywords.
// A plain value: copies are deep, equality compares every field (doubles exactly).
class TINTVALE_API TLayoutInfo {
public:
    // Row length, columns, pages, Pellor flag and patch sizes 0; gaps -1.0; device, ink set -1;
    // mirror 0; no measurement condition; the optional settings and gap mode -1; no colour.
    TLayoutInfo();
    // measurementCondition may be null (no condition); color is copied.
    TLayoutInfo(int rowLength, int nrOfCols, int nrOfPages, int isPellorLayout, double patchHeight,
        double patchWidth, double gapSizeY, double gapSizeX, int borderPatches, int device, int inkSet,
        int mirrorX, const char* measurementCondition, OptionalBool markReferencePoints,
        OptionalBool addTintPercentage, OptionalBool gapsBetweenPatches, GapMode gapMode,
        const std::vector<unsigned char>& color, OptionalBool addCuttingLine);

    bool operator==(const TLayoutInfo& other) const;
    bool operator!=(const TLayoutInfo& other) const { return !(*this == other); }

    // n < 0 clears the condition; otherwise it becomes "M" followed by n (M0, M1, M12, ...).
    void SetMeasurementCondition(int n);

    int iRowLength;
    int iNrOfCols;
    int iNrOfPages;
    int iIsPellorLayout;
    double iPatchHeight;
    double iPatchWidth;
    double iGapSizeY;
    double iGapSizeX;
    int iBorderPatches;
    int iDevice;
    int iInkSet;
    int iMirrorX;
    std::string iMeasurementCondition;
    OptionalBool iMarkReferencePoints;
    OptionalBool iAddTintPercentage;
    OptionalBool iGapsBetweenPatches;
    OptionalBool iAddCuttingLine;
    GapMode iGapMode;
    std::vector<unsigned char> iColor; // red, green, blue when it holds 3 or more entries
};

} // namespace TCMS

#endif
