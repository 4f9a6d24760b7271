// `tintvale compare REFERENCE SAMPLE`: the colour difference of every patch of two measurements of
// one chart, and the summary a press or quality-control operator reads.
#include "qc_compare.h"
#include "qc_text.h"
#include "qc_tolerances.h"
#include "tool_commands.h"

#include <cmath>
#include <iostream>
#include <ostream>
#include <utility>

namespace tool {

namespace {

// The warnings as a section of their own (a list in JSON, "--section warnings" in CSV).
void AddWarnings(Report& report, const std::vector<std::string>& warnings, Format format)
{
    // A table without rows would print its heading alone; JSON keeps its empty list.
    if (warnings.empty() && format == Format::Table)
        return;
    Section& list = report.AddTable("warnings", { "warning" });
    for (const std::string& w : warnings)
        list.rows.push_back({ Cell(w) });
    // Said where an operator looks as well, whatever the format.
    PrintWarnings(warnings);
}

} // namespace

void PutSummary(Section& summary, const Comparison& c)
{
    for (SummaryEntry& entry : Summary(c))
        Report::Put(summary, entry.name, std::move(entry.value));
}

void AddToleranceSections(Report& report, const ToleranceResult& result)
{
    Section& head = report.AddKeyValues("tolerances");
    Report::Put(head, "name", Cell(result.set.name));
    Report::Put(head, "source", Cell(result.set.source));
    Report::Put(head, "formula", Cell(result.set.formula));
    Report::Put(head, "verdict", Cell(VerdictName(result.verdict)));
    if (!result.note.empty())
        Report::Put(head, "note", Cell(result.note));
    Section& groups
        = report.AddTable("groups", { "name", "select", "metric", "count", "mean", "p95", "max", "verdict" });
    groups.within = "tolerances";
    const double none = std::nan("");
    for (const GroupResult& g : result.groups) {
        const bool empty = g.count == 0;
        groups.rows.push_back({ Cell(g.group.name), Cell(g.group.select.text), Cell(g.group.metric),
            Cell(g.count), Cell(empty ? none : g.mean, 2), Cell(empty ? none : g.p95, 2),
            Cell(empty ? none : g.max, 2), Cell(VerdictName(g.verdict)) });
    }
}

void PrintWarnings(const std::vector<std::string>& warnings)
{
    for (const std::string& w : warnings)
        std::cerr << "tintvale: warning: " << OneLine(w) << '\n';
}

int ExitStatus(const Comparison& c) { return c.Failed() ? kExitTolerance : kExitOk; }

int RunCompare(const CommonOptions& common, const CompareOptions& options, std::ostream& out)
{
    const Format format = ParseFormat(common.format);
    const Comparison c = Compare(common, options);
    if (c.tolerances)
        PrintWarnings(c.tolerances->warnings);

    Report report;
    Section& table = report.AddTable("samples",
        { "sample", "ref_L", "ref_a", "ref_b", "L", "a", "b", "dE", "dL", "da", "db", "dC", "dH" });
    for (const PatchDifference& p : c.patches)
        table.rows.push_back({ Cell(p.name), Cell(p.labRef[0], 2), Cell(p.labRef[1], 2), Cell(p.labRef[2], 2),
            Cell(p.labSmp[0], 2), Cell(p.labSmp[1], 2), Cell(p.labSmp[2], 2), Cell(p.dE, 2), Cell(p.dL, 2),
            Cell(p.da, 2), Cell(p.db, 2), Cell(p.dC, 2), Cell(p.dH, 2) });

    PutSummary(report.AddKeyValues("summary"), c);
    if (c.tolerances)
        AddToleranceSections(report, *c.tolerances);
    AddWarnings(report, c.warnings, format);
    // The table names them among the warnings; JSON and CSV list them one by one as well.
    if (format != Format::Table) {
        Section& unmatched = report.AddTable("unmatched", { "sample" });
        for (const std::string& name : c.unmatched)
            unmatched.rows.push_back({ Cell(name) });
    }
    report.Write(out, format, common.section);
    return ExitStatus(c);
}

} // namespace tool
