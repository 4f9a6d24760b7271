// TCgats: the error codes' messages, their recording and the translation of table error codes.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "tcgatstable.h"

#include <iterator>

using namespace tintvale::detail;

namespace {

// The words of each code, from kErrLineTooLong on: a code and its message are made here only.
constexpr const char* kMessages[] = {
    "a header line is too long (over 255 characters of keyword, 4095 of value or 511 of comment)",
    "No error.",
    "The file is not a valid Cgats file.",
    "Empty file name.",
    "The requested file could not be found.",
    "Could not create or open the requested file for writing.",
    "Error while reading comment tag.",
    "Internal error: temporary header not initialized.",
    "The table header is empty.",
    "Internal error: attempt to map inks using an illegal ink map.",
    "END_DATA_FORMAT tag not found.",
    "Badly formatted header field.",
    "Unknown and undeclared header field type.",
    "Number of header fields found doesn't match number of header fields declared.",
    "Number of samples found doesn't match number of samples declared.",
    "The table header contains no data fields.",
    "The table contains no samples.",
    "The table contains a data type that is not supported.",
    "The custom color numbering in the table header is not consistent.",
    "Number of color coordinates not supported.",
    "No sample ID field provided in header.",
    "Not enough coordinate fields provided in header.",
    "Internal error: illegal tag index.",
    "Attempt to write empty tag.",
    "Internal error: illegal table index.",
    "Error adding layout info: layout info already present.",
    "Trying to copy from empty data set.",
    "END_DATA tag not found.",
    "BEGIN_DATA without a data format and a positive NUMBER_OF_SETS.",
    "A data format follows another one before its data.",
    "The value cannot be written back: it holds a line end, NUL or double quote.",
    "The spectra cannot be named in this convention: their bands are not evenly spaced.",
    "A cell of a number field is not a number.",
};
static_assert(std::size(kMessages) == TCgats::kErrNrCodes - TCgats::kErrLineTooLong, "one message a code");

// The TCgats code of each table error code; 0 (no table error) too means the file is not valid.
constexpr TCgats::ErrorCode kTableToFile[] = {
    TCgats::kErrNotCgats, // kTableOk
    TCgats::kErrNoTmpHeader, // kTableNoHeader
    TCgats::kErrNoDataFields, // kTableNoFields
    TCgats::kErrFieldCount, // kTableEmptySlot
    TCgats::kErrNoSamples, // kTableNoSamples
    TCgats::kErrSampleCount, // kTableRowCount
    TCgats::kErrUnsupportedType, // kTableBadType
    TCgats::kErrColorNumbering, // kTableAnalysis
    TCgats::kErrNoSampleId, // kTableFirstNotString
    TCgats::kErrTooFewCoordinates, // kTableCoordNotDouble
    TCgats::kErrNotCgats, // kTableTextEnded
    TCgats::kErrSampleCount, // kTableTooManyRows
    TCgats::kErrEmptyTableHeader, // kTableHeaderNotWritten
    TCgats::kErrIllegalInkMap, // kTableBadInkMap
    TCgats::kErrNoEndData, // kTableNoEndData
    TCgats::kErrNotANumber, // kTableNotANumber
    TCgats::kErrUnwritableValue, // kTableUnwritableText
};
static_assert(std::size(kTableToFile) == kTableNrCodes, "one code a table error code");

} // namespace

const char* TCgats::Message(int code)
{
    if (code < kErrLineTooLong || code >= kErrNrCodes)
        return nullptr;
    return kMessages[code - kErrLineTooLong];
}

void TCgats::RecordError(int code) const
{
    if (const char* message = Message(code))
        strncpy_w0(errorMsg, message, sizeof errorMsg - 1);
    errorCode = code;
}

bool TCgats::SetErrorCode(int code) const
{
    if (code == kErrNone)
        return errorCode != kErrNone;
    RecordError(code);
    return false;
}

int TCgats::TableErrorToCgatsError(int tableError)
{
    if (tableError < 0 || tableError >= kTableNrCodes)
        return kErrNotCgats;
    return kTableToFile[tableError];
}
