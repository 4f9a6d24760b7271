// The comparison of two measurements of one chart: what `compare` prints and `report` draws.
#ifndef TINTVALE_QC_COMPARE_H
#define TINTVALE_QC_COMPARE_H

#include "qc_cell.h"
#include "qc_chart.h"

#include <tintvale/tlabspace.h>

#include <memory>
#include <string>
#include <vector>

namespace tool {

// What the columns dL, da, db, dC and dH beside dE are, whatever the formula, for every output that
// shows them.
constexpr const char* kCielabTermsNote = "CIELAB (CIE 15) sample minus reference";

// What --paper-relative makes the white.
constexpr const char* kPaperWhiteNote = "paper of each file (media-relative, ISO 13655 Annex A)";

struct CompareOptions {
    std::string reference;
    std::string sample;
    std::string formula = TLabSpace::GetDifferenceFunctionList()[TLabSpace::kDefaultDifferenceFunction];
    double max = -1.0; // negative: no tolerance
    int table = -1; // negative: the first table with colour data of each file
    std::string tolerances; // a tolerance set: a file or the name of a shipped set; empty: none
    bool paperRelative = false; // each file's colorimetry relative to its own paper white
};

// One reference sample and its partner in the sample file.
struct PatchDifference {
    std::string name;
    int reference = 0; // sample index in the reference file
    int sample = 0; // sample index in the sample file
    double labRef[3] = {};
    double labSmp[3] = {};
    // CIELAB Delta L*, Delta a*, Delta b*, Delta C*ab and signed Delta H*ab, sample minus reference,
    // whatever the formula of dE.
    double dL = 0.0;
    double da = 0.0;
    double db = 0.0;
    double dC = 0.0;
    double dH = 0.0;
    double dE = 0.0;
};

struct ToleranceResult;

struct Comparison {
    // Shared so that a batch reuses one reference and colorimetry per thread across its files.
    std::shared_ptr<Chart> reference;
    std::shared_ptr<Chart> sample;
    std::shared_ptr<Colorimetry> colorimetry;
    int tableRef = 0; // the table compared in each file
    int tableSmp = 0;
    int formula = 0;
    double tolerance = -1.0; // negative: none
    std::vector<PatchDifference> patches; // in reference order
    int worst = 0; // the first patch of largest difference
    int over = 0; // patches above the tolerance
    double mean = 0.0;
    double median = 0.0;
    double p95 = 0.0;
    std::shared_ptr<const ToleranceResult> tolerances; // when a tolerance set was given
    bool paperRelative = false; // CIELAB relative to each file's paper white
    std::vector<std::string> warnings; // conditions the two files state differently
    std::string referenceConditions; // what each file states, for a reader
    std::string sampleConditions;
    // Who made each file, its description and its samples' object types (CxF3), where stated.
    std::string referenceSource;
    std::string sampleSource;

    const char* FormulaName() const;
    // How the spectra of the two files were integrated: one method, or one per file when they
    // differ; "none" when neither file has spectra.
    std::string IntegrationMethod() const;
    bool Over(const PatchDifference& p) const { return tolerance >= 0.0 && p.dE > tolerance; }
    // Whether a sample is over the tolerance or the tolerance set fails.
    bool Failed() const;
};

// The p-quantile of sorted values (not empty), interpolating linearly between closest ranks
// (Hyndman and Fan 1996, definition 7).
double Quantile(const std::vector<double>& sorted, double p);

// Reads both files and compares table options.table (else each file's first table with colour
// data) sample by sample (paired by name when both
// files name their samples, else by position). Fails with a ToolError before anything is shown.
// colorimetry: one already made from common, if any.
Comparison Compare(const CommonOptions& common, const CompareOptions& options,
    std::shared_ptr<Colorimetry> colorimetry = nullptr);
// The same for c.reference and c.sample already read, under c.colorimetry (made from common when
// empty) with c.formula and c.tolerance; options gives the table and the white (a tolerance set is
// the caller's to evaluate).
// kept: the colorimetries made so far (a batch thread's, which outlive the charts cached under them):
// one made for the chosen conditions is reused, a new one added.
void CompareCharts(Comparison& c, const CommonOptions& common, const CompareOptions& options,
    std::vector<std::shared_ptr<Colorimetry>>* kept = nullptr);

// One entry of a comparison's summary, under the name every output gives it (compare's table, CSV
// and JSON, the page's data-key, Python's dict).
struct SummaryEntry {
    std::string name;
    Cell value;
};

// The summary of c in the order compare prints it: formula, conditions, statistics, the tolerance
// check and the integration.
std::vector<SummaryEntry> Summary(const Comparison& c);

} // namespace tool

#endif
