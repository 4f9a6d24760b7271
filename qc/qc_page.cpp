// The HTML page of a comparison. Everything is inline, so the page opens anywhere without network
// access; it is well-formed XML as well, so its drawings can be taken out and reused on their own.
// Colours that carry meaning are SVG fills, which print even where a browser leaves out backgrounds.
#include "qc_page.h"

#include "qc_files.h"
#include "qc_html.h"
#include "qc_srgb.h"
#include "qc_tolerances.h"
#include "qc_tone.h"

#include <tintvale/tilluminant.h>
#include <tintvale/version.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <map>
#include <sys/stat.h>

namespace tool {

namespace {

// The chart: cells of kCell units on a pitch of kPitch, the sample inset in the middle.
constexpr int kCell = 90;
constexpr int kPitch = 100;
constexpr int kInset = 24;
constexpr std::size_t kNameLength = 12; // characters of a name in its cell: 11-unit text in 85 units
// More columns, scaled to the width of a printed page, would make the labels smaller than 6 px.
constexpr int kLegibleColumns = 12;
// A printed page's content in CSS pixels (A4 and Letter less margins, the heading left out): each
// drawing of the chart is cut to fit one.
constexpr double kPageWidth = 700.0;
constexpr double kPageHeight = 850.0;
constexpr double kLightText = 60.0; // reference L* below which labels are drawn light
// Plots: a viewBox kPlotWidth wide with margins for the axes.
constexpr double kPlotWidth = 1000.0;
constexpr double kPlotHeight = 280.0;
constexpr double kLeft = 56.0;
constexpr double kRight = 24.0;
constexpr double kTop = 14.0;
constexpr double kBottom = 40.0;
constexpr double kFontSize = 11.0;
// A generous average advance of a sans-serif character, in ems, to keep labels inside a drawing.
constexpr double kCharWidth = 0.6;
constexpr double kLabelGap = 4.0;
constexpr double kLineSpacing = 14.0;
constexpr std::size_t kNamedBars = 48; // up to this many bars carry their patch name
constexpr std::size_t kBarNameLength = 12;
constexpr double kBarNameAngle = 60.0; // degrees the bar names rise from the axis
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr std::size_t kHistogramAbove = 300; // more patches: a histogram instead of one bar each
constexpr int kHistogramBins = 25;
constexpr std::size_t kWorstSpectra = 6;
constexpr std::size_t kSpectrumNameLength = 16;
constexpr double kSpectraRight = 130.0; // room for the names at the ends of the curves
constexpr double kLightLine = 75.0; // reference L* above which a curve is outlined
// Tone value curves of channels other than C, M, Y and K.
const char* const kChannelColours[] = { "#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#17becf" };
// The a*b* plot: a square of kAbSize units. Arrows are magnified so that the third quartile of the
// shifts is drawn about kTypicalArrow units long, the longest no more than kLongestArrow of the square.
constexpr double kAbSize = 560.0;
constexpr double kTypicalArrow = 20.0;
constexpr double kLongestArrow = 0.2;
constexpr double kQuartile = 0.75;
constexpr int kAbWidenings = 4;
constexpr double kArrowHead = 4.0; // shorter arrows go without a head
const double kMagnifications[] = { 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000 };
// Delta E shown with kMinDecimals, more up to kMaxDecimals when a patch over the tolerance would
// otherwise show equal to it.
constexpr int kMinDecimals = 2;
constexpr int kMaxDecimals = 4;
constexpr const char* kSvgNamespace = "http://www.w3.org/2000/svg";

const char kStyle[] = R"(html{-webkit-print-color-adjust:exact;print-color-adjust:exact}
body{font:14px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;color:#1d232b;background:#f4f5f7;
margin:0}
main{max-width:1180px;margin:0 auto;padding:24px 28px 40px}
header{display:flex;align-items:center;justify-content:space-between;gap:16px;border-bottom:2px solid #d5d9e0;
padding-bottom:12px}
h1{font-size:22px;margin:0;overflow-wrap:anywhere}h2{font-size:17px;margin:22px 0 8px}
svg.verdict{flex:none}.verdict text{font:700 22px system-ui,sans-serif;letter-spacing:.06em;fill:#fff}
.verdict .pass{fill:#2e7d32}.verdict .fail{fill:#c62828}.verdict .warn{fill:#b26a00}
.groups tr.fail td{background:#fdecea}.groups tr.warn td,.groups tr.empty td{background:#fff4e0}
.warnings{color:#b26a00;font-weight:600;margin:4px 0}
section{background:#fff;border:1px solid #dde1e7;border-radius:8px;padding:4px 18px 16px;margin-top:18px}
table{border-collapse:collapse}
.summary{display:grid;grid-template-columns:repeat(auto-fit,minmax(330px,1fr));gap:0 32px;margin-top:12px;
align-items:start}
.summary th,.conditions th{text-align:left;font-weight:600;padding:3px 14px 3px 0;color:#4a5563;
white-space:nowrap;vertical-align:top}
.summary td,.conditions td{padding:3px 14px 3px 0;vertical-align:top;overflow-wrap:break-word}
.conditions thead th{color:#1d232b}.conditions tr.differs td{color:#b71c1c;font-weight:700}
.note{color:#5b6573;font-size:12.5px;margin:2px 0 8px}
svg{max-width:100%;height:auto;display:block}svg.plot{width:100%}svg.square{max-width:624px}
svg text{font:11px system-ui,sans-serif;fill:#39414c}
.halo{paint-order:stroke;stroke:#fff;stroke-width:3px;stroke-linejoin:round}
.patch .lbl{font-size:11px}.patch .de{font-size:12px;font-weight:700}
.patch text.light{fill:#fff}.patch text.dark{fill:#111}
.patch .outline{fill:none;stroke:#e01b24;stroke-width:4}
.clipmark{fill:#111;stroke:#fff;stroke-width:1.5}
.axis line,.grid{stroke:#d5d9e0}.zero{stroke:#8d96a3}.bar{fill:#6f8fb8}.bar.over{fill:#d64541}
.tol{stroke:#e01b24;stroke-width:2;stroke-dasharray:6 4}.mark{stroke:#39414c;stroke-dasharray:2 3}
.cdf{fill:none;stroke:#2b5797;stroke-width:2}
.ref{fill:none;stroke-width:2}.smp{fill:none;stroke-width:2;stroke-dasharray:6 4}
.ref.outline,.smp.outline{stroke:#39414c;stroke-width:4}
.shift{stroke:#39414c;stroke-width:1.2}.start{stroke:#39414c;stroke-width:.8}.scale{stroke:#1d232b;stroke-width:2}
.patches{width:100%;font-variant-numeric:tabular-nums}
.patches th{position:sticky;top:0;background:#eef0f4;text-align:right;padding:5px 8px;font-weight:600}
.patches td{text-align:right;padding:3px 8px;border-top:1px solid #eceef2}
.patches td.name,.patches th.name{text-align:left}
.patches tr.over td{background:#fdecea}.patches tr.over td.de{color:#b71c1c;font-weight:700}
.patches tr.over td:first-child{border-left:4px solid #c62828}
.sw{width:26px;padding:1px 2px!important}.sw svg{width:26px;height:16px}.sw.clip svg{outline:2px dashed #111;outline-offset:-4px}
.legend{list-style:none;padding:0;display:flex;flex-wrap:wrap;gap:6px 22px}
.key{display:inline-block;width:26px;border-top:3px solid;vertical-align:middle;margin-right:6px}
.key.light{outline:1px solid #39414c}
footer{color:#5b6573;font-size:12px;margin-top:22px}
@page{margin:12mm}
@media print{body{background:#fff;font-size:11px}main{max-width:none;padding:0}
section{border:0;border-radius:0;padding:0;margin-top:12px}h2{font-size:14px;margin:12px 0 4px;break-after:avoid}
.keep,footer,tr{break-inside:avoid}.patches th{position:static}.patches{font-size:9.5px}
.patches th,.patches td{padding:2px 4px}})";

using Characters = std::vector<std::string>;

Characters CharactersOf(const std::string& text)
{
    Characters out;
    for (char ch : text) {
        if (out.empty() || (static_cast<unsigned char>(ch) & 0xC0) != 0x80)
            out.emplace_back();
        out.back() += ch;
    }
    return out;
}

std::string Joined(Characters::const_iterator first, Characters::const_iterator last)
{
    std::string out;
    for (; first != last; ++first)
        out += *first;
    return out;
}

// Text from a file or the command line, as the page shows it.
std::string Shown(const std::string& raw) { return Utf8Text(raw); }

// Numbers as compare shows them.
std::string Num(double value, int decimals) { return Cell(value, decimals).Shown(); }

// The number a reader takes from Num(value, decimals).
double Rounded(double value, int decimals)
{
    const std::string shown = Num(value, decimals);
    double out = value;
    std::from_chars(shown.data(), shown.data() + shown.size(), out);
    return out;
}

// At most length characters: the head, an ellipsis and the last tail characters. An isolated name
// stays isolated.
std::string Shortened(const std::string& text, std::size_t length, std::size_t tail)
{
    Characters chars = CharactersOf(text);
    const bool isolated
        = chars.size() >= 2 && chars.front() == kFirstStrongIsolate && chars.back() == kPopDirectionalIsolate;
    if (isolated)
        chars = Characters(chars.begin() + 1, chars.end() - 1);
    std::string out = chars.size() <= length ? Joined(chars.begin(), chars.end())
                                             : Joined(chars.begin(), chars.begin() + (length - 1 - tail))
            + "\u2026" + Joined(chars.end() - tail, chars.end());
    return isolated ? kFirstStrongIsolate + out + kPopDirectionalIsolate : out;
}

// Names of at most length characters that still tell apart the names that differ: cut in the middle
// with the shortest tail that does it. Empty when no cut does.
std::vector<std::string> DistinctNames(const std::vector<std::string>& names, std::size_t length)
{
    for (std::size_t tail = 0; tail + 1 < length; ++tail) {
        std::vector<std::string> out;
        std::map<std::string, const std::string*> from;
        bool distinct = true;
        for (const std::string& name : names) {
            out.push_back(Shortened(name, length, tail));
            const auto [it, added] = from.emplace(out.back(), &name);
            distinct = distinct && (added || *it->second == name);
        }
        if (distinct)
            return out;
    }
    return {};
}

// What the patches are called where room is short: their names shortened, else their numbers in the
// chart (the table's "No.").
std::vector<std::string> ShortNames(const Comparison& c, std::size_t length)
{
    std::vector<std::string> names;
    for (const PatchDifference& p : c.patches)
        names.push_back(p.name);
    std::vector<std::string> shortened = DistinctNames(names, length);
    if (shortened.empty())
        for (std::size_t k = 0; k < names.size(); ++k)
            shortened.push_back(std::to_string(k + 1));
    return shortened;
}

double TextWidth(const std::string& text, double size = kFontSize)
{
    return static_cast<double>(CharactersOf(text).size()) * kCharWidth * size;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The time the page states: SOURCE_DATE_EPOCH when set (reproducible builds of documents), else now.
std::string ReportTime()
{
    std::time_t when = std::time(nullptr);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        long long seconds = 0;
        const char* end = epoch + std::char_traits<char>::length(epoch);
        if (const auto [ptr, ec] = std::from_chars(epoch, end, seconds); ec == std::errc() && ptr == end)
            when = static_cast<std::time_t>(seconds);
    }
    std::tm utc {};
    char stamp[32] = "unknown";
    if (gmtime_r(&when, &utc))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M UTC", &utc);
    return stamp;
}

std::string ModifiedTime(const Chart& chart)
{
    struct stat info { };
    std::tm utc {};
    char stamp[32] = "";
    if (stat(chart.Path().c_str(), &info) == 0 && gmtime_r(&info.st_mtime, &utc))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M UTC", &utc);
    return stamp;
}

// Patch indices by decreasing difference; the first of equal differences first.
std::vector<std::size_t> ByDifference(const Comparison& c)
{
    std::vector<std::size_t> order(c.patches.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
        [&](std::size_t a, std::size_t b) { return c.patches[a].dE > c.patches[b].dE; });
    return order;
}

// Whether a patch over the tolerance shows no more than the tolerance with decimals.
bool HidesOver(const Comparison& c, int decimals)
{
    const double tolerance = Rounded(c.tolerance, decimals);
    return std::any_of(c.patches.begin(), c.patches.end(),
        [&](const PatchDifference& p) { return c.Over(p) && Rounded(p.dE, decimals) <= tolerance; });
}

int DeltaEDecimals(const Comparison& c)
{
    int decimals = kMinDecimals;
    while (decimals < kMaxDecimals && c.tolerance >= 0.0 && HidesOver(c, decimals))
        ++decimals;
    return decimals;
}

// What every section takes from the comparison.
struct Page {
    Page(const Comparison& comparison, const ReportOptions& reportOptions)
        : c(comparison)
        , options(reportOptions)
        , srgb(comparison.colorimetry->White())
        , order(ByDifference(comparison))
        , decimals(DeltaEDecimals(comparison))
    { }
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

std::string Title(const Page& page)
{
    if (!page.options.title.empty())
        return Shown(page.options.title);
    return "QC report: " + page.FileName(*page.c.sample) + " against " + page.FileName(*page.c.reference);
}

void Row(HtmlWriter& out, const char* key, const char* label, const std::string& value)
{
    out.Open("tr", { { "data-key", key } }).Element("th", {}, label).Element("td", {}, value);
    out.Close("tr").Literal("\n");
}

// Sample standard deviation (n - 1 in the denominator); none for a single patch.
std::string StandardDeviation(const Page& page)
{
    const Comparison& c = page.c;
    const double n = static_cast<double>(c.patches.size());
    if (c.patches.size() < 2)
        return "\u2014";
    double squares = 0.0;
    for (const PatchDifference& p : c.patches)
        squares += (p.dE - c.mean) * (p.dE - c.mean);
    return page.DeltaE(std::sqrt(squares / (n - 1.0)));
}

// Samples of the sample file that no reference sample was paired with, by name.
std::vector<std::string> Unmatched(const Comparison& c)
{
    std::vector<bool> paired(static_cast<std::size_t>(c.sample->NrSamples(c.tableSmp)), false);
    for (const PatchDifference& p : c.patches)
        paired[static_cast<std::size_t>(p.sample)] = true;
    std::vector<std::string> names;
    for (std::size_t s = 0; s < paired.size(); ++s)
        if (!paired[s])
            names.push_back(Utf8Text(c.sample->SampleName(c.tableSmp, static_cast<int>(s))));
    return names;
}

void Notes(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    if (c.tolerance >= 0.0)
        out.Element("p", { { "class", "note" }, { "id", "rule" } },
               "A patch is over the tolerance when its \u0394E before rounding is greater than the "
               "tolerance; \u0394E is shown with "
                   + std::to_string(page.decimals) + " decimals"
                   + (HidesOver(c, page.decimals)
                           ? ", and a patch shown equal to the tolerance yet marked over exceeds "
                             "it by less than the last digit."
                           : ", enough for every patch over it to show above it."))
            .Literal("\n");
    const std::vector<std::string> unmatched = Unmatched(c);
    if (!unmatched.empty()) {
        std::string list;
        for (const std::string& name : unmatched)
            list += (list.empty() ? "" : ", ") + name;
        out.Element("p", { { "class", "note" }, { "id", "unmatched" } },
               std::to_string(unmatched.size()) + " of " + std::to_string(c.sample->NrSamples(c.tableSmp))
                   + " samples of the sample file have no partner in the reference and are not compared: "
                   + list + ".")
            .Literal("\n");
    }
}

// compare's summary under the page's labels, Delta E with the page's decimals; beside it what only
// the page shows (the files, what they state, the spread).
void SummarySection(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    std::map<std::string, Cell> summary;
    for (SummaryEntry& entry : Summary(c))
        summary.emplace(entry.name, std::move(entry.value));
    // Sample names are made fit to show when the files are compared; other texts are made so here.
    const auto value = [&](const char* key) {
        const Cell& v = summary.at(key);
        if (!v.isNumber)
            return std::string(key) == "max_sample" ? v.text : Shown(v.text);
        return v.decimals == 0 ? v.Shown() : page.DeltaE(v.number);
    };
    out.Literal("<section id=\"summary\"><div class=\"summary\"><table>\n");
    Row(out, "reference", "Reference", page.FileName(*c.reference));
    Row(out, "sample", "Sample", page.FileName(*c.sample));
    Row(out, "formula", "Formula", value("formula"));
    Row(out, "illuminant", "Illuminant", value("illuminant"));
    Row(out, "observer", "Observer", value("observer"));
    Row(out, "integration", "Integration", value("integration"));
    Row(out, "reference_conditions", "Reference states", Shown(c.referenceConditions));
    Row(out, "sample_conditions", "Sample states", Shown(c.sampleConditions));
    if (summary.count("white"))
        Row(out, "white", "White", value("white"));
    out.Literal("</table><table>\n");
    Row(out, "samples", "Samples", value("samples"));
    Row(out, "mean", "Mean \u0394E", value("mean"));
    Row(out, "sd", "Standard deviation", StandardDeviation(page));
    Row(out, "median", "Median \u0394E", value("median"));
    Row(out, "p95", "95th percentile", value("p95"));
    Row(out, "max", "Maximum \u0394E", value("max"));
    Row(out, "max_sample", "Maximum at", value("max_sample"));
    Row(out, "terms", "\u0394L*, \u0394a*, \u0394b*, \u0394C*, \u0394H*", value("terms"));
    if (summary.count("tolerance")) {
        const double over = summary.at("over_tolerance").number;
        const double share = 100.0 * over / static_cast<double>(c.patches.size());
        Row(out, "tolerance", "Tolerance", value("tolerance"));
        Row(out, "over_tolerance", "Over tolerance",
            value("over_tolerance") + " of " + value("samples") + " (" + Num(share, 1) + " %)");
    }
    out.Literal("</table></div>\n");
    Notes(out, page);
    out.Literal("</section>\n");
}

// One stated condition of both files, marked when both state it differently.
void ConditionRow(HtmlWriter& out, const char* key, const char* label, const std::string& reference,
    const std::string& sample, bool compared)
{
    const std::string none = "\u2014";
    const bool differs = compared && !reference.empty() && !sample.empty() && reference != sample;
    HtmlWriter::Attributes attributes = { { "data-key", key } };
    if (differs)
        attributes.emplace_back("class", "differs");
    out.Open("tr", attributes).Element("th", {}, label);
    out.Element("td", {}, reference.empty() ? none : Shown(reference));
    out.Element("td", {}, sample.empty() ? none : Shown(sample)).Close("tr").Literal("\n");
}

std::string Text(const char* text) { return text ? text : ""; }

std::string Instrument(const TCgats& cgats)
{
    const std::string instrumentation = Text(cgats.GetKeywordValue("INSTRUMENTATION"));
    return instrumentation.empty() ? Text(cgats.GetSpectrophotometer()) : instrumentation;
}

std::string Descriptor(const TCgats& cgats)
{
    const std::string descriptor = Text(cgats.GetFileDescriptor());
    return descriptor.empty() ? Text(cgats.GetKeywordValue("DESCRIPTOR")) : descriptor;
}

std::string TableOf(const Chart& chart, int table)
{
    return "table " + std::to_string(table) + ", " + std::to_string(chart.NrSamples(table)) + " samples";
}

void ConditionsSection(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    const TCgats& ref = c.reference->Cgats();
    const TCgats& smp = c.sample->Cgats();
    out.Literal(
        "<section id=\"conditions\"><div class=\"keep\"><h2>Files and conditions</h2>\n"
        "<table class=\"conditions\"><thead><tr><th></th><th>Reference</th><th>Sample</th></tr></thead>"
        "<tbody>\n");
    out.Open("tr", { { "data-key", "file" } }).Element("th", {}, "File");
    out.Element("td", {}, page.FileName(*c.reference)).Element("td", {}, page.FileName(*c.sample));
    out.Close("tr").Literal("\n");
    ConditionRow(
        out, "originator", "Originator", Text(ref.GetOriginator()), Text(smp.GetOriginator()), false);
    ConditionRow(out, "descriptor", "Descriptor", Descriptor(ref), Descriptor(smp), false);
    ConditionRow(out, "created", "Created", Text(ref.GetCreated()), Text(smp.GetCreated()), false);
    ConditionRow(out, "modified", "Modified", ModifiedTime(*c.reference), ModifiedTime(*c.sample), false);
    ConditionRow(out, "instrument", "Instrument", Instrument(ref), Instrument(smp), false);
    ConditionRow(out, "measurement_condition", "Measurement condition", ref.GetMeasurementCondition(),
        smp.GetMeasurementCondition(), true);
    ConditionRow(out, "weighting_function", "Weighting function", ref.GetWeightingFunction(),
        smp.GetWeightingFunction(), true);
    ConditionRow(
        out, "table", "Compared", TableOf(*c.reference, c.tableRef), TableOf(*c.sample, c.tableSmp), false);
    out.Literal("</tbody></table>\n");
    out.Element("p", { { "class", "note" }, { "id", "made" } },
        "Colour differences by " + Shown(c.FormulaName()) + " from CIELAB under "
            + Shown(c.colorimetry->Describe()) + ". Made by tintvale "
            + Shown(TintvaleGetVersion(nullptr, nullptr, nullptr)) + " on " + ReportTime()
            + ". Conditions both files state differently are in red.");
    out.Literal("</div></section>\n");
}

// Columns of the drawn chart: the file's row length, else a near-square grid; never more than the
// patches.
int ChartColumns(const Comparison& c)
{
    const int n = static_cast<int>(c.patches.size());
    const int rowLength = c.reference->Cgats().GetRowLength();
    if (rowLength > 1)
        return std::min(rowLength, n);
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
}

void Rect(HtmlWriter& out, int x, int y, int w, int h, HtmlWriter::Attributes attributes)
{
    HtmlWriter::Attributes all;
    if (x != 0 || y != 0)
        all = { { "x", std::to_string(x) }, { "y", std::to_string(y) } };
    all.emplace_back("width", std::to_string(w));
    all.emplace_back("height", std::to_string(h));
    all.insert(all.end(), attributes.begin(), attributes.end());
    out.EmptyElement("rect", all);
}

// A triangle in the top right corner of a square at x, y of side size: the colour there was clipped.
void ClipMark(HtmlWriter& out, int x, int y, int size)
{
    const int s = size / 4;
    out.EmptyElement("path",
        { { "class", "clipmark" },
            { "d",
                "M" + std::to_string(x + size - s) + " " + std::to_string(y) + "h" + std::to_string(s) + "v"
                    + std::to_string(s) + "z" } });
}

// One cell of the chart; label empty: drawn without text, which would be too small to read.
void Patch(HtmlWriter& out, const Page& page, const PatchDifference& p, const std::string& label, int column,
    int row)
{
    const Comparison& c = page.c;
    const Srgb8 ref = page.srgb.FromLab(p.labRef);
    const Srgb8 smp = page.srgb.FromLab(p.labSmp);
    const bool over = c.Over(p);
    const std::string ink = p.labRef[0] < kLightText ? "light" : "dark";
    out.Open("g",
        { { "class",
              std::string("patch") + (over ? " over" : "") + (ref.clipped || smp.clipped ? " clipped" : "") },
            { "transform",
                "translate(" + std::to_string(column * kPitch) + "," + std::to_string(row * kPitch)
                    + ")" } });
    out.Element("title", {},
        p.name + ": \u0394E " + page.DeltaE(p.dE) + (ref.clipped ? "; reference clipped to sRGB" : "")
            + (smp.clipped ? "; sample clipped to sRGB" : ""));
    Rect(out, 0, 0, kCell, kCell, { { "fill", ref.Hex() } });
    Rect(out, kInset, kInset, kCell - 2 * kInset, kCell - 2 * kInset, { { "fill", smp.Hex() } });
    if (ref.clipped)
        ClipMark(out, 0, 0, kCell);
    if (smp.clipped)
        ClipMark(out, kInset, kInset, kCell - 2 * kInset);
    if (over)
        Rect(out, -2, -2, kCell + 4, kCell + 4, { { "class", "outline" } });
    if (!label.empty()) {
        out.Element("text", { { "class", "lbl " + ink }, { "x", "5" }, { "y", "14" } }, label);
        out.Element("text", { { "class", "de " + ink }, { "x", "5" }, { "y", "84" } }, page.DeltaE(p.dE));
    }
    out.Close("g").Literal("\n");
}

// Rows first to last of the chart as one drawing, a margin of half a gap all round keeping the
// outlines of edge patches inside.
void ChartDrawing(HtmlWriter& out, const Page& page, const std::vector<std::string>& labels, int columns,
    int first, int last)
{
    const int n = static_cast<int>(page.c.patches.size());
    const int margin = (kPitch - kCell) / 2;
    const int width = columns * kPitch - (kPitch - kCell) + 2 * margin;
    const int height = (last - first) * kPitch - (kPitch - kCell) + 2 * margin;
    out.Open("svg",
        { { "xmlns", kSvgNamespace },
            { "viewBox",
                std::to_string(-margin) + " " + std::to_string(-margin) + " " + std::to_string(width) + " "
                    + std::to_string(height) },
            { "width", std::to_string(width) }, { "role", "img" }, { "aria-label", "chart" } });
    out.Literal("\n");
    for (int s = first * columns; s < std::min(n, last * columns); ++s)
        Patch(out, page, page.c.patches[s], labels.empty() ? std::string() : labels[s], s % columns,
            s / columns - first);
    out.Close("svg").Literal("\n");
}

void ChartSection(HtmlWriter& out, const Page& page)
{
    const int columns = ChartColumns(page.c);
    const int n = static_cast<int>(page.c.patches.size());
    const int rows = (n + columns - 1) / columns;
    const bool legible = columns <= kLegibleColumns;
    const std::vector<std::string> labels
        = legible ? ShortNames(page.c, kNameLength) : std::vector<std::string>();
    // Drawings a printed page high: the scale shrinks a wide chart, so more of its rows fit.
    const double scale = std::min(1.0, kPageWidth / (columns * kPitch));
    const int rowsPerDrawing = std::max(1, static_cast<int>(kPageHeight / (kPitch * scale)));
    out.Literal("<section id=\"chart\"><div class=\"keep\"><h2>Chart</h2>");
    out.Element("p", { { "class", "note" } },
        std::to_string(columns)
            + " patches a row. Each patch is the reference colour with the sample colour inset"
            + (legible ? ", its name and \u0394E"
                       : " (names and \u0394E in the table; too many columns to label)")
            + "; outlined in red: over the tolerance; black corner: colour outside sRGB, clipped.");
    out.Literal("\n");
    for (int first = 0; first < rows; first += rowsPerDrawing)
        ChartDrawing(out, page, labels, columns, first, std::min(rows, first + rowsPerDrawing));
    out.Literal("</div></section>\n");
}

// A round step for about count axis divisions of span: 1, 2 or 5 times a power of ten.
double NiceStep(double span, int count)
{
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : { 1.0, 2.0, 5.0 })
        if (raw <= m * power)
            return m * power;
    return 10.0 * power;
}

// An axis from 0 to top in steps of step; top past the largest value given, on a step.
struct Axis {
    explicit Axis(double largest, double smallestStep = 0.0)
    {
        top = std::max(largest, kSmallestTop);
        step = std::max(NiceStep(top, 5), smallestStep);
        top = std::ceil(top / step) * step;
    }
    int Steps() const { return static_cast<int>(std::lround(top / step)); }
    int Decimals() const { return step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9)); }

    static constexpr double kSmallestTop = 0.01;
    double top;
    double step;
};

// The Delta E axis: past the largest difference and the tolerance.
Axis DeltaEAxis(const Comparison& c)
{
    const bool tolerance = c.tolerance >= 0.0 && std::isfinite(c.tolerance);
    return Axis(std::max(c.patches[c.worst].dE, tolerance ? c.tolerance : 0.0));
}

// The plotting area inside a viewBox of width by height; below and right of it, room for labels.
struct Plot {
    Plot(double bottom = kBottom, double right = kRight, double plotHeight = kPlotHeight)
        : height(plotHeight)
        , x1(kPlotWidth - right)
        , y0(plotHeight - bottom)
    { }
    double X(double fraction) const { return x0 + fraction * (x1 - x0); }
    double Y(double fraction) const { return y0 + fraction * (y1 - y0); }

    double width = kPlotWidth, height;
    double x0 = kLeft, x1, y0, y1 = kTop;
};

// An SVG drawing of plot; the caller writes its body and closes it (CloseSvg).
void OpenSvg(HtmlWriter& out, const Plot& plot, const std::string& cls, const std::string& label)
{
    out.Open("svg",
        { { "xmlns", kSvgNamespace }, { "class", cls },
            { "viewBox", "0 0 " + Num(plot.width, 0) + " " + Num(plot.height, 0) }, { "role", "img" },
            { "aria-label", label } });
    out.Literal("\n");
}

void CloseSvg(HtmlWriter& out) { out.Close("svg").Literal("\n"); }

void Line(HtmlWriter& out, double xa, double ya, double xb, double yb, const char* cls)
{
    out.EmptyElement("line",
        { { "class", cls }, { "x1", Num(xa, 1) }, { "y1", Num(ya, 1) }, { "x2", Num(xb, 1) },
            { "y2", Num(yb, 1) } });
}

void Label(HtmlWriter& out, double x, double y, const char* anchor, const std::string& text,
    const char* cls = nullptr)
{
    HtmlWriter::Attributes attributes;
    if (cls)
        attributes.emplace_back("class", cls);
    attributes.insert(
        attributes.end(), { { "x", Num(x, 1) }, { "y", Num(y, 1) }, { "text-anchor", anchor } });
    out.Element("text", attributes, text);
}

// A label beside a vertical line at x: right of it where it fits, else left.
void Beside(HtmlWriter& out, const Plot& plot, double x, double y, const std::string& text)
{
    const bool right = x + kLabelGap + TextWidth(text) <= plot.width - 2.0;
    Label(out, right ? x + kLabelGap : x - kLabelGap, y, right ? "start" : "end", text, "halo");
}

// A label rotated by -90 degrees, centred at height y, left of the value labels.
void YTitle(HtmlWriter& out, double y, const std::string& text)
{
    out.Element("text",
        { { "transform", "translate(14," + Num(y, 1) + ") rotate(-90)" }, { "text-anchor", "middle" } },
        text);
    out.Literal("\n");
}

// Horizontal grid lines with their values.
void ValueAxis(HtmlWriter& out, const Plot& plot, const Axis& axis, const std::string& unit)
{
    for (int k = 0; k <= axis.Steps(); ++k) {
        const double y = plot.Y(k * axis.step / axis.top);
        Line(out, plot.x0, y, plot.x1, y, "grid");
        Label(out, plot.x0 - 6, y + 4, "end", Num(k * axis.step, axis.Decimals()) + unit);
    }
    out.Literal("\n");
}

// The values of axis along the bottom, and the axis line.
void ValueTicks(HtmlWriter& out, const Plot& plot, const Axis& axis, const std::string& title)
{
    for (int k = 0; k <= axis.Steps(); ++k)
        Label(out, plot.X(k * axis.step / axis.top), plot.y0 + 16, "middle",
            Num(k * axis.step, axis.Decimals()));
    Line(out, plot.x0, plot.y0, plot.x1, plot.y0, "axis");
    Label(out, (plot.x0 + plot.x1) / 2, plot.y0 + 34, "middle", title);
    out.Literal("\n");
}

// The tolerance across a vertical value axis, labelled at the left end of its line.
void ToleranceAcross(HtmlWriter& out, const Page& page, const Plot& plot, const Axis& axis)
{
    const Comparison& c = page.c;
    if (c.tolerance < 0.0 || c.tolerance > axis.top)
        return;
    const double y = plot.Y(c.tolerance / axis.top);
    // Below the line when there is no room above it.
    const double labelY = y - 5.0 - kFontSize < 0.0 ? y + kFontSize + 3.0 : y - 5.0;
    Line(out, plot.x0, y, plot.x1, y, "tol");
    Label(out, plot.x0 + kLabelGap, labelY, "start", "tolerance " + page.DeltaE(c.tolerance), "halo");
    out.Literal("\n");
}

// Bar names rise at kBarNameAngle from the axis, ending under their bar.
void BarName(HtmlWriter& out, double x, double y, const std::string& name)
{
    out.Element("text",
        { { "class", "name" },
            { "transform",
                "translate(" + Num(x, 1) + "," + Num(y, 1) + ") rotate(-" + Num(kBarNameAngle, 0) + ")" },
            { "text-anchor", "end" } },
        name);
}

// One bar a patch in chart order, named under the bar for few patches, else numbered along the axis.
void BarChart(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    const std::size_t count = c.patches.size();
    const bool named = count <= kNamedBars;
    const std::vector<std::string> names = named ? ShortNames(c, kBarNameLength) : std::vector<std::string>();
    double longest = 0.0;
    for (const std::string& name : names)
        longest = std::max(longest, TextWidth(name));
    const double sine = std::sin(kBarNameAngle * kRadiansPerDegree);
    const double bottom = named ? 10.0 + longest * sine + kFontSize : kBottom;
    const Plot plot(bottom, kRight, kPlotHeight - kBottom + bottom);
    const Axis axis = DeltaEAxis(c);
    const double n = static_cast<double>(count);
    const double width = (plot.x1 - plot.x0) / n;
    OpenSvg(out, plot, "plot bars", "Delta E per patch");
    ValueAxis(out, plot, axis, "");
    for (std::size_t s = 0; s < count; ++s) {
        const PatchDifference& p = c.patches[s];
        const double x = plot.X(static_cast<double>(s) / n);
        const double y = plot.Y(p.dE / axis.top);
        out.Open("rect",
            { { "class", c.Over(p) ? "bar over" : "bar" }, { "x", Num(x + 0.1 * width, 2) },
                { "y", Num(y, 1) }, { "width", Num(0.8 * width, 2) }, { "height", Num(plot.y0 - y, 1) } });
        out.Element("title", {}, p.name + ": " + page.DeltaE(p.dE)).Close("rect");
        if (named)
            BarName(out, x + 0.5 * width + 3, plot.y0 + 6, names[s]);
        out.Literal("\n");
    }
    if (!named) {
        const double step = std::max(1.0, NiceStep(n, 10));
        for (double k = step; k <= n; k += step)
            Label(out, plot.X((k - 0.5) / n), plot.y0 + 16, "middle", Num(k, 0));
        Label(out, (plot.x0 + plot.x1) / 2, plot.y0 + 34, "middle",
            "patch (chart order, as numbered in the table)");
    }
    ToleranceAcross(out, page, plot, axis);
    Line(out, plot.x0, plot.y0, plot.x1, plot.y0, "axis");
    YTitle(out, plot.Y(0.5), "\u0394E");
    CloseSvg(out);
}

// How many patches fall into each Delta E bin of width, those within the tolerance and those over
// it stacked.
void Histogram(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    const Axis axis = DeltaEAxis(c);
    const double width = NiceStep(axis.top, kHistogramBins);
    const std::size_t bins = static_cast<std::size_t>(std::ceil(axis.top / width - 1e-9));
    std::vector<int> within(bins, 0), over(bins, 0);
    for (const PatchDifference& p : c.patches) {
        const std::size_t bin = std::min(bins - 1, static_cast<std::size_t>(p.dE / width));
        ++(c.Over(p) ? over : within)[bin];
    }
    int most = 1;
    for (std::size_t b = 0; b < bins; ++b)
        most = std::max(most, within[b] + over[b]);
    const Plot plot;
    const Axis counts(most, 1.0);
    OpenSvg(out, plot, "plot histogram", "patches per Delta E");
    ValueAxis(out, plot, counts, "");
    const auto bar = [&](double from, int below, int count, const char* cls) {
        if (count == 0)
            return;
        // The last bin ends at the end of the axis.
        const double x = plot.X(from / axis.top);
        const double w = plot.X(std::min(from + width, axis.top) / axis.top) - x;
        const double yTop = plot.Y((below + count) / counts.top), yBottom = plot.Y(below / counts.top);
        out.Open("rect",
            { { "class", cls }, { "data-count", std::to_string(count) }, { "x", Num(x + 0.05 * w, 2) },
                { "y", Num(yTop, 1) }, { "width", Num(0.9 * w, 2) }, { "height", Num(yBottom - yTop, 1) } });
        out.Element("title", {},
            "\u0394E " + Num(from, axis.Decimals() + 1) + " to " + Num(from + width, axis.Decimals() + 1)
                + ": " + std::to_string(count));
        out.Close("rect");
    };
    for (std::size_t b = 0; b < bins; ++b) {
        const double from = static_cast<double>(b) * width;
        bar(from, 0, within[b], "bar");
        bar(from, within[b], over[b], "bar over");
        out.Literal("\n");
    }
    if (c.tolerance >= 0.0 && c.tolerance <= axis.top) {
        const double x = plot.X(c.tolerance / axis.top);
        Line(out, x, plot.y0, x, plot.y1, "tol");
        Beside(out, plot, x, plot.y1 + kFontSize, "tolerance " + page.DeltaE(c.tolerance));
    }
    ValueTicks(out, plot, axis, "\u0394E");
    YTitle(out, plot.Y(0.5), "patches");
    CloseSvg(out);
}

void BarsSection(HtmlWriter& out, const Page& page)
{
    const bool histogram = page.c.patches.size() > kHistogramAbove;
    const std::string tolerance = page.c.tolerance >= 0.0 ? "; red: over the tolerance (dashed line)" : "";
    const std::string note
        = histogram ? "Patches per \u0394E interval" + tolerance + "." : "In chart order" + tolerance + ".";
    out.Literal("<section id=\"bars\"><div class=\"keep\">");
    out.Element("h2", {}, histogram ? "Distribution of \u0394E" : "\u0394E per patch");
    out.Element("p", { { "class", "note" } }, note).Literal("\n");
    if (histogram)
        Histogram(out, page);
    else
        BarChart(out, page);
    out.Literal("</div></section>\n");
}

void CdfSection(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    const Plot plot;
    const Axis axis = DeltaEAxis(c);
    const double top = axis.top;
    std::vector<double> sorted;
    for (const PatchDifference& p : c.patches)
        sorted.push_back(p.dE);
    std::sort(sorted.begin(), sorted.end());
    const double n = static_cast<double>(sorted.size());
    out.Literal("<section id=\"cdf\"><div class=\"keep\"><h2>Cumulative distribution</h2>\n");
    OpenSvg(out, plot, "plot", "cumulative distribution of Delta E");
    ValueAxis(out, plot, Axis(100.0), "%");
    // The empirical distribution: a step up by 1/n at every difference.
    std::string path = "M" + Num(plot.x0, 1) + " " + Num(plot.y0, 1);
    for (std::size_t i = 0; i < sorted.size(); ++i)
        path += "H" + Num(plot.X(sorted[i] / top), 1) + "V" + Num(plot.Y(static_cast<double>(i + 1) / n), 1);
    out.EmptyElement("path", { { "class", "cdf" }, { "d", path + "H" + Num(plot.x1, 1) } }).Literal("\n");
    // Labels beside their lines, each on a line of its own so that close values stay readable.
    std::vector<std::pair<double, std::string>> marks = { { c.median, "median" }, { c.p95, "p95" } };
    if (c.tolerance >= 0.0 && c.tolerance <= top)
        marks.emplace_back(c.tolerance, "tolerance");
    double labelY = plot.Y(0.5);
    for (const auto& [value, name] : marks) {
        const double x = plot.X(value / top);
        Line(out, x, plot.y0, x, plot.y1, name == "tolerance" ? "tol" : "mark");
        Beside(out, plot, x, labelY, name + " " + page.DeltaE(value));
        labelY += kLineSpacing;
    }
    ValueTicks(out, plot, axis, "\u0394E (share of patches at or below)");
    CloseSvg(out);
    out.Literal("</div></section>\n");
}

// The square of the a*b* plot and the magnification of its arrows.
struct AbScale {
    AbScale(double largest, double typical, double longestShift)
        : axis(largest)
        , unit(kAbSize / (2.0 * axis.top))
        , longest(longestShift)
    {
        for (double m : kMagnifications)
            if (typical * m * unit <= kTypicalArrow && longest * m * unit <= kLongestArrow * kAbSize)
                magnification = m;
    }
    Axis axis;
    double unit; // drawing units per CIELAB unit
    double longest; // shift in a*b*
    double magnification = 1.0;
};

// A scale whose square holds every reference and the end of every magnified arrow.
AbScale AbScaleOf(const Comparison& c)
{
    double largest = 0.0;
    std::vector<double> shifts;
    for (const PatchDifference& p : c.patches) {
        for (int k = 1; k < 3; ++k)
            largest = std::max({ largest, std::fabs(p.labRef[k]), std::fabs(p.labSmp[k]) });
        shifts.push_back(std::hypot(p.labSmp[1] - p.labRef[1], p.labSmp[2] - p.labRef[2]));
    }
    std::sort(shifts.begin(), shifts.end());
    const double typical
        = shifts[static_cast<std::size_t>(kQuartile * static_cast<double>(shifts.size() - 1))];
    // A wider square draws arrows shorter, so that a few widenings settle.
    for (int attempt = 0;; ++attempt) {
        const AbScale scale(largest, typical, shifts.back());
        double reach = 0.0;
        for (const PatchDifference& p : c.patches)
            for (int k = 1; k < 3; ++k)
                reach = std::max(
                    reach, std::fabs(p.labRef[k] + scale.magnification * (p.labSmp[k] - p.labRef[k])));
        if (reach <= scale.axis.top || attempt == kAbWidenings)
            return scale;
        largest = reach;
    }
}

// The a*b* plane: an arrow from each reference to its sample, magnified so that small shifts show.
void AbSection(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    const AbScale scale = AbScaleOf(c);
    const Axis& axis = scale.axis;
    const double range = axis.top, unit = scale.unit, magnification = scale.magnification,
                 longest = scale.longest;
    const double x0 = kLeft, y0 = kTop + kAbSize;
    const auto X = [&](double a) { return x0 + (a + range) * unit; };
    const auto Y = [&](double b) { return y0 - (b + range) * unit; };
    // The scale: a bar as long as the arrow of a round shift no longer than the longest.
    const double power = std::pow(10.0, std::floor(std::log10(longest > 0.0 ? longest : 1.0)));
    double shift = power;
    for (double m : { 2.0, 5.0 })
        if (m * power <= longest)
            shift = m * power;
    const std::string shiftText
        = Num(shift, power >= 1.0 ? 0 : static_cast<int>(std::lround(-std::log10(power))));
    Plot plot;
    plot.width = x0 + kAbSize + kRight;
    plot.height = y0 + kBottom;

    out.Literal("<section id=\"ab\"><div class=\"keep\"><h2>Shifts in a*b*</h2><p class=\"note\">Each arrow "
                "runs from the reference's a*, b* (a dot in its colour) to the sample's, drawn ");
    out.Text(Num(magnification, 0)).Literal(" times its length");
    if (magnification > 1.0)
        out.Literal(" so that small shifts show");
    out.Literal("; the bar at the bottom right is the arrow of a shift of ").Text(shiftText);
    out.Literal(" in a*b*. Differences in L* are not shown.</p>\n");
    OpenSvg(out, plot, "square", "a*b* shifts");
    out.Literal(
        "<defs><marker id=\"arrow\" viewBox=\"0 0 8 8\" refX=\"7\" refY=\"4\" markerWidth=\"5\" "
        "markerHeight=\"5\" orient=\"auto\"><path d=\"M0 0L8 4L0 8z\" fill=\"#39414c\"/></marker></defs>\n");
    for (int k = -axis.Steps(); k <= axis.Steps(); ++k) {
        const double v = k * axis.step;
        const char* cls = k == 0 ? "zero" : "grid";
        Line(out, X(v), Y(-range), X(v), Y(range), cls);
        Line(out, X(-range), Y(v), X(range), Y(v), cls);
        Label(out, X(v), y0 + 16, "middle", Num(v, axis.Decimals()));
        Label(out, x0 - 6, Y(v) + 4, "end", Num(v, axis.Decimals()));
    }
    Label(out, X(0.0), y0 + 34, "middle", "a*");
    YTitle(out, Y(0.0), "b*");
    for (const PatchDifference& p : c.patches) {
        const double xa = X(p.labRef[1]), ya = Y(p.labRef[2]);
        const double xb = xa + (p.labSmp[1] - p.labRef[1]) * magnification * unit;
        const double yb = ya - (p.labSmp[2] - p.labRef[2]) * magnification * unit;
        out.EmptyElement("circle",
            { { "class", "start" }, { "cx", Num(xa, 1) }, { "cy", Num(ya, 1) }, { "r", "2.5" },
                { "fill", page.srgb.FromLab(p.labRef).Hex() } });
        if (std::hypot(xb - xa, yb - ya) >= kArrowHead)
            out.EmptyElement("line",
                { { "class", "shift" }, { "x1", Num(xa, 1) }, { "y1", Num(ya, 1) }, { "x2", Num(xb, 1) },
                    { "y2", Num(yb, 1) }, { "marker-end", "url(#arrow)" } });
        out.Literal("\n");
    }
    const double barEnd = X(range) - 8.0, barStart = barEnd - shift * magnification * unit;
    Line(out, barStart, Y(-range) - 10.0, barEnd, Y(-range) - 10.0, "scale");
    Label(out, barEnd, Y(-range) - 16.0, "end",
        "\u00d7" + Num(magnification, 0) + ": a shift of " + shiftText, "halo");
    out.Literal("\n");
    CloseSvg(out);
    out.Literal("</div></section>\n");
}

struct Curve {
    std::vector<int> nm;
    std::vector<double> values;
};

Curve SpectrumOf(const Chart& chart, int table, int sample)
{
    Curve curve;
    if (chart.Cgats().GetWaveLengths(table, curve.nm) != 0
        || chart.Cgats().GetSpectrum(table, sample, curve.values) != 0 || curve.nm.empty()
        || curve.values.size() != curve.nm.size())
        chart.Fail("the spectrum of sample " + std::to_string(sample + 1) + " cannot be read");
    return curve;
}

// The wavelengths and the largest value the curves span.
struct Extent {
    void Add(const Curve& curve)
    {
        nm0 = std::min<double>(nm0, curve.nm.front());
        nm1 = std::max<double>(nm1, curve.nm.back());
        for (double v : curve.values)
            largest = std::max(largest, std::isfinite(v) ? v : 0.0);
    }
    double nm0 = 1e9, nm1 = -1e9, largest = 0.0;
};

struct SpectraFrame {
    Plot plot;
    double nm0, nm1, top;
    double X(double nm) const { return plot.X((nm - nm0) / (nm1 - nm0)); }
    double Y(double value) const { return plot.Y(std::clamp(value / top, -0.05, 1.05)); }
};

void Polyline(HtmlWriter& out, const Curve& curve, const SpectraFrame& frame, const std::string& cls,
    const std::string& colour)
{
    std::string points;
    for (std::size_t i = 0; i < curve.nm.size(); ++i)
        points += (i ? " " : "") + Num(frame.X(curve.nm[i]), 1) + "," + Num(frame.Y(curve.values[i]), 1);
    out.EmptyElement("polyline", { { "class", cls }, { "stroke", colour }, { "points", points } })
        .Literal("\n");
}

// Heights of labels at ys, moved apart to at least kLineSpacing and kept between top and bottom.
std::vector<double> Spread(const std::vector<double>& ys, double top, double bottom)
{
    std::vector<std::size_t> order(ys.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return ys[a] < ys[b]; });
    std::vector<double> out(ys);
    double next = top;
    for (std::size_t i : order)
        next = (out[i] = std::max(ys[i], next)) + kLineSpacing;
    double limit = bottom;
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        limit = (out[*it] = std::min(out[*it], limit)) - kLineSpacing;
    return out;
}

void SpectraSection(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    if (c.reference->Offers(c.tableRef) != ColourData::Spectrum
        || c.sample->Offers(c.tableSmp) != ColourData::Spectrum)
        return;
    const std::size_t count = std::min(kWorstSpectra, page.order.size());
    std::vector<std::pair<Curve, Curve>> curves;
    std::vector<std::string> names;
    Extent extent;
    for (std::size_t k = 0; k < count; ++k) {
        const PatchDifference& p = c.patches[page.order[k]];
        curves.emplace_back(
            SpectrumOf(*c.reference, c.tableRef, p.reference), SpectrumOf(*c.sample, c.tableSmp, p.sample));
        extent.Add(curves.back().first);
        extent.Add(curves.back().second);
        names.push_back(p.name);
    }
    std::vector<std::string> labels = DistinctNames(names, kSpectrumNameLength);
    const SpectraFrame frame { Plot(kBottom, kSpectraRight), extent.nm0,
        std::max(extent.nm1, extent.nm0 + 1.0), Axis(extent.largest).top };
    const Axis axis(extent.largest);
    out.Literal("<section id=\"spectra\"><div class=\"keep\"><h2>Spectra of the worst patches</h2><p "
                "class=\"note\">Reflectance factor, each patch in its own colour (outlined when light); "
                "reference solid, sample dashed.</p>\n");
    OpenSvg(out, frame.plot, "plot", "spectra");
    ValueAxis(out, frame.plot, axis, "");
    const double nmStep = NiceStep(frame.nm1 - frame.nm0, 7);
    for (double nm = std::ceil(frame.nm0 / nmStep) * nmStep; nm <= frame.nm1; nm += nmStep)
        Label(out, frame.X(nm), frame.plot.y0 + 16, "middle", Num(nm, 0));
    HtmlWriter legend;
    legend.Open("ul", { { "class", "legend" } });
    std::vector<double> ends;
    for (std::size_t k = 0; k < count; ++k) {
        const PatchDifference& p = c.patches[page.order[k]];
        const std::string colour = page.srgb.FromLab(p.labRef).Hex();
        const bool light = p.labRef[0] > kLightLine;
        if (light) {
            Polyline(out, curves[k].first, frame, "ref outline", colour);
            Polyline(out, curves[k].second, frame, "smp outline", colour);
        }
        Polyline(out, curves[k].first, frame, "ref", colour);
        Polyline(out, curves[k].second, frame, "smp", colour);
        ends.push_back(frame.Y(curves[k].first.values.back()) + 4.0);
        legend.Open("li");
        legend.Element(
            "span", { { "class", light ? "key light" : "key" }, { "style", "border-color:" + colour } }, "");
        legend.Text(p.name + " (\u0394E " + page.DeltaE(p.dE) + ")").Close("li");
    }
    const std::vector<double> at = Spread(ends, frame.plot.y1 + kFontSize, frame.plot.y0 + 4.0);
    for (std::size_t k = 0; k < count && !labels.empty(); ++k)
        Label(out, frame.plot.x1 + 6.0, at[k], "start", labels[k], "name");
    Line(out, frame.plot.x0, frame.plot.y0, frame.plot.x1, frame.plot.y0, "axis");
    Label(out, (frame.plot.x0 + frame.plot.x1) / 2, frame.plot.y0 + 34, "middle", "wavelength (nm)");
    out.Literal("\n");
    CloseSvg(out);
    out.Append(legend.Close("ul")).Literal("</div></section>\n");
}

// The grouped verdicts of a tolerance set.
void ToleranceSection(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    if (!c.tolerances)
        return;
    const ToleranceResult& t = *c.tolerances;
    out.Literal("<section id=\"tolerances\"><div class=\"keep\">");
    out.Element("h2", {}, "Tolerances: " + Shown(t.set.name));
    out.Element("p", { { "class", "note" } }, Shown(t.set.source));
    out.Literal(
        "\n<table class=\"patches groups\"><thead><tr><th class=\"name\">Group</th>"
        "<th class=\"name\">Patches</th><th>Metric</th><th>Count</th><th>Mean</th><th>p95</th><th>Max</th>"
        "<th class=\"name\">Verdict</th></tr></thead><tbody>\n");
    for (const GroupResult& g : t.groups) {
        const bool empty = g.count == 0;
        auto stat = [&](double value, const Limit& limit) {
            std::string cell = empty ? "\u2013" : Num(value, 2);
            if (limit.present)
                cell += " / " + (limit.hasWarn ? Num(limit.warn, 2) + ", " : std::string())
                    + Num(limit.fail, 2);
            out.Element("td", {}, cell);
        };
        const char* verdict = VerdictName(g.verdict);
        out.Open("tr", { { "class", verdict } });
        out.Element("td", { { "class", "name" } }, Shown(g.group.name));
        out.Element("td", { { "class", "name" } }, Shown(g.group.select.text));
        out.Element("td", {}, Shown(g.group.metric)).Element("td", {}, std::to_string(g.count));
        stat(g.mean, g.group.mean);
        stat(g.p95, g.group.p95);
        stat(g.max, g.group.max);
        out.Element("td", { { "class", "name verdict-cell" } }, verdict).Close("tr").Literal("\n");
    }
    out.Literal(
        "</tbody></table><p class=\"note\">Each statistic: the value / its limits (warn, fail); a value "
        "equal to a limit passes. Overall: <b>");
    out.Text(VerdictName(t.verdict)).Literal("</b>.</p></div></section>\n");
}

// Tone value increase curves of the reference (solid) and the sample (dashed), from densities where
// a file has spectra, else as spot colour tone values; files without tints draw none.
void TviSection(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    struct Drawn {
        const char* cls;
        ToneValues tv;
        std::string method;
    };
    std::vector<Drawn> drawn;
    const std::pair<const Chart*, const char*> files[]
        = { { c.reference.get(), "ref" }, { c.sample.get(), "smp" } };
    for (const auto& [chart, cls] : files) {
        ToneOptions options;
        options.table = chart == c.reference.get() ? c.tableRef : c.tableSmp;
        options.method = chart->Offers(options.table) == ColourData::Spectrum ? "density" : "sctv";
        try {
            ToneValues tv = ComputeToneValues(*chart, *c.colorimetry, options);
            if (!tv.channels.empty())
                drawn.push_back({ cls, std::move(tv), options.method });
        } catch (const ToolError&) {
            // No tints, no paper or no solid: that file has no curve to draw.
        }
    }
    if (drawn.empty())
        return;
    double largest = 1.0;
    for (const Drawn& d : drawn)
        for (const ToneChannel& ch : d.tv.channels)
            for (const TonePoint& p : ch.points)
                largest = std::max(largest, p.tvi);
    const Plot plot;
    const Axis axis(largest);
    out.Literal(
        "<section id=\"tvi\"><div class=\"keep\"><h2>Tone value increase</h2><p class=\"note\">Tone value "
        "minus nominal, by Murray\u2013Davies from ISO Status T densities relative to the paper (spot "
        "colour tone value where a file has no spectra); reference solid, sample dashed.</p>\n");
    OpenSvg(out, plot, "plot", "tone value increase");
    ValueAxis(out, plot, axis, "");
    for (int k = 0; k <= 100; k += 10)
        Label(out, plot.X(k / 100.0), plot.y0 + 16, "middle", std::to_string(k));
    HtmlWriter legend;
    legend.Open("ul", { { "class", "legend" } });
    for (const Drawn& d : drawn)
        for (std::size_t k = 0; k < d.tv.channels.size(); ++k) {
            const ToneChannel& ch = d.tv.channels[k];
            const char* colour = ch.name == "C" ? "#0093d0"
                : ch.name == "M"                ? "#d6007e"
                : ch.name == "Y"                ? "#e6b800"
                : ch.name == "K"                ? "#222"
                                                : kChannelColours[k % std::size(kChannelColours)];
            std::string points = Num(plot.X(0.0), 1) + "," + Num(plot.Y(0.0), 1);
            for (const TonePoint& p : ch.points)
                points += " " + Num(plot.X(p.nominal / 100.0), 1) + ","
                    + Num(plot.Y(std::clamp(p.tvi / axis.top, -0.05, 1.05)), 1);
            points += " " + Num(plot.X(1.0), 1) + "," + Num(plot.Y(0.0), 1);
            const bool sample = std::string(d.cls) == "smp";
            out.Open("polyline", { { "class", d.cls }, { "stroke", colour }, { "points", points } });
            out.Element("title", {}, Shown(ch.name)).Close("polyline").Literal("\n");
            legend.Open("li").Element("span",
                { { "class", "key" },
                    { "style",
                        "border-color:" + std::string(colour)
                            + (sample ? ";border-top-style:dashed" : "") } },
                "");
            legend.Text((sample ? "sample " : "reference ") + Shown(ch.name)
                + (ch.filter.empty() ? " (spot colour tone value)" : " (filter " + Shown(ch.filter) + ")"));
            legend.Close("li");
        }
    Line(out, plot.x0, plot.y0, plot.x1, plot.y0, "axis");
    Label(out, (plot.x0 + plot.x1) / 2, plot.y0 + 34, "middle", "nominal tone value (%)");
    YTitle(out, plot.Y(0.5), "TVI (%)");
    CloseSvg(out);
    out.Append(legend.Close("ul")).Literal("</div></section>\n");
}

// A table swatch as a drawing, which prints where a cell background would not.
void Swatch(HtmlWriter& out, const Srgb8& colour)
{
    HtmlWriter::Attributes attributes = { { "class", colour.clipped ? "sw clip" : "sw" } };
    if (colour.clipped)
        attributes.emplace_back("title", "clipped to sRGB");
    out.Open("td", attributes).Open("svg", { { "xmlns", kSvgNamespace } });
    out.EmptyElement("rect", { { "width", "26" }, { "height", "16" }, { "fill", colour.Hex() } });
    out.Close("svg").Close("td");
}

void TableSection(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    out.Literal(
        "<section id=\"table\"><h2>Patches by \u0394E</h2>\n<table class=\"patches\"><thead><tr><th>#</th>"
        "<th>No.</th><th class=\"name\">Sample</th><th></th><th>ref L*</th><th>ref a*</th><th>ref b*</th>"
        "<th></th><th>L*</th><th>a*</th><th>b*</th><th>\u0394L*</th><th>\u0394a*</th><th>\u0394b*</th>"
        "<th>\u0394C*<sub>ab</sub></th><th>\u0394H*<sub>ab</sub></th><th>\u0394E</th></tr></"
        "thead><tbody>\n");
    for (std::size_t rank = 0; rank < page.order.size(); ++rank) {
        const PatchDifference& p = c.patches[page.order[rank]];
        out.Open(
            "tr", c.Over(p) ? HtmlWriter::Attributes { { "class", "over" } } : HtmlWriter::Attributes {});
        out.Element("td", {}, std::to_string(rank + 1))
            .Element("td", {}, std::to_string(page.order[rank] + 1));
        out.Element("td", { { "class", "name" } }, p.name);
        Swatch(out, page.srgb.FromLab(p.labRef));
        for (double v : p.labRef)
            out.Element("td", {}, Num(v, 2));
        Swatch(out, page.srgb.FromLab(p.labSmp));
        for (double v : p.labSmp)
            out.Element("td", {}, Num(v, 2));
        for (double v : { p.dL, p.da, p.db, p.dC, p.dH })
            out.Element("td", {}, Num(v, 2));
        out.Element("td", { { "class", "de" } }, page.DeltaE(p.dE)).Close("tr").Literal("\n");
    }
    out.Literal("</tbody></table></section>\n");
}

// Nothing may be fetched or run: the page is complete in itself.
void Head(HtmlWriter& out, const std::string& heading)
{
    out.Literal("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"/>\n"
                "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src "
                "'unsafe-inline'\"/>\n"
                "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
                "<meta name=\"generator\" content=\"tintvale report\"/>\n");
    out.Element("title", {}, heading).Literal("\n<style>\n").Literal(kStyle).Literal("\n</style></head>\n");
}

// PASS or FAIL as a drawing, so that it prints in colour without background graphics.
// text with the paths of both files as the page names the files.
std::string WithFileNames(const Page& page, std::string text)
{
    for (const Chart* chart : { page.c.reference.get(), page.c.sample.get() }) {
        const std::string& path = chart->Path();
        const std::string name = page.options.fullPaths ? path : BaseName(path);
        for (std::size_t at = text.find(path); !path.empty() && at != std::string::npos;
             at = text.find(path, at + name.size()))
            text.replace(at, path.size(), name);
    }
    return text;
}

// The verdict, and beside it what makes the two files measured or computed differently.
void VerdictBadge(HtmlWriter& out, const Page& page)
{
    const Comparison& c = page.c;
    if (c.tolerance >= 0.0 || c.tolerances) {
        const Verdict set = c.tolerances ? c.tolerances->verdict : Verdict::Pass;
        const bool fail = c.over > 0 || set == Verdict::Fail;
        const std::string word = fail ? "FAIL" : set == Verdict::Warn ? "WARN" : "PASS";
        const std::string cls = fail ? "fail" : set == Verdict::Warn ? "warn" : "pass";
        out.Open("svg",
            { { "xmlns", kSvgNamespace }, { "class", "verdict" }, { "id", "verdict" },
                { "viewBox", "0 0 110 42" }, { "width", "110" }, { "height", "42" }, { "role", "img" },
                { "aria-label", word } });
        out.EmptyElement("rect", { { "class", cls }, { "width", "110" }, { "height", "42" }, { "rx", "6" } });
        out.Element("text", { { "x", "55" }, { "y", "29" }, { "text-anchor", "middle" } }, word).Close("svg");
    }
    if (c.warnings.empty())
        return;
    out.Open("ul", { { "class", "warnings" }, { "id", "warnings" } });
    for (const std::string& w : c.warnings)
        out.Element("li", {}, Shown(WithFileNames(page, w)));
    out.Close("ul");
}

} // namespace

std::string HtmlReport(const Comparison& c, const ReportOptions& options)
{
    const Page page(c, options);
    const std::string heading = Title(page);
    HtmlWriter html;
    html.Reserve(4096 + 1000 * c.patches.size());
    Head(html, heading);
    html.Literal("<body><main>\n<header>").Element("h1", {}, heading);
    VerdictBadge(html, page);
    html.Literal("</header>\n");
    SummarySection(html, page);
    ToleranceSection(html, page);
    ConditionsSection(html, page);
    ChartSection(html, page);
    BarsSection(html, page);
    CdfSection(html, page);
    AbSection(html, page);
    SpectraSection(html, page);
    TviSection(html, page);
    TableSection(html, page);
    html.Literal("<footer>Colours: CIELAB under ").Text(Shown(c.colorimetry->Describe()));
    html.Literal(
        ", shown as sRGB (IEC 61966-2-1) after Bradford adaptation to D65. No.: the patch's place in "
        "the chart. \u0394L*, \u0394C*, \u0394H*: sample minus reference.</footer>\n</main></body></html>\n");
    return html.Markup();
}

void WriteReportPage(const Comparison& c, const ReportOptions& options, std::ostream& out)
{
    WriteText(HtmlReport(c, options), options.output, out);
}

} // namespace tool
