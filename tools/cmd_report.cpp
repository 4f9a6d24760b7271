// `tintvale report REFERENCE SAMPLE -o PAGE`: the comparison of `compare` as one self-contained HTML
// page, written only when complete.
#include "tool_commands.h"
#include "tool_files.h"
#include "tool_html_report.h"
#include "tool_tolerances.h"

#include <iostream>
#include <ostream>

namespace tool {

void WriteReportPage(const Comparison& c, const ReportOptions& options, std::ostream& out)
{
    WriteText(HtmlReport(c, options), options.output, out);
}

int RunReport(const CommonOptions& common, const ReportOptions& options, std::ostream& out)
{
    const Comparison c = Compare(common, options.compare);
    if (c.tolerances)
        WarnOnEmptyGroups(*c.tolerances, std::cerr);
    WriteReportPage(c, options, out);
    for (const std::string& w : c.warnings)
        std::cerr << "tintvale: warning: " << w << '\n';
    return ExitStatus(c);
}

} // namespace tool
