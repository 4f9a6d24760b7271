// Colour spaces: the CIECAM02 and CIECAM97s appearance spaces, the colour-space facade and XYZR,
// over arrays of triples.
#include "pycommon.h"

#include <tintvale/tcolorspace.h>
#include <tintvale/tcolorspace_ciecam02.h>
#include <tintvale/tcolorspace_ciecam97s.h>
#include <tintvale/txyzrspace.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace tvpy {

namespace {

const char* const kSurrounds[] = { "average", "dim", "dark" };

int SurroundOf(const py::handle& obj)
{
    if (py::isinstance<py::str>(obj)) {
        const std::string name = obj.cast<std::string>();
        for (int i = 0; i < 3; ++i) {
            if (name == kSurrounds[i])
                return i;
        }
        throw py::value_error("unknown surround \"" + name + "\"; use \"average\", \"dim\" or \"dark\"");
    }
    if (const auto index = IndexOf(obj, 3, "surround index must be 0 (average), 1 (dim) or 2 (dark)"))
        return *index;
    throw py::type_error("a surround is 0, 1, 2 or \"average\", \"dim\", \"dark\"");
}

void CheckSpace(int error, const char* what)
{
    if (error != 0)
        throw LibraryError { error, what };
}

// A triple the library could not compute (status not 0) is NaN whole.
void NanUnless(int status, double* out)
{
    if (status != 0)
        out[0] = out[1] = out[2] = std::numeric_limits<double>::quiet_NaN();
}

// The two appearance spaces share their Python surface. Their C++ CalcDeltaE gives the squared
// distance; here delta_e is the distance itself, the square root of CalcSquareDeltaE.
template <typename Space> void BindAppearance(py::module_& m, const char* name, const char* doc)
{
    py::class_<Space>(m, name, doc, py::dynamic_attr())
        .def(py::init([](const py::handle& white, const py::handle& surround) {
            double w[3];
            TripleOf(white, "white", w);
            auto space = std::make_unique<Space>(w, SurroundOf(surround));
            CheckSpace(space->ErrNo(), "the white needs a positive Y");
            return space;
        }),
            py::arg("white"), py::arg("surround") = 0,
            "Relative to white XYZ (3 numbers) under a surround: 0 \"average\", 1 \"dim\", 2 \"dark\".")
        .def(
            "from_xyz",
            [](const Space& s, const py::handle& xyz) {
                return MapTriples(
                    xyz, "xyz", [&s](const double* in, double* out) { NanUnless(s.FromXYZ(in, out), out); });
            },
            py::arg("xyz"),
            "(J, C, h) (..., 3) of XYZ (..., 3): lightness, chroma, hue in degrees; black gives (0, 0, 0), "
            "NaN where the model has no result (Y = 0 but not black, a NaN input).")
        .def(
            "to_xyz",
            [](const Space& s, const py::handle& jch) {
                return MapTriples(
                    jch, "jch", [&s](const double* in, double* out) { NanUnless(s.ToXYZ(in, out), out); });
            },
            py::arg("jch"), "XYZ (..., 3) of (J, C, h) (..., 3); NaN where the model has no result.")
        .def(
            "delta_e",
            [](const Space& s, const py::handle& xyz1, const py::handle& xyz2) {
                return MapPairs(xyz1, xyz2, "xyz1", "xyz2", [&s](const double* a, const double* b) {
                    return std::sqrt(s.CalcSquareDeltaE(a, b, 0));
                });
            },
            py::arg("xyz1"), py::arg("xyz2"),
            "Distances in (J, C cos h, C sin h) of XYZ pairs, in the order (sample, reference); the "
            "distance is symmetric.")
        .def(
            "delta_e_jch",
            [](const Space& s, const py::handle& jch1, const py::handle& jch2) {
                return MapPairs(jch1, jch2, "jch1", "jch2", [&s](const double* a, const double* b) {
                    return std::sqrt(s.CalcSquareDeltaEConverted(a, b, 0));
                });
            },
            py::arg("jch1"), py::arg("jch2"),
            "Distances in (J, C cos h, C sin h) of (J, C, h) pairs, in the order (sample, reference); the "
            "distance is symmetric.");
}

std::string ColorSpaceName(int type) { return TColorSpace::GetColorSpaceList()[type]; }

int ColorSpaceTypeOf(const py::handle& obj)
{
    const int count = TColorSpace::GetColorSpaceListSize();
    if (py::isinstance<py::str>(obj)) {
        const std::string name = obj.cast<std::string>();
        for (int i = 0; i < count; ++i) {
            if (name == ColorSpaceName(i))
                return i;
        }
        throw py::value_error("unknown colour space \"" + name + "\"");
    }
    if (const auto type = IndexOf(obj, count, "colour space type must be 0.." + std::to_string(count - 1)))
        return *type;
    throw py::type_error("a colour space is its type or its name, e.g. \"CIECAM02\"");
}

int FacadeFormulaOf(const TColorSpace& space, const py::handle& obj)
{
    const char** names = space.GetDifferenceFunctionList();
    const int count = space.GetDifferenceFunctionListSize();
    if (space.GetType() == 0)
        return FormulaOf(obj);
    if (py::isinstance<py::str>(obj)) {
        const std::string name = obj.cast<std::string>();
        for (int i = 0; i < count; ++i) {
            if (name == names[i])
                return i;
        }
        throw py::value_error("\"" + name + "\" is no formula of " + ColorSpaceName(space.GetType()));
    }
    if (const auto index = IndexOf(obj, count, "formula index must be 0.." + std::to_string(count - 1)))
        return *index;
    throw py::type_error("a formula is its index or its name");
}

py::tuple Names(const char** names, int count)
{
    py::list list;
    for (int i = 0; i < count; ++i)
        list.append(names[i]);
    return py::tuple(list);
}

} // namespace

void BindColorSpaces(py::module_& m)
{
    m.attr("SURROUNDS") = py::make_tuple(kSurrounds[0], kSurrounds[1], kSurrounds[2]);
    m.attr("COLOR_SPACES") = Names(TColorSpace::GetColorSpaceList(), TColorSpace::GetColorSpaceListSize());

    BindAppearance<TColorSpace_CIECAM02>(m, "CIECAM02",
        "The CIECAM02 appearance model (CIE 159:2004) for adapting luminance 318.31 cd/m^2 and "
        "background Yb = 20.");
    BindAppearance<TColorSpace_CIECAM97s>(m, "CIECAM97s",
        "The CIECAM97s appearance model (CIE 131-1998) for adapting luminance 318.31 cd/m^2 and "
        "background Yb = 20.");

    py::class_<TColorSpace>(m, "ColorSpace", py::dynamic_attr(),
        "A colour space chosen by type or name from COLOR_SPACES (CIELAB, CIECAM97s, CIECAM02, the "
        "appearance models under an average surround), with its own difference formulas.")
        .def(py::init([](const py::handle& white, const py::handle& type) {
            double w[3];
            TripleOf(white, "white", w);
            const int t = ColorSpaceTypeOf(type);
            SinkScope sinks;
            auto space = std::make_unique<TColorSpace>(w, t);
            if (space->ErrNo() != 0)
                sinks.Fail(space->ErrNo(), "invalid reference white");
            sinks.Done();
            return space;
        }),
            py::arg("white"), py::arg("type"))
        .def_property_readonly("type", &TColorSpace::GetType)
        .def_property_readonly("name", [](const TColorSpace& s) { return ColorSpaceName(s.GetType()); })
        .def_property_readonly(
            "formulas",
            [](const TColorSpace& s) {
                return Names(s.GetDifferenceFunctionList(), s.GetDifferenceFunctionListSize());
            },
            "The names of this space's difference formulas.")
        .def(
            "from_xyz",
            [](const TColorSpace& s, const py::handle& xyz) {
                return MapTriples(xyz, "xyz", [&s](const double* in, double* out) { s.FromXYZ(in, out); });
            },
            py::arg("xyz"), "Coordinates (..., 3) of XYZ (..., 3): Lab, or (J, C, h) with h in degrees.")
        .def(
            "to_xyz",
            [](const TColorSpace& s, const py::handle& coords) {
                return MapTriples(
                    coords, "coords", [&s](const double* in, double* out) { s.ToXYZ(in, out); });
            },
            py::arg("coords"))
        .def(
            "delta_e",
            [](const TColorSpace& s, const py::handle& xyz1, const py::handle& xyz2,
                const py::handle& formula) {
                const int index = FacadeFormulaOf(s, formula);
                return MapPairs(xyz1, xyz2, "xyz1", "xyz2",
                    [&s, index](const double* a, const double* b) { return s.CalcDeltaE(a, b, index); });
            },
            py::arg("xyz1"), py::arg("xyz2"), py::arg("formula") = 0,
            "Colour differences of XYZ pairs in the order (sample, reference): xyz1 is the sample, xyz2 "
            "the reference (CIE94 and CMC take their weights from it). formula: index or name of a "
            "formula of this space; CIELAB accepts the aliases of DELTA_E_ALIASES too.")
        .def_static(
            "formulas_of",
            [](const py::handle& type) {
                const int t = ColorSpaceTypeOf(type);
                return Names(
                    TColorSpace::GetDifferenceFunctionList(t), TColorSpace::GetDifferenceFunctionListSize(t));
            },
            py::arg("type"), "The difference formula names of a colour space type.");

    py::class_<TXYZRSpace>(
        m, "XYZRSpace", "XYZ relative to a reference white, component by component.", py::dynamic_attr())
        .def(py::init([](const py::handle& white) {
            double w[3];
            TripleOf(white, "white", w);
            TXYZRSpace space(w);
            CheckSpace(space.ErrNo(), "every white component must be at least 1e-6");
            return space;
        }),
            py::arg("white"))
        .def(
            "to_xyzr",
            [](const TXYZRSpace& s, const py::handle& xyz) {
                return MapTriples(xyz, "xyz", [&s](const double* in, double* out) { s.XYZToXYZR(in, out); });
            },
            py::arg("xyz"), "X / Xw, Y / Yw, Z / Zw.")
        .def(
            "to_xyz",
            [](const TXYZRSpace& s, const py::handle& xyzr) {
                return MapTriples(
                    xyzr, "xyzr", [&s](const double* in, double* out) { s.XYZRToXYZ(in, out); });
            },
            py::arg("xyzr"))
        .def(
            "relative_luminance",
            [](const TXYZRSpace& s, const py::handle& xyz) {
                Rows rows = RowsOf(xyz, 3, "xyz");
                py::array_t<double> result = NewRows<double>(rows.lead, 0);
                double* out = result.mutable_data();
                for (py::ssize_t i = 0; i < rows.count; ++i)
                    s.XYZToYR(rows.data + 3 * i, out + i);
                return result;
            },
            py::arg("xyz"), "Y / Yw of XYZ (..., 3).")
        .def(
            "neutral",
            [](const TXYZRSpace& s, const py::handle& yr) {
                DoubleArray values = DoubleArray::ensure(yr);
                if (!values)
                    throw py::type_error("relative luminances must be numbers");
                std::vector<py::ssize_t> lead(values.shape(), values.shape() + values.ndim());
                py::array_t<double> result = NewRows<double>(lead, 3);
                double* out = result.mutable_data();
                for (py::ssize_t i = 0; i < values.size(); ++i)
                    s.YRToXYZ(values.data() + i, out + 3 * i);
                return result;
            },
            py::arg("yr"), "XYZ (..., 3) of the white scaled by relative luminances (...).");
}

} // namespace tvpy
