// TCgatsTag: construction, equality and the tag line of the writer.
#include "tcgatstag.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A bare value is read back joined at its blanks and cut at a quote or "#"; such a value is
// written quoted so that its text survives.
bool NeedsQuotes(const std::string& value)
{
    for (char c : value)
        if (IsBlank(c) || c == '"' || c == '#')
            return true;
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

bool TCgatsTag::operator==(const TCgatsTag& other) const
{
    return kind == other.kind && unquoted == other.unquoted && mHasName == other.mHasName
        && mName == other.mName && mValue == other.mValue && mComment == other.mComment;
}
