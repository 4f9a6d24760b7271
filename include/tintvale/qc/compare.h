// The comparison of two measurements of one chart: what `compare` prints and `report` draws.
#ifndef TINTVALE_QC_COMPARE_H
#define TINTVALE_QC_COMPARE_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/cell.h>
#include <tintvale/qc/chart.h>

#include <tintvale/tlabspace.h>

#include <memory>
#include <string>
#include <vector>

namespace tintvale::qc {

// What the columns dL, da, db, dC and dH beside dE are, whatever the formula, for every output that
// shows them.
constexpr const char* kCielabTermsNote = "CIELAB (CIE 15) sample minus reference";

// What --paper-relative makes the white.
constexpr const char* kPaperWhiteNote = "paper of each file (media-relative, ISO 13655 Annex A)";

// The viewing conditions of the appearance-space formulas ("cam02-ucs" ... "cam16-scd"), whose
// white is that of the colorimetry.
struct ViewingOptions {
    double adaptingLuminance = 64.0; // L_A, cd/m^2
    double background = 20.0; // Y_b
    std::string surround = "average"; // average, dim or dark
};

struct CompareOptions {
    std::string reference;
    std::string sample;
    std::string formula = TLabSpace::GetDifferenceFunctionList()[TLabSpace::kDefaultDifferenceFunction];
    double max = -1.0; // negative: no tolerance
    int table = -1; // negative: the first table with colour data of each file
    std::string tolerances; // a tolerance set: a file or the name of a shipped set; empty: none
    bool paperRelative = false; // each file's colorimetry relative to its own paper white
    ViewingOptions viewing;
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

struct TINTVALE_QC_API Comparison {
    // Shared so that a batch reuses one reference and colorimetry per thread across its files.
    std::shared_ptr<Chart> reference;
    std::shared_ptr<Chart> sample;
    std::shared_ptr<Colorimetry> colorimetry;
    int tableRef = 0; // the table compared in each file
    int tableSmp = 0;
    int formula = 0;
    double tolerance = -1.0; // negative: none
    std::vector<PatchDifference> patches; // in reference order
    // With paperRelative, the same patches on absolute CIELAB (the chosen white), by which paper
    // groups are judged; empty otherwise.
    std::vector<PatchDifference> absolute;
    int worst = 0; // the first patch of largest difference
    int over = 0; // patches above the tolerance
    double mean = 0.0;
    double median = 0.0;
    double p95 = 0.0;
    std::shared_ptr<const ToleranceResult> tolerances; // when a tolerance set was given
    bool paperRelative = false; // CIELAB relative to each file's paper white
    std::vector<std::string> warnings; // conditions the two files state differently, unpaired samples
    std::vector<std::string> unmatched; // samples of the sample file without a partner, in file order
    std::string adaptation; // what was adapted, file by file (method and both whites); empty: nothing
    std::string referenceConditions; // what each file states, for a reader
    std::string sampleConditions;
    ViewingOptions viewing; // for an appearance-space formula
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
    // "fail" as Failed, else "warn" when the tolerance set warns, else "pass".
    const char* VerdictText() const;
};

// The p-quantile of sorted values (not empty), interpolating linearly between closest ranks
// (Hyndman and Fan 1996, definition 7).
TINTVALE_QC_API double Quantile(const std::vector<double>& sorted, double p);

// dE of one patch by formula (an index of FormulaIndex): from the two CIELAB values, or, for an
// appearance-space formula, from their XYZ under the colorimetry's white and c.viewing. A
// Error when no difference can be computed.
TINTVALE_QC_API double FormulaDifference(const Comparison& c, const PatchDifference& p, int formula);
// "L_A 64 cd/m2, Y_b 20, average surround": the viewing conditions as the summary states them.
TINTVALE_QC_API std::string DescribeViewing(const ViewingOptions& viewing);

// Reads both files and compares table options.table (else each file's first table with colour
// data) sample by sample (paired by name when both
// files name their samples, else by position). Fails with a Error before anything is shown.
// colorimetry: one already made from common, if any.
TINTVALE_QC_API Comparison Compare(const CommonOptions& common, const CompareOptions& options,
    std::shared_ptr<Colorimetry> colorimetry = nullptr);
// The same for two files already read (a host's own TCgats, copied); options.reference and
// options.sample name them in messages ("reference" and "sample" when empty).
TINTVALE_QC_API Comparison Compare(const CommonOptions& common, const CompareOptions& options,
    const TCgats& reference, const TCgats& sample);
// The same for c.reference and c.sample already read, under c.colorimetry (made from common when
// empty) with c.formula and c.tolerance; options gives the table and the white (a tolerance set is
// the caller's to evaluate).
// kept: the colorimetries made so far (a batch thread's, which outlive the charts cached under them):
// one made for the chosen conditions is reused, a new one added.
TINTVALE_QC_API void CompareCharts(Comparison& c, const CommonOptions& common, const CompareOptions& options,
    std::vector<std::shared_ptr<Colorimetry>>* kept = nullptr);

// One entry of a comparison's summary, under the name every output gives it (compare's table, CSV
// and JSON, the page's data-key, Python's dict).
struct SummaryEntry {
    std::string name;
    Cell value;
};

// The summary of c in the order compare prints it: formula, conditions, statistics, the tolerance
// check and the integration.
TINTVALE_QC_API std::vector<SummaryEntry> Summary(const Comparison& c);

} // namespace tintvale::qc

#endif
