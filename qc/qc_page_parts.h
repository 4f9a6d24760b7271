// What the sections of the page share: the comparison with the page's choices of names and
// decimals, the colours shown, and the helpers that show text and numbers. For qc_page*.cpp only.
#ifndef TINTVALE_QC_PAGE_PARTS_H
#define TINTVALE_QC_PAGE_PARTS_H

#include "qc_html.h"
#include "qc_srgb.h"
#include <tintvale/qc/page.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tintvale::qc::pageparts {

constexpr double kFontSize = 11.0;
constexpr const char* kSvgNamespace = "http://www.w3.org/2000/svg";

// Text from a file or the command line, as the page shows it.
std::string Shown(const std::string& raw);
// Numbers as compare shows them.
std::string Num(double value, int decimals);
// Names of at most length characters that still tell apart the names that differ; empty when no
// cut does.
std::vector<std::string> DistinctNames(const std::vector<std::string>& names, std::size_t length);
// The patches' names shortened to length, else their numbers in the chart.
std::vector<std::string> ShortNames(const Comparison& c, std::size_t length);
// A generous width of text in a sans-serif font of size.
double TextWidth(const std::string& text, double size = kFontSize);
std::string BaseName(const std::string& path);

// What every section takes from the comparison: patch order by Delta E and the decimals shown.
struct Page {
    Page(const Comparison& comparison, const ReportOptions& reportOptions);
    std::string DeltaE(double value) const { return Num(value, decimals); }
    std::string FileName(const Chart& chart) const
    {
        return Shown(options.fullPaths ? chart.Path() : BaseName(chart.Path()));
    }

    const Comparison& c;
    const ReportOptions& options;
    SrgbRenderer srgb;
    std::vector<std::size_t> order;
    int decimals;
};

// The drawings: Delta E per patch (or its distribution), its cumulative distribution, the shifts in
// a*b*, the worst spectra and the tone value increase curves.
void BarsSection(HtmlWriter& out, const Page& page);
void CdfSection(HtmlWriter& out, const Page& page);
void AbSection(HtmlWriter& out, const Page& page);
void SpectraSection(HtmlWriter& out, const Page& page);
void TviSection(HtmlWriter& out, const Page& page);

} // namespace tintvale::qc::pageparts

#endif
