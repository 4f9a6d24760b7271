// compare: the command-line tool's comparison of two measurements of one chart, per patch as NumPy
// arrays with the summary the tool prints; and the tool itself, as the package's `tintvale` command.
#include "pycommon.h"

#include <tintvale/qc/compare.h>
#include <tintvale/qc/text.h>
#include <tintvale/qc/tolerances.h>

#include <tintvale/tappearancemodel.h>
#include <tintvale/tcgats.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The command-line tool's entry point, linked in from its library: the package's `tintvale` command.
namespace tool {
int Main(int argc, char** argv, const std::string& shipped);
}

namespace tvpy {

py::dict ToleranceResultDict(const qc::ToleranceResult& result);

namespace {

std::string PathOf(const py::handle& obj)
{
    py::object path = py::module_::import("os").attr("fspath")(obj);
    if (!py::isinstance<py::str>(path))
        throw py::type_error("paths are given as text");
    return path.cast<std::string>();
}

// Bytes from a file as text, undecodable bytes replaced as the tool's JSON replaces them.
py::str Text(const std::string& bytes)
{
    return py::reinterpret_steal<py::str>(
        PyUnicode_DecodeUTF8(bytes.data(), static_cast<py::ssize_t>(bytes.size()), "replace"));
}

// A value of the summary as compare's JSON gives it: whole numbers as int, missing ones as None.
py::object Value(const qc::Cell& cell)
{
    if (!cell.isNumber)
        return Text(cell.text);
    if (!std::isfinite(cell.number))
        return py::none();
    if (cell.decimals == 0)
        return py::int_(std::llround(cell.number));
    return py::float_(cell.number);
}

} // namespace

py::dict SummaryDict(const qc::Comparison& c)
{
    py::dict values;
    for (const qc::SummaryEntry& entry : qc::Summary(c))
        values[py::str(entry.name)] = Value(entry.value);
    return values;
}

py::list RaiseConditionWarnings(SinkScope& sinks, const qc::Comparison& c)
{
    py::list warnings;
    for (const std::string& w : c.warnings) {
        sinks.warnings.push_back(qc::Utf8Text(w));
        warnings.append(qc::Utf8Text(w));
    }
    sinks.Done();
    return warnings;
}

namespace {

// A measurement data file given by its path, or a Cgats object (copied); what names it in messages.
struct Source {
    std::string path; // empty: a Cgats object
    std::unique_ptr<TCgats> copy;

    Source(const py::handle& obj)
    {
        if (py::isinstance<TCgats>(obj)) {
            copy = std::make_unique<TCgats>(obj.cast<const TCgats&>());
            return;
        }
        path = PathOf(obj);
        std::error_code ec;
        if (path != "-" && !std::filesystem::exists(std::filesystem::u8path(path), ec))
            RaiseFileNotFound(path);
    }

    std::shared_ptr<qc::Chart> Read(const char* what) const
    {
        if (copy)
            return std::make_shared<qc::Chart>(*copy, what);
        return std::make_shared<qc::Chart>(path);
    }
};

py::array_t<double> Column(const qc::Comparison& c, double (*of)(const qc::PatchDifference&))
{
    py::array_t<double> out(static_cast<py::ssize_t>(c.patches.size()));
    double* data = out.mutable_data();
    for (const qc::PatchDifference& p : c.patches)
        *data++ = of(p);
    return out;
}

py::array_t<double> Labs(const qc::Comparison& c, bool sample)
{
    py::array_t<double> out(std::vector<py::ssize_t> { static_cast<py::ssize_t>(c.patches.size()), 3 });
    double* data = out.mutable_data();
    for (const qc::PatchDifference& p : c.patches)
        for (int k = 0; k < 3; ++k)
            *data++ = sample ? p.labSmp[k] : p.labRef[k];
    return out;
}

py::dict Compare(const py::object& reference, const py::object& sample, const py::object& formula,
    const py::object& max, int table, const py::object& illuminant, const py::object& observer,
    const py::object& illuminants, const std::string& integration, const py::object& tolerances,
    bool paperRelative, const py::object& adapt, bool strictConditions, double la, double yb,
    const std::string& surround)
{
    qc::CommonOptions common = ToolSettings(illuminant, observer, illuminants, adapt, strictConditions);
    common.integration = integration;
    qc::CompareOptions options;
    options.table = table;
    options.paperRelative = paperRelative;
    if (!tolerances.is_none()) {
        options.tolerances = PathOf(tolerances);
        common.toleranceDir
            = PathOf(py::module_::import("tintvale").attr("data_directory")()) + "/tolerances";
    }
    options.viewing = { la, yb, surround };
    qc::Comparison c;
    // The appearance-space formulas ("cam16-ucs", ...) by the tool's table, after the CIELAB ones.
    const bool appearance = py::isinstance<py::str>(formula)
        && TAppearanceModel::UniformFormulaIndex(formula.cast<std::string>().c_str()) >= 0;
    c.formula = appearance ? qc::FormulaIndex(formula.cast<std::string>()) : FormulaOf(formula);
    if (!max.is_none()) {
        c.tolerance = max.cast<double>();
        if (!std::isfinite(c.tolerance) || c.tolerance < 0.0)
            throw py::value_error("max must be a finite non-negative number");
    }
    const Source ref(reference);
    const Source smp(sample);

    SinkScope sinks;
    try {
        // Loading the illuminant set uses process-wide state of the library that takes no lock (the
        // factory's name generator, the file layer's error flag, the observer caches): under the GIL.
        c.colorimetry = std::make_shared<qc::Colorimetry>(common);
        std::unique_ptr<qc::ToleranceSet> set;
        if (!options.tolerances.empty())
            set = std::make_unique<qc::ToleranceSet>(qc::LoadToleranceSet(options.tolerances, common));
        py::gil_scoped_release release;
        c.reference = ref.Read("reference");
        c.sample = smp.Read("sample");
        qc::CompareCharts(c, common, options);
        if (set)
            c.tolerances = std::make_shared<const qc::ToleranceResult>(qc::EvaluateTolerances(*set, c));
    } catch (const qc::Error& e) {
        throw py::value_error(e.what());
    }
    const py::list warnings = RaiseConditionWarnings(sinks, c);

    py::list names;
    std::vector<int> pairing[2];
    for (const qc::PatchDifference& p : c.patches) {
        names.append(Text(p.name));
        pairing[0].push_back(p.reference);
        pairing[1].push_back(p.sample);
    }
    py::dict values = SummaryDict(c);

    py::dict result;
    result["names"] = py::module_::import("numpy").attr("asarray")(names);
    result["reference_index"]
        = py::array_t<int>(static_cast<py::ssize_t>(pairing[0].size()), pairing[0].data());
    result["sample_index"] = py::array_t<int>(static_cast<py::ssize_t>(pairing[1].size()), pairing[1].data());
    result["lab_reference"] = Labs(c, false);
    result["lab_sample"] = Labs(c, true);
    result["de"] = Column(c, [](const qc::PatchDifference& p) { return p.dE; });
    result["dL"] = Column(c, [](const qc::PatchDifference& p) { return p.dL; });
    result["da"] = Column(c, [](const qc::PatchDifference& p) { return p.labSmp[1] - p.labRef[1]; });
    result["db"] = Column(c, [](const qc::PatchDifference& p) { return p.labSmp[2] - p.labRef[2]; });
    result["dC"] = Column(c, [](const qc::PatchDifference& p) { return p.dC; });
    result["dH"] = Column(c, [](const qc::PatchDifference& p) { return p.dH; });
    result["summary"] = values;
    result["warnings"] = warnings;
    py::list unmatched;
    for (const std::string& name : c.unmatched)
        unmatched.append(Text(name));
    result["unmatched"] = unmatched;
    if (c.tolerances)
        result["tolerances"] = ToleranceResultDict(*c.tolerances);
    return result;
}

// The command-line tool with the package's shipped data; its output goes to the process's
// standard output and error, after what Python has buffered.
int RunTool(const py::list& args)
{
    const std::string shipped = PathOf(py::module_::import("tintvale").attr("data_directory")());
    std::vector<std::string> words;
    for (const py::handle& arg : args)
        words.push_back(py::str(arg).cast<std::string>());
    if (words.empty())
        words.emplace_back("tintvale");
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    py::module_ sys = py::module_::import("sys");
    sys.attr("stdout").attr("flush")();
    sys.attr("stderr").attr("flush")();
    py::gil_scoped_release release;
    return tool::Main(static_cast<int>(words.size()), argv.data(), shipped);
}

} // namespace

qc::CommonOptions ToolSettings(const py::handle& illuminant, const py::handle& observer,
    const py::handle& illuminants, const py::handle& adapt, bool strictConditions)
{
    qc::CommonOptions common;
    // None: as the files state, else D50 and the 2 degree observer.
    if (!illuminant.is_none())
        common.illuminant = illuminant.cast<std::string>();
    if (!observer.is_none())
        common.observer = ObserverOf(observer).GetName();
    if (!adapt.is_none())
        common.adapt = adapt.cast<std::string>();
    common.strictConditions = strictConditions;
    common.illuminantDir = PathOf(illuminants.is_none()
            ? py::module_::import("tintvale").attr("IlluminantFactory").attr("shipped_directory")()
            : illuminants);
    return common;
}

void BindCompare(py::module_& m)
{
    m.def("compare", &Compare, py::arg("reference"), py::arg("sample"), py::arg("formula") = DefaultFormula(),
        py::arg("max") = py::none(), py::arg("table") = -1, py::arg("illuminant") = py::none(),
        py::arg("observer") = py::none(), py::arg("illuminants") = py::none(),
        py::arg("integration") = "auto", py::arg("tolerances") = py::none(),
        py::arg("paper_relative") = false, py::arg("adapt") = py::none(),
        py::arg("strict_conditions") = false, py::arg("la") = 64.0, py::arg("yb") = 20.0,
        py::arg("surround") = "average",
        "The command-line tool's compare of sample against reference (paths or Cgats objects), paired by "
        "sample name when both name their samples, else by position. Returns a dict: names, "
        "reference_index and sample_index (the pairing), lab_reference and lab_sample (n, 3), de, and the "
        "CIELAB terms dL, da, db, dC, dH (sample minus reference, dH signed as the hue angle difference), "
        "each (n,), and summary: the values compare --format json prints. max is the tolerance (None: "
        "none); integration, tolerances (a shipped set's name or a JSON file; the result then has "
        "'tolerances' as evaluate_tolerances returns it), paper_relative, adapt and strict_conditions as the "
        "tool's options; la, yb and surround the viewing conditions of the appearance-space formulas "
        "('cam02-ucs' ... 'cam16-scd'); illuminant and observer None: as the files state, else D50 and 2 "
        "degree. "
        "warnings lists the conditions the files state differently, each also a UserWarning. "
        "Raises "
        "FileNotFoundError for a missing file and ValueError with the tool's message when "
        "the files cannot be compared.");
    m.def("_run_tool", &RunTool, py::arg("argv"),
        "Runs the command-line tool with argv (the program name first); returns its exit status.");
}

} // namespace tvpy
