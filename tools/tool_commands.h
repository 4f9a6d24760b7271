// The subcommands: each takes the common options and its own, writes its report to out and returns
// the exit status; failures are thrown as ToolError.
#ifndef TINTVALE_TOOL_COMMANDS_H
#define TINTVALE_TOOL_COMMANDS_H

#include "tool_context.h"
#include "tool_tone.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tool {

struct IlluminantsOptions {
    std::string directory; // positional; overrides --illuminants
};
int RunIlluminants(const CommonOptions& common, const IlluminantsOptions& options, std::ostream& out);

struct MatchOptions {
    double lab[3] = {};
};
int RunMatch(const CommonOptions& common, const MatchOptions& options, std::ostream& out);

struct InfoOptions {
    std::string file;
};
int RunInfo(const CommonOptions& common, const InfoOptions& options, std::ostream& out);

struct CompareOptions {
    std::string reference;
    std::string sample;
    std::string formula = "Delta E 2000";
    double max = -1.0; // negative: no tolerance
    int table = -1; // negative: the first table with colour data of each file
    std::string tolerances; // a tolerance set: a file or the name of a shipped set; empty: none
    bool paperRelative = false; // each file's colorimetry relative to its own paper white
};
int RunCompare(const CommonOptions& common, const CompareOptions& options, std::ostream& out);

struct ReportOptions {
    CompareOptions compare;
    std::string output; // "-": standard output
    std::string title; // empty: one naming the two files
    bool fullPaths = false; // name the files by their paths as given, else by their base names
};
// Writes the page and returns compare's exit status.
int RunReport(const CommonOptions& common, const ReportOptions& options, std::ostream& out);

struct DensityOptions {
    std::string file;
    std::string standard = "ISO Status T";
    std::string paper; // a sample name or number; empty: absolute densities
    int table = -1; // negative: the first table with colour data
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
    std::string to; // "argyll" or "cgats"
    std::string output;
};
int RunConvert(const CommonOptions& common, const ConvertOptions& options, std::ostream& out);

// The whole program: parses the arguments, runs the subcommand and prints its report; returns the
// exit status. shipped: the data directory of the caller's own package (illuminants/, tolerances/),
// looked at first when none is named.
int Main(int argc, char** argv, const std::string& shipped = {});

} // namespace tool

#endif
