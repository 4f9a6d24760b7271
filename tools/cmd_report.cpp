// `tintvale report REFERENCE SAMPLE -o PAGE`: the comparison of `compare` as one self-contained HTML
// page, written only when complete.
#include "tool_commands.h"
#include "tool_html_report.h"
#include "tool_tolerances.h"

#include <tintvale/tatomicfile.h>

#include <iostream>
#include <ostream>

namespace tool {

void WriteReportPage(const Comparison& c, const ReportOptions& options, std::ostream& out)
{
    const std::string page = HtmlReport(c, options.title);
    if (options.output == "-")
        out << page;
    else if (const int rc = TCMS::WriteFileAtomically(options.output.c_str(), page.data(), page.size()))
        throw ToolError(options.output + ": could not be written (code " + std::to_string(rc) + ")");
}

int RunReport(const CommonOptions& common, const ReportOptions& options, std::ostream& out)
{
    const Comparison c = Compare(common, options.compare);
    if (c.tolerances)
        WarnOnEmptyGroups(*c.tolerances, std::cerr);
    WriteReportPage(c, options, out);
    return ExitStatus(c);
}

} // namespace tool
