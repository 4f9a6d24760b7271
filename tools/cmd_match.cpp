// `tintvale match L a b`: a reflectance spectrum whose colour under the chosen illuminant and observer
// matches a CIELAB value, found by the library's matching-spectrum search.
#include "tool_commands.h"

#include <tintvale/qc/match.h>

#include <ostream>

namespace tool {

int RunMatch(const CommonOptions& common, const MatchOptions& options, std::ostream& out)
{
    const Format format = ParseFormat(common.format);
    MatchReport(common, options.lab).Write(out, format, common.section);
    return kExitOk;
}

} // namespace tool
