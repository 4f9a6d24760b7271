// Many sample files against one reference: `compare REFERENCE SAMPLE...` and `report REFERENCE
// SAMPLE... -o DIR`. Files are read and compared on worker threads, each holding one file at a
// time, and reported one row per file in the order given; a file that cannot be compared is
// reported on its own row and the others are still compared.
#ifndef TINTVALE_TOOL_BATCH_H
#define TINTVALE_TOOL_BATCH_H

#include "tool_commands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tool {

struct BatchOptions {
    std::vector<std::string> samples;
    int jobs = 0; // files compared at once; 0: one per core
};

// Exit status: 2 when a file could not be compared, else 1 when one exceeds the tolerance, else 0.
int RunBatchCompare(
    const CommonOptions& common, const CompareOptions& options, const BatchOptions& batch, std::ostream& out);
// The same, writing one page per sample file into the directory options.output (made if missing;
// the null device discards them).
int RunBatchReport(
    const CommonOptions& common, const ReportOptions& options, const BatchOptions& batch, std::ostream& out);

} // namespace tool

#endif
