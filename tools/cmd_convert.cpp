// `tintvale convert FILE --to argyll|cgats|cxf -o OUT`: the file rewritten in the naming of
// ArgyllCMS (CTI3 or SPECT) or of CGATS.17, or as a CxF3 document, its values, names and header
// lines kept.
#include "tool_commands.h"
#include <tintvale/qc/chart.h>
#include <tintvale/qc/files.h>

namespace tool {

int RunConvert(const CommonOptions&, const ConvertOptions& options, std::ostream& out)
{
    const Chart chart(options.file);
    PrintWarnings(chart.ReadWarnings());
    const TCgats::Convention convention = options.to == "argyll" ? TCgats::Convention::Argyll
        : options.to == "cxf"                                    ? TCgats::Convention::Cxf
                                                                 : TCgats::Convention::Cgats;
    WriteCgats(chart.Cgats(), options.output, out, convention);
    return kExitOk;
}

} // namespace tool
