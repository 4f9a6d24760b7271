// `tintvale compare REFERENCE SAMPLE`: the colour difference of every patch of two measurements of
// one chart, and the summary a press or quality-control operator reads.
#include "tool_commands.h"
#include "tool_compare.h"
#include "tool_tolerances.h"

#include <tintvale/tilluminant.h>

#include <iostream>
#include <ostream>

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
    for (const std::string& w : warnings)
        std::cerr << "tintvale: warning: " << w << '\n';
}

} // namespace

void PutSummary(Section& summary, const Comparison& c)
{
    Report::Put(summary, "formula", Cell(c.FormulaName()));
    Report::Put(summary, "illuminant", Cell(c.colorimetry->Illuminant()->GetName()));
    Report::Put(summary, "observer", Cell(c.colorimetry->Observer()->GetName()));
    if (c.paperRelative)
        Report::Put(summary, "white", Cell(kPaperWhiteNote));
    Report::Put(summary, "samples", Cell(static_cast<int>(c.patches.size())));
    Report::Put(summary, "mean", Cell(c.mean, 2));
    Report::Put(summary, "median", Cell(c.median, 2));
    Report::Put(summary, "p95", Cell(c.p95, 2));
    Report::Put(summary, "max", Cell(c.patches[c.worst].dE, 2));
    Report::Put(summary, "max_sample", Cell(c.patches[c.worst].name));
    Report::Put(summary, "terms", Cell(kCielabTermsNote));
    if (c.tolerance >= 0.0) {
        Report::Put(summary, "tolerance", Cell(c.tolerance, 2));
        Report::Put(summary, "over_tolerance", Cell(c.over));
    }
    Report::Put(summary, "integration", Cell(c.IntegrationMethod()));
}

int RunCompare(const CommonOptions& common, const CompareOptions& options, std::ostream& out)
{
    const Format format = ParseFormat(common.format);
    const Comparison c = Compare(common, options);
    if (c.tolerances)
        WarnOnEmptyGroups(*c.tolerances, std::cerr);

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
    report.Write(out, format, common.section);
    return ExitStatus(c);
}

} // namespace tool
