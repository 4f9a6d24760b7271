// `tintvale info FILE`: what a measurement data file holds, table by table, every header keyword and
// the chart layout.
#include "tool_commands.h"

#include <tintvale/qc/describe.h>

#include <ostream>

namespace tool {

int RunInfo(const CommonOptions& common, const InfoOptions& options, std::ostream& out)
{
    const Format format = ParseFormat(common.format);
    // A file without tables is described too: its creator and description are what it holds.
    Chart chart(options.file, Chart::MayHoldNoTable {});
    PrintWarnings(chart.ReadWarnings());
    FileReport(chart).Write(out, format, common.section);
    return kExitOk;
}

} // namespace tool
