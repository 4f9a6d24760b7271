// Pairing the samples of two files, their colour differences and the summary statistics.
#include <tintvale/qc/compare.h>

#include <tintvale/qc/roles.h>
#include <tintvale/qc/text.h>
#include <tintvale/qc/tolerances.h>

#include <tintvale/tappearancemodel.h>
#include <tintvale/tilluminant.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace tintvale::qc {

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
        throw Error(ref.Path() + " has " + std::to_string(n) + " samples but " + smp.Path() + " has "
            + std::to_string(m));
    for (int s = 0; s < n; ++s)
        pair[s] = s;
    return pair;
}

// CIE 15:2004, 8.2.3: Delta L*, Delta C*ab and Delta H*ab, the sign of Delta H that of the hue
// angle difference (sample minus reference).
void CielabTerms(PatchDifference& p)
{
    const double* r = p.labRef;
    const double* s = p.labSmp;
    p.dL = s[0] - r[0];
    p.da = s[1] - r[1];
    p.db = s[2] - r[2];
    p.dC = std::hypot(s[1], s[2]) - std::hypot(r[1], r[2]);
    const double squareH = TLabSpace::CalcSquareDeltaHConvertedStatic(s, r);
    const double cross = r[1] * s[2] - r[2] * s[1];
    p.dH = std::copysign(std::sqrt(std::max(0.0, squareH)), cross);
}

// The paper white of each file for media-relative colorimetry (ISO 13655:2017, Annex A): the mean
// XYZ of the patches with every process channel at 0 (told by the reference's device values, else
// by the sample's), each file's own. CIELAB relative to that white equals CIELAB of the XYZ scaled
// by the illuminant's white over the paper's, as the annex scales it.
struct PaperWhites {
    double ref[3] = {};
    double smp[3] = {};
};

void CheckPaperWhite(const Chart& chart, const double paper[3], const double white[3])
{
    if (!IsPaperWhite(paper, white))
        chart.Fail("--paper-relative: the paper white is not a positive XYZ of L* 1 or more");
}

PaperWhites FindPaperWhites(const Comparison& c, const std::vector<int>& pair)
{
    const Chart& ref = *c.reference;
    const Chart& smp = *c.sample;
    const DeviceValues refDevice(ref, c.tableRef);
    const DeviceValues smpDevice(smp, c.tableSmp);
    std::vector<int> papers;
    for (std::size_t s = 0; s < pair.size(); ++s)
        if (refDevice.Present() ? refDevice.IsPaper(static_cast<int>(s))
                                : smpDevice.Present() && smpDevice.IsPaper(pair[s]))
            papers.push_back(static_cast<int>(s));
    if (papers.empty())
        ref.Fail("--paper-relative needs a paper patch (every process channel at 0) in device values of "
                 "the reference or the sample");
    PaperWhites w;
    for (int s : papers) {
        double xyz[3];
        ref.Xyz(c.tableRef, s, *c.colorimetry, xyz);
        for (int k = 0; k < 3; ++k)
            w.ref[k] += xyz[k] / static_cast<double>(papers.size());
        smp.Xyz(c.tableSmp, pair[s], *c.colorimetry, xyz);
        for (int k = 0; k < 3; ++k)
            w.smp[k] += xyz[k] / static_cast<double>(papers.size());
    }
    CheckPaperWhite(ref, w.ref, c.colorimetry->White());
    CheckPaperWhite(smp, w.smp, c.colorimetry->White());
    return w;
}

// Samples of the sample file that no reference sample was paired with, by name: not compared, and
// so said in every output.
std::vector<std::string> Unmatched(const Chart& smp, int table, const std::vector<int>& pair)
{
    std::vector<bool> paired(static_cast<std::size_t>(smp.NrSamples(table)), false);
    for (int s : pair)
        paired[static_cast<std::size_t>(s)] = true;
    std::vector<std::string> names;
    for (std::size_t s = 0; s < paired.size(); ++s)
        if (!paired[s])
            names.push_back(Utf8Text(smp.SampleName(table, static_cast<int>(s))));
    return names;
}

std::string UnmatchedWarning(const Chart& smp, const std::vector<std::string>& names)
{
    constexpr std::size_t kNamed = 10; // a longer list is for the JSON, not for one line
    std::string list;
    for (std::size_t k = 0; k < names.size() && k < kNamed; ++k)
        list += (k ? ", " : "") + names[k];
    if (names.size() > kNamed)
        list += ", ...";
    return smp.Path() + ": " + std::to_string(names.size()) + " sample" + (names.size() == 1 ? "" : "s")
        + " without a partner in the reference, not compared: " + list;
}

// Reference sample r and its partner s, CIELAB relative to the whites given (null: the chosen one).
PatchDifference Difference(const Comparison& c, int r, int s, const double* refWhite, const double* smpWhite)
{
    PatchDifference p;
    p.reference = r;
    p.sample = s;
    p.name = Utf8Text(c.reference->SampleName(c.tableRef, p.reference));
    c.reference->Lab(c.tableRef, p.reference, *c.colorimetry, refWhite, p.labRef);
    c.sample->Lab(c.tableSmp, p.sample, *c.colorimetry, smpWhite, p.labSmp);
    // The library takes the sample first and the reference second (CIE94 and CMC weigh by the
    // reference).
    p.dE = FormulaDifference(c, p, c.formula);
    if (p.dE < 0.0)
        throw Error("sample \"" + p.name + "\": no colour difference could be computed");
    CielabTerms(p);
    return p;
}

void Summarise(Comparison& c)
{
    std::vector<double> sorted;
    double sum = 0.0;
    for (const PatchDifference& p : c.patches) {
        sorted.push_back(p.dE);
        sum += p.dE;
    }
    std::sort(sorted.begin(), sorted.end());
    c.mean = sum / static_cast<double>(sorted.size());
    c.median = Quantile(sorted, 0.5);
    c.p95 = Quantile(sorted, 0.95);
}

} // namespace

const char* Comparison::FormulaName() const { return qc::FormulaName(formula); }

std::string DescribeViewing(const ViewingOptions& viewing)
{
    // Shortest round-trip text, whatever the host's locale.
    auto shortest = [](double v) {
        char text[32];
        return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
    };
    return "L_A " + shortest(viewing.adaptingLuminance) + " cd/m2, Y_b " + shortest(viewing.background) + ", "
        + viewing.surround + " surround";
}

double FormulaDifference(const Comparison& c, const PatchDifference& p, int formula)
{
    const int row = AppearanceFormula(formula);
    double de = -1.0;
    if (row < 0) {
        const double square = TLabSpace::CalcSquareDeltaEConvertedStatic(p.labSmp, p.labRef, formula);
        de = std::isfinite(square) && square >= 0.0 ? std::sqrt(square) : -1.0;
    } else {
        const TAppearanceModel::UniformFormula& f = *TAppearanceModel::GetUniformFormula(row);
        TAppearanceModel::ViewingConditions vc;
        const double* white = c.colorimetry->White();
        std::copy(white, white + 3, vc.white);
        vc.adaptingLuminance = c.viewing.adaptingLuminance;
        vc.background = c.viewing.background;
        if (!TAppearanceModel::SurroundByName(c.viewing.surround.c_str(), &vc.surround))
            throw Error("unknown surround \"" + c.viewing.surround + "\" (average, dim, dark)");
        const TAppearanceModel model(f.model, vc);
        if (model.GetStatus() != TAppearanceModel::kOk)
            throw Error(std::string(f.name) + ": the viewing conditions define no model ("
                + DescribeViewing(c.viewing) + ")");
        // The Lab of both files is relative to the colorimetry's white (or each to its paper): XYZ on
        // the scale of that white.
        const TLabSpace lab(white);
        double smp[3], ref[3];
        lab.LabToXYZ(p.labSmp, smp);
        lab.LabToXYZ(p.labRef, ref);
        de = model.DeltaE(smp, ref, f.space);
    }
    if (!(de >= 0.0))
        throw Error("sample \"" + p.name + "\": no colour difference could be computed");
    return de;
}

std::string Comparison::IntegrationMethod() const
{
    const std::string ref = reference->Integration(tableRef, *colorimetry).method;
    const std::string smp = sample->Integration(tableSmp, *colorimetry).method;
    if (ref == smp || smp.empty())
        return ref.empty() ? "none" : ref;
    if (ref.empty())
        return smp;
    return "reference " + ref + ", sample " + smp;
}

double Quantile(const std::vector<double>& sorted, double p)
{
    const double rank = p * static_cast<double>(sorted.size() - 1);
    const std::size_t below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (rank - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

const char* Comparison::VerdictText() const
{
    if (Failed())
        return VerdictName(Verdict::Fail);
    return VerdictName(tolerances && tolerances->verdict == Verdict::Warn ? Verdict::Warn : Verdict::Pass);
}

bool Comparison::Failed() const { return over > 0 || (tolerances && tolerances->verdict == Verdict::Fail); }

std::vector<SummaryEntry> Summary(const Comparison& c)
{
    std::vector<SummaryEntry> s = { { "formula", Cell(c.FormulaName()) },
        { "illuminant", Cell(c.colorimetry->Illuminant()->GetName()) },
        { "observer", Cell(c.colorimetry->Observer()->GetName()) } };
    if (c.paperRelative)
        s.push_back({ "white", Cell(kPaperWhiteNote) });
    if (!c.adaptation.empty())
        s.push_back({ "adaptation", Cell(c.adaptation) });
    if (AppearanceFormula(c.formula) >= 0)
        s.push_back({ "viewing", Cell(DescribeViewing(c.viewing)) });
    s.insert(s.end(),
        { { "samples", Cell(static_cast<int>(c.patches.size())) }, { "mean", Cell(c.mean, 2) },
            { "median", Cell(c.median, 2) }, { "p95", Cell(c.p95, 2) },
            { "max", Cell(c.patches[c.worst].dE, 2) }, { "max_sample", Cell(c.patches[c.worst].name) },
            { "terms", Cell(kCielabTermsNote) } });
    if (c.tolerance >= 0.0)
        s.insert(s.end(), { { "tolerance", Cell(c.tolerance, 2) }, { "over_tolerance", Cell(c.over) } });
    s.push_back({ "integration", Cell(c.IntegrationMethod()) });
    if (c.tolerance >= 0.0 || c.tolerances)
        s.push_back({ "verdict", Cell(c.VerdictText()) });
    return s;
}

namespace {

// A comparison of the two charts read puts in c, judged by the tolerance set of options.
Comparison CompareRead(const CommonOptions& common, const CompareOptions& options,
    std::shared_ptr<Colorimetry> colorimetry, const std::function<void(Comparison&)>& read)
{
    Comparison c;
    c.colorimetry = std::move(colorimetry);
    c.formula = FormulaIndex(options.formula);
    // A malformed set is refused before the files are read.
    std::unique_ptr<ToleranceSet> set;
    if (!options.tolerances.empty())
        set = std::make_unique<ToleranceSet>(LoadToleranceSet(options.tolerances, common));
    c.tolerance = options.max;
    read(c);
    CompareCharts(c, common, options);
    if (set)
        c.tolerances = std::make_shared<const ToleranceResult>(EvaluateTolerances(*set, c));
    return c;
}

} // namespace

Comparison Compare(
    const CommonOptions& common, const CompareOptions& options, std::shared_ptr<Colorimetry> colorimetry)
{
    return CompareRead(common, options, std::move(colorimetry), [&](Comparison& c) {
        c.reference = std::make_shared<Chart>(options.reference);
        c.sample = std::make_shared<Chart>(options.sample);
    });
}

Comparison Compare(
    const CommonOptions& common, const CompareOptions& options, const TCgats& reference, const TCgats& sample)
{
    return CompareRead(common, options, nullptr, [&](Comparison& c) {
        c.reference
            = std::make_shared<Chart>(reference, options.reference.empty() ? "reference" : options.reference);
        c.sample = std::make_shared<Chart>(sample, options.sample.empty() ? "sample" : options.sample);
    });
}

void CompareCharts(Comparison& c, const CommonOptions& common, const CompareOptions& options,
    std::vector<std::shared_ptr<Colorimetry>>* kept)
{
    const Chart& ref = *c.reference;
    const Chart& smp = *c.sample;
    c.tableRef = ref.ColourTable(options.table);
    c.tableSmp = smp.ColourTable(options.table);
    ref.CheckTable(c.tableRef);
    smp.CheckTable(c.tableSmp);
    if (ref.NrSamples(c.tableRef) < 1)
        ref.Fail("no samples to compare");
    // One condition for both: colorimetric data stated for another are refused or adapted.
    if (!c.colorimetry && kept && !kept->empty())
        c.colorimetry = kept->front();
    const CommonOptions chosen = ChosenConditions(common, { &ref.Cgats(), &smp.Cgats() },
        c.colorimetry ? &c.colorimetry->Set() : nullptr, { c.tableRef, c.tableSmp });
    for (std::size_t k = 0; kept && k < kept->size() && !c.colorimetry->MadeFor(chosen); ++k)
        c.colorimetry = (*kept)[k];
    if (!c.colorimetry || !c.colorimetry->MadeFor(chosen)) {
        c.colorimetry = std::make_shared<Colorimetry>(chosen);
        if (kept)
            kept->push_back(c.colorimetry);
    }
    c.reference->UseConditions(chosen, *c.colorimetry, c.tableRef);
    c.sample->UseConditions(chosen, *c.colorimetry, c.tableSmp);
    c.adaptation.clear();
    for (const Chart* chart : { &ref, &smp })
        if (!chart->Adaptation().empty())
            c.adaptation += (c.adaptation.empty() ? "" : "; ") + chart->Path() + ": " + chart->Adaptation();
    const std::vector<int> pair = Pairing(ref, c.tableRef, smp, c.tableSmp);
    // Measurements under different conditions (M0/M1/M2) or computed for another weighting differ
    // for reasons other than the samples: a warning in every output, an error when asked.
    c.warnings = ConditionWarnings(ref.Cgats(), ref.Path(), smp.Cgats(), smp.Path(), c.tableRef, c.tableSmp);
    c.referenceConditions = DescribeFileConditions(ref.Cgats(), c.tableRef);
    c.sampleConditions = DescribeFileConditions(smp.Cgats(), c.tableSmp);
    c.referenceSource = DescribeFileSource(ref.Cgats());
    c.sampleSource = DescribeFileSource(smp.Cgats());
    if (common.strictConditions && !c.warnings.empty())
        throw Error(c.warnings.front() + " (--strict-conditions)");
    for (const Chart* chart : { &ref, &smp })
        for (const std::string& w : chart->ReadWarnings())
            c.warnings.push_back(w);
    c.unmatched = Unmatched(smp, c.tableSmp, pair);
    if (!c.unmatched.empty())
        c.warnings.push_back(UnmatchedWarning(smp, c.unmatched));
    c.paperRelative = options.paperRelative;
    c.viewing = options.viewing;
    const double* refWhite = nullptr; // the chosen white
    const double* smpWhite = nullptr;
    PaperWhites papers;
    if (options.paperRelative) {
        papers = FindPaperWhites(c, pair);
        refWhite = papers.ref;
        smpWhite = papers.smp;
    }

    for (std::size_t s = 0; s < pair.size(); ++s) {
        const PatchDifference p = Difference(c, static_cast<int>(s), pair[s], refWhite, smpWhite);
        if (c.patches.empty() || p.dE > c.patches[c.worst].dE) // the first of equal maxima is named
            c.worst = static_cast<int>(s);
        if (c.Over(p))
            ++c.over;
        c.patches.push_back(p);
        if (options.paperRelative)
            c.absolute.push_back(Difference(c, static_cast<int>(s), pair[s], nullptr, nullptr));
    }
    Summarise(c);
}

} // namespace tintvale::qc
