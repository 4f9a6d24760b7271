// The HTML page of a comparison. Everything is inline, so the page opens anywhere without network
// access; it is well-formed XML as well, so its drawings can be taken out and reused on their own.
#include "tool_html_report.h"

#include "tool_srgb.h"
#include "tool_tolerances.h"
#include "tool_tone.h"

#include <tintvale/tilluminant.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <sys/stat.h>

namespace tool {

namespace {

// The chart: cells of kCell units on a pitch of kPitch, the sample inset in the middle.
constexpr int kCell = 90;
constexpr int kPitch = 100;
constexpr int kInset = 24;
constexpr int kNameLength = 13; // characters of a patch name drawn in its cell
constexpr double kLightText = 60.0; // reference L* below which labels are drawn light
// Plots: a viewBox of kPlotWidth by kPlotHeight with margins for the axes.
constexpr double kPlotWidth = 1000.0;
constexpr double kPlotHeight = 280.0;
constexpr double kLeft = 56.0;
constexpr double kRight = 16.0;
constexpr double kTop = 14.0;
constexpr double kBottom = 40.0;
constexpr int kNamedBars = 48; // up to this many bars carry their patch name
constexpr std::size_t kWorstSpectra = 6;
const char* const kSpectrumColours[kWorstSpectra]
    = { "#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#17becf" };

const char kStyle[]
    = R"(body{font:14px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;color:#1d232b;
background:#f4f5f7;margin:0}
main{max-width:1180px;margin:0 auto;padding:24px 28px 40px}
header{display:flex;align-items:center;justify-content:space-between;gap:16px;border-bottom:2px solid #d5d9e0;
padding-bottom:12px}
h1{font-size:22px;margin:0}h2{font-size:17px;margin:28px 0 8px}
.verdict{font-size:22px;font-weight:700;letter-spacing:.06em;padding:6px 22px;border-radius:6px;color:#fff}
.verdict.pass{background:#2e7d32}.verdict.fail{background:#c62828}.verdict.warn{background:#b26a00}
.groups tr.fail td{background:#fdecea}.groups tr.warn td,.groups tr.empty td{background:#fff4e0}
.warnings{color:#b26a00;font-weight:600;margin:4px 0}
section{background:#fff;border:1px solid #dde1e7;border-radius:8px;padding:4px 18px 16px;margin-top:18px}
table{border-collapse:collapse}
.summary{display:grid;grid-template-columns:repeat(auto-fit,minmax(330px,1fr));gap:0 32px;margin-top:12px}
.summary th{text-align:left;font-weight:600;padding:3px 14px 3px 0;color:#4a5563;white-space:nowrap}
.summary td{padding:3px 0}
.note{color:#5b6573;font-size:12.5px;margin:2px 0 8px}
svg{max-width:100%;height:auto;display:block}svg.plot{width:100%}
svg text{font:11px system-ui,sans-serif;fill:#39414c}
.patch .lbl{font-size:11px}.patch .de{font-size:12px;font-weight:700}
.patch text.light{fill:#fff}.patch text.dark{fill:#111}
.patch .outline{fill:none;stroke:#e01b24;stroke-width:4}
.clipmark{fill:#111;stroke:#fff;stroke-width:1.5}
.axis line,.grid{stroke:#d5d9e0}.bar{fill:#6f8fb8}.bar.over{fill:#d64541}
.tol{stroke:#e01b24;stroke-width:2;stroke-dasharray:6 4}.mark{stroke:#39414c;stroke-dasharray:2 3}
.cdf{fill:none;stroke:#2b5797;stroke-width:2}
.ref{fill:none;stroke-width:2}.smp{fill:none;stroke-width:2;stroke-dasharray:6 4}
.patches{width:100%;font-variant-numeric:tabular-nums}
.patches th{position:sticky;top:0;background:#eef0f4;text-align:right;padding:5px 8px;font-weight:600}
.patches td{text-align:right;padding:3px 8px;border-top:1px solid #eceef2}
.patches td.name,.patches th.name{text-align:left}
.patches tr.over td{background:#fdecea}.patches tr.over td.de{color:#b71c1c;font-weight:700}
.sw{width:26px;padding:0!important;border:1px solid #fff}.sw.clip{outline:2px dashed #111;outline-offset:-4px}
.legend{list-style:none;padding:0;display:flex;flex-wrap:wrap;gap:6px 22px}
.key{display:inline-block;width:26px;border-top:3px solid;vertical-align:middle;margin-right:6px}
footer{color:#5b6573;font-size:12px;margin-top:22px})";

// The length of the well-formed UTF-8 sequence at text[i] (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
std::size_t Utf8Length(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    const unsigned char second = byte(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90)
        || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

// Text for HTML and XML alike: the five characters with a meaning there become references.
std::string Escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char ch : Utf8Text(text)) {
        if (ch == '&')
            out += "&amp;";
        else if (ch == '<')
            out += "&lt;";
        else if (ch == '>')
            out += "&gt;";
        else if (ch == '"')
            out += "&quot;";
        else if (ch == '\'')
            out += "&#39;";
        else
            out += ch;
    }
    return out;
}

// Numbers as compare shows them.
std::string Num(double value, int decimals) { return Cell(value, decimals).Shown(); }

// At most length characters of UTF-8 text, an ellipsis marking a cut.
std::string Shortened(const std::string& text, int length)
{
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (++characters > length)
            return text.substr(0, i) + "\u2026";
    }
    return text;
}

std::string Text(const char* text) { return text ? text : ""; }

// "created DATE" from the file's header, and the file's modification time in UTC.
std::string FileDate(const Chart& chart)
{
    std::string date;
    if (const char* created = chart.Cgats().GetCreated(); created && *created)
        date = "created " + std::string(created) + "; ";
    struct stat info { };
    std::tm utc {};
    char stamp[32] = "unknown";
    if (stat(chart.Path().c_str(), &info) == 0 && gmtime_r(&info.st_mtime, &utc))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M UTC", &utc);
    return date + "modified " + stamp;
}

std::string Title(const Comparison& c, const std::string& title)
{
    if (!title.empty())
        return title;
    auto base = [](const std::string& path) { return path.substr(path.find_last_of('/') + 1); };
    return "QC report: " + base(c.sample->Path()) + " against " + base(c.reference->Path());
}

std::string Row(const std::string& key, const std::string& label, const std::string& value)
{
    return "<tr data-key=\"" + key + "\"><th>" + label + "</th><td>" + value + "</td></tr>\n";
}

std::string Summary(const Comparison& c)
{
    const PatchDifference& worst = c.patches[c.worst];
    std::string files = Row("reference", "Reference", Escape(c.reference->Path()))
        + Row("reference_date", "Reference date", Escape(FileDate(*c.reference)))
        + Row("sample", "Sample", Escape(c.sample->Path()))
        + Row("sample_date", "Sample date", Escape(FileDate(*c.sample)))
        + Row("formula", "Formula", Escape(c.FormulaName()))
        + Row("illuminant", "Illuminant", Escape(Text(c.colorimetry->Illuminant()->GetName())))
        + Row("observer", "Observer", Escape(Text(c.colorimetry->Observer()->GetName())))
        + Row("integration", "Integration", Escape(c.IntegrationMethod()))
        + Row("reference_conditions", "Reference states", Escape(c.referenceConditions))
        + Row("sample_conditions", "Sample states", Escape(c.sampleConditions));
    if (c.paperRelative)
        files += Row("white", "White", kPaperWhiteNote);
    std::string stats = Row("samples", "Samples", std::to_string(c.patches.size()))
        + Row("mean", "Mean \u0394E", Num(c.mean, 2)) + Row("median", "Median \u0394E", Num(c.median, 2))
        + Row("p95", "95th percentile", Num(c.p95, 2)) + Row("max", "Maximum \u0394E", Num(worst.dE, 2))
        + Row("max_sample", "Maximum at", Escape(worst.name))
        + Row("terms", "\u0394L*, \u0394a*, \u0394b*, \u0394C*, \u0394H*", kCielabTermsNote);
    if (c.tolerance >= 0.0)
        stats += Row("tolerance", "Tolerance", Num(c.tolerance, 2))
            + Row("over_tolerance", "Over tolerance",
                std::to_string(c.over) + " of " + std::to_string(c.patches.size()));
    return "<div class=\"summary\"><table>\n" + files + "</table><table>\n" + stats + "</table></div>\n";
}

// Columns of the drawn chart: the file's row length, else a near-square grid.
int ChartColumns(const Comparison& c)
{
    const int rowLength = c.reference->Cgats().GetRowLength();
    if (rowLength > 1)
        return rowLength;
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(c.patches.size()))));
}

std::string Rect(int x, int y, int w, int h, const std::string& attributes)
{
    return "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\""
        + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" " + attributes + "/>";
}

// A triangle in the top right corner of a square at x, y of side size: the colour there was clipped.
std::string ClipMark(int x, int y, int size)
{
    const int s = size / 4;
    return "<path class=\"clipmark\" d=\"M" + std::to_string(x + size - s) + " " + std::to_string(y) + "h"
        + std::to_string(s) + "v" + std::to_string(s) + "z\"/>";
}

std::string Patch(
    const Comparison& c, const PatchDifference& p, const SrgbRenderer& srgb, int column, int row)
{
    const Srgb8 ref = srgb.FromLab(p.labRef);
    const Srgb8 smp = srgb.FromLab(p.labSmp);
    const bool over = c.Over(p);
    const char* ink = p.labRef[0] < kLightText ? "light" : "dark";
    std::string g = "<g class=\"patch" + std::string(over ? " over" : "")
        + (ref.clipped || smp.clipped ? " clipped" : "") + "\" transform=\"translate("
        + std::to_string(column * kPitch) + "," + std::to_string(row * kPitch) + ")\"><title>"
        + Escape(p.name) + ": \u0394E " + Num(p.dE, 2) + (ref.clipped ? "; reference clipped to sRGB" : "")
        + (smp.clipped ? "; sample clipped to sRGB" : "") + "</title>";
    g += Rect(0, 0, kCell, kCell, "fill=\"" + ref.Hex() + "\"");
    g += Rect(kInset, kInset, kCell - 2 * kInset, kCell - 2 * kInset, "fill=\"" + smp.Hex() + "\"");
    if (ref.clipped)
        g += ClipMark(0, 0, kCell);
    if (smp.clipped)
        g += ClipMark(kInset, kInset, kCell - 2 * kInset);
    if (over)
        g += Rect(-2, -2, kCell + 4, kCell + 4, "class=\"outline\"");
    g += "<text class=\"lbl " + std::string(ink) + "\" x=\"5\" y=\"14\">"
        + Escape(Shortened(p.name, kNameLength)) + "</text><text class=\"de " + ink + "\" x=\"5\" y=\"84\">"
        + Num(p.dE, 2) + "</text></g>\n";
    return g;
}

// A plot, as wide as the page.
std::string Svg(double width, double height, const std::string& label, const std::string& body)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"plot\" viewBox=\"0 0 " + Num(width, 0) + " "
        + Num(height, 0) + "\" role=\"img\" aria-label=\"" + Escape(label) + "\">\n" + body + "</svg>\n";
}

std::string ChartSection(const Comparison& c, const SrgbRenderer& srgb)
{
    const int columns = ChartColumns(c);
    const int n = static_cast<int>(c.patches.size());
    const int rows = (n + columns - 1) / columns;
    std::string body;
    for (int s = 0; s < n; ++s)
        body += Patch(c, c.patches[s], srgb, s % columns, s / columns);
    // A margin of half a gap all round keeps the outlines of edge patches inside.
    const int margin = (kPitch - kCell) / 2;
    const int width = columns * kPitch - (kPitch - kCell) + 2 * margin;
    const int height = rows * kPitch - (kPitch - kCell) + 2 * margin;
    return "<section id=\"chart\"><h2>Chart</h2><p class=\"note\">" + std::to_string(columns)
        + " patches a row. Each patch is the reference colour with the sample colour inset, its name and "
          "\u0394E; outlined in red: over the tolerance; black corner: colour outside sRGB, clipped.</p>\n"
        + "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" + std::to_string(-margin) + " "
        + std::to_string(-margin) + " " + std::to_string(width) + " " + std::to_string(height) + "\" width=\""
        + std::to_string(width) + "\" role=\"img\" aria-label=\"chart\">\n" + body + "</svg></section>\n";
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
    explicit Axis(double largest)
    {
        top = std::max(largest, kSmallestTop);
        step = NiceStep(top, 5);
        top = std::ceil(top / step) * step;
    }
    int Steps() const { return static_cast<int>(std::lround(top / step)); }
    int Decimals() const { return step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step))); }

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

// The plotting area inside the viewBox; below it, room for the axis labels.
struct Plot {
    explicit Plot(double bottom = kBottom)
        : y0(kPlotHeight - bottom)
    { }
    double X(double fraction) const { return x0 + fraction * (x1 - x0); }
    double Y(double fraction) const { return y0 + fraction * (y1 - y0); }

    double x0 = kLeft, x1 = kPlotWidth - kRight, y0, y1 = kTop;
};

std::string Line(double xa, double ya, double xb, double yb, const char* cls)
{
    return "<line class=\"" + std::string(cls) + "\" x1=\"" + Num(xa, 1) + "\" y1=\"" + Num(ya, 1)
        + "\" x2=\"" + Num(xb, 1) + "\" y2=\"" + Num(yb, 1) + "\"/>";
}

std::string Label(double x, double y, const std::string& anchor, const std::string& text)
{
    return "<text x=\"" + Num(x, 1) + "\" y=\"" + Num(y, 1) + "\" text-anchor=\"" + anchor + "\">" + text
        + "</text>";
}

// Horizontal grid lines with their values.
std::string ValueAxis(const Plot& plot, const Axis& axis, const std::string& unit)
{
    std::string out;
    for (int k = 0; k <= axis.Steps(); ++k) {
        const double y = plot.Y(k * axis.step / axis.top);
        out += Line(plot.x0, y, plot.x1, y, "grid")
            + Label(plot.x0 - 6, y + 4, "end", Num(k * axis.step, axis.Decimals()) + unit);
    }
    return out + "\n";
}

std::string BarChart(const Comparison& c)
{
    const bool named = c.patches.size() <= static_cast<std::size_t>(kNamedBars);
    const Plot plot(named ? kBottom + 16.0 : kBottom);
    const Axis axis = DeltaEAxis(c);
    const double top = axis.top;
    const double n = static_cast<double>(c.patches.size());
    const double width = (plot.x1 - plot.x0) / n;
    std::string body = ValueAxis(plot, axis, "");
    for (std::size_t s = 0; s < c.patches.size(); ++s) {
        const PatchDifference& p = c.patches[s];
        const double x = plot.X(static_cast<double>(s) / n);
        const double y = plot.Y(p.dE / top);
        body += "<rect class=\"bar" + std::string(c.Over(p) ? " over" : "") + "\" x=\""
            + Num(x + 0.1 * width, 2) + "\" y=\"" + Num(y, 1) + "\" width=\"" + Num(0.8 * width, 2)
            + "\" height=\"" + Num(plot.y0 - y, 1) + "\"><title>" + Escape(p.name) + ": " + Num(p.dE, 2)
            + "</title></rect>";
        if (named)
            body += "<text transform=\"translate(" + Num(x + 0.5 * width + 3, 1) + "," + Num(plot.y0 + 6, 1)
                + ") rotate(-60)\" text-anchor=\"end\">" + Escape(Shortened(p.name, 8)) + "</text>";
        body += "\n";
    }
    if (c.tolerance >= 0.0 && c.tolerance <= top) {
        const double y = plot.Y(c.tolerance / top);
        body += Line(plot.x0, y, plot.x1, y, "tol")
            + Label(plot.x0 + 4, y - 5, "start", "tolerance " + Num(c.tolerance, 2));
    }
    body += Line(plot.x0, plot.y0, plot.x1, plot.y0, "axis") + "<text transform=\"translate(14,"
        + Num(plot.Y(0.5), 1) + ") rotate(-90)\" text-anchor=\"middle\">\u0394E</text>\n";
    return Svg(kPlotWidth, kPlotHeight, "Delta E per patch", body);
}

std::string Distribution(const Comparison& c)
{
    const Plot plot;
    const Axis axis = DeltaEAxis(c);
    const double top = axis.top;
    std::vector<double> sorted;
    for (const PatchDifference& p : c.patches)
        sorted.push_back(p.dE);
    std::sort(sorted.begin(), sorted.end());
    const double n = static_cast<double>(sorted.size());
    std::string body = ValueAxis(plot, Axis(100.0), "%");
    // The empirical distribution: a step up by 1/n at every difference.
    std::string path = "M" + Num(plot.x0, 1) + " " + Num(plot.y0, 1);
    for (std::size_t i = 0; i < sorted.size(); ++i)
        path += "H" + Num(plot.X(sorted[i] / top), 1) + "V" + Num(plot.Y(static_cast<double>(i + 1) / n), 1);
    body += "<path class=\"cdf\" d=\"" + path + "H" + Num(plot.x1, 1) + "\"/>\n";
    for (int k = 0; k <= axis.Steps(); ++k)
        body += Label(
            plot.X(k * axis.step / top), plot.y0 + 16, "middle", Num(k * axis.step, axis.Decimals()));
    // Labels right of their lines, each on a line of its own so that close values stay readable.
    const std::pair<double, std::string> marks[] = { { c.median, "median" }, { c.p95, "p95" } };
    double labelY = plot.Y(0.5);
    for (const auto& [value, name] : marks) {
        body += Line(plot.X(value / top), plot.y0, plot.X(value / top), plot.y1, "mark")
            + Label(plot.X(value / top) + 4, labelY, "start", name + " " + Num(value, 2));
        labelY += 14.0;
    }
    if (c.tolerance >= 0.0 && c.tolerance <= top)
        body += Line(plot.X(c.tolerance / top), plot.y0, plot.X(c.tolerance / top), plot.y1, "tol")
            + Label(plot.X(c.tolerance / top) + 4, labelY, "start", "tolerance " + Num(c.tolerance, 2));
    body += Line(plot.x0, plot.y0, plot.x1, plot.y0, "axis")
        + Label((plot.x0 + plot.x1) / 2, plot.y0 + 34, "middle", "\u0394E (share of patches at or below)")
        + "\n";
    return Svg(kPlotWidth, kPlotHeight, "cumulative distribution of Delta E", body);
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

std::string Swatch(const Srgb8& colour)
{
    return "<td class=\"sw" + std::string(colour.clipped ? " clip" : "") + "\" style=\"background:"
        + colour.Hex() + "\"" + (colour.clipped ? " title=\"clipped to sRGB\"" : "") + "></td>";
}

std::string PatchTable(const Comparison& c, const std::vector<std::size_t>& order, const SrgbRenderer& srgb)
{
    std::string out
        = "<table class=\"patches\"><thead><tr><th>#</th><th class=\"name\">Sample</th><th></th>"
          "<th>ref L*</th><th>ref a*</th><th>ref b*</th><th></th><th>L*</th><th>a*</th><th>b*</th>";
    out += "<th>\u0394L*</th><th>\u0394a*</th><th>\u0394b*</th><th>\u0394C*<sub>ab</sub></"
           "th><th>\u0394H*<sub>ab</sub></th>"
           "<th>\u0394E</th></tr></thead><tbody>\n";
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        const PatchDifference& p = c.patches[order[rank]];
        out += std::string(c.Over(p) ? "<tr class=\"over\">" : "<tr>") + "<td>" + std::to_string(rank + 1)
            + "</td><td class=\"name\">" + Escape(p.name) + "</td>" + Swatch(srgb.FromLab(p.labRef));
        for (double v : p.labRef)
            out += "<td>" + Num(v, 2) + "</td>";
        out += Swatch(srgb.FromLab(p.labSmp));
        for (double v : p.labSmp)
            out += "<td>" + Num(v, 2) + "</td>";
        for (double v : { p.dL, p.da, p.db, p.dC, p.dH })
            out += "<td>" + Num(v, 2) + "</td>";
        out += "<td class=\"de\">" + Num(p.dE, 2) + "</td></tr>\n";
    }
    return out + "</tbody></table>\n";
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

std::string Polyline(const Curve& curve, const Plot& plot, double nm0, double nm1, double top,
    const char* cls, const char* colour)
{
    std::string points;
    for (std::size_t i = 0; i < curve.nm.size(); ++i)
        points += (i ? " " : "") + Num(plot.X((curve.nm[i] - nm0) / (nm1 - nm0)), 1) + ","
            + Num(plot.Y(std::clamp(curve.values[i] / top, -0.05, 1.05)), 1);
    return "<polyline class=\"" + std::string(cls) + "\" stroke=\"" + colour + "\" points=\"" + points
        + "\"/>\n";
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

std::string SpectraSection(const Comparison& c, const std::vector<std::size_t>& order)
{
    if (c.reference->Offers(c.tableRef) != ColourData::Spectrum
        || c.sample->Offers(c.tableSmp) != ColourData::Spectrum)
        return "";
    const std::size_t count = std::min(kWorstSpectra, order.size());
    std::vector<std::pair<Curve, Curve>> curves;
    Extent extent;
    for (std::size_t k = 0; k < count; ++k) {
        const PatchDifference& p = c.patches[order[k]];
        curves.emplace_back(
            SpectrumOf(*c.reference, c.tableRef, p.reference), SpectrumOf(*c.sample, c.tableSmp, p.sample));
        extent.Add(curves.back().first);
        extent.Add(curves.back().second);
    }
    const double nm0 = extent.nm0, nm1 = std::max(extent.nm1, nm0 + 1.0);
    const Plot plot;
    const Axis axis(extent.largest);
    std::string body = ValueAxis(plot, axis, "");
    const double nmStep = NiceStep(nm1 - nm0, 7);
    for (double nm = std::ceil(nm0 / nmStep) * nmStep; nm <= nm1; nm += nmStep)
        body += Label(plot.X((nm - nm0) / (nm1 - nm0)), plot.y0 + 16, "middle", Num(nm, 0));
    std::string legend = "<ul class=\"legend\">";
    for (std::size_t k = 0; k < count; ++k) {
        body += Polyline(curves[k].first, plot, nm0, nm1, axis.top, "ref", kSpectrumColours[k])
            + Polyline(curves[k].second, plot, nm0, nm1, axis.top, "smp", kSpectrumColours[k]);
        const PatchDifference& p = c.patches[order[k]];
        legend += "<li><span class=\"key\" style=\"border-color:" + std::string(kSpectrumColours[k])
            + "\"></span>" + Escape(p.name) + " (\u0394E " + Num(p.dE, 2) + ")</li>";
    }
    body += Line(plot.x0, plot.y0, plot.x1, plot.y0, "axis")
        + Label((plot.x0 + plot.x1) / 2, plot.y0 + 34, "middle", "wavelength (nm)") + "\n";
    return "<section id=\"spectra\"><h2>Spectra of the worst patches</h2><p class=\"note\">Reflectance "
           "factor; reference solid, sample dashed.</p>\n"
        + Svg(kPlotWidth, kPlotHeight, "spectra", body) + legend + "</ul></section>\n";
}

// The grouped verdicts of a tolerance set.
std::string ToleranceSection(const Comparison& c)
{
    if (!c.tolerances)
        return "";
    const ToleranceResult& t = *c.tolerances;
    std::string out = "<section id=\"tolerances\"><h2>Tolerances: " + Escape(t.set.name)
        + "</h2><p class=\"note\">" + Escape(t.set.source)
        + "</p>\n<table class=\"patches groups\"><thead><tr><th class=\"name\">Group</th>"
        + "<th class=\"name\">Patches</th><th>Metric</th><th>Count</th><th>Mean</th><th>p95</th><th>Max</th>"
        + "<th class=\"name\">Verdict</th></tr></thead><tbody>\n";
    for (const GroupResult& g : t.groups) {
        const bool empty = g.count == 0;
        auto stat = [&](double value, const Limit& limit) {
            std::string cell = empty ? "\u2013" : Num(value, 2);
            if (limit.present)
                cell += " / " + (limit.hasWarn ? Num(limit.warn, 2) + ", " : std::string())
                    + Num(limit.fail, 2);
            return "<td>" + cell + "</td>";
        };
        const char* verdict = VerdictName(g.verdict);
        out += std::string("<tr class=\"") + verdict + "\"><td class=\"name\">" + Escape(g.group.name)
            + "</td><td class=\"name\">" + Escape(g.group.select.text) + "</td><td>" + Escape(g.group.metric)
            + "</td><td>" + std::to_string(g.count) + "</td>" + stat(g.mean, g.group.mean)
            + stat(g.p95, g.group.p95) + stat(g.max, g.group.max) + "<td class=\"name verdict-cell\">"
            + verdict + "</td></tr>\n";
    }
    return out
        + "</tbody></table><p class=\"note\">Each statistic: the value / its limits (warn, fail); a value "
          "equal to a limit passes. Overall: <b>"
        + VerdictName(t.verdict) + "</b>.</p></section>\n";
}

// Tone value increase curves of the reference (solid) and the sample (dashed), from densities where
// a file has spectra, else as spot colour tone values; files without tints draw none.
std::string TviSection(const Comparison& c)
{
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
        return "";
    double largest = 1.0;
    for (const Drawn& d : drawn)
        for (const ToneChannel& ch : d.tv.channels)
            for (const TonePoint& p : ch.points)
                largest = std::max(largest, p.tvi);
    const Plot plot;
    const Axis axis(largest);
    std::string body = ValueAxis(plot, axis, "");
    for (int k = 0; k <= 100; k += 10)
        body += Label(plot.X(k / 100.0), plot.y0 + 16, "middle", std::to_string(k));
    std::string legend = "<ul class=\"legend\">";
    for (const Drawn& d : drawn)
        for (std::size_t k = 0; k < d.tv.channels.size(); ++k) {
            const ToneChannel& ch = d.tv.channels[k];
            const char* colour = ch.name == "C" ? "#0093d0"
                : ch.name == "M"                ? "#d6007e"
                : ch.name == "Y"                ? "#e6b800"
                : ch.name == "K"                ? "#222"
                                                : kSpectrumColours[k % kWorstSpectra];
            std::string points = Num(plot.X(0.0), 1) + "," + Num(plot.Y(0.0), 1);
            for (const TonePoint& p : ch.points)
                points += " " + Num(plot.X(p.nominal / 100.0), 1) + ","
                    + Num(plot.Y(std::clamp(p.tvi / axis.top, -0.05, 1.05)), 1);
            points += " " + Num(plot.X(1.0), 1) + "," + Num(plot.Y(0.0), 1);
            body += "<polyline class=\"" + std::string(d.cls) + "\" stroke=\"" + colour + "\" points=\""
                + points + "\"><title>" + Escape(ch.name) + "</title></polyline>\n";
            legend += "<li><span class=\"key\" style=\"border-color:" + std::string(colour)
                + (std::string(d.cls) == "smp" ? ";border-top-style:dashed" : "") + "\"></span>"
                + (std::string(d.cls) == "ref" ? "reference " : "sample ") + Escape(ch.name)
                + (ch.filter.empty() ? " (spot colour tone value)" : " (filter " + ch.filter + ")") + "</li>";
        }
    body += Line(plot.x0, plot.y0, plot.x1, plot.y0, "axis")
        + Label((plot.x0 + plot.x1) / 2, plot.y0 + 34, "middle", "nominal tone value (%)")
        + "<text transform=\"translate(14," + Num(plot.Y(0.5), 1)
        + ") rotate(-90)\" text-anchor=\"middle\">TVI (%)</text>\n";
    return "<section id=\"tvi\"><h2>Tone value increase</h2><p class=\"note\">Tone value minus nominal, by "
           "Murray\u2013Davies from ISO Status T densities relative to the paper (spot colour tone value "
           "where a "
           "file has no spectra); reference solid, sample dashed.</p>\n"
        + Svg(kPlotWidth, kPlotHeight, "tone value increase", body) + legend + "</ul></section>\n";
}

// Nothing may be fetched or run: the page is complete in itself.
std::string Head(const std::string& heading)
{
    return std::string("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"/>\n")
        + "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src "
          "'unsafe-inline'\"/>\n"
        + "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
        + "<meta name=\"generator\" content=\"tintvale report\"/>\n<title>" + heading + "</title>\n<style>\n"
        + kStyle + "\n</style></head>\n";
}

std::string DistributionSection(const Comparison& c)
{
    const std::string note
        = c.tolerance >= 0.0 ? "In chart order; red: over the tolerance (dashed line)." : "In chart order.";
    return "<section id=\"distribution\"><h2>\u0394E per patch</h2><p class=\"note\">" + note + "</p>\n"
        + BarChart(c) + "<h2>Cumulative distribution</h2>\n" + Distribution(c) + "</section>\n";
}

// The verdict, and beside it what makes the two files measured or computed differently.
std::string VerdictBadge(const Comparison& c)
{
    std::string warnings;
    for (const std::string& w : c.warnings)
        warnings += "<li>" + Escape(w) + "</li>";
    if (!warnings.empty())
        warnings = "<ul class=\"warnings\" id=\"warnings\">" + warnings + "</ul>";
    if (c.tolerance < 0.0 && !c.tolerances)
        return warnings;
    const Verdict set = c.tolerances ? c.tolerances->verdict : Verdict::Pass;
    if (c.over > 0 || set == Verdict::Fail)
        return "<p class=\"verdict fail\" id=\"verdict\">FAIL</p>" + warnings;
    return (set == Verdict::Warn ? "<p class=\"verdict warn\" id=\"verdict\">WARN</p>"
                                 : "<p class=\"verdict pass\" id=\"verdict\">PASS</p>")
        + warnings;
}

} // namespace

std::string Utf8Text(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char ch = static_cast<unsigned char>(text[i]);
        const std::size_t length = Utf8Length(text, i);
        if (length > 1) {
            out.append(text, i, length);
            i += length;
            continue;
        }
        ++i;
        if (length == 0) { // Latin-1: U+0080 ... U+00FF in two bytes
            out += static_cast<char>(0xC0 | (ch >> 6));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        } else if (ch < 0x20 && ch != '\t' && ch != '\n' && ch != '\r')
            out += "\uFFFD";
        else
            out += static_cast<char>(ch);
    }
    return out;
}

std::string HtmlReport(const Comparison& c, const std::string& title)
{
    const SrgbRenderer srgb(c.colorimetry->White());
    const std::vector<std::size_t> order = ByDifference(c);
    const std::string heading = Escape(Title(c, title));
    std::string page;
    page.reserve(2048 + 800 * c.patches.size());
    page += Head(heading);
    page += "<body><main>\n<header><h1>" + heading + "</h1>" + VerdictBadge(c) + "</header>\n";
    page += "<section id=\"summary\">" + Summary(c) + "</section>\n";
    page += ToleranceSection(c);
    page += ChartSection(c, srgb);
    page += DistributionSection(c);
    page += SpectraSection(c, order);
    page += TviSection(c);
    page += "<section id=\"table\"><h2>Patches by \u0394E</h2>\n" + PatchTable(c, order, srgb)
        + "</section>\n";
    page += "<footer>Colours: CIELAB under " + Escape(c.colorimetry->Describe())
        + ", shown as sRGB (IEC 61966-2-1) after Bradford adaptation to D65. \u0394L*, \u0394C*, \u0394H*: "
          "sample minus reference.</footer>\n</main></body></html>\n";
    return page;
}

} // namespace tool
