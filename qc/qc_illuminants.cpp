// The illuminants of a set with their chromaticity and correlated colour temperature.
#include <tintvale/qc/illuminants.h>

#include <tintvale/tilluminant.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tintvale::qc {

Report IlluminantsReport(IlluminantSet& set)
{
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
    return report;
}

} // namespace tintvale::qc
