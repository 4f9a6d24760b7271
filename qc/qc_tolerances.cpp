// Reading tolerance sets from JSON and judging a comparison by them.
#include "qc_tolerances.h"

#include "qc_compare.h"
#include "qc_files.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace tool {

namespace {

const char* const kMetrics[] = { "dE", "dL", "dC", "dH", "dCh" };
const char* const kGroupKeys = "name, select, metric, mean, p95, max";

[[noreturn]] void Malformed(const std::string& origin, const std::string& what)
{
    throw ToolError(origin + ": " + what);
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
    } catch (const ToolError& e) {
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

    std::vector<int> Select(const Comparison& c, const Role& role) const
    {
        std::vector<int> chosen;
        if (role.kind == Role::Names) {
            for (const std::string& name : role.names)
                for (std::size_t i = 0; i < c.patches.size(); ++i)
                    if (c.patches[i].name == name) {
                        chosen.push_back(static_cast<int>(i));
                        break;
                    }
            return chosen;
        }
        if (role.NeedsDeviceValues() && !mRef.Present() && !mSmp.Present())
            throw ToolError("role \"" + role.text
                + "\" needs device values (CMYK or other process channels), which " + c.reference->Path()
                + " and " + c.sample->Path() + " have not; only all and names: apply");
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
    const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
    if (doc.is_discarded())
        Malformed(origin, "not JSON");
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
        } catch (const ToolError& e) {
            Malformed(origin, e.what());
        }
    }
    const auto groups = doc.find("groups");
    if (groups == doc.end() || !groups->is_array() || groups->empty())
        Malformed(origin, "no \"groups\" (a list of at least one group)");
    for (std::size_t i = 0; i < groups->size(); ++i)
        set.groups.push_back(ParseGroup((*groups)[i], i, origin));
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
            throw ToolError("no tolerance set \"" + nameOrFile
                + "\" (a file, or one of: " + (known.empty() ? "none shipped" : known) + ")");
        }
        path = shipped.string();
    }
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
        std::vector<double> values;
        for (int i : selector.Select(c, group.select))
            values.push_back(MetricOf(group.metric, c.patches[i], formula, c));
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

} // namespace tool
