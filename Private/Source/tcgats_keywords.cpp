// TCgats: single header keywords: getters with their defaults and setters that replace in place.
#include <tintvale/tcgats.h>

#include "numtext.h"
#include "tcgats_vocabulary.h"
#include "tcgatstag.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace tintvale::detail;

namespace {

constexpr const char* kPellor = "Pellor";

// How a line set through the library is marked: text quoted, numbers bare (2 for real numbers).
int MarkOf(const CgatsKeyword& row)
{
    if (row.written == Written::Quoted)
        return 0;
    return row.value == ValueKind::Real ? 2 : 1;
}

} // namespace

const char* TCgats::KeywordValue(int kind) const
{
    const TCgatsTag* tag = GetTag(kind);
    return tag ? tag->Value() : nullptr;
}

int TCgats::KeywordInt(int kind) const
{
    const char* value = KeywordValue(kind);
    return value ? AtoiC(value) : static_cast<int>(kCgatsKeywords[kind].absent);
}

double TCgats::KeywordDouble(int kind) const
{
    const char* value = KeywordValue(kind);
    return value ? AtofC(value) : kCgatsKeywords[kind].absent;
}

int TCgats::SetKeyword(int kind, const char* value)
{
    if (kind < 0 || kind >= kCgatsNrKeywords)
        return kErrNotCgats;
    const char* name = KeywordName(kind);
    const int unquoted = MarkOf(kCgatsKeywords[kind]);
    const char* text = value ? value : "";
    if (!IsWritableValue(text))
        return kErrUnwritableValue;
    const int i = FindTag(kind);
    if (i >= 0)
        return InsertTag(kind, name, unquoted, text, "", i, true);
    return InsertTag(kind, name, unquoted, text, "", -1, false);
}

int TCgats::SetKeyword(int kind, int value)
{
    std::string text;
    AppendInt(text, value);
    return SetKeyword(kind, text.c_str());
}

// Real numbers are written "%3.5f".
int TCgats::SetKeyword(int kind, double value) { return SetKeyword(kind, FormatF(value, 5).c_str()); }

int TCgats::GetNrKnownKeywords() { return kCgatsNrKeywordRows; }

const char* TCgats::GetKnownKeyword(int row)
{
    return row >= 0 && row < kCgatsNrKeywordRows ? KeywordName(row) : nullptr;
}

const char* TCgats::GetKnownKeywordProperty(int row)
{
    return row >= 0 && row < kCgatsNrKeywordRows ? kCgatsKeywords[row].property : nullptr;
}

const char* TCgats::GetKnownKeywordValue(int row) const
{
    return row >= 0 && row < kCgatsNrKeywords ? KeywordValue(row) : nullptr;
}

int TCgats::SetKnownKeywordValue(int row, const char* value) { return SetKeyword(row, value); }

const char* TCgats::GetOriginator() const { return KeywordValue(kKindOriginator); }
const char* TCgats::GetFileDescriptor() const { return KeywordValue(kKindFileDescriptor); }
const char* TCgats::GetCreated() const { return KeywordValue(kKindCreated); }
const char* TCgats::GetTargetType() const { return KeywordValue(kKindTargetType); }
const char* TCgats::GetVersion() const { return KeywordValue(kKindLayoutVersion); }
const char* TCgats::GetGUIName() const { return KeywordValue(kKindGuiName); }
const char* TCgats::GetSpectrophotometer() const { return KeywordValue(kKindSpectro); }

const char* TCgats::GetInstrumentation() const { return KeywordValue(kKindInstrumentation); }

const char* TCgats::GetDescriptor() const { return GetKeywordValue(KeywordName(kRowDescriptor)); }

const char* TCgats::GetMeasurementCondition() const
{
    const char* value = KeywordValue(kKindMeasurementCondition);
    return value ? value : "";
}

int TCgats::GetInkSetNumber() const { return KeywordInt(kKindInkSet); }
int TCgats::GetIsMirroredX() const { return KeywordInt(kKindMirrorX); }
int TCgats::GetNrOfCols() const { return KeywordInt(kKindNumberOfCols); }
int TCgats::GetNrOfPages() const { return KeywordInt(kKindNumberOfStripsPages); }

int TCgats::GetNrOfRows() const
{
    return std::max(KeywordInt(kKindNumberOfStrips), KeywordInt(kKindLgoRowLength));
}

int TCgats::GetRowLength() const { return GetNrOfRows(); }
double TCgats::GetGapSizeX() const { return KeywordDouble(kKindGapSizeX); }
double TCgats::GetGapSizeY() const { return KeywordDouble(kKindGapSizeY); }
double TCgats::GetPatchHeight() const { return KeywordDouble(kKindPatchHeight); }
double TCgats::GetPatchWidth() const { return KeywordDouble(kKindPatchWidth); }

bool TCgats::IsPellorLayout() const
{
    const char* value = KeywordValue(kKindLayoutType);
    return value && std::strcmp(value, kPellor) == 0;
}

int TCgats::SetOriginator(const char* value) { return SetKeyword(kKindOriginator, value); }
int TCgats::SetFileDescriptor(const char* value) { return SetKeyword(kKindFileDescriptor, value); }
int TCgats::SetCreated(const char* value) { return SetKeyword(kKindCreated, value); }
int TCgats::SetTargetType(const char* value) { return SetKeyword(kKindTargetType, value); }
int TCgats::SetVersion(const char* value) { return SetKeyword(kKindLayoutVersion, value); }
int TCgats::SetGUIName(const char* value) { return SetKeyword(kKindGuiName, value); }
int TCgats::SetSpectrophotometerName(const char* value) { return SetKeyword(kKindSpectro, value); }

std::string TCgats::GetWeightingFunction() const
{
    std::string text;
    for (const auto& tag : tags)
        if (tag && tag->kind == kKindWeightingFunction)
            text += (text.empty() ? "" : "; ") + std::string(tag->Value());
    return text;
}

int TCgats::SetWeightingFunction(const char* illuminant, const char* observer)
{
    return SetWeightingFunction(illuminant, observer, nullptr);
}

int TCgats::SetWeightingFunction(const char* illuminant, const char* observer, const char* integration)
{
    std::vector<std::string> lines = { std::string("ILLUMINANT, ") + (illuminant ? illuminant : ""),
        std::string("OBSERVER, ") + (observer ? observer : "") };
    if (integration && *integration)
        lines.push_back(std::string("INTEGRATION, ") + integration);
    for (const std::string& line : lines)
        if (!IsWritableValue(line.c_str()))
            return kErrUnwritableValue;
    // The new lines take the place of the first old one; the other old ones go.
    int at = FindTag(kKindWeightingFunction);
    tags.erase(std::remove_if(tags.begin(), tags.end(),
                   [](const auto& tag) { return tag && tag->kind == kKindWeightingFunction; }),
        tags.end());
    const char* name = KeywordName(kKindWeightingFunction);
    for (const std::string& line : lines) {
        InsertTag(kKindWeightingFunction, name, 0, line.c_str(), "", at, false);
        if (at >= 0)
            ++at;
    }
    return 0;
}

int TCgats::SetInkSet(TCMS::InkSet value)
{
    if (errorCode != 0)
        return errorCode;
    SetKeyword(kKindInkSet, static_cast<int>(value));
    return 0;
}
