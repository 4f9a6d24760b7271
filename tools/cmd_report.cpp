// `tintvale report REFERENCE SAMPLE... -o PAGE`: the comparison of `compare` as one self-contained
// HTML page, written only when complete; with several sample files, a page each into a directory.
#include "tool_commands.h"

#include <tintvale/qc/batch.h>
#include <tintvale/qc/page.h>
#include <tintvale/qc/tolerances.h>

namespace tool {

int RunReport(const CommonOptions& common, const ReportOptions& options, std::ostream& out)
{
    const Comparison c = Compare(common, options.compare);
    if (c.tolerances)
        PrintWarnings(c.tolerances->warnings);
    WriteReportPage(c, options, out);
    PrintWarnings(c.warnings);
    return ExitStatus(c);
}

int RunBatchReport(
    const CommonOptions& common, const ReportOptions& options, const BatchOptions& batch, std::ostream& out)
{
    ParseFormat(common.format);
    return FinishBatch(ReportMany(common, options, batch), common, out);
}

} // namespace tool
