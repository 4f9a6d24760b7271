// `tintvale lab FILE [-o OUT]`: every sample taken as a measurement, its CIELAB under the conditions
// used written into the Lab columns (added or overwritten), every other colour column the file has
// (XYZ, LCh, xyY) recomputed under the same conditions, and the conditions stated in the file.
#include "tool_commands.h"

#include <tintvale/qc/files.h>
#include <tintvale/qc/lab.h>

namespace tool {

int RunLab(const CommonOptions& common, const LabOptions& options, std::ostream& out)
{
    Chart chart(options.file);
    PrintWarnings(chart.ReadWarnings());
    RecomputeColours(chart, common);
    // The file is replaced only once everything is written.
    WriteCgats(chart.Cgats(), options.output, out);
    return kExitOk;
}

} // namespace tool
