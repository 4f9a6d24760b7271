// TCgats: the illuminant and observer a file states for its colorimetric data, in the forms of
// CGATS.17, of profiling and of instrument software, and their rewriting.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "tcgats_vocabulary.h"
#include "tcgatstag.h"

#include <algorithm>
#include <memory>

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

} // namespace

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

std::string TCgats::GetStatedIlluminant() const
{
    std::string stated;
    for (const auto& tag : tags)
        if (tag && tag->kind == kKindWeightingFunction) {
            const auto part = WeightingPart(tag->Value());
            if (SameWord(part.first, KeywordName(kRowIlluminant)) && !part.second.empty())
                return part.second;
        }
    if (const char* value = GetKeywordValue(KeywordName(kRowIlluminant)))
        if (!Trim(value).empty())
            return Trim(value);
    if (const char* value = GetKeywordValue(KeywordName(kKindMeasurementSource)))
        stated = SourceValue(value, kSourceIlluminant);
    return stated;
}

std::string TCgats::GetStatedObserver() const
{
    for (const auto& tag : tags)
        if (tag && tag->kind == kKindWeightingFunction) {
            const auto part = WeightingPart(tag->Value());
            if (SameWord(part.first, KeywordName(kRowObserver)) && !part.second.empty())
                return NormalisedObserver(part.second);
        }
    if (const char* value = GetKeywordValue(KeywordName(kRowObserver)))
        if (!Trim(value).empty())
            return NormalisedObserver(Trim(value));
    if (const char* value = GetKeywordValue(KeywordName(kKindMeasurementSource))) {
        const std::string angle = SourceValue(value, kSourceObserver);
        if (!angle.empty())
            return NormalisedObserver(angle);
    }
    return std::string();
}

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
