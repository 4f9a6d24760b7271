// `tintvale tvi FILE`: the tone value of every tint of each process channel and its increase over
// the nominal value, from status densities (Murray-Davies) or from CIELAB (spot colour tone value).
#include "tool_commands.h"

#include <tintvale/qc/report.h>
#include <tintvale/qc/tone.h>

#include <ostream>

namespace tool {

int RunTvi(const CommonOptions& common, const TviOptions& options, std::ostream& out)
{
    const Format format = ParseFormat(common.format);
    Chart chart(options.file);
    PrintWarnings(chart.ReadWarnings());
    Colorimetry colorimetry(common);
    out << RenderToneValues(
        ComputeToneValues(chart, colorimetry, options.tone), options.tone, format, common.section);
    return kExitOk;
}

} // namespace tool
