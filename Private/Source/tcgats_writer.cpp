// TCgats: writing the model back as CGATS.17 text, to a buffer or (atomically) to a file.
#include <tintvale/tcgats.h>

#include "atomic_write.h"
#include "halden.h"
#include "ostrel.h"
#include "tcgats_vocabulary.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <boost/filesystem/path.hpp>

#include <cerrno>
#include <cstring>
#include <ostream>

using namespace tintvale::detail;

namespace {

constexpr const char* kBeginPrefix = "BEGIN_";
constexpr std::size_t kBeginPrefixLength = 6;

} // namespace

int TCgats::WriteTag(int i, std::string& out) const
{
    if (i < 0 || i >= static_cast<int>(tags.size()) || !tags[i])
        return 21;
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
        return 23;
    const int error = table->WriteHeader(out);
    return error == 0 ? 0 : TableErrorToCgatsError(error);
}

int TCgats::WriteTable(int t, std::string& out) const
{
    const TCgatsTable* table = Table(t);
    if (!table)
        return 23;
    const int error = table->WriteData(out);
    return error == 0 ? 0 : TableErrorToCgatsError(error);
}

// The tag lines in order; after the n-th "BEGIN_DATA_FORMAT" the n-th table's field names, after
// the n-th "BEGIN_DATA" its rows, after any other "BEGIN_" line the next stored block body.
int TCgats::WriteToString(std::string& out) const
{
    int nextHeader = 0, nextData = 0;
    std::size_t nextBody = 0;
    for (int i = 0; i < static_cast<int>(tags.size()); ++i) {
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
                out += commentTags[nextBody++];
        }
        if (result != 0)
            return result;
    }
    return 0;
}

int TCgats::WriteToStream(std::ostream* stream) const
{
    if (!stream)
        return 4;
    std::string text;
    const int result = WriteToString(text);
    stream->write(text.data(), static_cast<std::streamsize>(text.size()));
    if (result == 0 && !*stream)
        return 4;
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
        RecordError(4);
        return 4;
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
        RecordError(4);
        errno = reason;
        return 4;
    }
    return 0;
}
