// The subcommands: each takes the common options and its own, writes its report to out and returns
// the exit status; failures are thrown as
// tintvale::qc::Error. The capability is the QC library's; here are the command lines and exit statuses.
#ifndef TINTVALE_TOOL_COMMANDS_H
#define TINTVALE_TOOL_COMMANDS_H

#include <tintvale/qc/appearance.h>
#include <tintvale/qc/batch.h>
#include <tintvale/qc/compare.h>
#include <tintvale/qc/context.h>
#include <tintvale/qc/density.h>
#include <tintvale/qc/page.h>
#include <tintvale/qc/report.h>
#include <tintvale/qc/tolerances.h>
#include <tintvale/qc/tone.h>

#include <iosfwd>
#include <string>
#include <vector>

namespace tool {

using namespace tintvale::qc;

// Exit statuses: 0 success, 1 a tolerance exceeded (compare), 2 any error.
constexpr int kExitOk = 0;
constexpr int kExitTolerance = 1;
constexpr int kExitError = 2;

struct IlluminantsOptions {
    std::string directory; // positional; overrides --illuminants
};
int RunIlluminants(const CommonOptions& common, const IlluminantsOptions& options, std::ostream& out);

struct MatchOptions {
    double lab[3] = {};
};
int RunMatch(const CommonOptions& common, const MatchOptions& options, std::ostream& out);

struct LampOptions {
    std::string file; // empty: the illuminant --illuminant names
};
int RunLamp(const CommonOptions& common, const LampOptions& options, std::ostream& out);

struct InfoOptions {
    std::string file;
};
int RunInfo(const CommonOptions& common, const InfoOptions& options, std::ostream& out);

int RunCompare(const CommonOptions& common, const CompareOptions& options, std::ostream& out);
// Writes the page and returns compare's exit status.

// Writes the page and returns compare's exit status.
int RunReport(const CommonOptions& common, const ReportOptions& options, std::ostream& out);

struct DensityOptions {
    std::string file;
    tintvale::qc::DensityOptions density;
};
int RunDensity(const CommonOptions& common, const DensityOptions& options, std::ostream& out);

struct TviOptions {
    std::string file;
    ToneOptions tone;
};
int RunTvi(const CommonOptions& common, const TviOptions& options, std::ostream& out);

struct LabOptions {
    std::string file;
    std::string output = "-"; // "-": standard output
};
int RunLab(const CommonOptions& common, const LabOptions& options, std::ostream& out);

struct AverageOptions {
    std::vector<std::string> files;
    std::string output;
};
int RunAverage(const CommonOptions& common, const AverageOptions& options, std::ostream& out);

struct ConvertOptions {
    std::string file;
    std::string to; // "argyll", "cgats" or "cxf"
    std::string output;
};
int RunConvert(const CommonOptions& common, const ConvertOptions& options, std::ostream& out);

struct AppearanceOptions {
    std::string file;
    tintvale::qc::AppearanceOptions appearance;
};
int RunAppearance(const CommonOptions& common, const AppearanceOptions& options, std::ostream& out);

// 1 when a sample is over --max or the tolerance set fails, else 0.
int ExitStatus(const Comparison& c);
// Many sample files against one reference (exit status 2 when a file could not be compared, else 1
// when one fails, else 0), and the same with a page per file.
int RunBatchCompare(
    const CommonOptions& common, const CompareOptions& options, const BatchOptions& batch, std::ostream& out);
int RunBatchReport(
    const CommonOptions& common, const ReportOptions& options, const BatchOptions& batch, std::ostream& out);
// Prints a batch's warnings and rendering, and returns its exit status.
int FinishBatch(const BatchResult& result, const CommonOptions& common, std::ostream& out);
// Each warning on standard error, as "tintvale: warning: " and the sentence.
void PrintWarnings(const std::vector<std::string>& warnings);

// The whole program: parses the arguments, runs the subcommand and prints its report; returns the
// exit status. shipped: the data directory of the caller's own package (illuminants/, tolerances/),
// looked at first when none is named.
int Main(int argc, char** argv, const std::string& shipped = {});

} // namespace tool

#endif
