// `tintvale compare REFERENCE SAMPLE...`: the colour difference of every patch of two measurements of
// one chart and the summary a press or quality-control operator reads; with several sample files,
// one row per file.
#include "tool_commands.h"

#include <tintvale/qc/batch.h>
#include <tintvale/qc/compare.h>
#include <tintvale/qc/text.h>
#include <tintvale/qc/tolerances.h>

#include <iostream>
#include <ostream>

namespace tool {

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
    // Said where an operator looks as well, whatever the format.
    PrintWarnings(c.warnings);
    out << RenderComparison(c, format, common.section);
    return ExitStatus(c);
}

int FinishBatch(const BatchResult& result, const CommonOptions& common, std::ostream& out)
{
    // File by file in the order given.
    for (const FileResult& r : result.files)
        PrintWarnings(r.warnings);
    out << RenderBatch(result, ParseFormat(common.format), common.section);
    if (const int errors = result.Errors(); errors > 0) {
        std::cerr << "tintvale: " << errors << " of " << result.files.size()
                  << " files could not be compared\n";
        return kExitError;
    }
    return result.Failed() ? kExitTolerance : kExitOk;
}

int RunBatchCompare(
    const CommonOptions& common, const CompareOptions& options, const BatchOptions& batch, std::ostream& out)
{
    ParseFormat(common.format);
    return FinishBatch(CompareMany(common, options, batch), common, out);
}

} // namespace tool
