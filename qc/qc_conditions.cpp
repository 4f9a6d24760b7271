// Stated conditions of measurement data files and the conditions a command computes under.
#include "qc_conditions.h"

#include <tintvale/tcgats.h>
#include <tintvale/tchromaticadaptation.h>
#include <tintvale/tilluminant.h>

#include <algorithm>
#include <memory>
#include <strings.h>

namespace tool {

namespace {

constexpr const char* kCiePrefix = "CIE ";
constexpr const char* kCieIlluminantPrefix = "CIE Illuminant ";

bool HasColorimetry(const TCgats& cgats)
{
    for (int t = 0; t < cgats.GetNrTables(); ++t)
        if (!cgats.ContainsWaveLengths(t) && (cgats.ContainsLab(t) || cgats.ContainsXyz(t)))
            return true;
    return false;
}

} // namespace

std::string Conditions::Describe() const
{
    std::string text = (illuminant.empty() ? std::string("D50") : illuminant) + ", "
        + (observer.empty() ? std::string("2 degree") : observer) + " observer";
    if (illuminant.empty() || observer.empty())
        text += " (what the file leaves unstated taken as D50 and 2 degree)";
    return text;
}

Conditions StatedConditions(const TCgats& cgats)
{
    return { cgats.GetStatedIlluminant(), cgats.GetStatedObserver() };
}

std::string ResolveIlluminant(IlluminantSet& set, const std::string& stated)
{
    std::vector<std::string> candidates = { stated, kCieIlluminantPrefix + stated };
    if (strncasecmp(stated.c_str(), kCiePrefix, 4) == 0)
        candidates.push_back(kCieIlluminantPrefix + stated.substr(4));
    for (const TIlluminant* ill : set.Factory().GetListOfIlluminants()) {
        const char* name = ill->GetName();
        for (const std::string& candidate : candidates)
            if (name && strcasecmp(name, candidate.c_str()) == 0)
                return name;
    }
    return std::string();
}

int AdaptationMethod(const std::string& name)
{
    const int index = TChromaticAdaptation::MethodNameToIndex(name.c_str());
    if (index >= 0)
        return index;
    std::string known;
    for (int i = 0; i < TChromaticAdaptation::GetMethodListSize(); ++i)
        known += (i ? ", \"" : "\"") + std::string(TChromaticAdaptation::GetMethodList()[i]) + '"';
    throw ToolError("unknown chromatic adaptation \"" + name + "\" (known: " + known + ")");
}

CommonOptions ChosenConditions(
    const CommonOptions& common, const std::vector<const TCgats*>& files, IlluminantSet* known)
{
    if (!common.illuminant.empty() && !common.observer.empty())
        return common;
    Conditions chosen;
    bool found = false;
    for (const TCgats* file : files)
        if (!found && HasColorimetry(*file)) {
            chosen = StatedConditions(*file);
            found = true;
        }
    for (const TCgats* file : files) {
        const Conditions stated = StatedConditions(*file);
        if (!found && (!stated.illuminant.empty() || !stated.observer.empty())) {
            chosen = stated;
            found = true;
        }
    }
    CommonOptions options = common;
    if (options.illuminant.empty() && !chosen.illuminant.empty()) {
        std::unique_ptr<IlluminantSet> loaded;
        if (!known)
            known = (loaded = std::make_unique<IlluminantSet>(IlluminantDirectory(common))).get();
        options.illuminant = ResolveIlluminant(*known, chosen.illuminant);
        if (options.illuminant.empty())
            throw ToolError("the stated illuminant \"" + chosen.illuminant + "\" is not in "
                + known->Directory() + "; name one with --illuminant");
    }
    if (options.observer.empty())
        options.observer = chosen.observer;
    return options;
}

std::vector<std::string> ConditionWarnings(const TCgats& reference, const std::string& referenceName,
    const TCgats& sample, const std::string& sampleName)
{
    const struct {
        const char* what;
        std::string a, b;
    } checks[] = {
        { "MEASUREMENT_CONDITION", reference.GetMeasurementCondition(), sample.GetMeasurementCondition() },
        { "WEIGHTING_FUNCTION", reference.GetWeightingFunction(), sample.GetWeightingFunction() },
    };
    std::vector<std::string> warnings;
    for (const auto& c : checks)
        if (!c.a.empty() && !c.b.empty() && c.a != c.b)
            warnings.push_back(referenceName + " and " + sampleName + " state different " + c.what + " (\""
                + c.a + "\", \"" + c.b + "\")");
    return warnings;
}

std::string DescribeFileSource(const TCgats& cgats)
{
    std::string text;
    auto add = [&text](const char* label, const std::string& value) {
        if (!value.empty())
            text += (text.empty() ? "" : "; ") + std::string(label) + value;
    };
    add("created by ", cgats.GetOriginator() ? cgats.GetOriginator() : "");
    add("", cgats.GetFileDescriptor() ? cgats.GetFileDescriptor() : "");
    add("instrument ", cgats.GetInstrumentation() ? cgats.GetInstrumentation() : "");
    add("object types ", ObjectTypes(cgats));
    return text;
}

std::string ObjectTypes(const TCgats& cgats)
{
    std::vector<std::string> types;
    for (int t = 0; t < cgats.GetNrTables(); ++t) {
        const int f = cgats.GetFieldNameIndex(t, "OBJECT_TYPE");
        char buffer[256];
        for (int s = 0; f >= 0 && s < cgats.GetNrSamples(t); ++s)
            if (cgats.GetField(t, s, f, buffer, sizeof buffer) == 0
                && std::find(types.begin(), types.end(), buffer) == types.end())
                types.emplace_back(buffer);
    }
    std::string joined;
    for (const std::string& type : types)
        joined += (joined.empty() ? "" : ", ") + type;
    return joined;
}

std::string DescribeFileConditions(const TCgats& cgats)
{
    std::string text = StatedConditions(cgats).Describe();
    const std::string condition = cgats.GetMeasurementCondition();
    if (!condition.empty())
        text += "; measurement condition " + condition;
    return text;
}

} // namespace tool
