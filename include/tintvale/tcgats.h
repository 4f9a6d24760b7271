// TCgats: one CGATS.17 measurement data file in memory: its header lines, free-form blocks,
// declared custom field names and data tables, read from and written to text.
#ifndef TINTVALE_TCGATS_H
#define TINTVALE_TCGATS_H

#include <tintvale/tcms.h>
#include <tintvale/texport.h>

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TCgatsTag;
class TCgatsTableHeader;
class TCgatsTable;
class TCgatsNameIndex;
class TCgatsNameSet;
class TCgatsField;
class TIlluminant;
class TObserver;
class TMeasGeom;
class TOneMeasurement;
class TFineIntegration;

// TCgats owns everything it holds; the internal tag and table types are opaque to hosts.
//
// A failed constructor keeps what it read before the failure; the object stays destructible.
// Numbers are read and written in the C locale's form whatever locale the host has set.
class TINTVALE_API TCgats {
public:
    // Error codes (GetErrorCode; GetErrorMsg gives the message of each; GetErrorLine the line of
    // a reading error). Results that are error codes stay int: the codes convert to int.
    enum ErrorCode : int {
        // "a header line is too long (over 255 characters of keyword, 4095 of value or 511 of
        // comment)"
        kErrLineTooLong = -1,
        kErrNone = 0, // "No error."
        kErrNotCgats = 1, // "The file is not a valid Cgats file." (also: a quoted value is not closed)
        kErrEmptyFileName = 2, // "Empty file name."
        kErrFileNotFound = 3, // "The requested file could not be found."
        kErrCannotWrite = 4, // "Could not create or open the requested file for writing."
        kErrCommentTag = 5, // "Error while reading comment tag."
        kErrNoTmpHeader = 6, // "Internal error: temporary header not initialized."
        kErrEmptyTableHeader = 7, // "The table header is empty."
        kErrIllegalInkMap = 8, // "Internal error: attempt to map inks using an illegal ink map."
        kErrNoEndDataFormat = 9, // "END_DATA_FORMAT tag not found."
        kErrBadField = 10, // "Badly formatted header field."
        kErrUndeclaredField = 11, // "Unknown and undeclared header field type."
        // "Number of header fields found doesn't match number of header fields declared."
        kErrFieldCount = 12,
        // "Number of samples found doesn't match number of samples declared." (also: a data
        // section holds more or fewer values than NUMBER_OF_SETS x fields before its END_DATA)
        kErrSampleCount = 13,
        kErrNoDataFields = 14, // "The table header contains no data fields."
        kErrNoSamples = 15, // "The table contains no samples."
        kErrUnsupportedType = 16, // "The table contains a data type that is not supported."
        kErrColorNumbering = 17, // "The custom color numbering in the table header is not consistent."
        kErrColorCount = 18, // "Number of color coordinates not supported."
        kErrNoSampleId = 19, // "No sample ID field provided in header."
        kErrTooFewCoordinates = 20, // "Not enough coordinate fields provided in header."
        kErrIllegalTagIndex = 21, // "Internal error: illegal tag index."
        kErrEmptyTag = 22, // "Attempt to write empty tag."
        kErrIllegalTableIndex = 23, // "Internal error: illegal table index."
        kErrLayoutPresent = 24, // "Error adding layout info: layout info already present."
        kErrEmptySource = 25, // "Trying to copy from empty data set."
        kErrNoEndData = 26, // "END_DATA tag not found." (the text ends inside a data section)
        kErrDataWithoutFormat = 27, // "BEGIN_DATA without a data format and a positive NUMBER_OF_SETS."
        kErrFormatWithoutData = 28, // "A data format follows another one before its data."
        // "The value cannot be written back: it holds a line end, NUL or double quote." (setters)
        kErrUnwritableValue = 29,
        // "The spectra cannot be named in this convention: their bands are not evenly spaced."
        kErrConvention = 30,
        // "A cell of a number field is not a number." (GetErrorMsg then names the field and the
        // cell, GetErrorLine its line)
        kErrNotANumber = 31,
        kErrNrCodes // one past the last code
    };

    // Header lines and free-form blocks are no longer limited in number; these former limits stay
    // so that hosts that name them still compile.
    static constexpr int kMaxTags = 128;
    static constexpr int kMaxCommentTags = 128;
    static constexpr int kMaxKeywordLength = 255;
    static constexpr int kMaxValueLength = 4095;
    static constexpr int kMaxCommentLength = 511;

    // Reads the file named by the UTF-8 text fileName (2 for a null or empty name, 3 when it
    // cannot be opened, else the reader's codes). Header lines keep their order, unknown
    // keywords, comments and free-form BEGIN_/END_ blocks; data values and field names are read
    // whole whatever their length; decimal commas are accepted in number fields. A table whose
    // declared size exceeds what the text can hold fails with 1 before anything is allocated.
    explicit TCgats(const char* fileName);
    // Reads the NUL-terminated text buffer; the int only tells this constructor from the other.
    TCgats(const char* buffer, int);
    // What becomes of a cell of a number field (spectral, colorimetric, density, device channels:
    // every field that is not text) that is not a complete number ("n/a", "-", "", "37.99abc"):
    // Refuse fails the reading with 30 at its line; NaN keeps the cell as NaN and lists it in
    // GetUnreadCells, for hosts that read leniently and treat such samples as missing.
    enum class TextInNumberField { Refuse, NaN };
    TCgats(const char* fileName, TextInNumberField cells);
    TCgats(const char* buffer, int, TextInNumberField cells);
    // ---- Copies, selections, averages and files built from arrays. A constructor that fails
    // records its code; the object stays destructible. A source in error passes its code on.

    // Deep copies: the same header lines, blocks, declared fields and tables.
    TCgats(const TCgats& src);
    // Releases what the object held and becomes a copy of src; self-assignment changes nothing.
    TCgats& operator=(const TCgats& src);
    // A copy of *src; a null src gives 25 "Trying to copy from empty data set.".
    explicit TCgats(const TCgats* src);
    // A copy whose first table holds only the listed samples, in list order ("NUMBER_OF_SETS"
    // follows); the other tables are copied whole. An empty list copies everything. A sample
    // index outside the first table leaves that table in error (table error 5, code 13).
    TCgats(const TCgats* src, const std::vector<int>& samples);
    // A copy with the process-colour channels of every table replaced by inkMap.size() new
    // channels: new channel k takes the values of old channel inkMap[k], or fillValue where the
    // entry is negative. The new channels are named CMYK_C ... CMYK_K for 3 or
    // 4, "%dCLR_%d" for 5 or more. A table without process colours, an entry not below its
    // channel count, or a map of 1 or 2 channels leaves the copied table in error (table error 13,
    // code 8 "Internal error: attempt to map inks using an illegal ink map."); the object's code
    // stays 0. "NUMBER_OF_FIELDS" follows the change of channel count of the first table.
    TCgats(const TCgats* src, const std::vector<int>& inkMap, double fillValue);
    // The average of several measurements of one chart: a copy of files[0] whose Double values are
    // the means over all files and whose Int values are the means rounded half away from zero;
    // texts are those of files[0]. Rows are paired by sample name when both files name their
    // samples, else by position; the device values of a pair must agree (within 0.01). Code 1 "The
    // file is not a valid Cgats file." for an empty list, a null entry or one in error, or tables
    // that differ in count, header or sample count; code 1 with a message naming the sample or the
    // condition for a name without partner, device values that differ, or files that state
    // different illuminants, observers or measurement conditions. Means carry 15 significant digits.
    explicit TCgats(const std::vector<const TCgats*>& files);
    // A new one-table file: "CGATS.17", one "PROCESSCOLOR_ID" (customColors) or "SPOT_ID" line per
    // colour description, the layout keywords of rowLength, nrOfCols and nrOfPages, and the table
    // SampleID, the colour channels, LAB_*, XYZ_*, nm<wavelength> (rounded to whole nanometres).
    // Sample k is coords[k] (channel tints 100 * (value - zero) / (full - zero)), lab[k], xyz[k],
    // spectra[k]; an empty outer vector leaves those fields out. Names default to "1", "2", ....
    // Channels: "SPOT_%d" with spot descriptions, "PC%d_%d" with customColors, else CMYK for 3 or
    // 4 and "%dCLR_%d" for 5 or more; any other count gives 18. The values are stored as given (tints
    // within 0.0001 of zero become 0). Errors: 15 without samples; 13 when lab, xyz, spectra or sampleNames
    // (where not empty) hold another number of samples than coords (or than each other); 12 when a row is
    // shorter than its fields (coords rows must all have the first one's size, 18 otherwise); 18
    // when full equals zero with channels present; 29 when a name or description holds a line end,
    // NUL or double quote.
    TCgats(double full, double zero, const std::vector<std::vector<double>>& coords,
        const std::vector<std::vector<double>>& lab, const std::vector<std::vector<double>>& xyz,
        const std::vector<std::vector<double>>& spectra, const std::vector<double>& waveLengths,
        const std::vector<std::string>& sampleNames, const std::vector<std::string>& colorDescriptions,
        int rowLength, int nrOfCols, int nrOfPages, bool customColors);
    ~TCgats();

    // Same header lines, blocks, description counts, declared fields and tables; values of Double
    // columns may differ by up to 0.01. The error state takes no part.
    bool operator==(const TCgats& other) const;
    bool operator!=(const TCgats& other) const { return !(*this == other); }
    // Same tables with the same sample counts, Lab, XYZ and wavelengths, and the same Lab, XYZ and
    // spectral values within 0.01 (a table in error on this side counts as equal).
    bool HasSameMeasurementsAs(const TCgats& other) const;
    // Same tables with the same sample counts and process-colour channels, and the same channel
    // values within tolerance (a table in error or without process colours on this side counts as
    // equal).
    bool HasSameSampleListAs(const TCgats& other, double tolerance) const;

    int GetErrorCode() const { return errorCode; }
    // The message of the error code; valid as long as the object.
    const char* GetErrorMsg() const { return errorMsg; }
    // The message of an error code (static text), or null for a number that is no code.
    static const char* Message(int code);
    // The line (from 1) of the text where reading failed, 0 when the error is not a reading error
    // or there is none.
    int GetErrorLine() const { return errorLine; }
    // The cells read as NaN (TextInNumberField::NaN), each as "line N: field FIELD: \"text\"".
    const std::vector<std::string>& GetUnreadCells() const { return unreadCells; }
    // What reading found doubtful but read: a field count that disagrees with the names, spectra
    // that lie outside what reflectance can be in the scale read. Each "line N: text" or "table T:
    // text"; empty for a copy.
    const std::vector<std::string>& GetReadWarnings() const { return readWarnings; }

    // Writes the value of one cell as text into the caller's buffer *out ("%d" for Int fields,
    // "%3.5f" for Double fields, the text for String fields); the caller makes it large enough.
    // 0, or -1 when the object or table is in error or an index is out of range.
    int GetField(int table, int sample, int field, char** out) const;
    // Sized variant: at most size bytes including the terminator; -1 also when the text is longer.
    int GetField(int table, int sample, int field, char* out, std::size_t size) const;
    // Index of the first field of the table named exactly name, or -1.
    int GetFieldNameIndex(int table, const char* name) const;
    // Adds a quoted header line name value ahead of the data sections; 1 (nothing added) when name
    // is empty or holds a blank, tab, line end or "#", or would read back as the file's structure
    // (NUMBER_OF_FIELDS, NUMBER_OF_SETS, a BEGIN_ or END_ line); 29 (nothing added) when the value
    // holds a line end or a double quote, which could not be written back. A keyword of the
    // vocabulary is added as one read from a file: its getter reads the first such line, its
    // setter replaces it.
    int AddCustomTag(const char* name, const char* value);

    // Files written here read back and write again byte for byte. The format has no escapes: a
    // header value cannot carry a double quote or a line end, and a comment no line end. Custom
    // keyword lines are written with their "KEYWORD" declaration, block bodies with LF line ends.
    // Writes the file (tab-separated, LF line ends) through a uniquely named temporary file in the
    // target's directory that replaces the target only when everything was written and flushed to
    // the disk; a failure leaves an existing file untouched. A symbolic link is followed and the
    // file it names replaced, keeping its permissions and, where the process may, its owner. A
    // target that is not a regular file (directory, device, FIFO, socket) or that may not be
    // written (no write permission at all, even for a privileged caller) is refused with 4.
    // Returns the object's error code when it is in error (nothing is written), 4 when the file
    // cannot be written (errno then tells why), a writing error code, or 0.
    int SaveAs(const char* fileName) const;
    // Writes the text into a new NUL-terminated buffer that the caller releases with delete[].
    // Returns the error code at once (buffer untouched) when the object is in error; otherwise
    // *buffer receives the text as far as it was written and the result is 0 or the writing code.
    int WriteToBuffer(char** buffer) const;

    // The naming a file is written in. AsHeld: as read or built. Cgats: CGATS.17's standard names
    // ("CGATS.17" first line, SAMPLE_ID for the sample names, SPECTRAL_NM_nnn). Argyll: what
    // ArgyllCMS reads: a "CTI3" first line ("SPECT" for a file of one spectrum), SAMPLE_ID (the
    // sample numbers when the file names none), SPEC_nnn with SPECTRAL_BANDS, SPECTRAL_START_NM,
    // SPECTRAL_END_NM and SPECTRAL_NORM 100 (reflectance factors written in percent, shifted in
    // decimal so that 0.05023 becomes 5.023), MEAS_TYPE "REFLECTIVE" for a spectrum file,
    // DEVICE_CLASS "OUTPUT" and COLOR_REP (CMYK or RGB, with _XYZ or _LAB) for a measurement file,
    // unless the file states them. Every other value, name and header line is kept.
    enum class Convention { AsHeld, Cgats, Argyll };
    // SaveAs and WriteToBuffer in a convention; the object's content is not changed. 30 (recorded,
    // nothing written, *buffer null) when its spectra cannot be named so (ArgyllCMS needs evenly
    // spaced whole-nanometre bands).
    int SaveAs(const char* fileName, Convention convention) const;
    int WriteToBuffer(char** buffer, Convention convention) const;

    // ---- Queries. A table index t is valid for 0 <= t < GetNrTables(), a sample index s for the
    // samples stored in the table. Text results point into the object and stay valid until it
    // changes.

    // Per-table presence: false when the object or the table is in error or t is invalid.
    bool ContainsFieldName(int t, const char* name) const; // exact, case-sensitive name
    bool ContainsInkBookNames(int t) const; // a field named "InkBook"
    bool ContainsLab(int t) const;
    bool ContainsXyz(int t) const;
    bool ContainsProcessColors(int t) const; // CMYK, custom process or N-colour channels
    bool ContainsSpotColors(int t) const;
    bool ContainsSampleNames(int t) const; // a field named "SampleID"
    bool ContainsWaveLengths(int t) const;
    bool IsCMYKDefined(int t) const;
    bool IsCustomDefined(int t) const;
    bool IsNColorDefined(int t) const;
    bool IsSpotColorDefined(int t) const;

    // File-level presence, whatever the error state.
    bool ContainsCustomProcessColorDescriptions() const; // a "PROCESSCOLOR_ID" line
    bool ContainsSpotDescriptions() const; // a "SPOT_ID" line
    bool IsPellorLayout() const; // "LAYOUT_TYPE" is exactly "Pellor"

    // Counts; -1 on failure, so test for a negative count before sizing a buffer. GetNrFields and
    // GetNrSamples do not consult the object's error code; the others do.
    int GetNrTables() const;
    int GetNrFields(int t) const;
    int GetNrSamples(int t) const;
    int GetNrProcessColors(int t) const;
    int GetNrSpotColors(int t) const;
    int GetNrWaveLengths(int t) const;

    // Per-sample fills into caller memory *out, which the caller sizes (no size is passed); 0, or
    // -1 when the object or table is in error, t or s is invalid, *out is null or the table has
    // no such values. The sized variants below are the safe choice.
    // Colour channels: the process channels (tints 0 to 100) in channel order, else the spots.
    int GetCoordinates(int t, int s, double** out) const;
    int GetSpotCoordinates(int t, int s, double** out) const;
    int GetLab(int t, int s, double** out) const; // L*, a*, b*
    int GetXyz(int t, int s, double** out) const; // X, Y, Z
    // One value per wavelength, ascending, as factors (0 to 1): divided by SPECTRAL_NORM where the
    // table's section gives it, else divided by 100 in ArgyllCMS files (first line CTI3 or SPECT)
    // and in percent tables (a value above 10 in the first five rows).
    int GetSpectrum(int t, int s, double** out) const;
    int GetSampleName(int t, int s, char** out) const;
    // The "InkBook" value as text ("%d", "%3.5f" for numbers); without such a field *out becomes
    // the empty text and the result is -1.
    int GetInkBookName(int t, int s, char** out);
    // The wavelengths in nm of the spectral fields, ascending; 0, or 1 on failure (the object's
    // error code is not consulted).
    int GetWaveLengths(int t, int** out) const;

    // Sized variants: the vector is resized to the values written; same results.
    int GetCoordinates(int t, int s, std::vector<double>& out) const;
    int GetSpotCoordinates(int t, int s, std::vector<double>& out) const;
    int GetLab(int t, int s, std::vector<double>& out) const;
    int GetXyz(int t, int s, std::vector<double>& out) const;
    int GetSpectrum(int t, int s, std::vector<double>& out) const;
    int GetSampleName(int t, int s, std::string& out) const;
    // The sample's name from the "SampleID" field, else from a "SAMPLE_ID" or "SAMPLE_NAME" field
    // (the spellings of other instrument software, any letter case); -1 without such a field.
    int GetSampleLabel(int t, int s, std::string& out) const;
    bool ContainsSampleLabels(int t) const;
    int GetInkBookName(int t, int s, std::string& out) const;
    int GetWaveLengths(int t, std::vector<int>& out) const;
    // The wavelengths in nm of the spectral fields, ascending, exact where the table's section
    // gives SPECTRAL_START_NM, SPECTRAL_END_NM and SPECTRAL_BANDS matching its columns (bands of
    // 3.33 nm named by their rounded wavelength), else the numbers of the names; 0, or 1.
    int GetWaveLengths(int t, std::vector<double>& out) const;

    // The k-th "PROCESSCOLOR_ID" (or "SPOT_ID") value of the file for each process (spot) colour
    // of table t, into the caller's array of nrColors (nrSpots) pointers; 0, or -1 when the
    // object is in error, t is invalid, the table has no custom process colours (no spots) or
    // the file has fewer descriptions.
    int GetCustomProcessColorDescriptions(int t, const char*** out) const;
    int GetSpotColorDescriptions(int t, const char*** out) const;
    int GetCustomProcessColorDescriptions(int t, std::vector<const char*>& out) const;
    int GetSpotColorDescriptions(int t, std::vector<const char*>& out) const;

    // For every process (or spot) colour, the spectrum (or Lab) of the first sample that is a
    // solid of that colour alone: that channel above 99.5 and every other below 0.5.
    // (*values)[c] is the caller's buffer for colour c (nrWaveLengths or 3 doubles). 0 when every
    // colour was found, else 1 (the buffers of the colours found stay filled).
    int GetColorValues(int t, double*** values, bool spectral, bool process) const;
    int GetProcessColorValues(int t, double*** values, bool spectral) const;
    int GetProcessColorLab(int t, double*** values) const;
    int GetProcessColorSpectra(int t, double*** values) const;
    int GetSpotColorValues(int t, double*** values, bool spectral) const;
    // Sized variant: values is resized to one vector per colour.
    int GetColorValues(int t, std::vector<std::vector<double>>& values, bool spectral, bool process) const;

    // ---- Header keywords, from the first line with the keyword, whatever the error state.
    // Text getters give null when the keyword is absent; numbers are the leading number of the
    // value (0 when there is none), with the default shown when the keyword is absent.
    const char* GetOriginator() const;
    const char* GetFileDescriptor() const;
    const char* GetCreated() const;
    const char* GetTargetType() const;
    const char* GetVersion() const; // "LAYOUT_VERSION"
    const char* GetGUIName() const;
    const char* GetSpectrophotometer() const; // "SPECTRO"
    const char* GetInstrumentation() const;
    const char* GetDescriptor() const; // "DESCRIPTOR" of profiling software
    const char* GetMeasurementCondition() const; // the empty text when absent
    int GetInkSetNumber() const; // -1
    int GetIsMirroredX() const; // -1
    int GetNrOfCols() const; // 1
    int GetNrOfPages() const; // "NumberOfStrips", 1
    // The larger of "NUMBER_OF_STRIPS" and "LGOROWLENGTH", each 1 when absent.
    int GetNrOfRows() const;
    int GetRowLength() const;
    double GetGapSizeX() const; // -1.0
    double GetGapSizeY() const; // -1.0
    double GetPatchHeight() const; // 0.0
    double GetPatchWidth() const; // 0.0

    // Every header keyword line in file order, as (keyword, value) with the value as written but
    // without its quotes: standard, custom and unknown keywords alike, "KEYWORD" declarations and
    // per-table lines such as "NUMBER_OF_FIELDS" included. Left out: comment-only lines, the
    // identification line (the first line when it holds a keyword alone, e.g. "CGATS.17") and the
    // BEGIN_/END_ marker lines. Whatever the error state.
    std::vector<std::pair<std::string, std::string>> GetKeywords() const;
    // The same lines handed to visit one by one (keyword, value), without a copy of the header.
    void VisitKeywords(const std::function<void(const char* keyword, const char* value)>& visit) const;
    // The value of the first line with keyword (letter case ignored), or null when there is none;
    // valid until the header changes.
    const char* GetKeywordValue(const char* keyword) const;
    // The keyword table the getters above and the setters below derive from, one row per keyword
    // the library names: the CGATS.17 and chart-layout vocabulary (a line's row is its kind), then
    // SPECTRAL_START_NM, SPECTRAL_END_NM, SPECTRAL_BANDS, SPECTRAL_NORM, ILLUMINANT, OBSERVER,
    // DEVICE_CLASS, COLOR_REP and MEAS_TYPE of instrument and profiling software. The keyword of a
    // row and the property name a front end gives a text keyword (null outside the table or none).
    static int GetNrKnownKeywords();
    static const char* GetKnownKeyword(int row);
    static const char* GetKnownKeywordProperty(int row);
    // The value of the first line of a vocabulary row's keyword as the getters give it (null when
    // absent or for another row), and a setter as those below (text quoted, numbers bare; 1 for a
    // row outside the vocabulary).
    const char* GetKnownKeywordValue(int row) const;
    int SetKnownKeywordValue(int row, const char* value);

    // Setters replace the first line with the keyword in place, or add a quoted line ahead of the
    // data sections; 0, or 29 (nothing changed) when the value holds a line end or a double quote,
    // which could not be written back. A null value is the empty text.
    int SetOriginator(const char* value);
    int SetFileDescriptor(const char* value);
    int SetCreated(const char* value);
    int SetTargetType(const char* value);
    int SetVersion(const char* value);
    int SetGUIName(const char* value);
    int SetSpectrophotometerName(const char* value);
    // Replaces the "WEIGHTING_FUNCTION" lines by the two that say how colorimetry was computed,
    // "ILLUMINANT, name" and "OBSERVER, name" (where the first old line stood, else ahead of the
    // data sections); 0, or 29 (nothing changed) when a name cannot be written back.
    int SetWeightingFunction(const char* illuminant, const char* observer);
    // The same, with a third line "INTEGRATION, integration" naming how spectra were integrated
    // (none when integration is null or empty).
    int SetWeightingFunction(const char* illuminant, const char* observer, const char* integration);
    // The values of every "WEIGHTING_FUNCTION" line joined by "; " (empty when there is none).
    std::string GetWeightingFunction() const;
    // The conditions the file states for its colorimetric data, first found of: the CGATS.17
    // lines WEIGHTING_FUNCTION "ILLUMINANT, D50" and "OBSERVER, 2 degree"; the lines ILLUMINANT
    // "D50" and OBSERVER "10" (or "1931_2") of profiling and instrument software; MEASUREMENT_SOURCE
    // "Illumination=D50 ObserverAngle=10degree ...". The illuminant as written; the observer as
    // "2 degree" or "10 degree" (other text as written). Empty when not stated: CGATS.17 and
    // ISO 13655 then mean D50 and the 2 degree observer.
    std::string GetStatedIlluminant() const;
    std::string GetStatedObserver() const;
    // SetWeightingFunction (with integration, as there), and the ILLUMINANT, OBSERVER and
    // MEASUREMENT_SOURCE statements the file has made to say the same; 0, or 29 (nothing changed).
    int SetStatedConditions(const char* illuminant, const char* observer, const char* integration = nullptr);
    // "2 degree" or "10 degree" for the ways files write the observers, else text itself.
    static std::string NormalisedObserver(const std::string& text);
    // Writes "INKSET" bare; returns the object's error code when it is in error (nothing
    // changed), else 0.
    int SetInkSet(TCMS::InkSet value);

    // ---- Measurements. Colour coordinates of a measurement are the channel tints as fractions of
    // paper: coordinate = 1 - tint / 100 (a solid is 0, paper 1).

    // A new measurement of sample s of table t: a TReflectionSpectrum when the table has spectral
    // fields (percent tables scaled to factors), else a TLABMeasurement relative to the white of
    // illuminant and observer when it has Lab, else a TXYZMeasurement when it has XYZ; with the
    // process-colour coordinates attached. The illuminant is borrowed by the measurement and must
    // outlive it. Empty on failure (object or table in error, an invalid index, no colour values,
    // a measurement that could not be made complete).
    std::shared_ptr<TOneMeasurement> GetMeasurement(
        int t, int s, TIlluminant* illuminant, TObserver* observer, TMeasGeom* geometry) const;
    // The same under an integration's illuminant and observer, spectra integrated as it says (ASTM
    // E308, CIE 15, as instruments' software does): a spectral sample becomes a TLABMeasurement
    // relative to the white of the same weights. The integration's wavelengths must be the table's
    // (GetWaveLengths); empty otherwise, and on the failures above.
    std::shared_ptr<TOneMeasurement> GetMeasurement(
        int t, int s, const TFineIntegration& integration, TMeasGeom* geometry) const;
    // Writes m into sample s of table t: the channel tints from its coordinates (their count must
    // equal the table's process colours, or spot colours without process colours), its Lab under
    // the white of illuminant and observer, its XYZ, and its spectrum interpolated at the table's
    // wavelengths (times 100 for percent tables; left as they were when m is not spectral).
    // Everything is computed before the first value is written: on failure (-1) the row is
    // unchanged. Lab and XYZ tables need illuminant and observer. 0 on success.
    int SetMeasurement(int t, int s, const TOneMeasurement* m, TIlluminant* illuminant, TObserver* observer);
    // Adds the columns LAB_L, LAB_A, LAB_B to table t (or overwrites them when present) with
    // lab[k] = { L*, a*, b* } of sample k for every sample, and updates the table's
    // "NUMBER_OF_FIELDS" line. Returns the object's error code when it is in error; 1 for an
    // invalid table, an incomplete table, a null array or entry, or when the table's section has
    // no "NUMBER_OF_FIELDS" line (the columns are added all the same); a table error code as is.
    int AddLab(int t, const double** lab);
    // Stores value in the number field of table t, sample s, in place; 0, or -1 when the object or
    // table is in error, an index is invalid or the field holds text.
    int SetNumber(int t, int s, int field, double value);
    // Adds (or overwrites) the String column "InkBook" of table t with names[k] for sample k,
    // declaring it with a "KEYWORD" line and updating "NUMBER_OF_FIELDS" as AddLab does. Results
    // as AddLab; 1 (nothing changed) when names holds fewer names than the table has samples, 29
    // (nothing changed) when a name holds a line end, NUL or double quote.
    int AddInkBookNames(int t, const std::vector<std::string>& names);

    // ---- Chart layout.
    // Writes the specified fields of info as keywords (unspecified ones are skipped); returns the
    // object's error code when it is in error (nothing added), else 0.
    int AddLayoutInfo(TCMS::TLayoutInfo info);
    int AddLayoutInfo(int rowLength, int nrOfCols, int nrOfPages, int isPellorLayout, double patchHeight,
        double patchWidth, double gapSizeY, double gapSizeX, int borderPatches, int device, int inkSet,
        int mirrorX, const char* measurementCondition);
    // The layout keywords read back; absent ones give the read-back defaults (1 row, column and
    // page, -1 for device, ink set, mirror and the optional settings), not those of TLayoutInfo().
    TCMS::TLayoutInfo GetLayoutInfo() const;
    // Copies the 21 layout keywords present in source, replacing existing lines in place (keeping
    // their comment when the source has none); 1 when the tag list is full or source is null.
    int CopyLayoutInfoFrom(const TCgats* source);

protected:
    // Code 0 changes nothing and tells whether the object is in error; any other code is stored
    // (with its message) and the result is false.
    bool SetErrorCode(int code) const;
    static int TableErrorToCgatsError(int tableError);
    // Index of text in the keyword vocabulary (case-sensitive), or -1.
    int MatchTag(const char* text) const;
    // Classifies a field name (spectral, N-colour, spot and custom process patterns, declared
    // custom names, the standard vocabulary, the sample-name spellings). Returns the vocabulary or
    // custom-field index (0 for the patterns), or -1 when unknown or an argument is null.
    int MatchField(const char* name, int* category, int* index, int* type, std::string* canonical);
    int FindTag(int kind) const;
    const TCgatsTag* GetTag(int kind) const;
    const TCgatsTag* GetTag(const char* name) const;
    // Deep copies of all tags and block bodies into caller arrays of nrTags and nrCommentTags
    // entries (released by the caller with delete and delete[]). With nrColors > 0 each
    // "NUMBER_OF_FIELDS" value is shifted by nrColors minus the first table's colour count.
    TINTVALE_LOCAL void CopyTagList(int* nrTagsOut, TCgatsTag** tagsOut, int* nrCommentTagsOut,
        char** commentTagsOut, int nrColors) const;
    TINTVALE_LOCAL void CopyTagList(std::vector<std::unique_ptr<TCgatsTag>>& tagsOut,
        std::vector<std::string>& commentTagsOut, int nrColors) const;

    // Makes this (freshly zeroed) object a copy of src: with a sample list for its first table
    // (samples, nrSamples > 0) and with an ink map for every table (inkMap, nrInks > 0).
    void Init(const TCgats& src, const int* samples, int nrSamples, const int* inkMap, int nrInks,
        double fillValue);
    // Copies of every table into a new array of *nrTablesOut tables (released by the caller, each
    // with delete, the array with delete[]); returns 0.
    TINTVALE_LOCAL int CopyTables(int* nrTablesOut, TCgatsTable*** tablesOut, const int* samples,
        int nrSamples, const int* inkMap, int nrInks, double fillValue) const;
    TINTVALE_LOCAL int CopyTables(std::vector<std::unique_ptr<TCgatsTable>>& tablesOut, const int* samples,
        int nrSamples, const int* inkMap, int nrInks, double fillValue) const;
    // The description counts and a copy of the declared field names (a new array of new strings,
    // released by the caller with delete[]); returns 0.
    int CopyColorAndFieldInfo(
        int* nrProcessColorIdsOut, int* nrSpotIdsOut, int* nrCustomFieldsOut, char*** customFieldsOut) const;
    // n new Double channel descriptors (SPOT_k, PCn_k, CMYK_* for 3 or 4, nCLR_k for 5 or more) in
    // a new array of new fields that the caller releases; null for other counts.
    TINTVALE_LOCAL TCgatsField** CreateProcessFieldDescriptions(int n, bool spot, bool custom) const;
    // Builds the one table of a file made from arrays (the per-sample arrays may be null).
    void BuildTable(double full, double zero, int nrSamples, const char** sampleNames, int nrChannels,
        bool spot, const double** coords, const double** lab, const double** xyz, const double** spectra,
        int nrWaveLengths, const double* waveLengths, bool custom);

private:
    // The reader fills the model; TCgatsInternals is the private access to it (tests included).
    friend class CgatsReader;
    friend class TCgatsInternals;

    // An empty object, the starting point of the building constructors.
    TCgats();
    bool SetToZero();
    // Stores code and its message; the one way errors are recorded.
    void RecordError(int code) const;

    int AddTag(int kind, const char* name, int unquoted, const char* value, const char* comment);
    int InsertTag(int kind, const char* name, int unquoted, const char* value, const char* comment,
        int position, bool replace);
    int ChangeTagValue(int kind, const char* value, const char* comment);
    // A quoted "KEYWORD" line for each name, in order, where InsertTag would put one.
    TINTVALE_LOCAL void InsertKeywordTags(const std::vector<std::string>& names);
    TINTVALE_LOCAL int CopyTagFrom(const TCgatsTag* tag);
    int AddCustomField(const char* name);
    int SetNrSamples(int n);
    int InitTmpHeader(int n);
    // The table at index t when t is valid, else null.
    TINTVALE_LOCAL const TCgatsTable* Table(int t) const;
    // Table t when the object and the table are sound, else null.
    TINTVALE_LOCAL const TCgatsTable* SoundTable(int t) const;
    // Sets a keyword line, written as its row says: replaces the first line of that kind in place,
    // else inserts one ahead of the data sections. The one way header keywords are set.
    int SetKeyword(int kind, const char* value);
    int SetKeyword(int kind, int value);
    int SetKeyword(int kind, double value);
    // The channel descriptors of CreateProcessFieldDescriptions, empty for unsupported counts.
    TINTVALE_LOCAL std::vector<TCgatsField> ProcessFieldDescriptions(int n, bool spot, bool custom) const;
    // Whether a header value can be written and read back as it is.
    static bool IsWritableValue(const char* value);
    // The same for a text that may hold a NUL, which would cut it short.
    TINTVALE_LOCAL static bool IsWritableText(const std::string& text);
    // The position in customFields of the first name equal to name ignoring case, or -1.
    int CustomFieldIndex(const char* name) const;
    // The average of the tables of files into this copy of files[0], each row with its partner
    // (AveragingPairs); false when they differ, with why in words when it is more than the fields.
    bool AverageTables(const std::vector<const TCgats*>& files, std::string& why);
    // Why the data of other cannot be averaged with these: the illuminant, observer or measurement
    // condition stated differently (letter case aside; unstated taken as CGATS.17 means it), or empty.
    TINTVALE_LOCAL std::string AveragingConflict(const TCgats& other) const;
    // The row of other's table t paired with each row of table t: by name when both name their
    // samples, else by position; empty, with why, when a name has no partner or the device values
    // of a pair differ.
    TINTVALE_LOCAL std::vector<int> AveragingPairs(int t, const TCgats& other, std::string& why) const;
    // Index of the "NUMBER_OF_FIELDS" line in the section of table t, or -1.
    int FieldCountTag(int t) const;
    // Sets that line to table t's field count in place (unquoted -1 and a null comment keep the
    // line's own); 1 when the section has no such line.
    int UpdateFieldCount(int t, int unquoted, const char* comment);
    // The field of table t that GetSampleLabel reads, or -1.
    TINTVALE_LOCAL int SampleLabelField(int t) const;
    // The numbers of the last lines with the keywords of n (at most 4) keyword-table rows in the
    // section of table t (0 when absent), in one pass.
    TINTVALE_LOCAL void SectionNumbers(int t, const int* rows, double* out, int n) const;
    // What turns table t's spectral values into factors.
    TINTVALE_LOCAL double SpectralFactor(int t) const;
    // The value of the first line of that kind, or null; numbers are the row's absent value then.
    const char* KeywordValue(int kind) const;
    int KeywordInt(int kind) const;
    double KeywordDouble(int kind) const;

    // MatchField with declared names looked up in names (an index kept while reading), or in
    // customFields one by one when names is null.
    TINTVALE_LOCAL int MatchField(const char* name, int* category, int* index, int* type,
        std::string* canonical, TCgatsNameIndex* names);

    // Conventions, applied to a copy that is then written.
    TINTVALE_LOCAL int ApplyConvention(Convention convention);
    TINTVALE_LOCAL void NameSamples(int t, bool argyll, std::vector<std::string>& renamed);
    TINTVALE_LOCAL int NameSpectra(int t, bool argyll, std::vector<std::string>& renamed);
    TINTVALE_LOCAL void SetSectionKeyword(int t, const char* name, const std::string& value);
    TINTVALE_LOCAL void DropDeclarations(const std::vector<std::string>& names);
    TINTVALE_LOCAL void DescribeDevice(bool loneSpectrum);
    TINTVALE_LOCAL bool IsLoneSpectrum() const;
    TINTVALE_LOCAL bool IsArgyllFile() const;
    // Whether the file is an ArgyllCMS measurement file (CTI3).
    TINTVALE_LOCAL bool IsArgyllMeasurementFile() const;
    TINTVALE_LOCAL void SetIdentification(const char* type);

    // Writer.
    int WriteToStream(std::ostream* stream) const;
    int WriteToString(std::string& out) const;
    int WriteTag(int i, std::string& out) const;
    // Adds the standard field names and the names of the file's fields.
    TINTVALE_LOCAL void AddFieldNames(TCgatsNameSet& names) const;
    TINTVALE_LOCAL void DeclareKeyword(const TCgatsTag& tag, bool first, const TCgatsNameSet& fieldNames,
        TCgatsNameSet& declared, std::string& out) const;
    int WriteHeader(int t, std::string& out) const;
    int WriteTable(int t, std::string& out) const;

    std::vector<std::unique_ptr<TCgatsTag>> tags; // in file order
    std::vector<std::string> commentTags; // free-form block bodies
    int nrSamples; // pending "NUMBER_OF_SETS" for the next table
    std::unique_ptr<TCgatsTableHeader> tmpHeader; // header of the next table, while reading
    int nrProcessColorIds;
    int nrSpotIds;
    std::vector<std::string> customFields; // declared custom field names, duplicates allowed
    std::vector<std::unique_ptr<TCgatsTable>> tables;
    mutable int errorCode;
    mutable char errorMsg[128];
    int errorLine = 0; // line of a reading error, 0 when none
    std::vector<std::string> unreadCells;
    std::vector<std::string> readWarnings;
};

#endif
