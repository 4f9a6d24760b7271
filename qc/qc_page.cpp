// The HTML page of a comparison. Everything is inline, so the page opens anywhere without network
// access; it is well-formed XML as well, so its drawings can be taken out and reused on their own.
// Colours that carry meaning are SVG fills, which print even where a browser leaves out backgrounds.
// The summary, the files, the chart and the tables are here, the plots in qc_page_plots.cpp.
#include <tintvale/qc/page.h>

#include "qc_html.h"
#include "qc_page_parts.h"
#include "qc_page_style.h"
#include "qc_srgb.h"
#include <tintvale/qc/files.h>
#include <tintvale/qc/tolerances.h>

#include <tintvale/tilluminant.h>
#include <tintvale/version.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <map>
#include <sys/stat.h>

namespace tintvale::qc {

namespace pageparts {

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
// A generous average advance of a sans-serif character, in ems, to keep labels inside a drawing.
constexpr double kCharWidth = 0.6;
// Delta E shown with kMinDecimals, more up to kMaxDecimals when a patch over the tolerance would
// otherwise show equal to it.
constexpr int kMinDecimals = 2;
constexpr int kMaxDecimals = 4;

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

} // namespace

// Text from a file or the command line, as the page shows it.
std::string Shown(const std::string& raw) { return Utf8Text(raw); }

// Numbers as compare shows them.
std::string Num(double value, int decimals) { return Cell(value, decimals).Shown(); }

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

double TextWidth(const std::string& text, double size)
{
    return static_cast<double>(CharactersOf(text).size()) * kCharWidth * size;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

namespace {

// The number a reader takes from Num(value, decimals).
double Rounded(double value, int decimals)
{
    const std::string shown = Num(value, decimals);
    double out = value;
    std::from_chars(shown.data(), shown.data() + shown.size(), out);
    return out;
}

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

} // namespace

Page::Page(const Comparison& comparison, const ReportOptions& reportOptions)
    : c(comparison)
    , options(reportOptions)
    , srgb(comparison.colorimetry->White())
    , order(ByDifference(comparison))
    , decimals(DeltaEDecimals(comparison))
{ }

namespace {

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
    const std::vector<std::string>& unmatched = c.unmatched;
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
    if (!c.referenceSource.empty())
        Row(out, "reference_source", "Reference file", Shown(c.referenceSource));
    if (!c.sampleSource.empty())
        Row(out, "sample_source", "Sample file", Shown(c.sampleSource));
    if (summary.count("white"))
        Row(out, "white", "White", value("white"));
    if (summary.count("adaptation"))
        Row(out, "adaptation", "Adaptation", value("adaptation"));
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
    if (summary.count("verdict"))
        Row(out, "verdict", "Verdict", value("verdict"));
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
    const std::string instrumentation = Text(cgats.GetInstrumentation());
    return instrumentation.empty() ? Text(cgats.GetSpectrophotometer()) : instrumentation;
}

std::string Descriptor(const TCgats& cgats)
{
    const std::string descriptor = Text(cgats.GetFileDescriptor());
    return descriptor.empty() ? Text(cgats.GetDescriptor()) : descriptor;
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
    ConditionRow(out, "measurement_condition", "Measurement condition",
        ref.GetTableMeasurementCondition(c.tableRef), smp.GetTableMeasurementCondition(c.tableSmp), true);
    ConditionRow(out, "weighting_function", "Weighting function", ref.GetTableWeightingFunction(c.tableRef),
        smp.GetTableWeightingFunction(c.tableSmp), true);
    ConditionRow(
        out, "table", "Compared", TableOf(*c.reference, c.tableRef), TableOf(*c.sample, c.tableSmp), false);
    out.Literal("</tbody></table>\n");
    out.Element("p", { { "class", "note" }, { "id", "made" } },
        "Colour differences by " + Shown(c.FormulaName())
            + (AppearanceFormula(c.formula) >= 0 ? " (" + DescribeViewing(c.viewing) + ")" : std::string())
            + " from CIELAB under " + Shown(c.colorimetry->Describe()) + ". Made by tintvale "
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
    if (!t.note.empty())
        out.Element("p", { { "class", "note" }, { "id", "paper-absolute" } }, Shown(t.note));
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

} // namespace pageparts

std::string HtmlReport(const Comparison& c, const ReportOptions& options)
{
    using namespace pageparts;
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

} // namespace tintvale::qc
