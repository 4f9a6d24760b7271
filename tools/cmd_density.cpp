// `tintvale density FILE`: status densities cyan, magenta, yellow and visual of every sample and the
// dominant filter, optionally relative to a paper sample.
#include "tool_commands.h"

#include <tintvale/qc/density.h>

#include <ostream>

namespace tool {

int RunDensity(const CommonOptions& common, const DensityOptions& options, std::ostream& out)
{
    const Format format = ParseFormat(common.format);
    Chart chart(options.file);
    PrintWarnings(chart.ReadWarnings());
    DensityReport(chart, common, options.density).Write(out, format, common.section);
    return kExitOk;
}

} // namespace tool
