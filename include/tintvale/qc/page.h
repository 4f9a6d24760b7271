// The quality-control page of `report`: one self-contained HTML file (inline CSS and SVG, no script,
// nothing fetched) showing a comparison as a summary, the conditions of both files, the chart, the
// distribution of the differences, the shifts in a*b*, for spectral files the worst spectra, and every
// patch sorted by difference. It prints as it shows, on A4 and Letter alike.
#ifndef TINTVALE_QC_PAGE_H
#define TINTVALE_QC_PAGE_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/compare.h>
#include <tintvale/qc/text.h>

#include <iosfwd>
#include <string>

namespace tintvale::qc {

struct ReportOptions {
    CompareOptions compare;
    std::string output; // "-": standard output
    std::string title; // empty: one naming the two files
    bool fullPaths = false; // name the files by their paths as given, else by their base names
};

// The page of c. Its sections carry the ids summary, conditions, chart, bars, cdf, ab, spectra (for
// spectral files) and table. The time it states is SOURCE_DATE_EPOCH when set, else now.
TINTVALE_QC_API std::string HtmlReport(const Comparison& c, const ReportOptions& options);
// Writes the page of c to options.output ("-": out); a file is replaced only by the complete page.
TINTVALE_QC_API void WriteReportPage(const Comparison& c, const ReportOptions& options, std::ostream& out);

} // namespace tintvale::qc

#endif
