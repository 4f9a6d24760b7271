// TCgats: the illuminant and observer a file states for its colorimetric data, in the forms of
// CGATS.17, of profiling and of instrument software, and their rewriting.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "tcgats_vocabulary.h"
#include "tcgatstag.h"

#include <algorithm>
#include <memory>
#include <vector>

using namespace tintvale::detail;

namespace {

// The keys inside a MEASUREMENT_SOURCE value: "Illumination=D50 ObserverAngle=2degree ...".
constexpr const char* kSourceIlluminant = "Illumination";
constexpr const char* kSourceObserver = "ObserverAngle";

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameWord(const std::string& a, const char* b) { return strcmp_ci(a.c_str(), b) == 0; }

// "ILLUMINANT, D50" as ("ILLUMINANT", "D50"); empty when there is no comma.
std::pair<std::string, std::string> WeightingPart(const std::string& value)
{
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos)
        return {};
    return { Trim(value.substr(0, comma)), Trim(value.substr(comma + 1)) };
}

// The value of key in "key=value key=value ...", or empty.
std::string SourceValue(const std::string& value, const char* key)
{
    std::size_t at = 0;
    while (at < value.size()) {
        const std::size_t end = std::min(value.find_first_of(" \t", at), value.size());
        const std::string token = value.substr(at, end - at);
        const std::size_t equals = token.find('=');
        if (equals != std::string::npos && SameWord(token.substr(0, equals), key))
            return token.substr(equals + 1);
        at = end + 1;
    }
    return std::string();
}

// Replaces the value of key in "key=value ..." (the other tokens kept).
std::string WithSourceValue(const std::string& value, const char* key, const std::string& replacement)
{
    std::string out;
    std::size_t at = 0;
    while (at < value.size()) {
        const std::size_t end = std::min(value.find_first_of(" \t", at), value.size());
        std::string token = value.substr(at, end - at);
        const std::size_t equals = token.find('=');
        if (equals != std::string::npos && SameWord(token.substr(0, equals), key))
            token = token.substr(0, equals + 1) + replacement;
        if (!token.empty())
            out += (out.empty() ? "" : " ") + token;
        at = end + 1;
    }
    return out;
}

// A name as one word of "key=value" text: "CIE Illuminant D65" as "D65".
std::string Word(const std::string& name)
{
    const std::size_t blank = name.find_last_of(" \t");
    return blank == std::string::npos ? name : name.substr(blank + 1);
}

using TagList = std::vector<const TCgatsTag*>;

// The value of the first line named name (in either case), as GetKeywordValue.
const char* NamedValue(const TagList& tags, const char* name)
{
    for (const TCgatsTag* tag : tags)
        if (tag->Name() && strcmp_ci(tag->Name(), name) == 0)
            return tag->Value();
    return nullptr;
}

// The WEIGHTING_FUNCTION "what, text" line's text for what, or empty.
std::string WeightingText(const TagList& tags, const char* what)
{
    for (const TCgatsTag* tag : tags)
        if (tag->kind == kKindWeightingFunction) {
            const auto part = WeightingPart(tag->Value());
            if (SameWord(part.first, what) && !part.second.empty())
                return part.second;
        }
    return std::string();
}

std::string IlluminantIn(const TagList& tags)
{
    const std::string weighting = WeightingText(tags, KeywordName(kRowIlluminant));
    if (!weighting.empty())
        return weighting;
    if (const char* value = NamedValue(tags, KeywordName(kRowIlluminant)))
        if (!Trim(value).empty())
            return Trim(value);
    if (const char* value = NamedValue(tags, KeywordName(kKindMeasurementSource)))
        return SourceValue(value, kSourceIlluminant);
    return std::string();
}

std::string ObserverIn(const TagList& tags)
{
    const std::string weighting = WeightingText(tags, KeywordName(kRowObserver));
    if (!weighting.empty())
        return TCgats::NormalisedObserver(weighting);
    if (const char* value = NamedValue(tags, KeywordName(kRowObserver)))
        if (!Trim(value).empty())
            return TCgats::NormalisedObserver(Trim(value));
    if (const char* value = NamedValue(tags, KeywordName(kKindMeasurementSource))) {
        const std::string angle = SourceValue(value, kSourceObserver);
        if (!angle.empty())
            return TCgats::NormalisedObserver(angle);
    }
    return std::string();
}

std::string ConditionIn(const TagList& tags)
{
    for (const TCgatsTag* tag : tags)
        if (tag->kind == kKindMeasurementCondition)
            return tag->Value();
    return std::string();
}

std::string WeightingIn(const TagList& tags)
{
    std::string text;
    for (const TCgatsTag* tag : tags)
        if (tag->kind == kKindWeightingFunction)
            text += (text.empty() ? "" : "; ") + std::string(tag->Value());
    return text;
}

// The first scope that states something.
template <typename Find> std::string FirstStated(const std::vector<TagList>& scopes, Find find)
{
    for (const TagList& scope : scopes) {
        std::string stated = find(scope);
        if (!stated.empty())
            return stated;
    }
    return std::string();
}

} // namespace

std::vector<std::vector<const TCgatsTag*>> TCgats::ConditionScopes(int t) const
{
    const int nrTables = GetNrTables();
    std::vector<TagList> scopes(nrTables > 1 && t >= 0 && t < nrTables ? (t > 0 ? 2 : 1) : 0);
    if (scopes.empty()) {
        scopes.emplace_back();
        for (const auto& tag : tags)
            if (tag)
                scopes.back().push_back(tag.get());
        return scopes;
    }
    // Section k holds the lines after the k-th BEGIN_DATA; the header is section 0.
    int section = 0;
    for (const auto& tag : tags) {
        if (!tag)
            continue;
        if (tag->kind == kKindBeginData && ++section > t)
            break;
        if (section == t)
            scopes[0].push_back(tag.get());
        else if (section == 0)
            scopes[1].push_back(tag.get());
    }
    return scopes;
}

std::string TCgats::GetTableIlluminant(int t) const { return FirstStated(ConditionScopes(t), IlluminantIn); }
std::string TCgats::GetTableObserver(int t) const { return FirstStated(ConditionScopes(t), ObserverIn); }
std::string TCgats::GetTableMeasurementCondition(int t) const
{
    return FirstStated(ConditionScopes(t), ConditionIn);
}
std::string TCgats::GetTableWeightingFunction(int t) const
{
    return FirstStated(ConditionScopes(t), WeightingIn);
}

std::string TCgats::NormalisedObserver(const std::string& text)
{
    // "10", "10 degree", "1964_10", "10degree" are the CIE 1964 observer; "2", "1931_2", "2 degree"
    // the CIE 1931 one.
    if (text.find("10") != std::string::npos || text.find("1964") != std::string::npos)
        return "10 degree";
    if (text.find('2') != std::string::npos)
        return "2 degree";
    return text;
}

std::string TCgats::GetStatedIlluminant() const { return IlluminantIn(ConditionScopes(-1).front()); }

std::string TCgats::GetStatedObserver() const { return ObserverIn(ConditionScopes(-1).front()); }

int TCgats::SetStatedConditions(const char* illuminant, const char* observer, const char* integration)
{
    const int result = SetWeightingFunction(illuminant, observer, integration);
    if (result != 0)
        return result;
    const std::string observerName = observer ? observer : "";
    // The other forms say the same from now on, where the file has them.
    for (auto& tag : tags) {
        if (!tag || !tag->Name())
            continue;
        std::string value;
        if (SameWord(tag->Name(), KeywordName(kRowIlluminant)))
            value = illuminant ? illuminant : "";
        else if (SameWord(tag->Name(), KeywordName(kRowObserver)))
            value = observer ? observer : "";
        else if (tag->kind == kKindMeasurementSource) {
            value = tag->Value();
            if (!SourceValue(value, kSourceIlluminant).empty())
                value = WithSourceValue(value, kSourceIlluminant, Word(illuminant));
            if (!SourceValue(value, kSourceObserver).empty())
                value = WithSourceValue(value, kSourceObserver,
                    NormalisedObserver(observerName) == "10 degree" ? "10degree" : "2degree");
        } else {
            continue;
        }
        tag = std::make_unique<TCgatsTag>(tag->kind, tag->Name(), 0, value.c_str(), tag->Comment());
    }
    return 0;
}
