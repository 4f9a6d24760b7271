// `tintvale illuminants [DIR]`: the illuminants of a directory with their chromaticity and correlated
// colour temperature.
#include "tool_commands.h"

#include <tintvale/qc/illuminants.h>

#include <ostream>

namespace tool {

int RunIlluminants(const CommonOptions& common, const IlluminantsOptions& options, std::ostream& out)
{
    CommonOptions where = common;
    if (!options.directory.empty())
        where.illuminantDir = options.directory;
    IlluminantSet set(IlluminantDirectory(where));
    IlluminantsReport(set).Write(out, ParseFormat(common.format), common.section);
    return kExitOk;
}

} // namespace tool
