// `tintvale report REFERENCE SAMPLE -o PAGE`: the comparison of `compare` as one self-contained HTML
// page, written only when complete.
#include "tool_commands.h"
#include "tool_html_report.h"

#include <tintvale/tatomicfile.h>

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
    WriteReportPage(c, options, out);
    return c.over > 0 ? kExitTolerance : kExitOk;
}

} // namespace tool
