// `tintvale lamp FILE|--illuminant NAME`: how good a light is (CCT and Duv, CIE 13.3 CRI, CIE 224 Rf,
// TM-30, the ISO 3664 viewing booth) from an emissive spectrum.
#include "tool_commands.h"

#include <tintvale/qc/lamp.h>

#include <ostream>

namespace tool {

int RunLamp(const CommonOptions& common, const LampOptions& options, std::ostream& out)
{
    std::vector<std::string> warnings;
    std::string json;
    try {
        json = LampJson(options.file, common, &warnings);
    } catch (const Error&) {
        PrintWarnings(warnings);
        throw;
    }
    PrintWarnings(warnings);
    if (ParseFormat(common.format) == Format::Json)
        out << json << '\n';
    else
        LampReport(json).Write(out, ParseFormat(common.format), common.section);
    return kExitOk;
}

} // namespace tool
