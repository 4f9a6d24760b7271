// `tintvale report REFERENCE SAMPLE -o PAGE`: the comparison of `compare` as one self-contained HTML
// page, written only when complete.
#include "qc_page.h"
#include "qc_tolerances.h"
#include "tool_commands.h"

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

} // namespace tool
