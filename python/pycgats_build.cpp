// CGATS construction and the measurement bridge: files built from arrays, copies, sample
// selections, ink maps, averages, comparisons, and measurements from rows and back.
#include "pycommon.h"

#include <pybind11/stl.h>

#include <tintvale/tcgats.h>
#include <tintvale/tilluminant.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tonemeasurement.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tvpy {

namespace {

using Cgats = std::unique_ptr<TCgats>;
using Table = std::vector<std::vector<double>>;

Cgats Checked(std::unique_ptr<TCgats> c)
{
    if (c->GetErrorCode() != 0)
        throw LibraryError { c->GetErrorCode(), c->GetErrorMsg() };
    return c;
}

// Rows of an optional (N, width) array; width 0 takes any width. Sets *count to N when unset.
Table TableOf(const py::handle& obj, const char* what, py::ssize_t* count)
{
    if (obj.is_none())
        return {};
    DoubleArray array = DoubleArray::ensure(obj);
    if (!array || array.ndim() != 2)
        throw py::value_error(std::string(what) + " must be a 2-D array, one row per sample");
    const py::ssize_t n = array.shape(0);
    const py::ssize_t w = array.shape(1);
    if (*count >= 0 && n != *count)
        throw py::value_error(
            std::string(what) + " has " + std::to_string(n) + " rows, not " + std::to_string(*count));
    *count = n;
    Table rows(static_cast<std::size_t>(n));
    for (py::ssize_t i = 0; i < n; ++i)
        rows[i].assign(array.data() + i * w, array.data() + (i + 1) * w);
    return rows;
}

std::vector<std::string> TextsOf(const py::handle& obj)
{
    return obj.is_none() ? std::vector<std::string>() : obj.cast<std::vector<std::string>>();
}

Cgats FromArrays(const py::handle& channels, const py::handle& lab, const py::handle& xyz,
    const py::handle& spectra, const py::handle& wavelengths, const py::handle& names,
    const py::handle& descriptions, double full, double zero, int rowLength, int columns, int pages,
    bool customColors)
{
    py::ssize_t n = -1;
    Table coords = TableOf(channels, "channels", &n);
    if (!lab.is_none())
        Rows check = RowsOf(lab, 3, "lab");
    if (!xyz.is_none())
        Rows check = RowsOf(xyz, 3, "xyz");
    Table labRows = TableOf(lab, "lab", &n);
    Table xyzRows = TableOf(xyz, "xyz", &n);
    Table spectraRows = TableOf(spectra, "spectra", &n);
    std::vector<double> nm;
    if (!spectraRows.empty()) {
        DoubleArray w = DoubleArray::ensure(wavelengths);
        if (!w || w.ndim() != 1 || w.size() != static_cast<py::ssize_t>(spectraRows[0].size()))
            throw py::value_error("wavelengths must give one wavelength per spectral column");
        nm.assign(w.data(), w.data() + w.size());
    }
    std::vector<std::string> sampleNames = TextsOf(names);
    if (!sampleNames.empty() && n >= 0 && static_cast<py::ssize_t>(sampleNames.size()) != n)
        throw py::value_error("names must hold one name per sample");
    if (n < 0)
        n = static_cast<py::ssize_t>(sampleNames.size());
    // The samples are the rows of channels: without channels, rows without any.
    if (coords.empty())
        coords.assign(static_cast<std::size_t>(n), {});
    return Checked(std::make_unique<TCgats>(full, zero, coords, labRows, xyzRows, spectraRows, nm,
        sampleNames, TextsOf(descriptions), rowLength, columns, pages, customColors));
}

} // namespace

void BindCgatsBuild(py::module_& m)
{
    auto cls = py::reinterpret_borrow<py::class_<TCgats>>(m.attr("Cgats"));
    cls.def_static("from_arrays", &FromArrays, py::arg("channels") = py::none(), py::arg("lab") = py::none(),
           py::arg("xyz") = py::none(), py::arg("spectra") = py::none(), py::arg("wavelengths") = py::none(),
           py::arg("names") = py::none(), py::arg("descriptions") = py::none(), py::arg("full") = 100.0,
           py::arg("zero") = 0.0, py::arg("row_length") = 0, py::arg("columns") = 0, py::arg("pages") = 0,
           py::arg("custom_colors") = false,
           "A one-table file from arrays of one row per sample: channels (N, C) as values from zero to full "
           "(written as tints 0 to 100; CMYK for 3 or 4 channels, nCLR for 5 or more, SPOT_k with "
           "descriptions, PCn_k with custom_colors), lab (N, 3), xyz (N, 3), spectra (N, W) at wavelengths "
           "(W, rounded to whole nm), names (default 1, 2, ...), descriptions (one PROCESSCOLOR_ID or "
           "SPOT_ID "
           "line per colour) and the layout keywords. Values are kept as given.")
        .def("copy", [](const TCgats& c) { return Checked(std::make_unique<TCgats>(&c)); })
        .def("__copy__", [](const TCgats& c) { return Checked(std::make_unique<TCgats>(&c)); })
        .def("__deepcopy__",
            [](const TCgats& c, const py::dict&) { return Checked(std::make_unique<TCgats>(&c)); })
        .def(
            "select",
            [](const TCgats& c, const std::vector<int>& samples) {
                for (int s : samples) {
                    if (c.GetNrTables() < 1 || s < 0 || s >= c.GetNrSamples(0))
                        throw py::index_error("sample " + std::to_string(s) + " is not in the first table");
                }
                return Checked(std::make_unique<TCgats>(&c, samples));
            },
            py::arg("samples"), "A copy whose first table holds only the listed samples, in list order.")
        .def(
            "map_inks",
            [](const TCgats& c, const std::vector<int>& inkMap, double fill) {
                return Checked(std::make_unique<TCgats>(&c, inkMap, fill));
            },
            py::arg("ink_map"), py::arg("fill") = 0.0,
            "A copy whose process channels are rebuilt: new channel k takes old channel ink_map[k], or fill "
            "where the entry is negative. A table the map does not fit is left in error.")
        .def_static(
            "average",
            [](const std::vector<const TCgats*>& files) { return Checked(std::make_unique<TCgats>(files)); },
            py::arg("files"), "The mean of several measurements of one chart (texts from the first).")
        .def(
            "__eq__", [](const TCgats& a, const TCgats& b) { return a == b; }, py::arg("other"))
        .def("same_measurements", &TCgats::HasSameMeasurementsAs, py::arg("other"),
            "Same tables, sample counts and Lab, XYZ and spectral values within 0.01.")
        .def("same_samples", &TCgats::HasSameSampleListAs, py::arg("other"), py::arg("tolerance") = 0.01,
            "Same tables, sample counts and process channels within tolerance.")
        .def(
            "measurement",
            [](const TCgats& c, int s, TIlluminant& illuminant, const py::handle& observer,
                const py::handle& geometry, int t) {
                TObserver obs = ObserverOf(observer);
                TMeasGeom geom = py::isinstance<py::str>(geometry)
                    ? TMeasGeom(geometry.cast<std::string>().c_str())
                    : TMeasGeom(geometry.cast<int>());
                if (geom.ErrNo() != 0)
                    throw py::value_error("unknown geometry; see GEOMETRIES");
                std::shared_ptr<TOneMeasurement> made = c.GetMeasurement(t, s, &illuminant, &obs, &geom);
                if (!made)
                    throw LibraryError { -1,
                        "no measurement for sample " + std::to_string(s) + " of table " + std::to_string(t) };
                return made;
            },
            py::arg("sample"), py::arg("illuminant"), py::arg("observer") = 0, py::arg("geometry") = 0,
            py::arg("table") = 0, py::keep_alive<0, 3>(),
            "Sample s as a measurement: ReflectionSpectrum with spectral fields, else LabMeasurement "
            "(relative "
            "to the white of illuminant and observer), else XYZMeasurement; coordinates 1 - tint / 100.")
        .def(
            "set_measurement",
            [](TCgats& c, int s, const TOneMeasurement& measurement, TIlluminant* illuminant,
                const py::handle& observer, int t) {
                std::optional<TObserver> obs;
                if (!observer.is_none())
                    obs = ObserverOf(observer);
                if (c.SetMeasurement(t, s, &measurement, illuminant, obs ? &*obs : nullptr) != 0)
                    throw LibraryError { -1,
                        "the measurement does not fit sample " + std::to_string(s) + " of table "
                            + std::to_string(t) };
            },
            py::arg("sample"), py::arg("measurement"), py::arg("illuminant") = nullptr,
            py::arg("observer") = 0, py::arg("table") = 0,
            "Writes a measurement into a row: channels from its coordinates, Lab, XYZ and the spectrum at "
            "the table's wavelengths. The row is unchanged on failure.")
        .def(
            "add_lab",
            [](TCgats& c, const py::handle& lab, int t) {
                Rows rows = RowsOf(lab, 3, "lab");
                if (t < 0 || t >= c.GetNrTables() || rows.count != c.GetNrSamples(t))
                    throw py::value_error("lab must hold one row per sample of the table");
                std::vector<const double*> pointers(static_cast<std::size_t>(rows.count));
                for (py::ssize_t i = 0; i < rows.count; ++i)
                    pointers[i] = rows.data + 3 * i;
                const int code = c.AddLab(t, pointers.data());
                if (code != 0)
                    throw LibraryError { code,
                        c.GetErrorCode() == code ? c.GetErrorMsg() : "the Lab columns could not be added" };
            },
            py::arg("lab"), py::arg("table") = 0, "Adds (or overwrites) the LAB_L, LAB_A, LAB_B columns.")
        .def(
            "add_ink_book_names",
            [](TCgats& c, const std::vector<std::string>& names, int t) {
                const int code = c.AddInkBookNames(t, names);
                if (code == kUnwritableCode)
                    throw LibraryError { code, std::string("a name ") + kUnwritableReason };
                if (code != 0)
                    throw LibraryError { code,
                        c.GetErrorCode() == code ? c.GetErrorMsg()
                                                 : "the InkBook column could not be added" };
            },
            py::arg("names"), py::arg("table") = 0, "Adds (or overwrites) the InkBook column.");
}

} // namespace tvpy
