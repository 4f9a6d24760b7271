// The quality-control page of `report`: one self-contained HTML file (inline CSS and SVG, no script,
// nothing fetched) showing a comparison as a summary, the chart, the distribution of the
// differences, every patch sorted by difference and, for spectral files, the worst spectra.
#ifndef TINTVALE_TOOL_HTML_REPORT_H
#define TINTVALE_TOOL_HTML_REPORT_H

#include "tool_compare.h"

#include <iosfwd>
#include <string>

namespace tool {

// text as UTF-8: bytes that are not UTF-8 are taken as Latin-1, as older instrument software writes
// names; control characters, which the page cannot carry, become U+FFFD.
std::string Utf8Text(const std::string& text);

// The page of c; an empty title names the two files.
std::string HtmlReport(const Comparison& c, const std::string& title);
// Writes the page of c to options.output ("-": out); a file is replaced only by the complete page.
void WriteReportPage(const Comparison& c, const ReportOptions& options, std::ostream& out);

} // namespace tool

#endif
