// TCgats: the ordered list of header lines (tags) and its editing rules.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "numtext.h"
#include "tcgats_vocabulary.h"
#include "tcgatstable.h"
#include "tcgatstag.h"

#include <cstring>
#include <iterator>

using namespace tintvale::detail;

namespace {

bool StartsDataSection(int kind)
{
    return kind == kKindNumberOfFields || kind == kKindBeginDataFormat || kind == kKindBeginData;
}

// The index of the first tag that starts a data section, or -1.
int FirstDataSection(const std::vector<std::unique_ptr<TCgatsTag>>& tags)
{
    for (std::size_t i = 0; i < tags.size(); ++i)
        if (tags[i] && StartsDataSection(tags[i]->kind))
            return static_cast<int>(i);
    return -1;
}

} // namespace

bool TCgats::IsWritableValue(const char* value)
{
    // No escapes exist: a line end would start another line, a quote end the value.
    return std::strpbrk(value, "\r\n\"") == nullptr;
}

bool TCgats::IsWritableText(const std::string& text)
{
    return text.find('\0') == std::string::npos && IsWritableValue(text.c_str());
}

int TCgats::FindTag(int kind) const
{
    for (std::size_t i = 0; i < tags.size(); ++i)
        if (tags[i] && tags[i]->kind == kind)
            return static_cast<int>(i);
    return -1;
}

const TCgatsTag* TCgats::GetTag(int kind) const
{
    const int i = FindTag(kind);
    return i >= 0 ? tags[i].get() : nullptr;
}

const TCgatsTag* TCgats::GetTag(const char* name) const
{
    if (!name)
        return nullptr;
    for (const auto& tag : tags)
        if (tag && tag->Name() && strcmp_ci(tag->Name(), name) == 0)
            return tag.get();
    return nullptr;
}

int TCgats::AddTag(int kind, const char* name, int unquoted, const char* value, const char* comment)
{
    tags.push_back(std::make_unique<TCgatsTag>(kind, name, unquoted, value, comment));
    return 0;
}

// New header lines go ahead of the first data section ("NUMBER_OF_FIELDS", "BEGIN_DATA_FORMAT" or
// "BEGIN_DATA"), at position when that lies before it; without a data section, at position or at
// the end.
int TCgats::InsertTag(int kind, const char* name, int unquoted, const char* value, const char* comment,
    int position, bool replace)
{
    const int count = static_cast<int>(tags.size());
    if (replace) {
        if (position < 0 || position >= count)
            return kErrNotCgats;
        tags[position] = std::make_unique<TCgatsTag>(kind, name, unquoted, value, comment);
        return 0;
    }
    const int b = FirstDataSection(tags);
    int at;
    if (b >= 0)
        at = (position >= 0 && position <= b) ? position : b;
    else
        at = (position < 0 || position >= count) ? count : position;
    tags.insert(tags.begin() + at, std::make_unique<TCgatsTag>(kind, name, unquoted, value, comment));
    return 0;
}

void TCgats::InsertKeywordTags(const std::vector<std::string>& names)
{
    if (names.empty())
        return;
    const int at = FirstDataSection(tags);
    std::vector<std::unique_ptr<TCgatsTag>> added;
    added.reserve(names.size());
    for (const std::string& name : names)
        added.push_back(
            std::make_unique<TCgatsTag>(kKindKeyword, KeywordName(kKindKeyword), 0, name.c_str(), ""));
    tags.insert(at < 0 ? tags.end() : tags.begin() + at, std::make_move_iterator(added.begin()),
        std::make_move_iterator(added.end()));
}

int TCgats::ChangeTagValue(int kind, const char* value, const char* comment)
{
    const int i = FindTag(kind);
    if (i < 0)
        return kErrNotCgats;
    const TCgatsTag& old = *tags[i];
    const char* keptComment = (comment && *comment) ? comment : old.Comment();
    auto replacement = std::make_unique<TCgatsTag>(kind, old.Name(), old.unquoted, value, keptComment);
    tags[i] = std::move(replacement);
    return 0;
}

int TCgats::AddCustomTag(const char* name, const char* value)
{
    // A keyword that is empty or holds a separator or "#" would read back as another line, a count
    // or section marker as the file's structure.
    if (!name || !*name || std::strpbrk(name, " \t\r\n#"))
        return kErrNotCgats;
    const int kind = MatchTag(name);
    if (kind == kKindNumberOfFields || kind == kKindNumberOfSets || IsSectionMarker(name))
        return kErrNotCgats;
    if (value && !IsWritableValue(value))
        return kErrUnwritableValue;
    return InsertTag(kind, name, 0, value, "", -1, false);
}

int TCgats::CopyTagFrom(const TCgatsTag* tag)
{
    if (!tag)
        return kErrNotCgats;
    if (FindTag(tag->kind) >= 0)
        return ChangeTagValue(tag->kind, tag->Value(), tag->Comment());
    return InsertTag(tag->kind, tag->Name(), tag->unquoted, tag->Value(), tag->Comment(), -1, false);
}

void TCgats::CopyTagList(std::vector<std::unique_ptr<TCgatsTag>>& tagsOut,
    std::vector<std::string>& commentTagsOut, int nrColors) const
{
    tagsOut.clear();
    commentTagsOut = commentTags;
    int oldColors = -1;
    if (errorCode == 0 && !tables.empty() && tables[0] && tables[0]->header)
        oldColors = tables[0]->header->nrColors;
    for (const auto& tag : tags) {
        if (!tag) {
            tagsOut.emplace_back();
            continue;
        }
        if (nrColors > 0 && tag->kind == kKindNumberOfFields) {
            // The field count follows the change in the number of colour channels.
            std::string value;
            AppendInt(value, AtoiC(tag->Value()) + nrColors - oldColors);
            tagsOut.push_back(std::make_unique<TCgatsTag>(
                tag->kind, tag->Name(), tag->unquoted, value.c_str(), tag->Comment()));
        } else {
            tagsOut.push_back(std::make_unique<TCgatsTag>(*tag));
        }
    }
}

void TCgats::CopyTagList(
    int* nrTagsOut, TCgatsTag** tagsOut, int* nrCommentTagsOut, char** commentTagsOut, int nrColors) const
{
    std::vector<std::unique_ptr<TCgatsTag>> tagCopies;
    std::vector<std::string> bodies;
    CopyTagList(tagCopies, bodies, nrColors);
    if (tagsOut)
        for (std::size_t i = 0; i < tagCopies.size(); ++i)
            tagsOut[i] = tagCopies[i].release();
    if (commentTagsOut) {
        for (std::size_t i = 0; i < bodies.size(); ++i) {
            commentTagsOut[i] = new char[bodies[i].size() + 1];
            std::memcpy(commentTagsOut[i], bodies[i].c_str(), bodies[i].size() + 1);
        }
    }
    if (nrTagsOut)
        *nrTagsOut = static_cast<int>(tags.size());
    if (nrCommentTagsOut)
        *nrCommentTagsOut = static_cast<int>(commentTags.size());
}
