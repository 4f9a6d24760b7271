// The fixed CGATS vocabulary: standard data field names and header keywords.
#ifndef TINTVALE_TCGATS_VOCABULARY_H
#define TINTVALE_TCGATS_VOCABULARY_H

namespace tintvale::detail {

constexpr int kCgatsNrFieldNames = 40;
constexpr int kCgatsNrKeywords = 55; // the vocabulary: a tag's kind is its row
constexpr int kCgatsNrKeywordRows = 65; // and the keywords of instrument and profiling software

// What a keyword's value is: nothing (a section marker), text or a number.
enum class ValueKind { None, Text, Integer, Real };
// How the library writes a keyword's value: in double quotes, or bare.
enum class Written { Quoted, Bare };

// One row per header keyword, as LittleCMS keeps its predefined properties: the named getters and
// setters, the keyword table hosts and Python read, and the vocabulary of the reader derive from it.
struct CgatsKeyword {
    const char* name;
    ValueKind value;
    Written written;
    double absent; // what a number getter gives when the keyword is absent
    const char* property; // the Python property that reads and sets a text keyword, or null
};

// Standard data field names; matched ignoring letter case, written in this spelling.
extern const char* const kCgatsFieldNames[kCgatsNrFieldNames];
// The header keywords. Rows below kCgatsNrKeywords are the vocabulary: the row is a tag's kind and
// the name is matched byte for byte. The rows after them (instrument and profiling software's
// keywords) read as custom keywords and are written with their "KEYWORD" declaration.
extern const CgatsKeyword kCgatsKeywords[kCgatsNrKeywordRows];
inline const char* KeywordName(int row) { return kCgatsKeywords[row].name; }
// A BEGIN_ or END_ line (any letter case): a data section or a free-form block starts or ends.
bool IsSectionMarker(const char* keyword);

// Field vocabulary indices with a role in the header analysis.
enum CgatsFieldIndex {
    kFieldSampleId = 0,
    kFieldString = 1,
    kFieldCmykC = 2,
    kFieldCmykK = 5,
    kFieldXyzX = 17,
    kFieldXyzZ = 19,
    kFieldLabL = 23,
    kFieldLabB = 25,
};

// Tag kinds (keyword indices) the subsystem acts on.
enum CgatsKind {
    kKindNone = -1,
    kKindOriginator = 0,
    kKindFileDescriptor = 1,
    kKindCreated = 2,
    kKindNumberOfFields = 3,
    kKindBeginDataFormat = 4,
    kKindEndDataFormat = 5,
    kKindInstrumentation = 6,
    kKindMeasurementSource = 8,
    kKindWeightingFunction = 11,
    kKindTargetType = 16,
    kKindProcessColorId = 21,
    kKindSpotId = 22,
    kKindNumberOfSets = 23,
    kKindBeginData = 24,
    kKindEndData = 25,
    kKindKeyword = 29,
    kKindNumberOfStripsPages = 30, // "NumberOfStrips": the page count
    kKindLgoRowLength = 31,
    kKindNumberOfStrips = 32,
    kKindNumberOfCols = 33,
    kKindBorderPatches = 34,
    kKindDevice = 35,
    kKindPatchHeight = 36,
    kKindPatchWidth = 37,
    kKindGapSizeX = 38,
    kKindGapSizeY = 39,
    kKindMirrorX = 40,
    kKindInkSet = 41,
    kKindMeasurementCondition = 42,
    kKindLayoutVersion = 43,
    kKindLayoutType = 44,
    kKindGuiName = 45,
    kKindSpectro = 46,
    kKindMarkReferencePoints = 47,
    kKindAddTintPercentage = 48,
    kKindGapsBetweenPatches = 49,
    kKindGapMode = 50,
    kKindColorRed = 51,
    kKindColorGreen = 52,
    kKindColorBlue = 53,
    kKindAddCuttingLine = 54,
};

// The keyword rows after the vocabulary.
enum CgatsKeywordRow {
    kRowSpectralStartNm = kCgatsNrKeywords,
    kRowSpectralEndNm,
    kRowSpectralBands,
    kRowSpectralNorm,
    kRowIlluminant,
    kRowObserver,
    kRowDeviceClass,
    kRowColorRep,
    kRowMeasType,
    kRowDescriptor,
};

} // namespace tintvale::detail

#endif
