// CgatsReader: reads CGATS.17 text into a TCgats (header lines, free-form blocks, data formats and
// data sections) in one forward pass, and records the first fault with its line there.
#ifndef TINTVALE_CGATSREADER_H
#define TINTVALE_CGATSREADER_H

#include <tintvale/tcgats.h>

#include "cgatstokenizer.h"
#include "tcgatsnameindex.h"

#include <string>
#include <vector>

class TCgatsTable;

class CgatsReader {
public:
    CgatsReader(TCgats& target, TCgats::TextInNumberField cells);
    CgatsReader(const CgatsReader&) = delete;
    CgatsReader& operator=(const CgatsReader&) = delete;

    // Read into the target as it is (tags and tables add to those present) and record the outcome
    // there: its error code and message, and the line of a reading error.
    void ReadFile(const char* fileName);
    void ReadText(const char* text);

private:
    // One header line: a keyword, a bare or quoted value, a comment after "#".
    struct HeaderLine {
        std::string keyword;
        std::string value;
        std::string comment;
        int kind = -1;
        int unquoted = 0; // 0: the value was quoted; 1: bare
        bool ended = false; // the text ended with this line
    };

    int Read(const char* text);
    int ReadLines();
    // False when a part of the line is longer than its limit, or text follows a closed quote
    // (lineFault tells which).
    bool ReadHeaderLine(HeaderLine& line);
    bool ReadPhysicalLine(HeaderLine& line, bool firstLine);
    bool ReadValue(HeaderLine& line);
    // Appends text to part unless that makes it longer than limit.
    bool Append(std::string& part, std::size_t limit, CgatsSpan text);
    // Makes the target's pending header for a "NUMBER_OF_FIELDS" count read before.
    void MakePendingHeader();
    int ReadDataFormat();
    int ReadFieldNames(std::vector<std::string>& undeclared);
    int ReadTable();
    int ReadTableValues();
    // Warns when every spectral value of table t lies outside what reflectance can be.
    void CheckSpectralScale(int t) const;
    // Notes a doubt in the target's read warnings: "line N: text" (the line that holds at), or text.
    void Warn(const char* at, const std::string& text) const;
    // The values of a data section into its table's columns; a table error code or 0.
    int ReadValues(TCgatsTable& table);
    // The body of a free-form block opened by keyword.
    int ReadBlock(const std::string& keyword);
    // The cells the table read as NaN or refused, described with their lines.
    void TakeUnreadCells(TCgatsTable& table);
    // Records code as the outcome, at the fault site when one is set, else at the cursor.
    int Fail(int code);
    // The line (from 1) that holds at.
    int LineOf(const char* at) const;

    TCgats& target;
    const TCgats::TextInNumberField cells;
    CgatsTokenizer tokens { "" };
    const char* textStart = nullptr;
    const char* faultAt = nullptr; // where the current fault lies, when known
    int lineFault = TCgats::kErrLineTooLong; // what a header line that cannot be read gives
    int errorLine = 0;
    std::string errorDetail; // a message that names the fault's place, or empty
    // Declarations only grow while reading: one incremental index serves every data format.
    TCgatsNameIndex declaredNames;
    int pendingSlots = -1; // "NUMBER_OF_FIELDS" count whose header is not made yet
    const char* fieldCountAt = nullptr; // the last "NUMBER_OF_FIELDS" line
    int declaredFields = 0; // its count
    bool countDisagrees = false; // the pending format has another number of names than declared
};

#endif
