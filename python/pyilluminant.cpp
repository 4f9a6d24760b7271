// Illuminants: the factory with the shipped set, the illuminants it owns, and tristimulus
// integration of many reflectance spectra under an illuminant and observer.
#include "pycommon.h"

#include <tintvale/tfineintegration.h>
#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tspectrum.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace tvpy {

namespace {

constexpr int kN = TSpectrum::kNrUniform;

std::string PathOf(const py::handle& obj)
{
    py::object path = py::module_::import("os").attr("fspath")(obj);
    if (!py::isinstance<py::str>(path))
        throw py::type_error("paths are given as text");
    return path.cast<std::string>();
}

std::size_t Count(const TIlluminantFactory& f) { return f.GetListOfIlluminants().size(); }

int AddDirectory(TIlluminantFactory& f, const py::handle& directory)
{
    const std::string path = PathOf(directory);
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::u8path(path), ec))
        RaiseFileNotFound(path);
    const std::size_t before = Count(f);
    SinkScope sinks;
    if (f.AddDirectory(path.c_str()) != 0)
        sinks.Fail(-1, "could not load " + path);
    sinks.Done();
    return static_cast<int>(Count(f) - before);
}

// The shipped data (illuminants, sample charts), found from where the package is: inside it (a
// wheel, or the link of the build tree), else where `make install` puts it relative to the package.
std::string DataDirectory()
{
    const std::filesystem::path package = std::filesystem::u8path(ExtensionFile()).parent_path();
    std::string tried;
    for (const std::filesystem::path& root : { package / "data", package / TINTVALE_PY_DATA_RELATIVE }) {
        std::error_code ec;
        const std::filesystem::path found = std::filesystem::weakly_canonical(root, ec);
        if (!ec && std::filesystem::is_directory(found / "illuminants", ec))
            return found.u8string();
        tried += (tried.empty() ? "" : " or ") + root.u8string();
    }
    RaiseFileNotFound(tried);
}

std::string ShippedDirectory() { return DataDirectory() + "/illuminants"; }

// Looks a name up; with raise set a miss raises KeyError carrying the library's message.
TIlluminant* Lookup(TIlluminantFactory& f, const std::string& name, bool raise)
{
    SinkScope sinks;
    TIlluminant* found = f.GetIlluminant(name.c_str());
    if (found == nullptr) {
        // A miss the caller handles (None) is no failure: its reason is logged at debug level.
        if (!raise) {
            sinks.Done(kLogDebug);
            return nullptr;
        }
        const std::string why = sinks.TakeMessages();
        throw py::key_error(name + (why.empty() ? "" : ": " + why));
    }
    sinks.Done();
    return found;
}

TIlluminant* LookupTemperature(TIlluminantFactory& f, double kelvin, bool raise)
{
    SinkScope sinks;
    TIlluminant* found = f.GetIlluminant(kelvin);
    if (found == nullptr) {
        // A miss the caller handles (None) is no failure: its reason is logged at debug level.
        if (!raise) {
            sinks.Done(kLogDebug);
            return nullptr;
        }
        const std::string why = sinks.TakeMessages();
        throw py::key_error(
            "no illuminant for " + std::to_string(kelvin) + " K" + (why.empty() ? "" : ": " + why));
    }
    sinks.Done();
    return found;
}

TIlluminant* Add(TIlluminantFactory& f, const TSpectrum& spectrum, const std::string& name)
{
    SinkScope sinks;
    TIlluminant* made = f.AddIlluminant(spectrum, name.c_str());
    if (made == nullptr)
        sinks.Fail(2, "the illuminant could not be made (a name over 1024 characters or a faulty spectrum)");
    sinks.Done();
    return made;
}

constexpr const char* kGrid = "grid";

py::array_t<double> GridWavelengths()
{
    py::array_t<double> wl(kN);
    for (int i = 0; i < kN; ++i)
        wl.mutable_data()[i] = TSpectrum::kFirstWavelength + TSpectrum::kUniformStep * i;
    return wl;
}

const char* IntegrationErrorText(int code)
{
    return code == 2 ? "the illuminant has no spectrum or no luminance" : "integration error";
}

std::unique_ptr<TIlluminantAndObserver> MakeIntegration(
    const TIlluminant& illuminant, const py::handle& observer)
{
    const TObserver obs = ObserverOf(observer);
    auto io = std::make_unique<TIlluminantAndObserver>(&illuminant, &obs, TIlluminantAndObserver::kMaxPoints);
    if (io->ErrNo() != 0)
        throw LibraryError { io->ErrNo(), IntegrationErrorText(io->ErrNo()) };
    return io;
}

py::array_t<double> IntegrateRows(const TIlluminantAndObserver& io, const py::handle& spectra)
{
    Rows rows = RowsOf(spectra, kN, "spectra");
    py::array_t<double> xyz = NewRows<double>(rows.lead, 3);
    double* out = xyz.mutable_data();
    {
        py::gil_scoped_release release;
        for (py::ssize_t i = 0; i < rows.count; ++i) {
            const TSpectrum s(rows.data + i * kN);
            io.GetXYZ(&s, out + 3 * i, kN);
        }
    }
    return xyz;
}

// The shipped set, loaded once and kept for the life of the process: illuminants named by text are
// taken from it.
TIlluminantFactory& ShippedFactory()
{
    static TIlluminantFactory* shipped = [] {
        auto* f = new TIlluminantFactory;
        AddDirectory(*f, py::str(ShippedDirectory()));
        return f;
    }();
    return *shipped;
}

const TIlluminant& IlluminantOf(const py::handle& illuminant)
{
    if (py::isinstance<py::str>(illuminant))
        return *Lookup(ShippedFactory(), illuminant.cast<std::string>(), true);
    return illuminant.cast<const TIlluminant&>();
}

// XYZ of spectra at the given wavelengths (the grid's when none) by the method requested; a row
// holding a value that is not finite gives NaN.
py::array_t<double> IntegrateAtWavelengths(const TIlluminant& illuminant, const py::handle& observer,
    const py::handle& spectra, const py::handle& wl, TFineIntegration::Request request)
{
    const py::object given
        = wl.is_none() ? py::object(GridWavelengths()) : py::reinterpret_borrow<py::object>(wl);
    const int n = static_cast<int>(py::len(given));
    if (n < 2)
        throw py::value_error(TFineIntegration::GetStatusText(TFineIntegration::kTooFewPoints));
    Rows wavelengths = RowsOf(given, n, "wavelengths");
    if (!wavelengths.lead.empty())
        throw py::value_error("wavelengths must be one-dimensional");
    const TObserver obs = ObserverOf(observer);
    TFineIntegration fine(&illuminant, &obs, request);
    int status = fine.ErrNo() != 0 ? fine.ErrNo() : fine.SetWavelengths(wavelengths.data, n);
    if (status != 0)
        throw py::value_error(TFineIntegration::GetStatusText(status));
    if (fine.GetMethod() == TFineIntegration::kTenNm
        && PyErr_WarnEx(PyExc_UserWarning, "the illuminant has no 5-nm data: integrated at 10 nm", 1) != 0)
        throw py::error_already_set();
    Rows rows = RowsOf(spectra, n, "spectra");
    py::array_t<double> xyz = NewRows<double>(rows.lead, 3);
    double* out = xyz.mutable_data();
    {
        py::gil_scoped_release release;
        for (py::ssize_t i = 0; i < rows.count; ++i)
            if (fine.GetXYZ(rows.data + i * n, n, out + 3 * i) != 0)
                out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = std::nan("");
    }
    return xyz;
}

py::array_t<double> White(const TIlluminantAndObserver& io)
{
    py::array_t<double> white(3);
    io.GetXYZWhite(white.mutable_data());
    return white;
}

} // namespace

void BindIlluminants(py::module_& m)
{
    py::list observers;
    for (int i = 0; i < TObserver::sNrObservers; ++i)
        observers.append(TObserver::sObsNameList[i]);
    m.attr("OBSERVERS") = py::tuple(observers);
    m.def("data_directory", &DataDirectory,
        "The directory of the shipped data, illuminants/ and samples/: inside the package, or where make "
        "install put it relative to the package. FileNotFoundError when neither exists.");

    // Illuminants belong to the factory that made them: Python never deletes one, and each handed
    // out keeps its factory alive.
    py::class_<TIlluminant, std::unique_ptr<TIlluminant, py::nodelete>>(
        m, "Illuminant", "A named spectral power distribution owned by an IlluminantFactory.")
        .def_property_readonly("name",
            [](const TIlluminant& i) -> py::object {
                return i.GetName() ? py::str(i.GetName()) : py::object(py::none());
            })
        .def_property_readonly(
            "spectrum",
            [](const TIlluminant& i) -> py::object {
                return i.GetSpectrum() ? py::cast(TSpectrum(*i.GetSpectrum())) : py::object(py::none());
            },
            "A copy of the spectral power distribution.")
        .def_property_readonly(
            "chromaticity",
            [](TIlluminant& i) {
                double x = 0.0, y = 0.0, t = 0.0;
                i.GetChromaticityAndTemperature(&x, &y, &t);
                return py::make_tuple(x, y);
            },
            "CIE 1931 x, y of the illuminant's white (2 degree observer).")
        .def_property_readonly("temperature", &TIlluminant::GetColorTemperature,
            "Correlated colour temperature in K by Robertson's method, to 10 K; 0.0 when undefined.")
        .def(
            "__eq__", [](const TIlluminant& a, const TIlluminant& b) { return a == b; }, py::arg("other"))
        .def("__hash__",
            [](const TIlluminant& i) { return py::hash(py::str(i.GetName() ? i.GetName() : "")); })
        .def("__repr__", [](const TIlluminant& i) {
            return std::string("<tintvale.Illuminant \"") + (i.GetName() ? i.GetName() : "") + "\">";
        });

    py::class_<TIlluminantFactory>(m, "IlluminantFactory",
        "A registry of illuminants, loaded from directories of illuminant files (.ill) or made from "
        "spectra. Look-ups ignore letter case. Copies share the illuminants.")
        .def(py::init<>(), "An empty factory.")
        .def(py::init([](const py::handle& directory) {
            auto f = std::make_unique<TIlluminantFactory>();
            AddDirectory(*f, directory);
            return f;
        }),
            py::arg("directory"), "A factory holding the illuminant files of a directory.")
        .def_static(
            "shipped",
            []() {
                auto f = std::make_unique<TIlluminantFactory>();
                AddDirectory(*f, py::str(ShippedDirectory()));
                return f;
            },
            "A factory holding the shipped CIE illuminants (A, C, D50 ... D75, E, F1 ... F12, and D50 ... "
            "D75 under their short names).")
        .def_static("shipped_directory", &ShippedDirectory, "Where the shipped illuminant files are.")
        .def("add_directory", &AddDirectory, py::arg("directory"),
            "Adds the illuminant files of a directory; returns how many were added.")
        .def("add", &Add, py::arg("spectrum"), py::arg("name"), py::return_value_policy::reference_internal,
            "Adds an illuminant made from a copy of spectrum and returns it.")
        .def(
            "add",
            [](TIlluminantFactory& f, const py::handle& samples, const std::string& name) {
                Rows rows = RowsOf(samples, kN, "samples");
                if (!rows.lead.empty())
                    throw py::value_error("samples must be 36 numbers");
                return Add(f, TSpectrum(rows.data), name);
            },
            py::arg("samples"), py::arg("name"), py::return_value_policy::reference_internal,
            "Adds an illuminant made from 36 samples at WAVELENGTHS and returns it.")
        .def(
            "__getitem__",
            [](TIlluminantFactory& f, const std::string& name) { return Lookup(f, name, true); },
            py::arg("name"), py::return_value_policy::reference_internal)
        .def(
            "get", [](TIlluminantFactory& f, const std::string& name) { return Lookup(f, name, false); },
            py::arg("name"), py::return_value_policy::reference_internal,
            "The first illuminant of that name (ignoring case), or None.")
        .def(
            "by_temperature",
            [](TIlluminantFactory& f, double kelvin) { return LookupTemperature(f, kelvin, true); },
            py::arg("kelvin"), py::return_value_policy::reference_internal,
            "The daylight illuminant named \"D\" + round(kelvin / 100): 6504 gives D65. KeyError if absent.")
        .def(
            "__contains__",
            [](TIlluminantFactory& f, const std::string& name) { return Lookup(f, name, false) != nullptr; },
            py::arg("name"))
        .def("__len__", &Count)
        .def("__iter__",
            [](const py::object& self) {
                py::list all;
                for (const TIlluminant* i : self.cast<const TIlluminantFactory&>().GetListOfIlluminants())
                    all.append(py::cast(i, py::return_value_policy::reference_internal, self));
                return py::iter(all);
            })
        .def(
            "names",
            [](const TIlluminantFactory& f) {
                py::list names;
                for (const TIlluminant* i : f.GetListOfIlluminants())
                    names.append(i->GetName() ? py::str(i->GetName()) : py::object(py::none()));
                return names;
            },
            "The names of the illuminants, in the order added.")
        .def(
            "save",
            [](TIlluminantFactory& f, TIlluminant& illuminant, const py::handle& file) {
                const std::string path = PathOf(file);
                SinkScope sinks;
                const int rc = f.SaveIlluminant(&illuminant, path.c_str());
                if (rc != 0)
                    sinks.Fail(rc, "could not save the illuminant to " + path);
                sinks.Done();
            },
            py::arg("illuminant"), py::arg("file"), "Writes an illuminant file (extension .ill).")
        .def("copy", [](const TIlluminantFactory& f) { return TIlluminantFactory(f); })
        .def("__repr__", [](const TIlluminantFactory& f) {
            return "<tintvale.IlluminantFactory with " + std::to_string(Count(f)) + " illuminants>";
        });

    py::class_<TIlluminantAndObserver>(m, "IlluminantAndObserver",
        "Tristimulus integration under one illuminant and observer (CIE 15:2004, 7.1; ASTM E308 "
        "Table 6 weights for CIE illuminants F2, F7, F11 under 2 degrees): a perfect white has Y = 100.")
        .def(py::init(&MakeIntegration), py::arg("illuminant"), py::arg("observer") = 0,
            py::keep_alive<1, 2>())
        .def("xyz", &IntegrateRows, py::arg("spectra"), "XYZ (..., 3) of reflectance spectra (..., 36).")
        .def_property_readonly("white", &White, "XYZ of the perfect white.");

    m.def(
        "xyz",
        [](const py::handle& spectra, const py::handle& illuminant, const py::handle& observer,
            const py::handle& wavelengths, const std::string& method) {
            const TIlluminant& ill = IlluminantOf(illuminant);
            if (method == kGrid) {
                if (!wavelengths.is_none())
                    throw py::value_error("method \"grid\" takes the 36 samples at WAVELENGTHS: leave "
                                          "wavelengths out");
                return IntegrateRows(*MakeIntegration(ill, observer), spectra);
            }
            const int request = TFineIntegration::RequestByName(method.c_str());
            if (request < 0)
                throw py::value_error("unknown method \"" + method + "\" (auto, astm-e308, cie15 or grid)");
            if (wavelengths.is_none() && request == TFineIntegration::kAuto)
                return IntegrateRows(*MakeIntegration(ill, observer), spectra);
            return IntegrateAtWavelengths(
                ill, observer, spectra, wavelengths, static_cast<TFineIntegration::Request>(request));
        },
        py::arg("spectra"), py::arg("illuminant"), py::arg("observer") = 0,
        py::arg("wavelengths") = py::none(), py::arg("method") = "auto",
        "XYZ (..., 3) of reflectance spectra under an illuminant (an Illuminant, or the name of a shipped "
        "one) and observer (0 or \"2 degree\", 1 or \"10 degree\"); a perfect white has Y = 100. Without "
        "wavelengths the spectra are 36 samples at WAVELENGTHS. With wavelengths (nm, strictly ascending, "
        "reaching 400 to 700 nm) the spectra have one value per wavelength. method: \"auto\" integrates "
        "evenly spaced 10- and 20-nm data with ASTM E308 weights (computed by ASTM E2022), 1- and 5-nm data "
        "by the CIE 15 summation at their own points, other spacings interpolated to 380, 385, ..., 780 nm "
        "and summed there (CIE 15:2004, 7.1), and the 36 samples without wavelengths on the grid; "
        "\"astm-e308\" and \"cie15\" force those; \"grid\" is the 36-sample grid. An illuminant with "
        "only 10-nm data is used at 10 nm for interpolated data, with a UserWarning. A row with a value "
        "that is not finite gives NaN.");
    m.def(
        "observer_functions",
        [](const py::handle& observer) {
            const TObserver obs = ObserverOf(observer);
            const TSpectrum* bars[3]
                = { obs.GetXSensitivity(), obs.GetYSensitivity(), obs.GetZSensitivity() };
            py::array_t<double> cmf(std::vector<py::ssize_t> { kN, 3 });
            double* out = cmf.mutable_data();
            for (int c = 0; c < 3; ++c) {
                const double* samples = bars[c]->GetUniformSpectrum(nullptr, nullptr, nullptr);
                for (int i = 0; i < kN; ++i)
                    out[3 * i + c] = samples[i];
            }
            return cmf;
        },
        py::arg("observer") = 0, "The colour-matching functions x̄, ȳ, z̄ (36, 3) at WAVELENGTHS.");
    m.def(
        "white_point",
        [](const TIlluminant& illuminant, const py::handle& observer) {
            return White(*MakeIntegration(illuminant, observer));
        },
        py::arg("illuminant"), py::arg("observer") = 0, "XYZ of the perfect white, Y = 100.");
}

} // namespace tvpy
