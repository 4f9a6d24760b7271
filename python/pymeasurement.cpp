// Measurements (reflectance, emission, XYZ and Lab samples under a geometry) and the search for a
// reflectance spectrum matching a colour, over arrays of targets.
#include "pycommon.h"

#include <tintvale/temissionspectrum.h>
#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tlabmeasurement.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tonemeasurement.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>
#include <tintvale/txyzmeasurement.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tvpy {

namespace {

constexpr int kN = TSpectrum::kNrUniform;
using Measurement = std::shared_ptr<TOneMeasurement>;

const char* MeasurementErrorText(int code)
{
    switch (code) {
    case -1:
        return "the measurement was taken under another illuminant or observer";
    case 1:
        return "a density is undefined";
    case 2:
        return "the measurement has no spectrum";
    case 3:
        return "a required part is missing, or the white cannot serve as the reference of CIELAB";
    case 4:
        return "a value or the result is not finite";
    default:
        return "measurement error";
    }
}

void CheckStatus(int status)
{
    if (status != 0)
        throw LibraryError { status, MeasurementErrorText(status) };
}

TMeasGeom GeometryOf(const py::handle& obj)
{
    if (py::isinstance<py::str>(obj)) {
        const std::string name = obj.cast<std::string>();
        TMeasGeom geom(name.c_str());
        if (geom.ErrNo() != 0)
            throw py::value_error("unknown geometry \"" + name + "\"; see GEOMETRIES");
        return geom;
    }
    if (const auto index = IndexOf(
            obj, TMeasGeom::sNrGeom, "geometry index must be 0.." + std::to_string(TMeasGeom::sNrGeom - 1)))
        return TMeasGeom(*index);
    throw py::type_error("a geometry is its index or its name from GEOMETRIES");
}

std::vector<double> CoordsOf(const py::handle& obj)
{
    if (obj.is_none())
        return {};
    DoubleArray array = DoubleArray::ensure(obj);
    if (!array || array.ndim() != 1)
        throw py::value_error("coords must be a 1-D sequence of numbers");
    return std::vector<double>(array.data(), array.data() + array.size());
}

const double* Data(const std::vector<double>& v) { return v.empty() ? nullptr : v.data(); }

// An optional observer: None stands for "any" where the library accepts a null observer.
std::optional<TObserver> OptionalObserver(const py::handle& obj)
{
    if (obj.is_none())
        return std::nullopt;
    return ObserverOf(obj);
}

const TObserver* Ptr(const std::optional<TObserver>& o) { return o ? &*o : nullptr; }

TSpectrum SpectrumOf(const py::handle& obj)
{
    if (py::isinstance<TSpectrum>(obj))
        return obj.cast<const TSpectrum&>();
    Rows rows = RowsOf(obj, kN, "spectrum");
    if (!rows.lead.empty())
        throw py::value_error("spectrum must be a Spectrum or 36 samples");
    return TSpectrum(rows.data);
}

py::array_t<double> Triple(const double* v)
{
    py::array_t<double> out(3);
    std::memcpy(out.mutable_data(), v, 3 * sizeof(double));
    return out;
}

// Parameters of the search shared by every target.
struct MatchSetup {
    const double* white = nullptr;
    double whiteValue[3];
    std::vector<double> upper, lower;
    TIlluminantAndObserver::MatchingMethod method = TIlluminantAndObserver::MatchInLab;
};

TIlluminantAndObserver::MatchingMethod MethodOf(const std::string& name)
{
    if (name == "lab")
        return TIlluminantAndObserver::MatchInLab;
    if (name == "xyz")
        return TIlluminantAndObserver::MatchInXYZ;
    throw py::value_error("method must be \"lab\" or \"xyz\"");
}

std::vector<double> BoundsOf(const py::handle& obj, const char* what)
{
    if (obj.is_none())
        return {};
    Rows rows = RowsOf(obj, kN, what);
    if (!rows.lead.empty())
        throw py::value_error(std::string(what) + " must be 36 numbers");
    return std::vector<double>(rows.data, rows.data + kN);
}

// Runs the search for every target (..., 3) from start (36) or one start per target (..., 36);
// returns the spectra (..., 36) and their CIE 1976 differences to the targets (...).
py::tuple Match(TIlluminantAndObserver& io, const py::handle& target, const py::handle& start,
    const py::handle& white, const py::handle& upper, const py::handle& lower, const std::string& method)
{
    MatchSetup setup;
    setup.method = MethodOf(method);
    if (!white.is_none()) {
        TripleOf(white, "white", setup.whiteValue);
        setup.white = setup.whiteValue;
    }
    setup.upper = BoundsOf(upper, "upper");
    setup.lower = BoundsOf(lower, "lower");
    Rows targets = RowsOf(target, 3, "target");
    py::object startValues = py::reinterpret_borrow<py::object>(start);
    if (start.is_none()) {
        py::array_t<double> flat(kN);
        std::fill(flat.mutable_data(), flat.mutable_data() + kN, 0.5);
        startValues = flat;
    }
    Rows starts = RowsOf(startValues, kN, "start");
    const bool oneStart = starts.lead.empty();
    if (!oneStart && starts.lead != targets.lead)
        throw py::value_error("start must be 36 samples or one row of 36 per target");

    py::array_t<double> spectra = NewRows<double>(targets.lead, kN);
    py::array_t<double> differences = NewRows<double>(targets.lead, 0);
    double* out = spectra.mutable_data();
    double* de = differences.mutable_data();
    py::ssize_t failed = -1;
    {
        py::gil_scoped_release release;
        for (py::ssize_t i = 0; i < targets.count; ++i) {
            const double* s = starts.data + (oneStart ? 0 : i * kN);
            de[i] = io.CalculateMatchingSpectrum(targets.data + 3 * i, setup.white, Data(setup.upper),
                Data(setup.lower), s, setup.method, out + i * kN);
            if (de[i] < 0.0) {
                failed = i;
                break;
            }
        }
    }
    if (failed >= 0) {
        throw LibraryError { -1,
            "the search cannot run for target " + std::to_string(failed)
                + " (a value that is not finite, or a white that is not positive and finite)" };
    }
    return py::make_tuple(spectra, differences);
}

py::tuple MeasurementDensity(const TOneMeasurement& m, const py::handle& standard,
    const TOneMeasurement* reference, const TIlluminant* ill, const py::handle& observer)
{
    const TCMS::FilterStandard filter = StandardOf(standard);
    const std::optional<TObserver> obs = OptionalObserver(observer);
    py::array_t<double> d(4);
    std::fill(d.mutable_data(), d.mutable_data() + 4, std::nan(""));
    int dominant = 3;
    const int status = reference == nullptr
        ? m.GetDensity(filter, d.mutable_data(), &dominant)
        : m.GetDensity(filter, reference, ill, Ptr(obs), d.mutable_data(), &dominant);
    // Status 1 marks densities that are undefined (a black spectrum): they stay NaN.
    if (status != 0 && status != 1)
        CheckStatus(status);
    return py::make_tuple(d, dominant);
}

} // namespace

void BindMeasurements(py::module_& m)
{
    py::class_<TOneMeasurement, Measurement>(m, "Measurement",
        "One colour sample under a measurement geometry: ReflectionSpectrum, EmissionSpectrum, "
        "XYZMeasurement or LabMeasurement. Illuminants given to a measurement are kept alive by it.")
        .def_property_readonly(
            "geometry", [](const TOneMeasurement& x) { return std::string(x.GetGeometry()->Name()); })
        .def_property_readonly(
            "coords",
            [](const TOneMeasurement& x) {
                int count = 0;
                const double* c = x.GetCoord(&count);
                py::array_t<double> out(count);
                if (count > 0)
                    std::memcpy(out.mutable_data(), c, count * sizeof(double));
                return out;
            },
            "The colour coordinates attached (for instance 1 - tint / 100 per colorant).")
        .def(
            "set_coords",
            [](TOneMeasurement& x, const py::handle& coords) {
                const std::vector<double> c = CoordsOf(coords);
                CheckStatus(x.SetCoord(static_cast<int>(c.size()), Data(c)));
            },
            py::arg("coords"))
        .def(
            "xyz",
            [](const TOneMeasurement& x, const TIlluminant* ill, const py::handle& observer) {
                const std::optional<TObserver> obs = OptionalObserver(observer);
                double xyz[3] = { 0.0, 0.0, 0.0 };
                CheckStatus(x.GetXYZ(ill, Ptr(obs), xyz));
                return Triple(xyz);
            },
            py::arg("illuminant") = nullptr, py::arg("observer") = 0,
            "XYZ under an illuminant and observer (a perfect white has Y = 100).")
        .def(
            "lab",
            [](const TOneMeasurement& x, const TIlluminant* ill, const py::handle& observer,
                const py::handle& white) {
                const std::optional<TObserver> obs = OptionalObserver(observer);
                double w[3];
                const double* wp = nullptr;
                if (!white.is_none()) {
                    TripleOf(white, "white", w);
                    wp = w;
                }
                double lab[3] = { 0.0, 0.0, 0.0 };
                CheckStatus(x.GetLAB(ill, Ptr(obs), wp, lab));
                return Triple(lab);
            },
            py::arg("illuminant") = nullptr, py::arg("observer") = 0, py::arg("white") = py::none(),
            "CIELAB relative to white (3 numbers).")
        .def("density", &MeasurementDensity, py::arg("standard"), py::arg("reference") = nullptr,
            py::arg("illuminant") = nullptr, py::arg("observer") = 0,
            "Densities (cyan, magenta, yellow, visual; NaN where undefined) and the dominant index, "
            "relative to a reference (paper) measurement when one is given.")
        .def(
            "sctv",
            [](const TOneMeasurement& x, const TIlluminant* ill, const py::handle& observer,
                const TOneMeasurement* paper, const TOneMeasurement* solid) {
                const TObserver obs = ObserverOf(observer);
                const double v = x.GetSCTV(ill, &obs, paper, solid);
                if (v < 0.0)
                    throw LibraryError { -1,
                        "a Lab value is unavailable under this illuminant and observer" };
                return v;
            },
            py::arg("illuminant"), py::arg("observer") = 0, py::arg("paper") = nullptr,
            py::arg("solid") = nullptr,
            "Spot colour tone value (ISO 20654) against paper and solid, as a fraction.")
        .def_property_readonly(
            "spectrum",
            [](const TOneMeasurement& x) -> py::object {
                const TSpectrum* s = x.GetSpectrum();
                return s ? py::cast(TSpectrum(*s)) : py::object(py::none());
            },
            "A copy of the measured spectrum, or None.")
        .def(
            "to_spectral",
            [](const TOneMeasurement& x, const TOneMeasurement* tmpl) -> py::object {
                TOneMeasurement* made = x.CreateSpectralMeasurement(tmpl);
                if (made == nullptr)
                    return py::none();
                return py::cast(Measurement(made));
            },
            py::arg("template") = nullptr,
            "A spectral measurement reproducing this one, or None (XYZ measurements; a Lab measurement "
            "needs a spectral template to start its search from).")
        .def(
            "copy", [](const TOneMeasurement& x) { return Measurement(x.Copy()); }, py::keep_alive<0, 1>());

    py::class_<TReflectionSpectrum, TOneMeasurement, std::shared_ptr<TReflectionSpectrum>>(
        m, "ReflectionSpectrum", "A reflectance (or transmittance) spectrum.")
        .def(py::init([](const py::handle& spectrum, const py::handle& geometry, const py::handle& coords) {
            const TSpectrum s = SpectrumOf(spectrum);
            const TMeasGeom geom = GeometryOf(geometry);
            const std::vector<double> c = CoordsOf(coords);
            auto made = std::make_shared<TReflectionSpectrum>(s, &geom, static_cast<int>(c.size()), Data(c));
            CheckStatus(made->ErrNo());
            return made;
        }),
            py::arg("spectrum"), py::arg("geometry") = 0, py::arg("coords") = py::none());

    py::class_<TEmissionSpectrum, TOneMeasurement, std::shared_ptr<TEmissionSpectrum>>(m, "EmissionSpectrum",
        "The spectral radiance of a light or display; XYZ is the observer's absolute summation.")
        .def(py::init([](const py::handle& spectrum, const py::handle& geometry, const py::handle& coords) {
            const TSpectrum s = SpectrumOf(spectrum);
            const TMeasGeom geom = GeometryOf(geometry);
            const std::vector<double> c = CoordsOf(coords);
            auto made = std::make_shared<TEmissionSpectrum>(&s, &geom, static_cast<int>(c.size()), Data(c));
            CheckStatus(made->ErrNo());
            return made;
        }),
            py::arg("spectrum"), py::arg("geometry") = 0, py::arg("coords") = py::none());

    py::class_<TXYZMeasurement, TOneMeasurement, std::shared_ptr<TXYZMeasurement>>(
        m, "XYZMeasurement", "Tristimulus values under one illuminant and observer.")
        .def(py::init([](const py::handle& xyz, const TIlluminant& ill, const py::handle& observer,
                          const py::handle& geometry, const py::handle& coords) {
            double v[3];
            TripleOf(xyz, "xyz", v);
            const TObserver obs = ObserverOf(observer);
            const TMeasGeom geom = GeometryOf(geometry);
            const std::vector<double> c = CoordsOf(coords);
            auto made = std::make_shared<TXYZMeasurement>(
                v[0], v[1], v[2], &geom, &ill, &obs, static_cast<int>(c.size()), Data(c));
            CheckStatus(made->ErrNo());
            return made;
        }),
            py::arg("xyz"), py::arg("illuminant"), py::arg("observer") = 0, py::arg("geometry") = 0,
            py::arg("coords") = py::none(), py::keep_alive<1, 3>());

    py::class_<TLABMeasurement, TOneMeasurement, std::shared_ptr<TLABMeasurement>>(
        m, "LabMeasurement", "CIELAB values relative to a stated white, under one illuminant and observer.")
        .def(py::init([](const py::handle& lab, const py::handle& white, const TIlluminant& ill,
                          const py::handle& observer, const py::handle& geometry, const py::handle& coords) {
            double v[3];
            double w[3];
            TripleOf(lab, "lab", v);
            TripleOf(white, "white", w);
            const TObserver obs = ObserverOf(observer);
            const TMeasGeom geom = GeometryOf(geometry);
            const std::vector<double> c = CoordsOf(coords);
            auto made = std::make_shared<TLABMeasurement>(
                v[0], v[1], v[2], w, &geom, &ill, &obs, static_cast<int>(c.size()), Data(c));
            CheckStatus(made->ErrNo());
            return made;
        }),
            py::arg("lab"), py::arg("white"), py::arg("illuminant"), py::arg("observer") = 0,
            py::arg("geometry") = 0, py::arg("coords") = py::none(), py::keep_alive<1, 4>())
        .def_property_readonly("white", [](const TLABMeasurement& x) { return Triple(x.GetWhite()); });

    py::class_<TIlluminantAndObserver> io
        = py::reinterpret_borrow<py::class_<TIlluminantAndObserver>>(m.attr("IlluminantAndObserver"));
    io.def("matching_spectrum", &Match, py::arg("target"), py::arg("start") = py::none(),
        py::arg("white") = py::none(), py::arg("upper") = py::none(), py::arg("lower") = py::none(),
        py::arg("method") = "lab",
        "Searches reflectances whose XYZ under this illuminant and observer come close to the targets "
        "(..., 3), from start (36 samples, or one row per target; None: 0.5 everywhere), within [lower, "
        "upper] (default "
        "0.00001 and 0.99999), minimising the CIE 1976 difference (method \"lab\") or the XYZ distance "
        "(\"xyz\"). Returns (spectra (..., 36), CIE 1976 Delta E*ab to each target under white).");
    m.def(
        "matching_spectrum",
        [](const py::handle& target, const TIlluminant& illuminant, const py::handle& observer,
            const py::handle& start, const py::handle& white, const py::handle& upper,
            const py::handle& lower, const std::string& method) {
            const TObserver obs = ObserverOf(observer);
            TIlluminantAndObserver integration(&illuminant, &obs, TIlluminantAndObserver::kMaxPoints);
            if (integration.ErrNo() != 0)
                throw LibraryError { integration.ErrNo(), "the illuminant has no spectrum or no luminance" };
            return Match(integration, target, start, white, upper, lower, method);
        },
        py::arg("target"), py::arg("illuminant"), py::arg("observer") = 0, py::arg("start") = py::none(),
        py::arg("white") = py::none(), py::arg("upper") = py::none(), py::arg("lower") = py::none(),
        py::arg("method") = "lab", "IlluminantAndObserver(illuminant, observer).matching_spectrum(...).");
}

} // namespace tvpy
