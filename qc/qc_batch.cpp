// Comparing many sample files against one reference on worker threads, with one row per file and a
// summary over all of them.
#include <tintvale/qc/batch.h>

#include <tintvale/qc/compare.h>
#include <tintvale/qc/files.h>
#include <tintvale/qc/page.h>
#include <tintvale/qc/tolerances.h>

#include <tintvale/tilluminant.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace tintvale::qc {

namespace {

std::string Joined(const std::vector<std::string>& texts)
{
    std::string all;
    for (const std::string& t : texts)
        all += (all.empty() ? "" : "; ") + t;
    return all;
}

// What one thread compares with: its own view of the reference (the conditions of each comparison
// are noted in it) over the one copy of its data, and its own colorimetry.
struct Worker {
    std::shared_ptr<Chart> reference;
    std::vector<std::shared_ptr<Colorimetry>> colorimetries; // the first made from the reference
};

// Called on the worker's thread with each comparison made, before it is released.
using EachComparison = std::function<void(const Comparison&, FileResult&)>;

FileResult CompareOne(Worker& worker, const CommonOptions& common, const CompareOptions& options,
    const ToleranceSet* set, const std::string& path, std::size_t index, const EachComparison& each)
{
    FileResult r;
    r.index = index;
    r.file = path;
    try {
        Comparison c;
        c.formula = FormulaIndex(options.formula);
        c.tolerance = options.max;
        c.reference = worker.reference;
        c.sample = std::make_shared<Chart>(path);
        CompareCharts(c, common, options, &worker.colorimetries);
        if (set)
            c.tolerances = std::make_shared<const ToleranceResult>(EvaluateTolerances(*set, c));
        r.summary.keyValue = true;
        r.summary.name = "summary";
        r.summary.rows.emplace_back();
        PutSummary(r.summary, c);
        r.patches = static_cast<int>(c.patches.size());
        r.mean = c.mean;
        r.median = c.median;
        r.p95 = c.p95;
        r.max = c.patches[c.worst].dE;
        r.maxSample = c.patches[c.worst].name;
        r.failed = c.Failed();
        r.warnings = c.warnings;
        if (c.tolerances) { // why a file failed, group by group
            Report groups;
            AddToleranceSections(groups, *c.tolerances);
            std::ostringstream text;
            groups.Write(text, Format::Json, "tolerances");
            r.tolerances = text.str();
        }
        if (each)
            each(c, r);
    } catch (const Error& e) {
        r.error = e.what();
    } catch (const std::bad_alloc&) {
        r.error = path + ": out of memory";
    } catch (const std::exception& e) {
        r.error = path + ": " + e.what();
    }
    return r;
}

std::vector<FileResult> CompareAll(const CommonOptions& common, const CompareOptions& options,
    const BatchOptions& batch, const EachComparison& each, std::shared_ptr<Colorimetry>* colorimetry)
{
    FormulaIndex(options.formula);
    // What concerns the reference or the tolerance set fails the whole run, before any file is read.
    std::unique_ptr<const ToleranceSet> set;
    if (!options.tolerances.empty())
        set = std::make_unique<const ToleranceSet>(LoadToleranceSet(options.tolerances, common));
    auto reference = std::make_shared<Chart>(options.reference);
    const int table = reference->ColourTable(options.table);
    reference->CheckTable(table);
    if (reference->NrSamples(table) < 1)
        reference->Fail("no samples to compare");

    const std::size_t n = batch.samples.size();
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    // Each thread holds an illuminant set and the integrations of the reference: beyond a few hundred
    // they cost memory and bring nothing.
    constexpr std::size_t kMaxJobs = 256;
    const std::size_t jobs = std::min<std::size_t>(
        { n, batch.jobs > 0 ? static_cast<std::size_t>(batch.jobs) : cores, kMaxJobs });
    // Made here one after the other: the first builds the observer caches, which take no lock.
    std::vector<Worker> workers;
    for (std::size_t k = 0; k < jobs; ++k)
        workers.push_back({ k == 0 ? reference : std::make_shared<Chart>(*reference, Chart::ShareData {}),
            { std::make_shared<Colorimetry>(
                ChosenConditions(common, { &reference->Cgats() }, nullptr, { table })) } });
    *colorimetry = workers.front().colorimetries.front();

    std::vector<FileResult> results(n);
    std::atomic<std::size_t> next { 0 };
    auto work = [&](Worker& worker) {
        for (std::size_t i = next++; i < n; i = next++)
            results[i] = CompareOne(worker, common, options, set.get(), batch.samples[i], i, each);
    };
    std::vector<std::thread> threads;
    for (std::size_t k = 1; k < jobs; ++k) {
        try {
            threads.emplace_back(work, std::ref(workers[k]));
        } catch (const std::system_error&) {
            break; // fewer threads than asked: the others take their files
        }
    }
    work(workers.front());
    for (std::thread& t : threads)
        t.join();
    return results;
}

// Whether the files are judged: by a tolerance or a tolerance set.
bool Judged(const CompareOptions& options) { return options.max >= 0.0 || !options.tolerances.empty(); }

// The files table, one row per file in the order given, and the summary over all files.
Report BatchReport(const BatchResult& result)
{
    const std::vector<FileResult>& results = result.files;
    const CompareOptions& options = result.options;
    const Colorimetry& colorimetry = *result.colorimetry;
    const bool pages = result.pages;
    Report report;
    std::vector<std::string> columns
        = { "file", "patches", "mean", "median", "p95", "max", "max_sample", "verdict", "error", "warnings" };
    if (pages)
        columns.push_back("page");
    Section& files = report.AddTable("files", columns);
    int errors = 0, failed = 0, patches = 0;
    double sum = 0.0;
    const FileResult* worst = nullptr;
    for (const FileResult& r : results) {
        const char* verdict = result.VerdictOf(r);
        if (r.error.empty()) {
            files.rows.push_back(
                { Cell(r.file), Cell(r.patches), Cell(r.mean, 2), Cell(r.median, 2), Cell(r.p95, 2),
                    Cell(r.max, 2), Cell(r.maxSample), Cell(verdict), Cell(""), Cell(Joined(r.warnings)) });
            patches += r.patches;
            sum += r.mean * r.patches;
            failed += r.failed ? 1 : 0;
            if (!worst || r.max > worst->max) // the first of equal maxima is named
                worst = &r;
        } else {
            files.rows.push_back({ Cell(r.file), Cell(""), Cell(""), Cell(""), Cell(""), Cell(""), Cell(""),
                Cell(verdict), Cell(r.error), Cell("") });
            ++errors;
        }
        if (pages)
            files.rows.back().push_back(Cell(r.page));
    }

    const double none = std::numeric_limits<double>::quiet_NaN();
    Section& summary = report.AddKeyValues("summary");
    Report::Put(summary, "reference", Cell(options.reference));
    Report::Put(summary, "formula", Cell(FormulaName(FormulaIndex(options.formula))));
    Report::Put(summary, "illuminant", Cell(colorimetry.Illuminant()->GetName()));
    Report::Put(summary, "observer", Cell(colorimetry.Observer()->GetName()));
    Report::Put(summary, "files", Cell(static_cast<int>(results.size())));
    Report::Put(summary, "compared", Cell(static_cast<int>(results.size()) - errors));
    Report::Put(summary, "errors", Cell(errors));
    Report::Put(summary, "patches", Cell(patches));
    Report::Put(summary, "mean", Cell(patches > 0 ? sum / patches : none, 2));
    Report::Put(summary, "max", Cell(worst ? worst->max : none, 2));
    Report::Put(summary, "max_file", Cell(worst ? worst->file : std::string()));
    Report::Put(summary, "max_sample", Cell(worst ? worst->maxSample : std::string()));
    if (options.max >= 0.0)
        Report::Put(summary, "tolerance", Cell(options.max, 2));
    if (!options.tolerances.empty())
        Report::Put(summary, "tolerances", Cell(options.tolerances));
    if (Judged(options)) {
        Report::Put(summary, "passed", Cell(static_cast<int>(results.size()) - errors - failed));
        Report::Put(summary, "failed", Cell(failed));
    }
    return report;
}

// A section as the JSON of Report, so that numbers come out alike in both outputs.
nlohmann::ordered_json SectionJson(const Section& section)
{
    Report one;
    Section& copy = section.keyValue ? one.AddKeyValues(section.name) : one.AddTable(section.name, {});
    copy = section;
    std::ostringstream text;
    one.Write(text, Format::Json);
    return nlohmann::ordered_json::parse(text.str())[section.name];
}

// JSON nests compare's own summary in each file's entry, which Report's flat sections cannot.
void WriteJson(std::ostream& out, const Report& report, const BatchResult& result, const std::string& section)
{
    const std::vector<FileResult>& results = result.files;
    const bool pages = result.pages;
    std::ostringstream summaryText;
    report.Write(summaryText, Format::Json, "summary");
    nlohmann::ordered_json doc = nlohmann::ordered_json::object();
    doc["files"] = nlohmann::ordered_json::array();
    for (const FileResult& r : results) {
        nlohmann::ordered_json entry = { { "file", r.file } };
        entry["summary"] = r.error.empty() ? SectionJson(r.summary) : nullptr;
        entry["verdict"] = result.VerdictOf(r);
        if (!r.error.empty())
            entry["error"] = r.error;
        entry["warnings"] = r.warnings;
        if (!r.tolerances.empty())
            entry["tolerances"] = nlohmann::ordered_json::parse(r.tolerances)["tolerances"];
        if (pages)
            entry["page"] = r.page;
        doc["files"].push_back(std::move(entry));
    }
    doc["summary"] = nlohmann::ordered_json::parse(summaryText.str())["summary"];
    if (!section.empty()) {
        if (!doc.contains(section))
            throw std::invalid_argument("no section \"" + section + "\" in this report (files, summary)");
        doc = nlohmann::ordered_json { { section, doc[section] } };
    }
    out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

// A page name per sample file: its name with ".html", numbered when names repeat.
std::vector<std::string> PageNames(const std::vector<std::string>& samples)
{
    std::vector<std::string> names;
    std::set<std::string> used;
    for (const std::string& sample : samples) {
        std::string stem = fs::path(sample).stem().string();
        if (stem.empty() || stem == "-")
            stem = "sample";
        std::string name = stem + ".html";
        for (int k = 2; !used.insert(name).second; ++k)
            name = stem + "-" + std::to_string(k) + ".html";
        names.push_back(name);
    }
    return names;
}

} // namespace

int BatchResult::Errors() const
{
    return static_cast<int>(
        std::count_if(files.begin(), files.end(), [](const FileResult& r) { return !r.error.empty(); }));
}

bool BatchResult::Failed() const
{
    return std::any_of(files.begin(), files.end(), [](const FileResult& r) { return r.failed; });
}

const char* BatchResult::VerdictOf(const FileResult& file) const
{
    if (!file.error.empty())
        return "error";
    if (!Judged(options))
        return "none";
    return file.failed ? "fail" : "pass";
}

BatchResult CompareMany(const CommonOptions& common, const CompareOptions& options, const BatchOptions& batch)
{
    BatchResult result;
    result.options = options;
    result.files = CompareAll(common, options, batch, nullptr, &result.colorimetry);
    return result;
}

BatchResult ReportMany(const CommonOptions& common, const ReportOptions& options, const BatchOptions& batch)
{
    if (options.output == "-")
        throw Error("with several sample files -o names a directory for their pages, not standard output");
    const bool discard = IsNullDevice(options.output);
    if (!discard) {
        std::error_code ec;
        fs::create_directories(options.output, ec);
        if (ec || !fs::is_directory(options.output, ec))
            throw Error(options.output + ": not a directory the pages can be written to");
    }
    const std::vector<std::string> names = PageNames(batch.samples);
    auto write = [&](const Comparison& c, FileResult& r) {
        if (discard)
            return;
        ReportOptions one = options;
        one.output = (fs::path(options.output) / names[r.index]).string();
        std::ostringstream unused;
        WriteReportPage(c, one, unused);
        r.page = one.output;
    };
    BatchResult result;
    result.options = options.compare;
    result.pages = true;
    result.files = CompareAll(common, options.compare, batch, write, &result.colorimetry);
    return result;
}

std::string RenderBatch(const BatchResult& result, Format format, const std::string& section)
{
    const Report report = BatchReport(result);
    std::ostringstream out;
    if (format == Format::Json)
        WriteJson(out, report, result, section);
    else
        report.Write(out, format, section);
    return out.str();
}

} // namespace tintvale::qc
