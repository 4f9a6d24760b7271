// `tintvale compare REFERENCE SAMPLE`: the colour difference of every patch of two measurements of
// one chart, and the summary a press or quality-control operator reads.
#include "tool_chart.h"
#include "tool_commands.h"

#include <tintvale/tilluminant.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <ostream>

namespace tool {

namespace {

// Which sample of the other file belongs to each reference sample: by name when both files name
// their samples, else by position.
std::vector<int> Pairing(const Chart& ref, int tRef, const Chart& smp, int tSmp)
{
    const int n = ref.NrSamples(tRef);
    const int m = smp.NrSamples(tSmp);
    std::vector<int> pair(n);
    if (ref.Cgats().ContainsSampleLabels(tRef) && smp.Cgats().ContainsSampleLabels(tSmp)) {
        std::map<std::string, int> where;
        for (int s = m - 1; s >= 0; --s) // the first of equal names wins
            where[smp.SampleName(tSmp, s)] = s;
        for (int s = 0; s < n; ++s) {
            auto it = where.find(ref.SampleName(tRef, s));
            if (it == where.end())
                smp.Fail("no sample named \"" + ref.SampleName(tRef, s) + "\" (it is in " + ref.Path() + ")");
            pair[s] = it->second;
        }
        return pair;
    }
    if (n != m)
        throw ToolError(ref.Path() + " has " + std::to_string(n) + " samples but " + smp.Path() + " has "
            + std::to_string(m));
    for (int s = 0; s < n; ++s)
        pair[s] = s;
    return pair;
}

// The p-quantile of sorted values, interpolating linearly between closest ranks (Hyndman and
// Fan 1996, definition 7).
double Quantile(const std::vector<double>& sorted, double p)
{
    const double rank = p * static_cast<double>(sorted.size() - 1);
    const std::size_t below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (rank - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

// Measurements under different conditions (M0/M1/M2) or computed for another illuminant and
// observer differ for reasons other than the samples: said on standard error, without failing.
void WarnOnDifferentConditions(const Chart& ref, const Chart& smp)
{
    const struct {
        const char* what;
        std::string a, b;
    } checks[] = {
        { "MEASUREMENT_CONDITION", ref.Cgats().GetMeasurementCondition(),
            smp.Cgats().GetMeasurementCondition() },
        { "WEIGHTING_FUNCTION", ref.Cgats().GetWeightingFunction(), smp.Cgats().GetWeightingFunction() },
    };
    for (const auto& c : checks)
        if (!c.a.empty() && !c.b.empty() && c.a != c.b)
            std::cerr << "tintvale: warning: " << ref.Path() << " and " << smp.Path() << " state different "
                      << c.what << " (\"" << c.a << "\", \"" << c.b << "\")\n";
}

} // namespace

int RunCompare(const CommonOptions& common, const CompareOptions& options, std::ostream& out)
{
    const int formula = FormulaIndex(options.formula);
    const Format format = ParseFormat(common.format);
    Chart ref(options.reference);
    Chart smp(options.sample);
    const int tRef = ref.ColourTable(options.table);
    const int tSmp = smp.ColourTable(options.table);
    ref.CheckTable(tRef);
    smp.CheckTable(tSmp);
    if (ref.NrSamples(tRef) < 1)
        ref.Fail("no samples to compare");
    Colorimetry colorimetry(common);
    const std::vector<int> pair = Pairing(ref, tRef, smp, tSmp);
    WarnOnDifferentConditions(ref, smp);

    Report report;
    Section& table = report.AddTable("samples", { "sample", "ref_L", "ref_a", "ref_b", "L", "a", "b", "dE" });
    std::vector<double> dE;
    int worst = 0, over = 0;
    for (std::size_t s = 0; s < pair.size(); ++s) {
        double labRef[3], labSmp[3];
        ref.Lab(tRef, static_cast<int>(s), colorimetry, labRef);
        smp.Lab(tSmp, pair[s], colorimetry, labSmp);
        // The library takes the sample first and the reference second (CIE94 and CMC weigh by the
        // reference).
        const double square = TLabSpace::CalcSquareDeltaEConvertedStatic(labSmp, labRef, formula);
        if (!std::isfinite(square) || square < 0.0)
            throw ToolError("sample \"" + ref.SampleName(tRef, static_cast<int>(s))
                + "\": no colour difference could be computed");
        const double d = std::sqrt(square);
        if (dE.empty() || d > dE[worst]) // the first of equal maxima is named
            worst = static_cast<int>(s);
        if (options.max >= 0.0 && d > options.max)
            ++over;
        dE.push_back(d);
        table.rows.push_back(
            { Cell(ref.SampleName(tRef, static_cast<int>(s))), Cell(labRef[0], 2), Cell(labRef[1], 2),
                Cell(labRef[2], 2), Cell(labSmp[0], 2), Cell(labSmp[1], 2), Cell(labSmp[2], 2), Cell(d, 2) });
    }

    std::vector<double> sorted = dE;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0.0;
    for (double d : dE)
        sum += d;
    Section& summary = report.AddKeyValues("summary");
    Report::Put(summary, "formula", Cell(TLabSpace::GetDifferenceFunctionList()[formula]));
    Report::Put(summary, "illuminant", Cell(colorimetry.Illuminant()->GetName()));
    Report::Put(summary, "observer", Cell(colorimetry.Observer()->GetName()));
    Report::Put(summary, "samples", Cell(static_cast<int>(dE.size())));
    Report::Put(summary, "mean", Cell(sum / static_cast<double>(dE.size()), 2));
    Report::Put(summary, "median", Cell(Quantile(sorted, 0.5), 2));
    Report::Put(summary, "p95", Cell(Quantile(sorted, 0.95), 2));
    Report::Put(summary, "max", Cell(dE[worst], 2));
    Report::Put(summary, "max_sample", Cell(ref.SampleName(tRef, worst)));
    if (options.max >= 0.0) {
        Report::Put(summary, "tolerance", Cell(options.max, 2));
        Report::Put(summary, "over_tolerance", Cell(over));
    }
    report.Write(out, format);
    return over > 0 ? kExitTolerance : kExitOk;
}

} // namespace tool
