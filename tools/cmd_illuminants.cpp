// `tintvale illuminants [DIR]`: the illuminants of a directory with their chromaticity and correlated
// colour temperature.
#include "tool_commands.h"

#include <tintvale/tilluminant.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace tool {

int RunIlluminants(const CommonOptions& common, const IlluminantsOptions& options, std::ostream& out)
{
    CommonOptions where = common;
    if (!options.directory.empty())
        where.illuminantDir = options.directory;
    IlluminantSet set(IlluminantDirectory(where));

    Report report;
    Section& table = report.AddTable("illuminants", { "name", "x", "y", "CCT" });
    std::vector<const TIlluminant*> listed = set.Factory().GetListOfIlluminants();
    // Directory order depends on the file system; names in order read better and diff cleanly.
    std::stable_sort(listed.begin(), listed.end(), [](const TIlluminant* a, const TIlluminant* b) {
        return NaturalLess(a->GetName() ? a->GetName() : "", b->GetName() ? b->GetName() : "");
    });
    for (const TIlluminant* each : listed) {
        // The chromaticity is computed by a non-const operation of the factory's own object.
        TIlluminant* ill = const_cast<TIlluminant*>(each);
        double x = 0.0, y = 0.0, cct = 0.0;
        if (ill->GetChromaticityAndTemperature(&x, &y, &cct) != 0)
            throw Error(std::string(ill->GetName() ? ill->GetName() : "(unnamed)")
                + ": chromaticity could not be computed");
        table.rows.push_back({ Cell(ill->GetName()), Cell(x, 4), Cell(y, 4), Cell(cct, 0) });
    }
    report.Write(out, ParseFormat(common.format), common.section);
    return kExitOk;
}

} // namespace tool
