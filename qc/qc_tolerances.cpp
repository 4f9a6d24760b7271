// Reading tolerance sets from JSON and judging a comparison by them.
#include <tintvale/qc/tolerances.h>

#include "qc_shipped.h"

#include <tintvale/qc/compare.h>
#include <tintvale/qc/files.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace tintvale::qc {

namespace {

const char* const kMetrics[] = { "dE", "dL", "dC", "dH", "dCh" };
const char* const kGroupKeys = "name, select, metric, mean, p95, max";
// The shipped sets are a few kilobytes; a larger text is no tolerance set, and parsing it whole
// would cost many times its size.
constexpr std::uintmax_t kMaxSetBytes = 1 << 20;

[[noreturn]] void TooLarge(const std::string& origin, std::uintmax_t size)
{
    throw Error(origin + ": " + std::to_string(size) + " bytes, over the " + std::to_string(kMaxSetBytes)
        + " a tolerance set may hold");
}

// A key given twice in one object: JSON leaves its meaning open (the parser keeps the last), and a
// limit written twice is a typo that must not pass silently. Reports the first such key.
class DuplicateKeys {
public:
    bool operator()(int depth, nlohmann::json::parse_event_t event, nlohmann::json& parsed)
    {
        // An object starts at the depth of its container; its keys come one deeper.
        using Event = nlohmann::json::parse_event_t;
        const auto level = static_cast<std::size_t>(depth);
        if (event == Event::object_start) {
            mKeys.resize(level + 1);
            mKeys[level].clear();
        } else if (event == Event::key && level >= 1 && level <= mKeys.size()) {
            const std::string key = parsed.get<std::string>();
            if (!mKeys[level - 1].insert(key).second && mDuplicate.empty())
                mDuplicate = key;
        }
        return true;
    }
    const std::string& Duplicate() const { return mDuplicate; }

private:
    std::vector<std::set<std::string>> mKeys;
    std::string mDuplicate;
};

[[noreturn]] void Malformed(const std::string& origin, const std::string& what)
{
    throw Error(origin + ": " + what);
}

std::string Text(const nlohmann::json& object, const char* key, const std::string& origin, bool required)
{
    const auto it = object.find(key);
    if (it == object.end()) {
        if (required)
            Malformed(origin, std::string("no \"") + key + "\"");
        return {};
    }
    if (!it->is_string())
        Malformed(origin, std::string("\"") + key + "\" must be text");
    return it->get<std::string>();
}

double Number(const nlohmann::json& value, const std::string& where, const std::string& origin)
{
    if (!value.is_number() || !std::isfinite(value.get<double>()) || value.get<double>() < 0.0)
        Malformed(origin, where + " must be a finite number (0 or more)");
    return value.get<double>();
}

Limit ParseLimit(const nlohmann::json& value, const std::string& where, const std::string& origin)
{
    if (!value.is_object())
        Malformed(origin, where + " must be an object with \"fail\" and optionally \"warn\"");
    Limit limit;
    limit.present = true;
    for (const auto& item : value.items())
        if (item.key() != "warn" && item.key() != "fail")
            Malformed(origin, where + ": unknown level \"" + item.key() + "\" (warn, fail)");
    if (!value.contains("fail"))
        Malformed(origin, where + ": no \"fail\" limit");
    limit.fail = Number(value["fail"], where + ".fail", origin);
    if (value.contains("warn")) {
        limit.hasWarn = true;
        limit.warn = Number(value["warn"], where + ".warn", origin);
        if (limit.warn > limit.fail)
            Malformed(origin, where + ": warn above fail");
    }
    return limit;
}

ToleranceGroup ParseGroup(const nlohmann::json& g, std::size_t index, const std::string& origin)
{
    const std::string at = "group " + std::to_string(index + 1);
    if (!g.is_object())
        Malformed(origin, at + " must be an object");
    ToleranceGroup group;
    group.name = Text(g, "name", origin + ": " + at, true);
    const std::string where = "group \"" + group.name + "\"";
    try {
        group.select = ParseRole(Text(g, "select", origin + ": " + where, true));
    } catch (const Error& e) {
        Malformed(origin, where + ": " + e.what());
    }
    group.metric = Text(g, "metric", origin + ": " + where, true);
    if (std::find(std::begin(kMetrics), std::end(kMetrics), group.metric) == std::end(kMetrics))
        Malformed(origin, where + ": unknown metric \"" + group.metric + "\" (dE, dL, dC, dH, dCh)");
    for (const auto& item : g.items()) {
        const std::string& key = item.key();
        Limit* limit = key == "mean" ? &group.mean
            : key == "p95"           ? &group.p95
            : key == "max"           ? &group.max
                                     : nullptr;
        if (limit)
            *limit = ParseLimit(item.value(), where + ": " + key, origin);
        else if (key != "name" && key != "select" && key != "metric")
            Malformed(origin, where + ": unknown statistic \"" + key + "\" (keys: " + kGroupKeys + ")");
    }
    if (!group.mean.present && !group.p95.present && !group.max.present)
        Malformed(origin, where + ": no limit (mean, p95 or max)");
    return group;
}

// The value a group judges for one patch.
double MetricOf(const std::string& metric, const PatchDifference& p, int formula, const Comparison& c)
{
    if (metric == "dL")
        return std::fabs(p.dL);
    if (metric == "dC")
        return std::fabs(p.dC);
    if (metric == "dH")
        return std::fabs(p.dH);
    if (metric == "dCh") // the chromatic part, sqrt(Delta a*^2 + Delta b*^2)
        return std::hypot(p.da, p.db);
    if (formula == c.formula)
        return p.dE;
    return FormulaDifference(c, p, formula);
}

Verdict Judge(const Limit& limit, double value)
{
    if (!limit.present)
        return Verdict::Pass;
    if (value > limit.fail)
        return Verdict::Fail;
    if (limit.hasWarn && value > limit.warn)
        return Verdict::Warn;
    return Verdict::Pass;
}

Verdict Worse(Verdict a, Verdict b)
{
    auto rank = [](Verdict v) { return v == Verdict::Fail ? 2 : v == Verdict::Warn ? 1 : 0; };
    return rank(b) > rank(a) ? b : a;
}

// Whether patch p of the comparison takes the role: by name, else by the reference's device
// values, else by the sample's.
class Selector {
public:
    explicit Selector(const Comparison& c)
        : mRef(*c.reference, c.tableRef)
        , mSmp(*c.sample, c.tableSmp)
    { }

    // where: the set and group, which a typo in the role is named by.
    std::vector<int> Select(const Comparison& c, const Role& role, const std::string& where) const
    {
        std::vector<int> chosen;
        if (role.kind == Role::Names) {
            for (const std::string& name : role.names) {
                const auto it = std::find_if(c.patches.begin(), c.patches.end(),
                    [&](const PatchDifference& p) { return p.name == name; });
                // A name the chart lacks is a typo, not a patch to pass over.
                if (it == c.patches.end())
                    throw Error(where + ": role \"" + role.text + "\": no patch named \"" + name + "\" in "
                        + c.reference->Path());
                chosen.push_back(static_cast<int>(it - c.patches.begin()));
            }
            return chosen;
        }
        if (role.NeedsDeviceValues() && !mRef.Present() && !mSmp.Present())
            throw Error("role \"" + role.text
                + "\" needs device values (CMYK or other process channels), which " + c.reference->Path()
                + " and " + c.sample->Path() + " have not; only all and names: apply");
        const DeviceValues& device = mRef.Present() ? mRef : mSmp;
        if (!role.channel.empty() && device.Channel(role.channel) < 0)
            throw Error(where + ": role \"" + role.text + "\": no channel \"" + role.channel + "\" in "
                + (mRef.Present() ? c.reference->Path() : c.sample->Path()));
        for (std::size_t i = 0; i < c.patches.size(); ++i) {
            const PatchDifference& p = c.patches[i];
            if (role.kind == Role::All
                || (mRef.Present() ? mRef.Matches(role, p.reference) : mSmp.Matches(role, p.sample)))
                chosen.push_back(static_cast<int>(i));
        }
        return chosen;
    }

private:
    DeviceValues mRef, mSmp;
};

} // namespace

const char* const kPaperAbsoluteNote = "paper groups judged on absolute CIELAB: relative to its own paper, "
                                       "every paper is the same white";

const char* VerdictName(Verdict v)
{
    switch (v) {
    case Verdict::Pass:
        return "pass";
    case Verdict::Warn:
        return "warn";
    case Verdict::Fail:
        return "fail";
    case Verdict::Empty:
        return "empty";
    }
    return "";
}

std::string ToleranceDirectory(const CommonOptions& options)
{
    if (!options.toleranceDir.empty())
        return options.toleranceDir;
    return ShippedDirectory(
        options, "tolerances", TINTVALE_INSTALLED_TOLERANCES, TINTVALE_SOURCE_TOLERANCES, ".json");
}

std::vector<std::string> ShippedToleranceSets(const CommonOptions& options)
{
    std::vector<std::string> names;
    const std::string dir = ToleranceDirectory(options);
    std::error_code ec;
    if (dir.empty() || !fs::is_directory(dir, ec))
        return names;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".json")
            names.push_back(it->path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

ToleranceSet ParseToleranceSet(const std::string& text, const std::string& origin)
{
    if (text.size() > kMaxSetBytes)
        TooLarge(origin, text.size());
    DuplicateKeys duplicates;
    const nlohmann::json doc = nlohmann::json::parse(
        text,
        [&duplicates](int depth, nlohmann::json::parse_event_t event, nlohmann::json& parsed) {
            return duplicates(depth, event, parsed);
        },
        false);
    if (doc.is_discarded())
        Malformed(origin, "not JSON");
    if (!duplicates.Duplicate().empty())
        Malformed(origin, "the key \"" + duplicates.Duplicate() + "\" is given twice in one object");
    if (!doc.is_object())
        Malformed(origin, "a tolerance set is a JSON object");
    for (const auto& item : doc.items())
        if (item.key() != "name" && item.key() != "source" && item.key() != "formula"
            && item.key() != "groups")
            Malformed(origin, "unknown key \"" + item.key() + "\" (name, source, formula, groups)");
    ToleranceSet set;
    set.path = origin;
    set.name = Text(doc, "name", origin, true);
    set.source = Text(doc, "source", origin, false);
    set.formula = Text(doc, "formula", origin, false);
    if (!set.formula.empty()) {
        try {
            FormulaIndex(set.formula);
        } catch (const Error& e) {
            Malformed(origin, e.what());
        }
    }
    const auto groups = doc.find("groups");
    if (groups == doc.end() || !groups->is_array() || groups->empty())
        Malformed(origin, "no \"groups\" (a list of at least one group)");
    for (std::size_t i = 0; i < groups->size(); ++i) {
        set.groups.push_back(ParseGroup((*groups)[i], i, origin));
        for (std::size_t j = 0; j < i; ++j)
            if (set.groups[j].name == set.groups[i].name)
                Malformed(origin, "two groups named \"" + set.groups[i].name + "\"");
    }
    return set;
}

ToleranceSet LoadToleranceSet(const std::string& nameOrFile, const CommonOptions& options)
{
    std::error_code ec;
    std::string path = nameOrFile;
    if (!fs::exists(path, ec) && nameOrFile.find('/') == std::string::npos) {
        const std::string dir = ToleranceDirectory(options);
        const fs::path shipped = fs::path(dir) / (nameOrFile + ".json");
        if (dir.empty() || !fs::exists(shipped, ec)) {
            std::string known;
            for (const std::string& n : ShippedToleranceSets(options))
                known += (known.empty() ? "" : ", ") + n;
            throw Error("no tolerance set \"" + nameOrFile
                + "\" (a file, or one of: " + (known.empty() ? "none shipped" : known) + ")");
        }
        path = shipped.string();
    }
    // Refused before it is read, by its size on disk.
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxSetBytes)
        TooLarge(path, size);
    return ParseToleranceSet(ReadInput(path), path);
}

ToleranceResult EvaluateTolerances(const ToleranceSet& set, const Comparison& c)
{
    ToleranceResult result;
    result.set = set;
    const int formula = set.formula.empty() ? c.formula : FormulaIndex(set.formula);
    const Selector selector(c);
    for (const ToleranceGroup& group : set.groups) {
        GroupResult r;
        r.group = group;
        // Media-relative colorimetry makes every paper the white: the substrate is judged as measured.
        r.absolute = c.paperRelative && group.select.kind == Role::Paper;
        const std::vector<PatchDifference>& patches = r.absolute ? c.absolute : c.patches;
        if (r.absolute)
            result.note = kPaperAbsoluteNote;
        std::vector<double> values;
        for (int i : selector.Select(c, group.select, set.path + ": group \"" + group.name + "\""))
            values.push_back(MetricOf(group.metric, patches[static_cast<std::size_t>(i)], formula, c));
        r.count = static_cast<int>(values.size());
        if (!values.empty()) {
            std::sort(values.begin(), values.end());
            double sum = 0.0;
            for (double v : values)
                sum += v;
            r.mean = sum / static_cast<double>(values.size());
            r.p95 = Quantile(values, 0.95);
            r.max = values.back();
            r.verdict
                = Worse(Worse(Judge(group.mean, r.mean), Judge(group.p95, r.p95)), Judge(group.max, r.max));
        }
        result.verdict = Worse(result.verdict, r.verdict == Verdict::Empty ? Verdict::Warn : r.verdict);
        if (r.verdict == Verdict::Empty)
            result.warnings.push_back(
                "tolerance group \"" + group.name + "\" (" + group.select.text + ") selects no patch");
        result.groups.push_back(r);
    }
    return result;
}

} // namespace tintvale::qc
