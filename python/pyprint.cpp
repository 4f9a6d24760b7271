// Print conformance from Python: tolerance sets judged on a comparison of two files, and the tone
// values of the tints of a chart, by the command-line tool's own code.
#include "pycommon.h"

#include <tintvale/qc/compare.h>
#include <tintvale/qc/text.h>
#include <tintvale/qc/tolerances.h>
#include <tintvale/qc/tone.h>

#include <tintvale/tcgats.h>

#include <cmath>
#include <memory>

namespace tvpy {

namespace {

std::string PathOf(const py::handle& obj)
{
    return py::str(py::module_::import("os").attr("fspath")(obj)).cast<std::string>();
}

qc::CommonOptions Common(
    const std::string& illuminant, const py::object& observer, const py::object& illuminants)
{
    qc::CommonOptions common;
    common.illuminant = illuminant;
    common.observer = ObserverOf(observer).GetName();
    py::module_ tv = py::module_::import("tintvale");
    common.illuminantDir = PathOf(
        illuminants.is_none() ? tv.attr("IlluminantFactory").attr("shipped_directory")() : illuminants);
    common.toleranceDir = PathOf(tv.attr("data_directory")()) + "/tolerances";
    return common;
}

py::object Stat(const qc::GroupResult& g, double value)
{
    return g.count == 0 ? py::object(py::none()) : py::object(py::float_(value));
}

py::dict ResultDict(const qc::ToleranceResult& r)
{
    py::dict out;
    out["name"] = r.set.name;
    out["source"] = r.set.source;
    out["formula"] = r.set.formula;
    out["verdict"] = qc::VerdictName(r.verdict);
    if (!r.note.empty())
        out["note"] = r.note;
    py::list groups;
    for (const qc::GroupResult& g : r.groups) {
        py::dict d;
        d["name"] = g.group.name;
        d["select"] = g.group.select.text;
        d["metric"] = g.group.metric;
        d["count"] = g.count;
        d["mean"] = Stat(g, g.mean);
        d["p95"] = Stat(g, g.p95);
        d["max"] = Stat(g, g.max);
        d["verdict"] = qc::VerdictName(g.verdict);
        groups.append(d);
    }
    out["groups"] = groups;
    return out;
}

py::dict EvaluateTolerances(const py::object& reference, const py::object& sample,
    const py::object& tolerances, const std::string& formula, int table, bool paperRelative,
    const py::object& illuminant, const py::object& observer, const py::object& illuminants,
    const py::object& adapt)
{
    // As compare: the conditions the files state unless named.
    qc::CommonOptions common = ToolSettings(illuminant, observer, illuminants, adapt, false);
    common.toleranceDir = PathOf(py::module_::import("tintvale").attr("data_directory")()) + "/tolerances";
    qc::CompareOptions options;
    options.reference = PathOf(reference);
    options.sample = PathOf(sample);
    options.formula = formula;
    options.table = table;
    options.tolerances = PathOf(tolerances);
    options.paperRelative = paperRelative;
    SinkScope sinks;
    qc::Comparison c;
    try {
        py::gil_scoped_release release;
        c = qc::Compare(common, options);
    } catch (const qc::Error& e) {
        throw py::value_error(e.what());
    }
    sinks.Done();
    return ResultDict(*c.tolerances);
}

py::dict ToneValues(const py::object& cgats, const std::string& standard, const py::object& paper,
    const std::string& method, int table, const std::string& illuminant, const py::object& observer,
    const py::object& illuminants, const std::string& blackFilter)
{
    const qc::CommonOptions common = Common(illuminant, observer, illuminants);
    qc::ToneOptions options;
    options.standard = standard;
    options.method = method;
    options.table = table;
    options.blackFilter = blackFilter;
    if (!paper.is_none())
        options.paper = py::isinstance<py::int_>(paper) ? std::to_string(paper.cast<int>() + 1)
                                                        : paper.cast<std::string>();
    SinkScope sinks;
    qc::ToneValues tv;
    try {
        std::unique_ptr<qc::Chart> chart = py::isinstance<TCgats>(cgats)
            ? std::make_unique<qc::Chart>(cgats.cast<const TCgats&>(), "the file")
            : std::make_unique<qc::Chart>(PathOf(cgats));
        py::gil_scoped_release release;
        qc::Colorimetry colorimetry(common);
        tv = qc::ComputeToneValues(*chart, colorimetry, options);
    } catch (const qc::Error& e) {
        throw py::value_error(e.what());
    }
    sinks.Done();
    py::dict out;
    out["method"] = method;
    if (method == "density")
        out["black_filter"] = blackFilter;
    out["paper"] = qc::Utf8Text(tv.paper);
    py::list channels;
    for (const qc::ToneChannel& c : tv.channels) {
        py::dict channel;
        channel["name"] = c.name;
        channel["filter"] = c.filter.empty() ? py::object(py::none()) : py::object(py::str(c.filter));
        py::list points;
        for (const qc::TonePoint& p : c.points) {
            py::dict point;
            point["sample"] = qc::Utf8Text(p.sample);
            point["nominal"] = p.nominal;
            point["tone"] = p.tone;
            point["tvi"] = p.tvi;
            points.append(point);
        }
        channel["points"] = points;
        channels.append(channel);
    }
    out["channels"] = channels;
    return out;
}

} // namespace

py::dict ToleranceResultDict(const qc::ToleranceResult& result) { return ResultDict(result); }

void BindPrint(py::module_& m)
{
    m.def("evaluate_tolerances", &EvaluateTolerances, py::arg("reference"), py::arg("sample"),
        py::arg("tolerances"), py::arg("formula") = DefaultFormula(), py::arg("table") = -1,
        py::arg("paper_relative") = false, py::arg("illuminant") = py::none(),
        py::arg("observer") = py::none(), py::arg("illuminants") = py::none(), py::arg("adapt") = py::none(),
        "Compares sample against reference (measurement data files) as compare --tolerances does, under the "
        "illuminant and observer the files state unless named, colorimetric data stated for another "
        "illuminant adapted when adapt names a method ('bradford', 'cat02', 'cat16'), and returns "
        "the "
        "grouped result: {'name', 'source', 'formula', 'verdict', 'groups': [{'name', 'select', 'metric', "
        "'count', "
        "'mean', 'p95', 'max', 'verdict'}]} (statistics None for a group that selects no patch). tolerances "
        "is the "
        "name of a shipped set or a JSON file. Raises ValueError with the tool's message for a malformed set "
        "or "
        "files that cannot be compared.");
    m.def("tone_values", &ToneValues, py::arg("cgats"), py::arg("standard") = "ISO Status T",
        py::arg("paper") = py::none(), py::arg("method") = "density", py::arg("table") = -1,
        py::arg("illuminant") = "CIE Illuminant D50", py::arg("observer") = "2 degree",
        py::arg("illuminants") = py::none(), py::arg("black_filter") = "visual",
        "Tone values of the tints of each process channel of a Cgats (or a file path), as tintvale tvi gives "
        "them: "
        "{'method', 'black_filter', 'paper', 'channels': [{'name', 'filter', 'points': [{'sample', "
        "'nominal', "
        "'tone', 'tvi'}]}]}. "
        "method 'density': Murray-Davies from the status density (standard) of the filter under which the "
        "channel's solid is densest (black: the visual filter, as presses measure it, unless black_filter is "
        "'densest'), relative to the paper; 'sctv': the spot colour tone value from CIELAB. "
        "paper: "
        "a sample name or index (default: the patch with every channel at 0). Raises ValueError when the "
        "chart "
        "has no device values, no paper or (for densities) no spectra.");
}

} // namespace tvpy
