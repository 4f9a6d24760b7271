// The CGATS.17 field and keyword vocabulary and the messages of the TCgats error codes.
#include "tcgats_vocabulary.h"

namespace tintvale::detail {

const char* const kCgatsFieldNames[kCgatsNrFieldNames] = {
    "SAMPLE_ID",
    "STRING", //
    "CMYK_C",
    "CMYK_M",
    "CMYK_Y",
    "CMYK_K", //
    "D_RED",
    "D_GREEN",
    "D_BLUE",
    "D_VIS",
    "D_MAJOR_FILTER", //
    "RGB_R",
    "RGB_G",
    "RGB_B", //
    "SPECTRAL_NM",
    "SPECTRAL_PCT",
    "SPECTRAL_DEC", //
    "XYZ_X",
    "XYZ_Y",
    "XYZ_Z", //
    "XYY_X",
    "XYY_Y",
    "XYY_GAPY", //
    "LAB_L",
    "LAB_A",
    "LAB_B", //
    "LAB_C",
    "LAB_H", //
    "LAB_DE",
    "LAB_DE_94",
    "LAB_DE_CMC",
    "LAB_DE_2000", //
    "MEAN_DE", //
    "STDEV_X",
    "STDEV_Y",
    "STDEV_Z",
    "STDEV_L",
    "STDEV_A",
    "STDEV_B", //
    "CHI_SQD_PAR",
};

const char* const kCgatsKeywords[kCgatsNrKeywords] = {
    "ORIGINATOR",
    "FILE_DESCRIPTOR",
    "CREATED",
    "NUMBER_OF_FIELDS",
    "BEGIN_DATA_FORMAT", //
    "END_DATA_FORMAT",
    "INSTRUMENTATION",
    "MEASUREMENT_GEOMETRY",
    "MEASUREMENT_SOURCE",
    "FILTER", //
    "POLARIZATION",
    "WEIGHTING_FUNCTION",
    "COMPUTATIONAL_PARAMETER",
    "SAMPLE_BACKING",
    "MANUFACTURER", //
    "MATERIAL",
    "TARGET_TYPE",
    "COLORANT",
    "PROD_DATE",
    "PRINT_CONDITIONS", //
    "SERIAL",
    "PROCESSCOLOR_ID",
    "SPOT_ID",
    "NUMBER_OF_SETS",
    "BEGIN_DATA", //
    "END_DATA",
    "DATA_FORMAT_IDENTIFIER",
    "TABLE_DESCRIPTOR",
    "TABLE_NAME",
    "KEYWORD", //
    "NumberOfStrips",
    "LGOROWLENGTH",
    "NUMBER_OF_STRIPS",
    "NUMBER_OF_COLS",
    "BORDER_PATCHES", //
    "DEVICE",
    "PATCH_HEIGHT",
    "PATCH_WIDTH",
    "GAP_SIZE_X",
    "GAP_SIZE_Y", //
    "MIRROR_X",
    "INKSET",
    "MEASUREMENT_CONDITION",
    "LAYOUT_VERSION",
    "LAYOUT_TYPE", //
    "GUI_NAME",
    "SPECTRO",
    "MARK_REFERENCE_POINTS",
    "ADD_TINT_PERCENTAGE",
    "GAPS_BETWEEN_PATCHES", //
    "GAP_MODE",
    "COLOR_RED",
    "COLOR_GREEN",
    "COLOR_BLUE",
    "ADD_CUTTING_LINE",
};

const char* const kCgatsMessages[kCgatsNrMessages] = {
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

} // namespace tintvale::detail
