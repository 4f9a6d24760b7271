// The illuminants of a set: what `tintvale illuminants` shows.
#ifndef TINTVALE_QC_ILLUMINANTS_H
#define TINTVALE_QC_ILLUMINANTS_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/context.h>
#include <tintvale/qc/report.h>

namespace tintvale::qc {

// The section "illuminants": name, x, y and CCT of every illuminant of set, in natural name order.
// Throws Error when one's chromaticity cannot be computed.
TINTVALE_QC_API Report IlluminantsReport(IlluminantSet& set);

} // namespace tintvale::qc

#endif
