// A chart's colours recomputed: what `tintvale lab` writes.
#ifndef TINTVALE_QC_LAB_H
#define TINTVALE_QC_LAB_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/chart.h>

namespace tintvale::qc {

// Every sample of every colour table taken as a measurement under the conditions common and the
// file state: its CIELAB written into the Lab columns (added or overwritten), every other colour
// column the file has (XYZ, LCh, xyY) recomputed, and the conditions (with how spectra were
// integrated) stated in the file. Tables of other kinds stay as they are. Throws Error.
TINTVALE_QC_API void RecomputeColours(Chart& chart, const CommonOptions& common);

} // namespace tintvale::qc

#endif
