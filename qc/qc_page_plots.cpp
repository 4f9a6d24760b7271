// The drawings of the page: SVG plots of Delta E, of its distribution, of the shifts in a*b*, of the
// worst spectra and of the tone value increase, each scaled to its data with round axis steps.
#include "qc_page_parts.h"

#include <tintvale/qc/tone.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace tintvale::qc::pageparts {

namespace {

// Plots: a viewBox kPlotWidth wide with margins for the axes.
constexpr double kPlotWidth = 1000.0;
constexpr double kPlotHeight = 280.0;
constexpr double kLeft = 56.0;
constexpr double kRight = 24.0;
constexpr double kTop = 14.0;
constexpr double kBottom = 40.0;
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

} // namespace

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

namespace {

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

} // namespace

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

namespace {

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

} // namespace

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
        } catch (const Error&) {
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

} // namespace tintvale::qc::pageparts
