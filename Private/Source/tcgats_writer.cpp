// TCgats: writing the model back as CGATS.17 text, to a buffer or (atomically) to a file.
#include <tintvale/tcgats.h>

#include "atomic_write.h"
#include "halden.h"
#include "ostrel.h"
#include "tcgats_vocabulary.h"
#include "tcgatsfield.h"
#include "tcgatsnameindex.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <boost/filesystem/path.hpp>

#include <cerrno>
#include <cstring>
#include <ostream>
#include <vector>

using namespace tintvale::detail;

namespace {

constexpr const char* kBeginPrefix = "BEGIN_";
constexpr std::size_t kBeginPrefixLength = 6;

// A block body with every CR LF and lone CR turned into LF, so that a file read with CR LF line
// ends is not written back with mixed ones.
void AppendWithLineFeeds(std::string& out, const std::string& body)
{
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n')
            continue;
        out += body[i] == '\r' ? '\n' : body[i];
    }
}

} // namespace

void TCgats::AddFieldNames(TCgatsNameSet& names) const
{
    for (const char* standard : kCgatsFieldNames)
        names.Add(standard);
    auto add = [&names](const TCgatsTableHeader* header) {
        if (header)
            for (const auto& field : header->fields)
                if (field)
                    names.Add(field->name.c_str());
    };
    for (const auto& table : tables)
        if (table)
            add(table->header.get());
    add(tmpHeader.get());
}

// A custom keyword line is preceded by its "KEYWORD" declaration unless an earlier line declared it,
// so that strict readers accept the written file and it reads back unchanged.
void TCgats::DeclareKeyword(const TCgatsTag& tag, bool first, const TCgatsNameSet& fieldNames,
    TCgatsNameSet& declared, std::string& out) const
{
    if (tag.kind == kKindKeyword) {
        declared.Add(tag.Value());
        return;
    }
    // A vocabulary keyword added as a custom line reads back as the vocabulary's own. A declaration
    // also declares a data field name, so none is written that would change how a field reads back.
    if (first || !tag.IsCustomKeyword() || MatchTag(tag.Name()) >= 0 || fieldNames.Contains(tag.Name())
        || declared.Contains(tag.Name()))
        return;
    TCgatsTag(kKindKeyword, KeywordName(kKindKeyword), 0, tag.Name(), "").Write(out);
    declared.Add(tag.Name());
}

int TCgats::WriteTag(int i, std::string& out) const
{
    if (i < 0 || i >= static_cast<int>(tags.size()) || !tags[i])
        return kErrIllegalTagIndex;
    tags[i]->Write(out);
    return 0;
}

int TCgats::WriteHeader(int t, std::string& out) const
{
    const TCgatsTable* table = Table(t);
    // A data format read without its data section stays pending; it is written back as read,
    // so that every file that reads without error can be saved again.
    if (!table && t == static_cast<int>(tables.size()) && tmpHeader) {
        tmpHeader->Write(out);
        return 0;
    }
    if (!table)
        return kErrIllegalTableIndex;
    const int error = table->WriteHeader(out);
    return error == 0 ? 0 : TableErrorToCgatsError(error);
}

int TCgats::WriteTable(int t, std::string& out) const
{
    const TCgatsTable* table = Table(t);
    if (!table)
        return kErrIllegalTableIndex;
    const int error = table->WriteData(out);
    return error == 0 ? 0 : TableErrorToCgatsError(error);
}

// The tag lines in order; after the n-th "BEGIN_DATA_FORMAT" the n-th table's field names, after
// the n-th "BEGIN_DATA" its rows, after any other "BEGIN_" line the next stored block body.
int TCgats::WriteToString(std::string& out) const
{
    int nextHeader = 0, nextData = 0;
    std::size_t nextBody = 0;
    // Looked up once per custom keyword line, so that a header of many stays linear.
    TCgatsNameSet fieldNames, declared;
    AddFieldNames(fieldNames);
    bool identified = false; // the first keyword line names the file type and is not declared
    for (int i = 0; i < static_cast<int>(tags.size()); ++i) {
        if (tags[i])
            DeclareKeyword(*tags[i], !identified, fieldNames, declared, out);
        identified = identified || (tags[i] && tags[i]->HasName());
        // LittleCMS takes a text for CGATS only when its first line has balanced quotes from the
        // second byte on: a quoted first line goes after a blank, which every reader skips.
        if (out.empty() && tags[i] && tags[i]->Name() && tags[i]->Name()[0] == '"')
            out += ' ';
        int result = WriteTag(i, out);
        if (result != 0)
            return result;
        const TCgatsTag& tag = *tags[i];
        if (tag.kind == kKindBeginDataFormat) {
            result = WriteHeader(nextHeader++, out);
        } else if (tag.kind == kKindBeginData) {
            result = WriteTable(nextData++, out);
        } else if (tag.Name() && strncmp_ci(tag.Name(), kBeginPrefix, kBeginPrefixLength) == 0) {
            if (nextBody < commentTags.size())
                AppendWithLineFeeds(out, commentTags[nextBody++]);
        }
        if (result != 0)
            return result;
    }
    return 0;
}

int TCgats::WriteToStream(std::ostream* stream) const
{
    if (!stream)
        return kErrCannotWrite;
    std::string text;
    const int result = WriteToString(text);
    stream->write(text.data(), static_cast<std::streamsize>(text.size()));
    if (result == 0 && !*stream)
        return kErrCannotWrite;
    return result;
}

int TCgats::WriteToBuffer(char** buffer) const
{
    if (errorCode != 0)
        return errorCode;
    if (!buffer)
        return 0;
    *buffer = nullptr;
    std::string text;
    const int result = WriteToString(text);
    if (result != 0)
        RecordError(result);
    *buffer = new char[text.size() + 1];
    std::memcpy(*buffer, text.c_str(), text.size() + 1);
    return result;
}

int TCgats::SaveAs(const char* fileName) const
{
    if (errorCode != 0)
        return errorCode;
    if (!fileName || !*fileName) {
        RecordError(kErrCannotWrite);
        return kErrCannotWrite;
    }
    std::string text;
    const int result = WriteToString(text);
    if (result != 0) {
        RecordError(result);
        return result;
    }
    // The target is replaced only by a complete file that has reached the disk.
    const boost::filesystem::path target = Ostrel::FromUTF8String(fileName);
    if (ReplaceFile(target.c_str(), text.data(), text.size()) != 0) {
        const int reason = errno;
        RecordError(kErrCannotWrite);
        errno = reason;
        return kErrCannotWrite;
    }
    return 0;
}
