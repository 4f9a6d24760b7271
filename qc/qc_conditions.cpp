// Stated conditions of measurement data files and the conditions a command computes under.
#include <tintvale/qc/conditions.h>

#include <tintvale/qc/cell.h>

#include <tintvale/tcgats.h>
#include <tintvale/tchromaticadaptation.h>
#include <tintvale/tilluminant.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <strings.h>

namespace tintvale::qc {

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

// Files write one condition in either letter case and with blanks of their own ("M0", "m0";
// "ILLUMINANT, D50", "Illuminant,D50").
bool SameStatement(const std::string& a, const std::string& b)
{
    std::string x, y;
    for (char c : a)
        if (c != ' ' && c != '\t')
            x += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char c : b)
        if (c != ' ' && c != '\t')
            y += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return x == y;
}

} // namespace

bool Cie15White(const std::string& illuminant, const std::string& observer, double* white)
{
    // CIE 15:2004 Table T.3, X and Z (Y = 100), 2 and 10 degree observers; the 5-nm sums of the
    // shared reference tables agree within 0.01.
    static const struct {
        const char* name;
        double x2, z2, x10, z10;
    } kWhites[] = {
        { "CIE Illuminant A", 109.850, 35.585, 111.144, 35.200 },
        { "CIE Illuminant C", 98.074, 118.232, 97.285, 116.145 },
        { "CIE Illuminant D50", 96.422, 82.521, 96.720, 81.427 },
        { "CIE Illuminant D55", 95.682, 92.149, 95.799, 90.926 },
        { "CIE Illuminant D65", 95.047, 108.883, 94.811, 107.304 },
        { "CIE Illuminant D75", 94.972, 122.638, 94.416, 120.641 },
    };
    const bool ten = observer == "10 degree";
    for (const auto& w : kWhites)
        if (strcasecmp(w.name, illuminant.c_str()) == 0) {
            white[0] = ten ? w.x10 : w.x2;
            white[1] = 100.0;
            white[2] = ten ? w.z10 : w.z2;
            return true;
        }
    return false;
}

std::string DescribeAdaptation(const std::string& method, const std::string& from, const double* fromWhite,
    const std::string& to, const double* toWhite)
{
    constexpr int kDecimals = 3; // as CIE 15 tabulates white points
    auto white = [](const double* w) {
        return "(" + Cell(w[0], kDecimals).Shown() + ", " + Cell(w[1], kDecimals).Shown() + ", "
            + Cell(w[2], kDecimals).Shown() + ")";
    };
    return method + " from " + from + " " + white(fromWhite) + " to " + to + " " + white(toWhite);
}

std::string Conditions::Describe() const
{
    std::string text = (illuminant.empty() ? std::string("D50") : illuminant) + ", "
        + (observer.empty() ? std::string("2 degree") : observer) + " observer";
    if (illuminant.empty() || observer.empty())
        text += " (what the file leaves unstated taken as D50 and 2 degree)";
    return text;
}

int ConditionsTable(const TCgats& cgats, int table)
{
    if (table >= 0)
        return table;
    for (int t = 0; t < cgats.GetNrTables(); ++t)
        if (cgats.ContainsWaveLengths(t) || cgats.ContainsLab(t) || cgats.ContainsXyz(t))
            return t;
    return 0;
}

Conditions StatedConditions(const TCgats& cgats, int table)
{
    const int t = ConditionsTable(cgats, table);
    return { cgats.GetTableIlluminant(t), cgats.GetTableObserver(t) };
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
    throw Error("unknown chromatic adaptation \"" + name + "\" (known: " + known + ")");
}

CommonOptions ChosenConditions(const CommonOptions& common, const std::vector<const TCgats*>& files,
    IlluminantSet* known, const std::vector<int>& tables)
{
    if (!common.illuminant.empty() && !common.observer.empty())
        return common;
    const auto table = [&tables](std::size_t i) { return i < tables.size() ? tables[i] : -1; };
    Conditions chosen;
    bool found = false;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!found && HasColorimetry(*files[i])) {
            chosen = StatedConditions(*files[i], table(i));
            found = true;
        }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Conditions stated = StatedConditions(*files[i], table(i));
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
            throw Error("the stated illuminant \"" + chosen.illuminant + "\" is not in " + known->Directory()
                + "; name one with --illuminant");
    }
    if (options.observer.empty())
        options.observer = chosen.observer;
    return options;
}

std::vector<std::string> ConditionWarnings(const TCgats& reference, const std::string& referenceName,
    const TCgats& sample, const std::string& sampleName, int referenceTable, int sampleTable)
{
    const int r = ConditionsTable(reference, referenceTable);
    const int s = ConditionsTable(sample, sampleTable);
    // A weighting function is stated by what computed colorimetry (tintvale lab), not by an
    // instrument, so only its disagreement counts.
    const struct {
        const char* what;
        std::string a, b;
        bool unstatedCounts;
    } checks[] = {
        { "MEASUREMENT_CONDITION", reference.GetTableMeasurementCondition(r),
            sample.GetTableMeasurementCondition(s), true },
        { "WEIGHTING_FUNCTION", reference.GetTableWeightingFunction(r), sample.GetTableWeightingFunction(s),
            false },
    };
    std::vector<std::string> warnings;
    for (const auto& c : checks) {
        if (c.a.empty() != c.b.empty() && c.unstatedCounts) // what one leaves open is no agreement
            warnings.push_back((c.a.empty() ? referenceName : sampleName) + " states no " + c.what + " but "
                + (c.a.empty() ? sampleName : referenceName) + " states \"" + (c.a.empty() ? c.b : c.a)
                + "\"");
        else if (!c.a.empty() && !c.b.empty() && !SameStatement(c.a, c.b))
            warnings.push_back(referenceName + " and " + sampleName + " state different " + c.what + " (\""
                + c.a + "\", \"" + c.b + "\")");
    }
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

std::string DescribeFileConditions(const TCgats& cgats, int table)
{
    std::string text = StatedConditions(cgats, table).Describe();
    const std::string condition = cgats.GetTableMeasurementCondition(ConditionsTable(cgats, table));
    if (!condition.empty())
        text += "; measurement condition " + condition;
    return text;
}

} // namespace tintvale::qc
