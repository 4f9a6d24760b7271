// TCgatsTable: one data table of a CGATS file, a header and one typed value list per field.
#ifndef TINTVALE_TCGATSTABLE_H
#define TINTVALE_TCGATSTABLE_H

#include "tcgatstableheader.h"
#include "tcgatsvaluelist.h"

#include <memory>
#include <string>
#include <vector>

namespace tintvale::detail {

// Table error codes (TCgatsTable::error).
enum CgatsTableError {
    kTableOk = 0,
    kTableNoHeader = 1,
    kTableNoFields = 2,
    kTableEmptySlot = 3,
    kTableNoSamples = 4,
    kTableRowCount = 5,
    kTableBadType = 6,
    kTableAnalysis = 7,
    kTableFirstNotString = 8,
    kTableCoordNotDouble = 9,
    kTableTextEnded = 10,
    kTableTooManyRows = 11,
    kTableHeaderNotWritten = 12,
    kTableBadInkMap = 13,
    kTableNoEndData = 14, // the text ends before "END_DATA"
    kTableNotANumber = 15, // a cell of a number field is not a complete number
    kTableUnwritableText = 16, // a text cell holds a line end or double quote
    kTableNrCodes
};

} // namespace tintvale::detail

class TCgatsTable {
public:
    // Values above this in one of the first kPercentRows rows mark the spectra as percentages.
    static constexpr double kPercentThreshold = 10.0;
    static constexpr int kPercentRows = 5;

    TCgatsTable() = default;
    TCgatsTable(const TCgatsTable&) = delete;
    TCgatsTable& operator=(const TCgatsTable&) = delete;

    // Checks the header (null 1, no fields 2, no samples 4, empty slot 3, analysis 7, unknown
    // field type 6), then takes it over (header becomes null) and, when createLists, makes one
    // empty value list per field. On failure header is left with the caller. Returns error.
    int Init(std::unique_ptr<TCgatsTableHeader>& header, bool createLists);
    // Creates the missing value lists, one per field for header->nrSamples samples.
    void CreateLists();
    // Gives the header back (the table is left without one).
    std::unique_ptr<TCgatsTableHeader> ReleaseHeader();

    // Stores one row, one text per field in column order; 11 when the table is full, else 0.
    int AddSample(const char* const* texts);
    // The bookkeeping after the columns of the next row were set (as the reader does): the row
    // counts as filled.
    void FinishRow();

    // Append the field-name line or the data rows to out; return a table error code or 0.
    int WriteHeader(std::string& out) const;
    int WriteData(std::string& out) const;

    // The value of one cell as text ("%d" for Int, "%3.5f" for Double) written into *out, which the
    // caller sizes; -1 on a table error, an index outside the table or a null buffer.
    int GetField(int sample, int field, char** out) const;
    // The same into a string; -1 on the same conditions.
    int GetFieldText(int sample, int field, std::string& out) const;

    // Reads the Double values of the listed fields for one sample, each times factor, into out;
    // -1 on a table error, an invalid sample or a missing column, else 0.
    int GetValues(int sample, const std::vector<int>& fieldList, double factor, double* out) const;
    // Adds Double columns LAB_L, LAB_A, LAB_B holding lab[i][0..2] for every declared sample, or
    // overwrites the Lab columns present. The table error when set; 1 when the table is not full,
    // lab or an entry is null, or the new header cannot be made (the table then unchanged); else 0.
    int AddLab(const double* const* lab);
    // Stores names[i] for every declared sample in the "InkBook" column, adding it as a String
    // Keyword field (vocabIndex as given) when missing. Results as AddLab; 1 also when names holds
    // fewer entries than there are samples (nothing changed).
    int SetInkBookNames(const std::vector<std::string>& names, int vocabIndex);

    // Selecting copy of src: the listed samples (samples, m > 0) or all rows; with an ink map
    // (n > 0) the process channels replaced by names[k] filled from channel inkMap[k] of src, or
    // from fillText (a Double column) where the entry is negative. A source in error gives its
    // error; an unusable ink map (no process colours, an entry not below the channel count, no
    // names for it) gives 13; a sample outside src gives 5.
    static std::unique_ptr<TCgatsTable> SelectingCopy(const TCgatsTable& src, const int* samples, int m,
        const int* inkMap, int n, const std::vector<TCgatsField>& names, const char* fillText);
    // Headers equal, the same columns equal within tolerance over this table's rows, and the same
    // row count and percent flag.
    bool Equals(const TCgatsTable& other, double tolerance) const;
    // Both lists of one type; Int equal, Double within tolerance over rows rows, String entries
    // all equal (two unset entries are equal).
    static bool ColumnsEqual(const TCgatsValueList& a, const TCgatsValueList& b, int rows, double tolerance);

    bool ValidSample(int sample) const { return sample >= 0 && sample < nrFilled; }

    const TCgatsTableHeader* Header() const { return header.get(); }
    int NrFields() const { return header ? header->NrFields() : 0; }

    std::unique_ptr<TCgatsTableHeader> header;
    std::vector<std::unique_ptr<TCgatsValueList>> columns;
    int nrFilled = 0;
    int error = 0;
    bool spectralPercent = false;
    // Double values are written with a decimal point ("90.0"): ArgyllCMS types a column of whole
    // numbers as integers and refuses it where it expects reals.
    bool pointedDoubles = false;
    // A cell of a number field that is not a complete number: the reader fails with 15 at it (the
    // default), or with nanForText stores NaN and lists it in unreadCells.
    struct UnreadCell {
        const char* at; // the cell in the text being read
        int field;
        std::string text;
    };
    bool nanForText = false;
    std::vector<UnreadCell> unreadCells; // while reading; also the refused cell

private:
    // Replaces the header by a copy with the fields appended (analysed), and appends the columns;
    // 1 (nothing changed) when the new header cannot be made.
    int AppendColumns(
        const std::vector<TCgatsField>& newFields, std::vector<std::unique_ptr<TCgatsValueList>> lists);

    void DetectPercent(int row);
};

#endif
