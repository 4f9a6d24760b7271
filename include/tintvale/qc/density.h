// Status densities of a chart's samples, as densitometers report them: cyan, magenta, yellow and
// visual, the dominant filter, absolute or relative to a paper sample.
#ifndef TINTVALE_QC_DENSITY_H
#define TINTVALE_QC_DENSITY_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/chart.h>
#include <tintvale/qc/report.h>

#include <string>

namespace tintvale::qc {

struct DensityOptions {
    std::string standard = "ISO Status T"; // or "colorimetric": log10 of paper X, Y, Z over the sample's
    std::string paper; // a sample name or number; empty: absolute densities
    int table = -1; // negative: the first table with colour data
};

// The sections "densities" (a row per sample; a sample without a density is "missing") and
// "settings" of a chart under the conditions common and the file state. Throws Error when the
// table has no colour data, or spectra are missing for a status standard, or the paper is.
TINTVALE_QC_API Report DensityReport(
    Chart& chart, const CommonOptions& common, const DensityOptions& options);

} // namespace tintvale::qc

#endif
