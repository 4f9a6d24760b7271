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

} // namespace

const char* TCgats::KeywordValue(int kind) const
{
    const TCgatsTag* tag = GetTag(kind);
    return tag ? tag->Value() : nullptr;
}

int TCgats::KeywordInt(int kind, int absent) const
{
    const char* value = KeywordValue(kind);
    return value ? AtoiC(value) : absent;
}

double TCgats::KeywordDouble(int kind, double absent) const
{
    const char* value = KeywordValue(kind);
    return value ? AtofC(value) : absent;
}

int TCgats::SetKeyword(int kind, const char* value, int unquoted)
{
    if (kind < 0 || kind >= kCgatsNrKeywords)
        return 1;
    const char* name = kCgatsKeywords[kind];
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
    return SetKeyword(kind, text.c_str(), 1);
}

// Real numbers are written "%3.5f" and marked 2, so that they stay bare.
int TCgats::SetKeyword(int kind, double value) { return SetKeyword(kind, FormatF(value, 5).c_str(), 2); }

const char* TCgats::GetOriginator() const { return KeywordValue(kKindOriginator); }
const char* TCgats::GetFileDescriptor() const { return KeywordValue(kKindFileDescriptor); }
const char* TCgats::GetCreated() const { return KeywordValue(kKindCreated); }
const char* TCgats::GetTargetType() const { return KeywordValue(kKindTargetType); }
const char* TCgats::GetVersion() const { return KeywordValue(kKindLayoutVersion); }
const char* TCgats::GetGUIName() const { return KeywordValue(kKindGuiName); }
const char* TCgats::GetSpectrophotometer() const { return KeywordValue(kKindSpectro); }

const char* TCgats::GetMeasurementCondition() const
{
    const char* value = KeywordValue(kKindMeasurementCondition);
    return value ? value : "";
}

int TCgats::GetInkSetNumber() const { return KeywordInt(kKindInkSet, -1); }
int TCgats::GetIsMirroredX() const { return KeywordInt(kKindMirrorX, -1); }
int TCgats::GetNrOfCols() const { return KeywordInt(kKindNumberOfCols, 1); }
int TCgats::GetNrOfPages() const { return KeywordInt(kKindNumberOfStripsPages, 1); }

int TCgats::GetNrOfRows() const
{
    return std::max(KeywordInt(kKindNumberOfStrips, 1), KeywordInt(kKindLgoRowLength, 1));
}

int TCgats::GetRowLength() const { return GetNrOfRows(); }
double TCgats::GetGapSizeX() const { return KeywordDouble(kKindGapSizeX, -1.0); }
double TCgats::GetGapSizeY() const { return KeywordDouble(kKindGapSizeY, -1.0); }
double TCgats::GetPatchHeight() const { return KeywordDouble(kKindPatchHeight, 0.0); }
double TCgats::GetPatchWidth() const { return KeywordDouble(kKindPatchWidth, 0.0); }

bool TCgats::IsPellorLayout() const
{
    const char* value = KeywordValue(kKindLayoutType);
    return value && std::strcmp(value, kPellor) == 0;
}

int TCgats::SetOriginator(const char* value) { return SetKeyword(kKindOriginator, value, 0); }
int TCgats::SetFileDescriptor(const char* value) { return SetKeyword(kKindFileDescriptor, value, 0); }
int TCgats::SetCreated(const char* value) { return SetKeyword(kKindCreated, value, 0); }
int TCgats::SetTargetType(const char* value) { return SetKeyword(kKindTargetType, value, 0); }
int TCgats::SetVersion(const char* value) { return SetKeyword(kKindLayoutVersion, value, 0); }
int TCgats::SetGUIName(const char* value) { return SetKeyword(kKindGuiName, value, 0); }
int TCgats::SetSpectrophotometerName(const char* value) { return SetKeyword(kKindSpectro, value, 0); }

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
    const char* name = kCgatsKeywords[kKindWeightingFunction];
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
