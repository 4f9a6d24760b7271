// What a measurement data file holds: what `tintvale info` shows.
#ifndef TINTVALE_QC_DESCRIBE_H
#define TINTVALE_QC_DESCRIBE_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/chart.h>
#include <tintvale/qc/report.h>

namespace tintvale::qc {

// The sections "tables" (samples, fields, colour kind, channels, wavelengths, Lab, XYZ, names per
// table), "keywords" (every header keyword line in file order, made as it is written: the chart
// must outlive the report) and "header" (creator, description, conditions per table, object types,
// layout). A chart read with Chart::MayHoldNoTable is described too.
TINTVALE_QC_API Report FileReport(const Chart& chart);

} // namespace tintvale::qc

#endif
