// The CGATS.17 field and keyword vocabulary.
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

// In tag-kind order: the CGATS.17 file structure and descriptive header (0 to 29), then the chart
// layout and product keywords (30 to 54). Absent layout keywords read as one row, column and page,
// no border patches, and -1 (unspecified) for the rest; patch sizes as 0.
const CgatsKeyword kCgatsKeywords[kCgatsNrKeywordRows] = {
    { "ORIGINATOR", ValueKind::Text, Written::Quoted, 0.0, "originator" },
    { "FILE_DESCRIPTOR", ValueKind::Text, Written::Quoted, 0.0, "file_descriptor" },
    { "CREATED", ValueKind::Text, Written::Quoted, 0.0, "created" },
    { "NUMBER_OF_FIELDS", ValueKind::Integer, Written::Bare, 0.0, nullptr },
    { "BEGIN_DATA_FORMAT", ValueKind::None, Written::Bare, 0.0, nullptr },
    { "END_DATA_FORMAT", ValueKind::None, Written::Bare, 0.0, nullptr },
    { "INSTRUMENTATION", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "MEASUREMENT_GEOMETRY", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "MEASUREMENT_SOURCE", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "FILTER", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "POLARIZATION", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "WEIGHTING_FUNCTION", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "COMPUTATIONAL_PARAMETER", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "SAMPLE_BACKING", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "MANUFACTURER", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "MATERIAL", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "TARGET_TYPE", ValueKind::Text, Written::Quoted, 0.0, "target_type" },
    { "COLORANT", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "PROD_DATE", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "PRINT_CONDITIONS", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "SERIAL", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "PROCESSCOLOR_ID", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "SPOT_ID", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "NUMBER_OF_SETS", ValueKind::Integer, Written::Bare, 0.0, nullptr },
    { "BEGIN_DATA", ValueKind::None, Written::Bare, 0.0, nullptr },
    { "END_DATA", ValueKind::None, Written::Bare, 0.0, nullptr },
    { "DATA_FORMAT_IDENTIFIER", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "TABLE_DESCRIPTOR", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "TABLE_NAME", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "KEYWORD", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "NumberOfStrips", ValueKind::Integer, Written::Bare, 1.0, nullptr },
    { "LGOROWLENGTH", ValueKind::Integer, Written::Bare, 1.0, nullptr },
    { "NUMBER_OF_STRIPS", ValueKind::Integer, Written::Bare, 1.0, nullptr },
    { "NUMBER_OF_COLS", ValueKind::Integer, Written::Bare, 1.0, nullptr },
    { "BORDER_PATCHES", ValueKind::Integer, Written::Bare, 0.0, nullptr },
    { "DEVICE", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "PATCH_HEIGHT", ValueKind::Real, Written::Bare, 0.0, nullptr },
    { "PATCH_WIDTH", ValueKind::Real, Written::Bare, 0.0, nullptr },
    { "GAP_SIZE_X", ValueKind::Real, Written::Bare, -1.0, nullptr },
    { "GAP_SIZE_Y", ValueKind::Real, Written::Bare, -1.0, nullptr },
    { "MIRROR_X", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "INKSET", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "MEASUREMENT_CONDITION", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "LAYOUT_VERSION", ValueKind::Text, Written::Quoted, 0.0, "layout_version" },
    { "LAYOUT_TYPE", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "GUI_NAME", ValueKind::Text, Written::Quoted, 0.0, "gui_name" },
    { "SPECTRO", ValueKind::Text, Written::Quoted, 0.0, "spectrophotometer" },
    { "MARK_REFERENCE_POINTS", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "ADD_TINT_PERCENTAGE", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "GAPS_BETWEEN_PATCHES", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "GAP_MODE", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "COLOR_RED", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "COLOR_GREEN", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "COLOR_BLUE", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    { "ADD_CUTTING_LINE", ValueKind::Integer, Written::Bare, -1.0, nullptr },
    // Spectral columns, as instrument and profiling software describe them.
    { "SPECTRAL_START_NM", ValueKind::Real, Written::Quoted, 0.0, nullptr },
    { "SPECTRAL_END_NM", ValueKind::Real, Written::Quoted, 0.0, nullptr },
    { "SPECTRAL_BANDS", ValueKind::Integer, Written::Quoted, 0.0, nullptr },
    { "SPECTRAL_NORM", ValueKind::Real, Written::Quoted, 0.0, nullptr },
    // The conditions of colorimetric data, as profiling software states them.
    { "ILLUMINANT", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "OBSERVER", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    // The device and the measurement, as profiling software describes them.
    { "DEVICE_CLASS", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "COLOR_REP", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "MEAS_TYPE", ValueKind::Text, Written::Quoted, 0.0, nullptr },
    { "DESCRIPTOR", ValueKind::Text, Written::Quoted, 0.0, nullptr },
};

} // namespace tintvale::detail
