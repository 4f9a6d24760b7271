// The average of several measurements of one chart: what `tintvale average` writes.
#ifndef TINTVALE_QC_AVERAGE_H
#define TINTVALE_QC_AVERAGE_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/chart.h>

#include <memory>
#include <vector>

namespace tintvale::qc {

// The average of charts, rows paired by name (else by position). Colorimetric data stated for other
// illuminants are first adapted to the conditions chosen when common.adapt names a method (the
// charts' columns are rewritten). Throws Error naming the file, table or sample that differs.
TINTVALE_QC_API std::unique_ptr<TCgats> Average(
    const std::vector<std::unique_ptr<Chart>>& charts, const CommonOptions& common);

} // namespace tintvale::qc

#endif
