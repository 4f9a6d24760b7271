// The quality-control page of the command-line tool's `report`, made by the same code.
#include "pycommon.h"

#include <tintvale/qc/files.h>
#include <tintvale/qc/page.h>
#include <tintvale/qc/text.h>
#include <tintvale/qc/tolerances.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>

namespace tvpy {

py::dict ToleranceResultDict(const qc::ToleranceResult& result);

namespace {

std::string PathOf(const py::handle& obj)
{
    return py::str(py::module_::import("os").attr("fspath")(obj)).cast<std::string>();
}

// What Cgats raises for the same cause: FileNotFoundError for a missing file, the OSError of the
// system's reason for another that cannot be read, TintvaleError for one the reader refuses.
[[noreturn]] void RaiseInputError(const qc::InputError& e)
{
    if (e.readerCode != 0)
        throw LibraryError { e.readerCode, e.what() };
    if (e.systemError == ENOENT || e.systemError == ENOTDIR)
        RaiseFileNotFound(e.path);
    PyErr_SetObject(
        PyExc_OSError, py::make_tuple(e.systemError, std::strerror(e.systemError), py::str(e.path)).ptr());
    throw py::error_already_set();
}

// The OSError subclass of the system's reason (PermissionError, ...), as open() raises it.
[[noreturn]] void RaiseOutputError(const qc::OutputError& e)
{
    if (e.systemError == 0)
        PyErr_SetString(PyExc_OSError, e.what());
    else
        PyErr_SetObject(PyExc_OSError,
            py::make_tuple(e.systemError, std::strerror(e.systemError), py::str(e.path)).ptr());
    throw py::error_already_set();
}

py::dict Report(const py::object& reference, const py::object& sample, const py::object& path,
    const std::string& formula, const py::object& max, int table, const py::object& illuminant,
    const py::object& observer, const std::string& title, const py::object& illuminants,
    const std::string& integration, const py::object& tolerances, bool paperRelative, const py::object& adapt,
    bool strictConditions, bool fullPaths)
{
    qc::CommonOptions common = ToolSettings(illuminant, observer, illuminants, adapt, strictConditions);
    common.integration = integration;
    qc::ReportOptions options;
    options.compare.reference = PathOf(reference);
    options.compare.sample = PathOf(sample);
    options.compare.formula = formula;
    options.compare.table = table;
    options.output = PathOf(path);
    options.compare.paperRelative = paperRelative;
    if (!tolerances.is_none()) {
        options.compare.tolerances = PathOf(tolerances);
        common.toleranceDir
            = PathOf(py::module_::import("tintvale").attr("data_directory")()) + "/tolerances";
    }
    options.title = title;
    options.fullPaths = fullPaths;
    if (!max.is_none()) {
        options.compare.max = max.cast<double>();
        if (!std::isfinite(options.compare.max) || options.compare.max < 0.0)
            throw py::value_error("max must be a finite non-negative number");
    }
    if (options.output == "-")
        throw py::value_error("path must name a file");

    SinkScope sinks;
    qc::Comparison c;
    try {
        // The illuminant set is loaded holding the GIL, as compare() does.
        auto colorimetry = std::make_shared<qc::Colorimetry>(common);
        py::gil_scoped_release release;
        std::ostringstream unused;
        c = qc::Compare(common, options.compare, colorimetry);
        qc::WriteReportPage(c, options, unused);
    } catch (const qc::InputError& e) {
        RaiseInputError(e);
    } catch (const qc::OutputError& e) {
        RaiseOutputError(e);
    } catch (const qc::Error& e) {
        throw py::value_error(e.what());
    }
    const py::list warnings = RaiseConditionWarnings(sinks, c);
    // compare's summary, with the warnings after its terms and the verdict after its count.
    py::dict summary;
    for (const auto& [key, value] : SummaryDict(c)) {
        summary[key] = value;
        if (key.cast<std::string>() == "terms")
            summary["warnings"] = warnings;
        if (key.cast<std::string>() == "over_tolerance")
            summary["passed"] = c.over == 0;
    }
    if (c.tolerances)
        summary["tolerances"] = ToleranceResultDict(*c.tolerances);
    return summary;
}

} // namespace

void BindReport(py::module_& m)
{
    m.def("report", &Report, py::arg("reference"), py::arg("sample"), py::arg("path"),
        py::arg("formula") = DefaultFormula(), py::arg("max") = py::none(), py::arg("table") = -1,
        py::arg("illuminant") = py::none(), py::arg("observer") = py::none(), py::arg("title") = "",
        py::arg("illuminants") = py::none(), py::arg("integration") = "auto",
        py::arg("tolerances") = py::none(), py::arg("paper_relative") = false, py::arg("adapt") = py::none(),
        py::arg("strict_conditions") = false, py::arg("full_paths") = false,
        "Writes the quality-control page of the command-line tool's report: the colour differences of sample "
        "against reference (measurement data files, paired by sample name, else by position) as one "
        "self-contained HTML file at path, replaced only once complete. max is the tolerance (None: none). "
        "Returns the summary that compare prints (with max also 'passed'; with tolerances, a shipped set's "
        "name or a JSON file, also 'tolerances' as evaluate_tolerances returns it; and 'warnings', the "
        "conditions the files state differently, each also a UserWarning). integration \"auto\" "
        "integrates 10- and 20-nm spectra by ASTM E308 weights and finer ones by the CIE 15 summation, "
        "\"astm-e308\" and \"cie15\" force those, \"grid\" uses the 36-sample grid. "
        "paper_relative: CIELAB relative to each file's paper white. illuminant and observer default to "
        "what the files state, else D50 and 2 degree; Lab or XYZ data stated for another illuminant are "
        "refused unless adapt names a chromatic adaptation ('bradford', 'cat02', 'cat16'), another observer "
        "always; with strict_conditions differing conditions are refused. The page names the files by their "
        "base names, by their paths as given with full_paths. A file that cannot be read raises what Cgats "
        "raises (FileNotFoundError when missing, TintvaleError when malformed); a page that cannot be "
        "written raises the OSError of the reason (PermissionError, ...); files that cannot be compared "
        "raise ValueError with the tool's message. Nothing is written then.");
}

} // namespace tvpy
