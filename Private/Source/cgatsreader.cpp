// CgatsReader: header lines, free-form blocks, data formats and data sections, read through the
// one tokenizer.
#include "cgatsreader.h"

#include "cxf.h"
#include "halden.h"
#include "numtext.h"
#include "ostrel.h"
#include "tcgats_vocabulary.h"
#include "tcgatsfield.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <boost/filesystem/fstream.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

using namespace tintvale::detail;

namespace {

constexpr const char* kBeginPrefix = "BEGIN_";
constexpr std::size_t kBeginPrefixLength = 6;
// The most field names a data format may hold, as in LittleCMS (which refuses NUMBER_OF_FIELDS
// above 0x7ffe): far beyond any instrument's spectra, and it bounds what a header costs, about
// 80 bytes a field, whatever the file declares or repeats.
constexpr int kMaxFields = 0x7ffe;

// Whether a text cell holds a character of the classes given: a line end or a double quote in a
// cell could be written back neither bare nor quoted.
bool HoldsAny(const CgatsSpan& text, unsigned classes)
{
    return std::any_of(text.first, text.last, [classes](char c) { return CgatsTokenizer::Is(c, classes); });
}

// The whole file in a new NUL-terminated buffer; 0 or kErrFileNotFound.
int FileToBuffer(const char* fileName, std::unique_ptr<char[]>& buffer)
{
    boost::filesystem::ifstream in(Ostrel::FromUTF8String(fileName), std::ios::in | std::ios::binary);
    if (!in)
        return TCgats::kErrFileNotFound;
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    // The size is kept in 32 bits; larger files are not read.
    if (length < 0 || length >= INT_MAX)
        return TCgats::kErrFileNotFound;
    in.seekg(0, std::ios::beg);
    std::unique_ptr<char[]> text(new char[static_cast<std::size_t>(length) + 1]);
    in.read(text.get(), length);
    if (in.gcount() != length)
        return TCgats::kErrFileNotFound;
    text[static_cast<std::size_t>(length)] = '\0';
    buffer = std::move(text);
    return TCgats::kErrNone;
}

} // namespace

CgatsReader::CgatsReader(TCgats& target, TCgats::TextInNumberField cells)
    : target(target)
    , cells(cells)
{ }

void CgatsReader::ReadFile(const char* fileName)
{
    if (!fileName || !*fileName) {
        target.RecordError(TCgats::kErrEmptyFileName);
        return;
    }
    std::unique_ptr<char[]> text;
    const int result = FileToBuffer(fileName, text);
    if (result != TCgats::kErrNone)
        target.RecordError(result);
    else
        ReadText(text.get());
}

void CgatsReader::ReadText(const char* text)
{
    // A CxF3 document is read as the CGATS text it maps to; its faults are its own lines.
    std::string converted;
    if (IsXmlText(text)) {
        CxfFault fault;
        if (!CxfToCgats(text, converted, fault)) {
            target.RecordError(fault.code);
            target.errorLine = fault.line;
            strncpy_w0(target.errorMsg, fault.message.c_str(), sizeof target.errorMsg - 1);
            return;
        }
        text = converted.c_str();
    }
    const int result = Read(text);
    if (result == TCgats::kErrNone) {
        for (int t = 0; t < static_cast<int>(target.tables.size()); ++t)
            CheckSpectralScale(t);
        return;
    }
    target.RecordError(result);
    // A fault of the mapped text (a tag's text in a number field) has no line of the document.
    if (!converted.empty()) {
        target.errorLine = 0;
        const std::string message = "CxF3: a value cannot be read as its CGATS field: "
            + (errorDetail.empty() ? std::string(target.errorMsg) : errorDetail);
        strncpy_w0(target.errorMsg, message.c_str(), sizeof target.errorMsg - 1);
        return;
    }
    if (!errorDetail.empty())
        strncpy_w0(target.errorMsg, errorDetail.c_str(), sizeof target.errorMsg - 1);
}

int CgatsReader::Read(const char* text)
{
    if (!text)
        return TCgats::kErrNotCgats;
    textStart = text;
    tokens = CgatsTokenizer(text);
    int result = ReadLines();
    // A count that disagrees with its names and no data to settle it.
    if (result == TCgats::kErrNone && countDisagrees) {
        faultAt = fieldCountAt;
        result = Fail(TCgats::kErrFieldCount);
    }
    MakePendingHeader();
    if (result != TCgats::kErrNone)
        target.errorLine = errorLine;
    return result;
}

int CgatsReader::Fail(int code)
{
    errorLine = LineOf(faultAt ? faultAt : tokens.Position());
    return code;
}

int CgatsReader::LineOf(const char* at) const
{
    // The end of a text that ends with a line end belongs to its last line.
    if (!*at && at > textStart && CgatsTokenizer::IsLineEnd(at[-1]))
        at = (at - 1 > textStart && at[-1] == '\n' && at[-2] == '\r') ? at - 2 : at - 1;
    int line = 1;
    for (const char* p = textStart; p < at && *p; ++p)
        if (*p == '\n' || (*p == '\r' && p[1] != '\n'))
            ++line;
    return line;
}

int CgatsReader::ReadLines()
{
    HeaderLine line;
    // The writer pairs data formats and tables by order: a format followed by another format (or
    // another field count) before its data would lose its names on writing. (A last format
    // without data is a template, which the writer keeps.)
    bool formatWithoutData = false;
    for (;;) {
        if (!ReadHeaderLine(line))
            return Fail(lineFault);
        // A failure of this line that no section reader placed more exactly is reported here.
        const char* lineAt = tokens.Position() > textStart ? tokens.Position() - 1 : tokens.Position();
        int result = TCgats::kErrNone;
        switch (line.kind) {
        case kKindNumberOfFields:
            // It starts the next table's header, which would replace the pending format's names.
            if (formatWithoutData) {
                faultAt = lineAt;
                return Fail(TCgats::kErrFormatWithoutData);
            }
            // A count beyond the limit fails whenever its names are read, as too many or too
            // few; capping it keeps a hostile count from exhausting memory without changing the
            // outcome. The empty slots are made when a section needs them, so that a run of such
            // lines costs nothing.
            target.tmpHeader.reset();
            pendingSlots = std::clamp(AtoiC(line.value.c_str()), 0, kMaxFields + 1);
            fieldCountAt = lineAt;
            declaredFields = pendingSlots;
            break;
        case kKindBeginDataFormat:
            if (formatWithoutData) {
                faultAt = lineAt;
                return Fail(TCgats::kErrFormatWithoutData);
            }
            result = ReadDataFormat();
            formatWithoutData = true;
            break;
        case kKindProcessColorId:
            ++target.nrProcessColorIds;
            break;
        case kKindSpotId:
            ++target.nrSpotIds;
            break;
        case kKindNumberOfSets:
            target.SetNrSamples(AtoiC(line.value.c_str()));
            break;
        case kKindBeginData:
            faultAt = lineAt;
            result = ReadTable();
            formatWithoutData = false;
            break;
        case kKindKeyword:
            target.AddCustomField(line.value.c_str());
            break;
        default:
            break;
        }
        if (result != TCgats::kErrNone) {
            if (!faultAt)
                faultAt = lineAt;
            return Fail(result);
        }
        faultAt = nullptr;
        // A comment on a last line without line end is kept like any other comment line.
        if (line.ended && line.keyword.empty() && line.comment.empty())
            return TCgats::kErrNone;
        if (line.kind != kKindBeginDataFormat && line.kind != kKindBeginData
            && strncmp_ci(line.keyword.c_str(), kBeginPrefix, kBeginPrefixLength) == 0) {
            result = ReadBlock(line.keyword);
            if (result != TCgats::kErrNone) {
                faultAt = lineAt;
                return Fail(result);
            }
        }
        target.AddTag(
            line.kind, line.keyword.c_str(), line.unquoted, line.value.c_str(), line.comment.c_str());
        if (line.ended)
            return TCgats::kErrNone;
    }
}

bool CgatsReader::Append(std::string& part, std::size_t limit, CgatsSpan text)
{
    if (part.size() + text.Size() > limit) {
        // An over-long part is reported at its line.
        faultAt = text.first + (limit - std::min(limit, part.size()));
        return false;
    }
    part.append(text.first, text.Size());
    return true;
}

// Physical lines are read until one holds a keyword or a comment, or the text ends: blank lines
// are skipped; a line with only a comment is a tag without keyword.
bool CgatsReader::ReadHeaderLine(HeaderLine& line)
{
    line.keyword.clear();
    line.value.clear();
    line.comment.clear();
    line.unquoted = 0;
    line.ended = false;
    const bool firstLine = target.tags.empty();
    while (line.keyword.empty() && line.comment.empty() && !line.ended)
        if (!ReadPhysicalLine(line, firstLine))
            return false;
    line.kind = target.MatchTag(line.keyword.c_str());
    return true;
}

// The keyword is the first word of the line. A first line that opens with a double quote ("File
// created by ...", as calibration software writes) is one keyword up to the closing quote, blanks
// and all, so that it is written back whole.
bool CgatsReader::ReadPhysicalLine(HeaderLine& line, bool firstLine)
{
    tokens.SkipBlanks();
    const char* start = tokens.Position();
    if (firstLine && tokens.Peek() == '"') {
        bool closed = false;
        tokens.Advance();
        tokens.Quoted(true, closed);
    }
    tokens.Word(CgatsTokenizer::kSeparator | CgatsTokenizer::kComment);
    if (!Append(line.keyword, TCgats::kMaxKeywordLength, { start, tokens.Position() }))
        return false;
    if (CgatsTokenizer::Is(tokens.Peek(), CgatsTokenizer::kBlank) && !ReadValue(line))
        return false;
    if (tokens.Peek() == '#') {
        tokens.Advance();
        if (!Append(line.comment, TCgats::kMaxCommentLength, tokens.RestOfLine()))
            return false;
    }
    line.ended = tokens.AtTextEnd();
    tokens.SkipLineEnd();
    return true;
}

// The value after the keyword, up to a "#" or the line end: a text in double quotes ("#" ends it
// too), or bare words, kept with one blank between them. A double quote directly after a bare word
// ends the value there and marks it quoted. Text after a value that a quote closed is refused: it
// belongs to no value, and no quoting could write it back.
bool CgatsReader::ReadValue(HeaderLine& line)
{
    bool inValue = true;
    for (;;) {
        tokens.SkipBlanks();
        if (tokens.AtLineEnd() || tokens.Peek() == '#')
            return true;
        if (!inValue) {
            faultAt = tokens.Position();
            lineFault = TCgats::kErrNotCgats;
            errorDetail = "Text follows the closing quote of a value.";
            return false;
        }
        bool closed = false;
        if (tokens.Peek() == '"') {
            line.unquoted = 0;
            tokens.Advance();
            const char* start = tokens.Position();
            tokens.Word(CgatsTokenizer::kQuote | CgatsTokenizer::kLineEnd);
            if (!Append(line.value, TCgats::kMaxValueLength, { start, tokens.Position() }))
                return false;
            closed = tokens.Peek() == '"';
        } else {
            if (!line.value.empty() && line.unquoted == 1) {
                if (line.value.size() >= TCgats::kMaxValueLength) {
                    faultAt = tokens.Position();
                    return false;
                }
                line.value += ' ';
            }
            line.unquoted = 1;
            const CgatsSpan word
                = tokens.Word(CgatsTokenizer::kSeparator | CgatsTokenizer::kComment | CgatsTokenizer::kQuote);
            if (!Append(line.value, TCgats::kMaxValueLength, word))
                return false;
            if (tokens.Peek() == '"') {
                line.unquoted = 0;
                closed = true;
            }
        }
        if (closed) {
            tokens.Advance();
            inValue = false;
        }
    }
}

void CgatsReader::MakePendingHeader()
{
    if (pendingSlots >= 0)
        target.InitTmpHeader(pendingSlots);
    pendingSlots = -1;
}

int CgatsReader::ReadDataFormat()
{
    std::vector<std::string> undeclared;
    const int result = ReadFieldNames(undeclared);
    // The declarations of the names met go in at once: one by one, each would search and shift
    // the tag list again, which a data format of thousands of names makes quadratic.
    target.InsertKeywordTags(undeclared);
    return result;
}

// The field names of a data format, up to "END_DATA_FORMAT". After "NUMBER_OF_FIELDS" the
// declared slots are filled; otherwise the names are appended.
int CgatsReader::ReadFieldNames(std::vector<std::string>& undeclared)
{
    MakePendingHeader();
    std::unique_ptr<TCgatsTableHeader>& header = target.tmpHeader;
    const bool fill = static_cast<bool>(header);
    if (!fill)
        target.InitTmpHeader(0);
    int nrNames = 0;
    // Slots are filled strictly in order, so the empty ones form the tail of the header.
    int next = 0;
    while (next < header->NrFields() && header->fields[next])
        ++next;
    std::string token;
    std::string canonical;
    for (;;) {
        tokens.SkipSeparatorsAndComments();
        const char* start = tokens.Position();
        faultAt = start;
        const CgatsSpan word = tokens.Word(CgatsTokenizer::kSeparator | CgatsTokenizer::kComment);
        if (tokens.AtTextEnd())
            return TCgats::kErrNoEndDataFormat;
        if (CgatsTokenizer::IsSeparator(tokens.Peek()))
            tokens.Advance();
        token.assign(word.first, word.last);
        if (!token.empty() && token.front() == '"')
            token.erase(0, 1);
        if (!token.empty() && token.back() == '"')
            token.pop_back();
        // A quote inside a name could not be written back in the quoted "KEYWORD" line.
        if (token.find('"') != std::string::npos)
            return TCgats::kErrBadField;

        if (token == KeywordName(kKindEndDataFormat)) {
            // The main loop reads the end line as a tag.
            tokens.MoveTo(start);
            // A count above the names is read by the names when the data leave no doubt
            // (ReadTable), as ArgyllCMS reads its own reference charts.
            if (fill && nrNames != header->NrFields()) {
                if (nrNames == 0)
                    return TCgats::kErrFieldCount;
                header->fields.resize(static_cast<std::size_t>(nrNames));
                countDisagrees = true;
            }
            faultAt = nullptr;
            return TCgats::kErrNone;
        }

        if (nrNames >= kMaxFields)
            return TCgats::kErrBadField;
        int category = 0, index = 0, type = 0;
        int vocabIndex
            = target.MatchField(token.c_str(), &category, &index, &type, &canonical, &declaredNames);
        if (vocabIndex < 0) {
            // An undeclared name becomes a text column and is declared in the header lines, so
            // that the written file declares it. It counts as declared from here on too, so that
            // later names match it now exactly as they will when the written file is read.
            undeclared.push_back(token);
            target.AddCustomField(token.c_str());
            type = TCgatsField::kString;
            category = TCgatsField::kKeyword;
            index = 0;
            vocabIndex = -1;
            canonical = token;
        }
        auto field = std::make_unique<TCgatsField>(type, canonical.c_str(), category, index, vocabIndex);
        if (field->invalid)
            return TCgats::kErrBadField;
        if (fill) {
            if (next >= header->NrFields())
                return TCgats::kErrBadField;
            header->fields[next++] = std::move(field);
        } else {
            header->fields.push_back(std::move(field));
        }
        ++nrNames;
    }
}

int CgatsReader::ReadTable()
{
    const bool lenient = countDisagrees;
    countDisagrees = false;
    const int result = ReadTableValues();
    if (lenient && result != TCgats::kErrNone) {
        // The rows do not tell the fields apart either: the count's disagreement is the fault.
        faultAt = fieldCountAt;
        errorDetail.clear();
        return TCgats::kErrFieldCount;
    }
    if (lenient) {
        const int t = static_cast<int>(target.tables.size()) - 1;
        const int names = target.tables.back()->NrFields();
        Warn(fieldCountAt,
            "NUMBER_OF_FIELDS " + std::to_string(declaredFields) + " but " + std::to_string(names)
                + " field names, and the data hold rows of " + std::to_string(names)
                + " values: read by the names");
        target.UpdateFieldCount(t, -1, nullptr);
    }
    return result;
}

// Reflectance lies between about 1 % and 100 %: a table whose every value reads outside that,
// all below or all above, was probably written in another scale than the one it is read in.
void CgatsReader::CheckSpectralScale(int t) const
{
    constexpr double kDarkest = 0.01;
    constexpr double kBrightest = 1.5;
    const TCgatsTable& table = *target.tables[static_cast<std::size_t>(t)];
    const std::vector<int>& fields = table.header->waveLengthFields;
    if (fields.empty() || table.nrFilled == 0)
        return;
    const double factor = target.SpectralFactor(t);
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (int field : fields)
        for (int s = 0; s < table.nrFilled; ++s)
            if (const TCgatsValueList* column = table.columns[static_cast<std::size_t>(field)].get()) {
                low = std::min(low, column->GetDouble(s) * factor);
                high = std::max(high, column->GetDouble(s) * factor);
                if (high >= kDarkest && low <= kBrightest)
                    return; // the usual case, settled by the first values
            }
    const bool dark = high<kDarkest, bright = low> kBrightest;
    if (!dark && !bright)
        return;
    const char* scale = factor == 1.0 ? "factors" : "percent";
    Warn(nullptr,
        "table " + std::to_string(t) + ": every spectral value read as " + scale + " lies "
            + (dark ? "below 1 %" : "above 150 %")
            + ", so the scale may be wrong (SPECTRAL_NORM states it: 1 for factors, 100 for percent)");
}

void CgatsReader::Warn(const char* at, const std::string& text) const
{
    target.readWarnings.push_back(at ? "line " + std::to_string(LineOf(at)) + ": " + text : text);
}

int CgatsReader::ReadTableValues()
{
    MakePendingHeader();
    if (!target.tmpHeader || target.nrSamples <= 0)
        return TCgats::kErrDataWithoutFormat;
    target.tmpHeader->nrSamples = target.nrSamples;
    auto table = std::make_unique<TCgatsTable>();
    const int initError = table->Init(target.tmpHeader, false);
    if (initError != kTableOk)
        return TCgats::TableErrorToCgatsError(initError);
    // Every value takes at least one character: a table larger than the rest of the text
    // cannot be complete, and its columns are not allocated.
    const auto values = static_cast<std::size_t>(table->header->nrSamples) * table->NrFields();
    if (strnlen(tokens.Position(), values) < values) {
        target.tmpHeader = table->ReleaseHeader();
        return TCgats::TableErrorToCgatsError(kTableRowCount);
    }
    table->CreateLists();
    table->nanForText = cells == TCgats::TextInNumberField::NaN;
    const int readError = ReadValues(*table);
    TakeUnreadCells(*table);
    if (readError != kTableOk) {
        faultAt = tokens.Position();
        target.tmpHeader = table->ReleaseHeader();
        return TCgats::TableErrorToCgatsError(readError);
    }
    target.tables.push_back(std::move(table));
    target.nrSamples = 0;
    return TCgats::kErrNone;
}

// The values form one stream of blank-, tab- or line-separated tokens, bare or in double quotes,
// bound to rows only by count; the stream must hold exactly rows x fields values and end at a bare
// "END_DATA", which is never a value. Values are taken whole whatever their length; a row is
// judged when all its values are read. On success the cursor stands at "END_DATA"; on failure
// where the fault lies.
int CgatsReader::ReadValues(TCgatsTable& table)
{
    const int nrFields = table.NrFields();
    std::vector<TCgatsValueListDouble*> doubles(nrFields, nullptr);
    std::vector<double*> numberColumns(nrFields, nullptr);
    for (int k = 0; k < nrFields; ++k) {
        if (table.header->fields[k]->type == TCgatsField::kDouble)
            doubles[k] = dynamic_cast<TCgatsValueListDouble*>(table.columns[k].get());
        if (doubles[k])
            numberColumns[k] = doubles[k]->values.data();
    }
    // The cursor is copied for the loop, where it can live in a register.
    CgatsTokenizer in = tokens;
    auto stop = [&](int code) {
        tokens = in;
        return code;
    };
    // Decimal commas of number fields are turned into points in a copy of the value.
    std::string converted;
    std::vector<TCgatsTable::UnreadCell> unread;
    for (int row = 0; row < table.header->nrSamples; ++row) {
        for (int k = 0; k < nrFields; ++k) {
            in.SkipSeparators();
            if (in.AtTextEnd())
                return stop(kTableNoEndData);
            if (in.AtEndData())
                return stop(kTableRowCount);
            const char* at = in.Position();
            TCgatsValueListDouble* numbers = doubles[k];
            // The common case, a bare number, is converted where it stands.
            double number = 0.0;
            const char* numberEnd = numbers ? ParseDouble(at, nullptr, number) : nullptr;
            if (numberEnd
                && CgatsTokenizer::Is(*numberEnd, CgatsTokenizer::kSeparator | CgatsTokenizer::kTextEnd)) {
                numberColumns[k][row] = number;
                in.MoveTo(numberEnd);
                continue;
            }
            CgatsSpan text {};
            if (in.Peek() == '"') {
                bool closed = false;
                in.Advance();
                text = in.Quoted(false, closed);
                if (!closed) {
                    in.MoveTo(at + 1);
                    return stop(kTableTextEnded);
                }
                if (!numbers && HoldsAny(text, CgatsTokenizer::kLineEnd)) {
                    in.MoveTo(at);
                    return stop(kTableUnwritableText);
                }
            } else {
                text = in.Word(CgatsTokenizer::kSeparator);
                if (!numbers && HoldsAny(text, CgatsTokenizer::kQuote)) {
                    in.MoveTo(at);
                    return stop(kTableUnwritableText);
                }
                if (numbers && std::find(text.first, text.last, ',') != text.last) {
                    converted.assign(text.first, text.last);
                    std::replace(converted.begin(), converted.end(), ',', '.');
                    text = { converted.data(), converted.data() + converted.size() };
                }
            }
            // A number field holds numbers: a text read as 0 or as its leading digits would pass
            // for a measurement.
            if (!numbers)
                table.columns[k]->SetValue(row, text.first, text.last);
            else if (!numbers->SetNumber(row, text.first, text.last))
                unread.push_back({ at, k, std::string(text.first, text.last) });
        }
        if (!unread.empty()) {
            if (!table.nanForText) {
                table.unreadCells.push_back(unread.front());
                in.MoveTo(unread.front().at);
                return stop(kTableNotANumber);
            }
            table.unreadCells.insert(table.unreadCells.end(), unread.begin(), unread.end());
            unread.clear();
        }
        table.FinishRow();
    }
    in.SkipSeparators();
    if (in.AtTextEnd())
        return stop(kTableNoEndData);
    return stop(in.AtEndData() ? kTableOk : kTableRowCount);
}

void CgatsReader::TakeUnreadCells(TCgatsTable& table)
{
    // Long cell texts are cut: the message has a fixed buffer, and the line tells where to look.
    constexpr std::size_t kShownText = 32;
    for (const TCgatsTable::UnreadCell& cell : table.unreadCells) {
        const TCgatsField* field = table.header ? table.header->Field(cell.field) : nullptr;
        const std::string text
            = cell.text.size() > kShownText ? cell.text.substr(0, kShownText) + "..." : cell.text;
        const std::string name = field ? field->name : std::string("?");
        if (table.nanForText)
            target.unreadCells.push_back(
                "line " + std::to_string(LineOf(cell.at)) + ": field " + name + ": \"" + text + '"');
        else
            errorDetail = "Field " + name + " holds \"" + text + "\", which is not a number.";
    }
    table.unreadCells.clear();
}

// The body of a free-form block: everything up to and including the line end that is followed
// by the matching end keyword (any letter case).
int CgatsReader::ReadBlock(const std::string& keyword)
{
    const std::string endKeyword = "END_" + keyword.substr(kBeginPrefixLength);
    // An empty block: the end line follows the begin line directly.
    if (tokens.StartsWith(endKeyword)) {
        target.commentTags.emplace_back();
        return TCgats::kErrNone;
    }
    const char* start = tokens.Position();
    if (!tokens.SkipToLineStarting(endKeyword))
        return TCgats::kErrCommentTag;
    target.commentTags.emplace_back(start, tokens.Position());
    return TCgats::kErrNone;
}
