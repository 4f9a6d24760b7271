// TCgats: the chart layout carried in header keywords: writing a TLayoutInfo, reading it back,
// and copying the layout keywords from another file.
#include <tintvale/tcgats.h>

#include "tcgats_vocabulary.h"
#include "tcgatstag.h"

using namespace tintvale::detail;

namespace {

constexpr int kColorMask = 0xFF;

// The keywords CopyLayoutInfoFrom copies, in order.
const int kLayoutKinds[] = { kKindLgoRowLength, kKindNumberOfStrips, kKindNumberOfCols,
    kKindNumberOfStripsPages, kKindLayoutType, kKindPatchHeight, kKindPatchWidth, kKindGapSizeX,
    kKindGapSizeY, kKindBorderPatches, kKindDevice, kKindInkSet, kKindMirrorX, kKindMeasurementCondition,
    kKindMarkReferencePoints, kKindAddTintPercentage, kKindGapsBetweenPatches, kKindGapMode, kKindColorRed,
    kKindColorGreen, kKindColorBlue };

} // namespace

// Each specified field becomes its keyword, in a fixed order; a full tag list skips it silently.
int TCgats::AddLayoutInfo(TCMS::TLayoutInfo info)
{
    if (errorCode != 0)
        return errorCode;
    if (info.iRowLength != 0) {
        SetKeyword(kKindLgoRowLength, info.iRowLength);
        SetKeyword(kKindNumberOfStrips, info.iRowLength);
    }
    if (info.iNrOfCols >= 2)
        SetKeyword(kKindNumberOfCols, info.iNrOfCols);
    if (info.iNrOfPages >= 2)
        SetKeyword(kKindNumberOfStripsPages, info.iNrOfPages);
    if (info.iIsPellorLayout != 0)
        SetKeyword(kKindLayoutType, "Pellor");
    if (info.iPatchHeight > 0)
        SetKeyword(kKindPatchHeight, info.iPatchHeight);
    if (info.iPatchWidth > 0)
        SetKeyword(kKindPatchWidth, info.iPatchWidth);
    if (info.iGapSizeX >= 0)
        SetKeyword(kKindGapSizeX, info.iGapSizeX);
    if (info.iGapSizeY >= 0)
        SetKeyword(kKindGapSizeY, info.iGapSizeY);
    if (info.iBorderPatches >= 1)
        SetKeyword(kKindBorderPatches, info.iBorderPatches);
    if (info.iDevice >= 0)
        SetKeyword(kKindDevice, info.iDevice);
    if (info.iInkSet >= 0)
        SetInkSet(static_cast<TCMS::InkSet>(info.iInkSet));
    if (info.iMirrorX >= 1)
        SetKeyword(kKindMirrorX, info.iMirrorX);
    if (!info.iMeasurementCondition.empty())
        SetKeyword(kKindMeasurementCondition, info.iMeasurementCondition.c_str());
    if (info.iMarkReferencePoints != TCMS::kOptionalUnspecified)
        SetKeyword(kKindMarkReferencePoints, static_cast<int>(info.iMarkReferencePoints));
    if (info.iAddTintPercentage != TCMS::kOptionalUnspecified)
        SetKeyword(kKindAddTintPercentage, static_cast<int>(info.iAddTintPercentage));
    if (info.iGapsBetweenPatches != TCMS::kOptionalUnspecified)
        SetKeyword(kKindGapsBetweenPatches, static_cast<int>(info.iGapsBetweenPatches));
    if (info.iAddCuttingLine != TCMS::kOptionalUnspecified)
        SetKeyword(kKindAddCuttingLine, static_cast<int>(info.iAddCuttingLine));
    if (info.iGapMode >= 0)
        SetKeyword(kKindGapMode, static_cast<int>(info.iGapMode));
    if (info.iColor.size() >= 3) {
        SetKeyword(kKindColorRed, static_cast<int>(info.iColor[0]));
        SetKeyword(kKindColorGreen, static_cast<int>(info.iColor[1]));
        SetKeyword(kKindColorBlue, static_cast<int>(info.iColor[2]));
    }
    return 0;
}

int TCgats::AddLayoutInfo(int rowLength, int nrOfCols, int nrOfPages, int isPellorLayout, double patchHeight,
    double patchWidth, double gapSizeY, double gapSizeX, int borderPatches, int device, int inkSet,
    int mirrorX, const char* measurementCondition)
{
    return AddLayoutInfo(TCMS::TLayoutInfo(rowLength, nrOfCols, nrOfPages, isPellorLayout, patchHeight,
        patchWidth, gapSizeY, gapSizeX, borderPatches, device, inkSet, mirrorX, measurementCondition,
        TCMS::kOptionalUnspecified, TCMS::kOptionalUnspecified, TCMS::kOptionalUnspecified,
        TCMS::kGapModeUnspecified, {}, TCMS::kOptionalUnspecified));
}

TCMS::TLayoutInfo TCgats::GetLayoutInfo() const
{
    TCMS::TLayoutInfo info;
    info.iNrOfCols = GetNrOfCols();
    info.iRowLength = GetNrOfRows();
    info.iNrOfPages = GetNrOfPages();
    info.iIsPellorLayout = IsPellorLayout() ? 1 : 0;
    info.iPatchWidth = GetPatchWidth();
    info.iPatchHeight = GetPatchHeight();
    info.iGapSizeX = GetGapSizeX();
    info.iGapSizeY = GetGapSizeY();
    info.iBorderPatches = KeywordInt(kKindBorderPatches);
    info.iDevice = KeywordInt(kKindDevice);
    info.iInkSet = KeywordInt(kKindInkSet);
    info.iMirrorX = KeywordInt(kKindMirrorX);
    info.iMeasurementCondition = GetMeasurementCondition();
    info.iMarkReferencePoints = static_cast<TCMS::OptionalBool>(KeywordInt(kKindMarkReferencePoints));
    info.iAddTintPercentage = static_cast<TCMS::OptionalBool>(KeywordInt(kKindAddTintPercentage));
    info.iGapsBetweenPatches = static_cast<TCMS::OptionalBool>(KeywordInt(kKindGapsBetweenPatches));
    info.iAddCuttingLine = static_cast<TCMS::OptionalBool>(KeywordInt(kKindAddCuttingLine));
    info.iGapMode = static_cast<TCMS::GapMode>(KeywordInt(kKindGapMode));
    const int red = KeywordInt(kKindColorRed);
    const int green = KeywordInt(kKindColorGreen);
    const int blue = KeywordInt(kKindColorBlue);
    // The colour counts only when all three parts are present and none is negative.
    if (red >= 0 && green >= 0 && blue >= 0)
        info.iColor = { static_cast<unsigned char>(red & kColorMask),
            static_cast<unsigned char>(green & kColorMask), static_cast<unsigned char>(blue & kColorMask) };
    return info;
}

int TCgats::CopyLayoutInfoFrom(const TCgats* source)
{
    if (!source)
        return kErrNotCgats;
    for (int kind : kLayoutKinds) {
        const TCgatsTag* from = source->GetTag(kind);
        if (!from)
            continue;
        const int i = FindTag(kind);
        if (i >= 0) {
            const char* comment = *from->Comment() ? from->Comment() : tags[i]->Comment();
            // The replaced tag's comment is copied before the tag goes.
            const std::string kept = comment;
            InsertTag(kind, from->Name(), from->unquoted, from->Value(), kept.c_str(), i, true);
        } else {
            const int result
                = InsertTag(kind, from->Name(), from->unquoted, from->Value(), from->Comment(), -1, false);
            if (result != 0)
                return result;
        }
    }
    return 0;
}
