// `tintvale appearance FILE`: the seven appearance correlates of every sample (from its spectrum,
// Lab or XYZ under the conditions used) by CIECAM02, CAM16 or CIECAM16 under given viewing
// conditions.
#include "tool_commands.h"

#include <tintvale/qc/appearance.h>

#include <ostream>

namespace tool {

int RunAppearance(const CommonOptions& common, const AppearanceOptions& options, std::ostream& out)
{
    const Format format = ParseFormat(common.format);
    std::vector<std::string> warnings;
    const Report report = AppearanceReport(options.file, common, options.appearance, &warnings);
    PrintWarnings(warnings);
    report.Write(out, format, common.section);
    return kExitOk;
}

} // namespace tool
