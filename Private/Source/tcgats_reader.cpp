// TCgats: reading CGATS.17 text into tags, free-form blocks, table headers and tables.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "numtext.h"
#include "ostrel.h"
#include "tcgats_vocabulary.h"
#include "tcgatsfield.h"
#include "tcgatsnameindex.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <boost/filesystem/fstream.hpp>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

using namespace tintvale::detail;

namespace {

constexpr const char* kBeginPrefix = "BEGIN_";
constexpr std::size_t kBeginPrefixLength = 6;
constexpr const char* kEndDataFormat = "END_DATA_FORMAT";
// The most field names a data format may hold, as in LittleCMS (which refuses NUMBER_OF_FIELDS
// above 0x7ffe): far beyond any instrument's spectra, and it bounds what a header costs, about
// 80 bytes a field, whatever the file declares or repeats.
constexpr int kMaxFields = 0x7ffe;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
bool IsSeparator(char c) { return IsBlank(c) || IsLineEnd(c); }

// Appends c to a buffer holding at most limit characters; false when it is full.
bool Append(char* buffer, std::size_t& length, std::size_t limit, char c)
{
    if (length >= limit)
        return false;
    buffer[length++] = c;
    buffer[length] = '\0';
    return true;
}

// Consumes one line end at p: LF, CR or CR LF.
const char* SkipLineEnd(const char* p)
{
    if (*p == '\r' && p[1] == '\n')
        return p + 2;
    return IsLineEnd(*p) ? p + 1 : p;
}

} // namespace

TCgats::TCgats(const char* fileName)
    : TCgats(fileName, TextInNumberField::Refuse)
{ }

TCgats::TCgats(const char* buffer, int)
    : TCgats(buffer, 0, TextInNumberField::Refuse)
{ }

TCgats::TCgats(const char* fileName, TextInNumberField cells)
{
    SetToZero();
    textInNumberField = cells;
    if (!fileName || !*fileName) {
        RecordError(kErrEmptyFileName);
        return;
    }
    const int result = ReadFromFile(fileName);
    if (result != 0)
        RecordReadError(result);
}

TCgats::TCgats(const char* buffer, int, TextInNumberField cells)
{
    SetToZero();
    textInNumberField = cells;
    const int result = ReadFromBuffer(buffer);
    if (result != 0)
        RecordReadError(result);
}

void TCgats::RecordReadError(int code)
{
    RecordError(code);
    if (!errorDetail.empty())
        strncpy_w0(errorMsg, errorDetail.c_str(), sizeof errorMsg - 1);
}

int TCgats::ReadFromFile(const char* fileName)
{
    char* buffer = nullptr;
    const int result = FileToBuffer(fileName, &buffer);
    if (result != 0)
        return result;
    const std::unique_ptr<char[]> owned(buffer);
    return ReadFromBuffer(owned.get());
}

int TCgats::FileToBuffer(const char* fileName, char** buffer)
{
    if (!fileName || !buffer)
        return kErrFileNotFound;
    boost::filesystem::ifstream in(Ostrel::FromUTF8String(fileName), std::ios::in | std::ios::binary);
    if (!in)
        return kErrFileNotFound;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    // The size is kept in 32 bits; larger files are not read.
    if (size < 0 || size >= INT_MAX)
        return kErrFileNotFound;
    in.seekg(0, std::ios::beg);
    std::unique_ptr<char[]> text(new char[static_cast<std::size_t>(size) + 1]);
    in.read(text.get(), size);
    if (in.gcount() != size)
        return kErrFileNotFound;
    text[static_cast<std::size_t>(size)] = '\0';
    *buffer = text.release();
    return 0;
}

// One header line: keyword, then a bare or quoted value, then a comment after "#" (a "#" between
// quotes is text). The words of a bare value keep one blank between them. Blank lines are
// skipped; a line with only a comment is a tag without keyword. A first line that opens with a
// double quote ("File created by ...", as calibration software writes) is one keyword up to the
// closing quote, blanks and all, so that it is written back whole. Returns 1 when the text has ended,
// 0 when not, -1 on an over-long part.
int TCgats::ReadNextTag(
    const char** cursor, int* kind, char** keyword, int* unquoted, char** value, char** comment)
{
    const char* p = *cursor;
    char* kw = *keyword;
    char* val = *value;
    char* com = *comment;
    std::size_t nk = 0, nv = 0, nc = 0;
    kw[0] = val[0] = com[0] = '\0';
    // An over-long part is reported at its line.
    auto put = [&](char* buffer, std::size_t& length, std::size_t limit, char c) {
        if (Append(buffer, length, limit, c))
            return true;
        errorAt = p - 1;
        return false;
    };
    *unquoted = 0;
    *kind = kKindNone;
    bool ended = false;
    const bool firstLine = tags.empty();
    while (nk == 0 && nc == 0 && !ended) {
        bool inKeyword = true, atGap = true, inValue = false, inQuotes = false, inComment = false;
        bool inQuotedKeyword = false;
        for (;;) {
            const char c = *p;
            if (c == '\0') {
                ended = true;
                break;
            }
            if (IsLineEnd(c)) {
                p = SkipLineEnd(p);
                break;
            }
            ++p;
            if (inComment) {
                if (!put(com, nc, kMaxCommentLength, c))
                    return -1;
            } else if (inQuotedKeyword || (firstLine && inKeyword && nk == 0 && c == '"')) {
                if (!put(kw, nk, kMaxKeywordLength, c))
                    return -1;
                inQuotedKeyword = c != '"' || nk == 1;
                atGap = false;
            } else if (inQuotes && c != '"') {
                if (!put(val, nv, kMaxValueLength, c))
                    return -1;
            } else if (c == '#') {
                inComment = true;
            } else if (IsBlank(c)) {
                if (inKeyword && !atGap) {
                    inKeyword = false;
                    inValue = true;
                }
                atGap = true;
            } else {
                const bool wasGap = atGap;
                atGap = false;
                if (inKeyword) {
                    if (!put(kw, nk, kMaxKeywordLength, c))
                        return -1;
                } else if (!inValue) {
                    // Text after a closing quote is not part of the value.
                } else if (c == '"') {
                    *unquoted = 0;
                    inQuotes = wasGap;
                    if (!wasGap)
                        inValue = false;
                } else {
                    if (wasGap && nv > 0 && *unquoted == 1 && !put(val, nv, kMaxValueLength, ' '))
                        return -1;
                    if (wasGap)
                        *unquoted = 1;
                    if (!put(val, nv, kMaxValueLength, c))
                        return -1;
                }
            }
        }
    }
    *cursor = p;
    *kind = MatchTag(kw);
    return ended ? 1 : 0;
}

int TCgats::ReadFromBuffer(const char* text)
{
    if (!text)
        return 1;
    std::unique_ptr<char[]> keyword(new char[kMaxKeywordLength + 1]);
    std::unique_ptr<char[]> value(new char[kMaxValueLength + 1]);
    std::unique_ptr<char[]> comment(new char[kMaxCommentLength + 1]);
    const char* cursor = text;
    readStart = text;
    readEnd = text + std::strlen(text);
    errorAt = nullptr;
    // At most one tag a line: reserved at once, the list never holds twice what it needs while
    // it grows, which a file of millions of short lines would feel.
    tags.reserve(tags.size() + static_cast<std::size_t>(std::count_if(text, readEnd, IsLineEnd)) + 1);
    // Declarations only grow while reading, so one incremental index serves every data format.
    TCgatsNameIndex index;
    nameIndex = &index;
    const int result = ReadLines(&cursor, keyword.get(), value.get(), comment.get());
    MakePendingHeader();
    if (result != 0)
        errorLine = LineOf(errorAt ? errorAt : cursor);
    nameIndex = nullptr;
    readStart = readEnd = errorAt = nullptr;
    return result;
}

int TCgats::LineOf(const char* at) const
{
    // The end of a text that ends with a line end belongs to its last line.
    if (at >= readEnd && at > readStart && IsLineEnd(at[-1]))
        at = (at - 1 > readStart && at[-1] == '\n' && at[-2] == '\r') ? at - 2 : at - 1;
    int line = 1;
    for (const char* p = readStart; p < at && *p; ++p)
        if (*p == '\n' || (*p == '\r' && p[1] != '\n'))
            ++line;
    return line;
}

int TCgats::ReadLines(const char** cursorIn, char* kw, char* val, char* com)
{
    const char*& cursor = *cursorIn;
    // The writer pairs data formats and tables by order: a format followed by another format (or
    // another field count) before its data would lose its names on writing. (A last format
    // without data is a template, which the writer keeps.)
    bool formatWithoutData = false;
    for (;;) {
        int kind = kKindNone;
        int unquoted = 0;
        const int state = ReadNextTag(&cursor, &kind, &kw, &unquoted, &val, &com);
        if (state < 0)
            return -1;
        // A failure of this line that no section reader placed more exactly is reported here.
        const char* lineAt = cursor > readStart ? cursor - 1 : cursor;
        const bool ended = state == 1;
        int result = 0;
        switch (kind) {
        case kKindNumberOfFields: {
            // It starts the next table's header, which would replace the pending format's names.
            if (formatWithoutData) {
                errorAt = lineAt;
                return kErrFormatWithoutData;
            }
            // A count beyond the limit fails whenever its names are read, as too many or too
            // few; capping it keeps a hostile count from exhausting memory without changing the
            // outcome. The empty slots are made when a section needs them, so that a run of such
            // lines costs nothing.
            tmpHeader.reset();
            pendingSlots = std::clamp(AtoiC(val), 0, kMaxFields + 1);
            break;
        }
        case kKindBeginDataFormat:
            if (formatWithoutData) {
                errorAt = lineAt;
                return kErrFormatWithoutData;
            }
            result = ReadTmpHeader(&cursor);
            formatWithoutData = true;
            break;
        case kKindProcessColorId:
            ++nrProcessColorIds;
            break;
        case kKindSpotId:
            ++nrSpotIds;
            break;
        case kKindNumberOfSets:
            SetNrSamples(AtoiC(val));
            break;
        case kKindBeginData:
            errorAt = lineAt;
            result = ReadTable(&cursor);
            formatWithoutData = false;
            break;
        case kKindKeyword:
            AddCustomField(val);
            break;
        default:
            break;
        }
        if (result != 0) {
            if (!errorAt)
                errorAt = lineAt;
            return result;
        }
        errorAt = nullptr;
        // A comment on a last line without line end is kept like any other comment line.
        if (ended && kw[0] == '\0' && com[0] == '\0')
            return 0;
        if (kind != kKindBeginDataFormat && kind != kKindBeginData
            && strncmp_ci(kw, kBeginPrefix, kBeginPrefixLength) == 0) {
            result = ReadCommentTag(kw, &cursor);
            if (result != 0) {
                errorAt = lineAt;
                return result;
            }
        }
        AddTag(kind, kw, unquoted, val, com);
        if (ended)
            return 0;
    }
}

// The field names of a data format, up to "END_DATA_FORMAT". After "NUMBER_OF_FIELDS" the
// declared slots are filled; otherwise the names are appended.
void TCgats::MakePendingHeader()
{
    if (pendingSlots >= 0)
        InitTmpHeader(pendingSlots);
    pendingSlots = -1;
}

int TCgats::ReadTmpHeader(const char** cursor)
{
    std::vector<std::string> undeclared;
    const int result = ReadFieldNames(cursor, undeclared);
    // The declarations of the names met go in at once: one by one, each would search and shift
    // the tag list again, which a data format of thousands of names makes quadratic.
    InsertKeywordTags(undeclared);
    return result;
}

int TCgats::ReadFieldNames(const char** cursor, std::vector<std::string>& undeclared)
{
    MakePendingHeader();
    const bool fill = static_cast<bool>(tmpHeader);
    if (!fill)
        InitTmpHeader(0);
    const char* p = *cursor;
    int nrNames = 0;
    // Slots are filled strictly in order, so the empty ones form the tail of the header.
    int next = 0;
    while (next < tmpHeader->NrFields() && tmpHeader->fields[next])
        ++next;
    std::string token;
    std::string canonical;
    for (;;) {
        // Separators and comments before the token.
        for (;;) {
            if (IsSeparator(*p)) {
                ++p;
            } else if (*p == '#') {
                while (*p && !IsLineEnd(*p))
                    ++p;
            } else {
                break;
            }
        }
        errorAt = p;
        if (!*p)
            return kErrNoEndDataFormat;
        const char* start = p;
        token.clear();
        while (*p && !IsSeparator(*p) && *p != '#')
            token += *p++;
        if (!*p)
            return kErrNoEndDataFormat;
        if (IsSeparator(*p))
            ++p;
        if (token.size() >= 1 && token.front() == '"')
            token.erase(0, 1);
        if (token.size() >= 1 && token.back() == '"')
            token.pop_back();
        // A quote inside a name could not be written back in the quoted "KEYWORD" line.
        if (token.find('"') != std::string::npos)
            return kErrBadField;

        if (token == kEndDataFormat) {
            // The main loop reads the end line as a tag.
            *cursor = start;
            if (fill && nrNames != tmpHeader->NrFields())
                return kErrFieldCount;
            errorAt = nullptr;
            return 0;
        }

        if (nrNames >= kMaxFields)
            return kErrBadField;
        int category = 0, index = 0, type = 0;
        int vocabIndex = MatchField(token.c_str(), &category, &index, &type, &canonical);
        if (vocabIndex < 0) {
            // An undeclared name becomes a text column and is declared in the header lines, so
            // that the written file declares it. It counts as declared from here on too, so that
            // later names match it now exactly as they will when the written file is read.
            undeclared.push_back(token);
            AddCustomField(token.c_str());
            type = TCgatsField::kString;
            category = TCgatsField::kKeyword;
            index = 0;
            vocabIndex = -1;
            canonical = token;
        }
        auto field = std::make_unique<TCgatsField>(type, canonical.c_str(), category, index, vocabIndex);
        if (field->invalid)
            return kErrBadField;
        if (fill) {
            if (next >= tmpHeader->NrFields())
                return kErrBadField;
            tmpHeader->fields[next++] = std::move(field);
        } else {
            tmpHeader->fields.push_back(std::move(field));
        }
        ++nrNames;
    }
}

int TCgats::ReadTable(const char** cursor)
{
    MakePendingHeader();
    if (!tmpHeader || nrSamples <= 0)
        return kErrDataWithoutFormat;
    tmpHeader->nrSamples = nrSamples;
    auto table = std::make_unique<TCgatsTable>();
    const int initError = table->Init(tmpHeader, false);
    if (initError != 0)
        return TableErrorToCgatsError(initError);
    // Every value takes at least one character: a table larger than the rest of the text
    // cannot be complete, and its columns are not allocated.
    const long long values = static_cast<long long>(table->header->nrSamples) * table->NrFields();
    if (values > static_cast<long long>(readEnd - *cursor)) {
        tmpHeader = table->ReleaseHeader();
        return TableErrorToCgatsError(kTableRowCount);
    }
    table->CreateLists();
    table->nanForText = textInNumberField == TextInNumberField::NaN;
    const int readError = table->Read(cursor);
    TakeUnreadCells(*table);
    if (readError != 0) {
        errorAt = *cursor;
        tmpHeader = table->ReleaseHeader();
        return TableErrorToCgatsError(readError);
    }
    tables.push_back(std::move(table));
    nrSamples = 0;
    return 0;
}

void TCgats::TakeUnreadCells(TCgatsTable& table)
{
    // Long cell texts are cut: the message has a fixed buffer, and the line tells where to look.
    constexpr std::size_t kShownText = 32;
    for (const TCgatsTable::UnreadCell& cell : table.unreadCells) {
        const TCgatsField* field = table.header ? table.header->Field(cell.field) : nullptr;
        const std::string text
            = cell.text.size() > kShownText ? cell.text.substr(0, kShownText) + "..." : cell.text;
        const std::string name = field ? field->name : std::string("?");
        if (table.nanForText)
            unreadCells.push_back(
                "line " + std::to_string(LineOf(cell.at)) + ": field " + name + ": \"" + text + '"');
        else
            errorDetail = "Field " + name + " holds \"" + text + "\", which is not a number.";
    }
    table.unreadCells.clear();
}

// The body of a free-form block: everything up to and including the line end that is followed
// by the matching end keyword (any letter case).
int TCgats::ReadCommentTag(const char* keyword, const char** cursor)
{
    const std::string endKeyword = std::string("END_") + (keyword + kBeginPrefixLength);
    const char* start = *cursor;
    // An empty block: the end line follows the begin line directly.
    if (strncmp_ci(start, endKeyword.c_str(), endKeyword.size()) == 0) {
        commentTags.emplace_back();
        return 0;
    }
    for (const char* p = start; *p; ++p) {
        if (IsLineEnd(*p) && strncmp_ci(p + 1, endKeyword.c_str(), endKeyword.size()) == 0) {
            commentTags.emplace_back(start, p + 1);
            *cursor = p + 1;
            return 0;
        }
    }
    return kErrCommentTag;
}
