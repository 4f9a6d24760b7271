// TCgats: one CGATS.17 measurement data file in memory: its header lines, free-form blocks,
// declared custom field names and data tables, read from and written to text.
#ifndef TINTVALE_TCGATS_H
#define TINTVALE_TCGATS_H

#include <tintvale/texport.h>

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class TCgatsTag;
class TCgatsTableHeader;
class TCgatsTable;

// TCgats owns everything it holds; the internal tag and table types are opaque to hosts.
//
// Error codes (GetErrorCode; GetErrorMsg gives the message of codes 0 to 25):
//    0 "No error."
//    1 "The file is not a valid Cgats file."            (also: a table's values end early)
//    2 "Empty file name."
//    3 "The requested file could not be found."
//    4 "Could not create or open the requested file for writing."
//    5 "Error while reading comment tag."
//    6 "Internal error: temporary header not initialized."
//    7 "The table header is empty."
//    8 "Internal error: attempt to map inks using an illegal ink map."
//    9 "END_DATA_FORMAT tag not found."
//   10 "Badly formatted header field."
//   11 "Unknown and undeclared header field type."
//   12 "Number of header fields found doesn't match number of header fields declared."
//   13 "Number of samples found doesn't match number of samples declared."
//   14 "The table header contains no data fields."
//   15 "The table contains no samples."
//   16 "The table contains a data type that is not supported."
//   17 "The custom color numbering in the table header is not consistent."
//   18 "Number of color coordinates not supported."
//   19 "No sample ID field provided in header."
//   20 "Not enough coordinate fields provided in header."
//   21 "Internal error: illegal tag index."
//   22 "Attempt to write empty tag."
//   23 "Internal error: illegal table index."
//   24 "Error adding layout info: layout info already present."
//   25 "Trying to copy from empty data set."
//   -1 a header line whose keyword, value or comment is longer than 255, 4095 or 511 characters
//      (no message).
// A failed constructor keeps what it read before the failure; the object stays destructible.
// Numbers are read and written in the C locale's form whatever locale the host has set.
class TINTVALE_API TCgats {
public:
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
    TCgats(const TCgats&) = delete;
    TCgats& operator=(const TCgats&) = delete;
    ~TCgats();

    int GetErrorCode() const { return errorCode; }
    // The message of the error code; valid as long as the object.
    const char* GetErrorMsg() const { return errorMsg; }

    // Writes the value of one cell as text into the caller's buffer *out ("%d" for Int fields,
    // "%3.5f" for Double fields, the text for String fields); the caller makes it large enough.
    // 0, or -1 when the object or table is in error or an index is out of range.
    int GetField(int table, int sample, int field, char** out) const;
    // Sized variant: at most size bytes including the terminator; -1 also when the text is longer.
    int GetField(int table, int sample, int field, char* out, std::size_t size) const;
    // Index of the first field of the table named exactly name, or -1.
    int GetFieldNameIndex(int table, const char* name) const;
    // Adds a quoted header line name value ahead of the data sections; 1 when 128 lines exist.
    int AddCustomTag(const char* name, const char* value);

    // Writes the file (tab-separated, LF line ends) through a temporary file in the target's
    // directory that replaces the target only when everything was written; a failure leaves an
    // existing file untouched. Returns the object's error code when it is in error (nothing is
    // written), 4 when the file cannot be written, a writing error code, or 0.
    int SaveAs(const char* fileName) const;
    // Writes the text into a new NUL-terminated buffer that the caller releases with delete[].
    // Returns the error code at once (buffer untouched) when the object is in error; otherwise
    // *buffer receives the text as far as it was written and the result is 0 or the writing code.
    int WriteToBuffer(char** buffer) const;

protected:
    // Code 0 changes nothing and tells whether the object is in error; any other code is stored
    // (with its message for codes 1 to 25) and the result is false.
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

private:
    friend class TCgatsTestAccess;

    // An empty object, the starting point of the building constructors.
    TCgats();
    bool SetToZero();
    // Stores code (and its message for codes 0 to 25); the one way errors are recorded.
    void RecordError(int code) const;

    int AddTag(int kind, const char* name, int unquoted, const char* value, const char* comment);
    int InsertTag(int kind, const char* name, int unquoted, const char* value, const char* comment,
        int position, bool replace);
    int ChangeTagValue(int kind, const char* value, const char* comment);
    TINTVALE_LOCAL int CopyTagFrom(const TCgatsTag* tag);
    int AddCustomField(const char* name);
    int SetNrSamples(int n);
    int InitTmpHeader(int n);
    // The table at index t when t is valid, else null.
    TINTVALE_LOCAL const TCgatsTable* Table(int t) const;

    // Reader.
    int ReadFromFile(const char* fileName);
    int FileToBuffer(const char* fileName, char** buffer);
    int ReadFromBuffer(const char* text);
    int ReadNextTag(
        const char** cursor, int* kind, char** keyword, int* unquoted, char** value, char** comment);
    int ReadTmpHeader(const char** cursor);
    int ReadTable(const char** cursor);
    int ReadCommentTag(const char* keyword, const char** cursor);

    // Writer.
    int WriteToStream(std::ostream* stream) const;
    int WriteToString(std::string& out) const;
    int WriteTag(int i, std::string& out) const;
    int WriteHeader(int t, std::string& out) const;
    int WriteTable(int t, std::string& out) const;

    std::vector<std::unique_ptr<TCgatsTag>> tags; // at most kMaxTags, in file order
    std::vector<std::string> commentTags; // free-form block bodies, at most kMaxCommentTags
    int nrSamples; // pending "NUMBER_OF_SETS" for the next table
    std::unique_ptr<TCgatsTableHeader> tmpHeader; // header of the next table, while reading
    int nrProcessColorIds;
    int nrSpotIds;
    std::vector<std::string> customFields; // declared custom field names, duplicates allowed
    std::vector<std::unique_ptr<TCgatsTable>> tables;
    mutable int errorCode;
    mutable char errorMsg[128];
    const char* readEnd = nullptr; // end of the text being read, while reading
};

#endif
