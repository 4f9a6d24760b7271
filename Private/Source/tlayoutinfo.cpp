// TCMS::TLayoutInfo: construction, equality and the measurement-condition text.
#include <tintvale/tcms.h>

namespace TCMS {

TLayoutInfo::TLayoutInfo()
    : TLayoutInfo(0, 0, 0, 0, 0.0, 0.0, -1.0, -1.0, 0, -1, -1, 0, nullptr, kOptionalUnspecified,
        kOptionalUnspecified, kOptionalUnspecified, kGapModeUnspecified, {}, kOptionalUnspecified)
{ }

TLayoutInfo::TLayoutInfo(int rowLength, int nrOfCols, int nrOfPages, int isPellorLayout, double patchHeight,
    double patchWidth, double gapSizeY, double gapSizeX, int borderPatches, int device, int inkSet,
    int mirrorX, const char* measurementCondition, OptionalBool markReferencePoints,
    OptionalBool addTintPercentage, OptionalBool gapsBetweenPatches, GapMode gapMode,
    const std::vector<unsigned char>& color, OptionalBool addCuttingLine)
    : iRowLength(rowLength)
    , iNrOfCols(nrOfCols)
    , iNrOfPages(nrOfPages)
    , iIsPellorLayout(isPellorLayout)
    , iPatchHeight(patchHeight)
    , iPatchWidth(patchWidth)
    , iGapSizeY(gapSizeY)
    , iGapSizeX(gapSizeX)
    , iBorderPatches(borderPatches)
    , iDevice(device)
    , iInkSet(inkSet)
    , iMirrorX(mirrorX)
    , iMeasurementCondition(measurementCondition ? measurementCondition : "")
    , iMarkReferencePoints(markReferencePoints)
    , iAddTintPercentage(addTintPercentage)
    , iGapsBetweenPatches(gapsBetweenPatches)
    , iAddCuttingLine(addCuttingLine)
    , iGapMode(gapMode)
    , iColor(color)
{ }

bool TLayoutInfo::operator==(const TLayoutInfo& o) const
{
    return iRowLength == o.iRowLength && iNrOfCols == o.iNrOfCols && iNrOfPages == o.iNrOfPages
        && iIsPellorLayout == o.iIsPellorLayout && iPatchHeight == o.iPatchHeight
        && iPatchWidth == o.iPatchWidth && iGapSizeY == o.iGapSizeY && iGapSizeX == o.iGapSizeX
        && iBorderPatches == o.iBorderPatches && iDevice == o.iDevice && iInkSet == o.iInkSet
        && iMirrorX == o.iMirrorX && iMeasurementCondition == o.iMeasurementCondition
        && iMarkReferencePoints == o.iMarkReferencePoints && iAddTintPercentage == o.iAddTintPercentage
        && iGapsBetweenPatches == o.iGapsBetweenPatches && iAddCuttingLine == o.iAddCuttingLine
        && iGapMode == o.iGapMode && iColor == o.iColor;
}

void TLayoutInfo::SetMeasurementCondition(int n)
{
    if (n < 0)
        iMeasurementCondition.clear();
    else
        iMeasurementCondition = "M" + std::to_string(n);
}

} // namespace TCMS
