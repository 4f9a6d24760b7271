// Tolerance sets: limits by patch group (paper, solids, overprints, grey balance, ...) on the mean,
// the 95th percentile and the maximum of a colour difference, with warn and fail levels, read from
// JSON files, and their evaluation on a comparison.
#ifndef TINTVALE_QC_TOLERANCES_H
#define TINTVALE_QC_TOLERANCES_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/context.h>
#include <tintvale/qc/roles.h>

#include <string>
#include <vector>

namespace tintvale::qc {

struct Comparison;

// One statistic's limits; a value equal to a limit passes.
struct Limit {
    bool present = false;
    bool hasWarn = false;
    double warn = 0.0;
    double fail = 0.0;
};

struct ToleranceGroup {
    std::string name;
    Role select;
    std::string metric; // "dE" (the set's formula), or the absolute CIELAB "dL", "dC", "dH", "dCh"
    Limit mean, p95, max;
};

struct ToleranceSet {
    std::string name;
    std::string source;
    std::string formula;
    std::string path; // where it was read
    std::vector<ToleranceGroup> groups;
};

// The directory of the shipped sets: options.toleranceDir when given, else data/tolerances beside
// the installed QC library or program, in the configured installation or in the source tree; empty
// when none.
TINTVALE_QC_API std::string ToleranceDirectory(const CommonOptions& options);
// The names of the shipped sets (file names without ".json"), sorted.
TINTVALE_QC_API std::vector<std::string> ShippedToleranceSets(const CommonOptions& options);
// Reads a set from a file, or by the name of a shipped set. Throws Error with one line
// naming what is wrong: an unknown role, metric or statistic, a limit that is not a number.
TINTVALE_QC_API ToleranceSet LoadToleranceSet(const std::string& nameOrFile, const CommonOptions& options);
// Parses a set from JSON text; origin names it in messages.
TINTVALE_QC_API ToleranceSet ParseToleranceSet(const std::string& text, const std::string& origin);

enum class Verdict { Pass, Warn, Fail, Empty };
TINTVALE_QC_API const char* VerdictName(Verdict v);

struct GroupResult {
    ToleranceGroup group;
    bool absolute = false; // judged on absolute CIELAB although the comparison is paper-relative
    int count = 0;
    double mean = 0.0, p95 = 0.0, max = 0.0;
    Verdict verdict = Verdict::Empty;
};

struct ToleranceResult {
    ToleranceSet set;
    // Fail when a group fails, else warn when a group warns or selects no patch, else pass.
    Verdict verdict = Verdict::Pass;
    std::vector<GroupResult> groups;
    std::vector<std::string> warnings; // a sentence for each group that selects no patch
    std::string note; // how paper groups were judged under media-relative colorimetry, or empty
};

// Why paper groups are judged on absolute CIELAB when the comparison is paper-relative.
extern TINTVALE_QC_API const char* const kPaperAbsoluteNote;

// Evaluates every group of set on the comparison. Roles are told by the reference's device values,
// else by the sample's; fails (Error) when a group needs device values neither file has.
TINTVALE_QC_API ToleranceResult EvaluateTolerances(const ToleranceSet& set, const Comparison& c);

} // namespace tintvale::qc

#endif
