// TCgatsTag: construction, equality and the tag line of the writer.
#include "tcgatstag.h"

#include <cctype>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A bare value is read back with one blank between its words and cut at a quote or "#"; a value
// that would not read back so is written quoted.
bool NeedsQuotes(const std::string& value)
{
    if (IsBlank(value.front()) || IsBlank(value.back()))
        return true;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\t' || c == '"' || c == '#' || (c == ' ' && value[i + 1] == ' '))
            return true;
    }
    return false;
}

} // namespace

TCgatsTag::TCgatsTag(int kind_, const char* name, int unquoted_, const char* value, const char* comment)
    : kind(kind_)
    , unquoted(unquoted_)
    , mHasName(name && *name)
    , mName(mHasName ? name : "")
    , mValue(value ? value : "")
    , mComment(comment ? comment : "")
{ }

void TCgatsTag::Write(std::string& out) const
{
    const std::size_t start = out.size();
    if (mHasName) {
        out += mName;
        if (!mValue.empty()) {
            out += '\t';
            const bool quoted = unquoted == 0 || NeedsQuotes(mValue);
            if (quoted)
                out += '"';
            out += mValue;
            if (quoted)
                out += '"';
        }
    }
    if (!mComment.empty()) {
        if (out.size() > start)
            out += '\t';
        // The reader keeps everything after "#"; a comment that already starts with a blank gets
        // no second one, so that a written file reads back and writes again unchanged.
        out += IsBlank(mComment[0]) ? "#" : "# ";
        out += mComment;
    }
    if (out.size() > start)
        out += '\n';
}

bool TCgatsTag::IsCustomKeyword() const
{
    if (kind != -1 || !mHasName || mValue.empty()
        || !(std::isalpha(static_cast<unsigned char>(mName[0])) || mName[0] == '_'))
        return false;
    for (char c : mName)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return mName.compare(0, 6, "BEGIN_") != 0 && mName.compare(0, 4, "END_") != 0;
}

bool TCgatsTag::operator==(const TCgatsTag& other) const
{
    return kind == other.kind && unquoted == other.unquoted && mHasName == other.mHasName
        && mName == other.mName && mValue == other.mValue && mComment == other.mComment;
}
