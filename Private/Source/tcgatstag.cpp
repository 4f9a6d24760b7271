// TCgatsTag: construction, equality and the tag line of the writer.
#include "tcgatstag.h"

#include "cgatstokenizer.h"
#include "tcgats_vocabulary.h"

#include <tintvale/tcgats.h>

#include <cctype>

namespace {

// A value with a blank is written quoted: the reader here joins bare words, but stricter readers
// take the first word alone or refuse the line. A quote or "#" would end a bare value early, and
// LittleCMS refuses a bare byte above 0x7E.
bool NeedsQuotes(std::string_view value)
{
    for (const char c : value)
        if (!CgatsTokenizer::IsBareWordByte(c))
            return true;
    return false;
}

} // namespace

TCgatsTag::TCgatsTag(int kind_, const char* name, int unquoted_, const char* value, const char* comment)
    : kind(kind_)
    , unquoted(unquoted_)
    , mHasName(name && *name)
{
    mText = mHasName ? name : "";
    mText += '\0';
    mValueAt = static_cast<std::uint32_t>(mText.size());
    mText += value ? value : "";
    mText += '\0';
    mCommentAt = static_cast<std::uint32_t>(mText.size());
    mText += comment ? comment : "";
}

void TCgatsTag::Write(std::string& out) const
{
    const std::size_t start = out.size();
    const std::string_view value = ValueText();
    const std::string_view comment = CommentText();
    if (mHasName) {
        out += NameText();
        if (!value.empty()) {
            out += '\t';
            const bool quoted = unquoted == 0 || NeedsQuotes(value);
            if (quoted)
                out += '"';
            out += value;
            if (quoted)
                out += '"';
        }
    }
    if (!comment.empty()) {
        if (out.size() > start)
            out += '\t';
        // The reader keeps everything after "#"; a comment that already starts with a blank gets
        // no second one, so that a written file reads back and writes again unchanged, nor does
        // one at the reader's length limit, which the blank would take past it.
        const bool blank = !CgatsTokenizer::Is(comment[0], CgatsTokenizer::kBlank)
            && comment.size() < static_cast<std::size_t>(TCgats::kMaxCommentLength);
        out += blank ? "# " : "#";
        out += comment;
    }
    if (out.size() > start)
        out += '\n';
}

bool TCgatsTag::IsCustomKeyword() const
{
    const std::string_view name = NameText();
    if (kind != -1 || !mHasName || ValueText().empty()
        || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    // The reader matches block markers in any letter case: a declaration written ahead of a block's
    // end line would read back inside the block.
    return !tintvale::detail::IsSectionMarker(Name());
}

bool TCgatsTag::operator==(const TCgatsTag& other) const
{
    return kind == other.kind && unquoted == other.unquoted && mHasName == other.mHasName
        && mValueAt == other.mValueAt && mCommentAt == other.mCommentAt && mText == other.mText;
}
