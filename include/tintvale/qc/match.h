// A reflectance spectrum for a CIELAB colour: what `tintvale match` shows.
#ifndef TINTVALE_QC_MATCH_H
#define TINTVALE_QC_MATCH_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/context.h>
#include <tintvale/qc/report.h>

namespace tintvale::qc {

// The sections "match" (the conditions, the target and the CIELAB reached, Delta E 1976) and
// "spectrum" (36 reflectances, 380 to 730 nm) of the library's matching-spectrum search for lab
// under the illuminant and observer of common. Throws Error for a lab that is not finite or whose
// L* lies outside 0 to 100, and when the search fails.
TINTVALE_QC_API Report MatchReport(const CommonOptions& common, const double* lab);

} // namespace tintvale::qc

#endif
