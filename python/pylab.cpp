// CIELAB: conversions between XYZ, Lab and LHC over arrays of triples, and the six
// colour-difference formulas.
#include "pycommon.h"

#include <tintvale/tlabspace.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace tvpy {

namespace {

// The library's status for a difference that cannot be computed (an overflowing one, say).
constexpr double kNoDifference = -1.0;

// A difference, or NaN for the library's status of none.
double DifferenceOrNaN(double value)
{
    return value == kNoDifference ? std::numeric_limits<double>::quiet_NaN() : value;
}

TLabSpace SpaceOf(const py::handle& white)
{
    double w[3];
    TripleOf(white, "white", w);
    SinkScope sinks;
    TLabSpace space(w);
    if (space.ErrNo() != 0)
        sinks.Fail(space.ErrNo(), "invalid reference white");
    sinks.Done();
    return space;
}

// One colour of the pair, given by position or by keyword, not both.
py::handle PairPart(const py::handle& positional, const py::handle& keyword, const char* name)
{
    if (!positional.is_none() && !keyword.is_none())
        throw py::type_error(
            std::string("delta_e: the ") + name + " is given twice (by position and as " + name + "=)");
    if (positional.is_none() && keyword.is_none())
        throw py::type_error(
            std::string("delta_e: no ") + name + " (give it by position or as " + name + "=)");
    return positional.is_none() ? keyword : positional;
}

py::array_t<double> DeltaE(const py::handle& lab1In, const py::handle& lab2In, const py::handle& formula,
    const py::handle& sample, const py::handle& reference)
{
    const py::handle lab1 = PairPart(lab1In, sample, "sample");
    const py::handle lab2 = PairPart(lab2In, reference, "reference");
    const int index = FormulaOf(formula);
    return MapPairs(lab1, lab2, "lab1", "lab2", [index](const double* a, const double* b) {
        // CIE94 and CMC subtract Delta C^2 inside their Delta H^2: for near-equal colours rounding
        // can leave the sum a hair below 0, which is a difference of 0, not NaN.
        const double square = TLabSpace::CalcSquareDeltaEConvertedStatic(a, b, index);
        if (square == kNoDifference)
            return std::numeric_limits<double>::quiet_NaN();
        return square > 0.0 ? std::sqrt(square) : 0.0;
    });
}

} // namespace

const char* DefaultFormula()
{
    return TLabSpace::GetDifferenceFunctionList()[TLabSpace::kDefaultDifferenceFunction];
}

int FormulaOf(const py::handle& obj)
{
    const int count = TLabSpace::GetDifferenceFunctionListSize();
    if (py::isinstance<py::str>(obj)) {
        const std::string name = obj.cast<std::string>();
        const int index = TLabSpace::DifferenceFunctionNameToIndex(name.c_str());
        if (index >= 0)
            return index;
        std::string known;
        for (int i = 0; i < count; ++i)
            known += (i ? ", \"" : "\"") + std::string(TLabSpace::GetDifferenceFunctionList()[i]) + "\"";
        throw py::value_error("unknown colour-difference formula \"" + name + "\"; known: " + known
            + " and their aliases (DELTA_E_ALIASES)");
    }
    if (const auto index = IndexOf(obj, count, "formula index must be 0.." + std::to_string(count - 1)))
        return *index;
    throw py::type_error(
        std::string("a formula is its index or its name, e.g. \"") + DefaultFormula() + "\"");
}

void BindLab(py::module_& m)
{
    py::list formulas;
    for (int i = 0; i < TLabSpace::GetDifferenceFunctionListSize(); ++i)
        formulas.append(TLabSpace::GetDifferenceFunctionList()[i]);
    m.attr("DELTA_E_FORMULAS") = py::tuple(formulas);
    py::dict aliases;
    for (int i = 0; i < TLabSpace::GetDifferenceFunctionListSize(); ++i)
        for (const char* const* alias = TLabSpace::GetDifferenceFunctionAliases(i); *alias; ++alias)
            aliases[*alias] = TLabSpace::GetDifferenceFunctionList()[i];
    m.attr("DELTA_E_ALIASES") = aliases;

    py::class_<TLabSpace>(
        m, "LabSpace", "CIELAB (CIE 15:2004, 8.2.1) relative to one reference white XYZ.", py::dynamic_attr())
        .def(py::init(&SpaceOf), py::arg("white"))
        .def(
            "to_lab",
            [](const TLabSpace& s, const py::handle& xyz) {
                return MapTriples(xyz, "xyz", [&s](const double* in, double* out) { s.XYZToLab(in, out); });
            },
            py::arg("xyz"), "Lab (..., 3) of XYZ (..., 3); a negative component converts as 0.")
        .def(
            "to_lab_fast",
            [](const TLabSpace& s, const py::handle& xyz) {
                Rows rows = RowsOf(xyz, 3, "xyz");
                py::array_t<double> lab = NewRows<double>(rows.lead, 3);
                double* out = lab.mutable_data();
                {
                    py::gil_scoped_release release;
                    // The count is an int: convert in slices that fit one.
                    constexpr py::ssize_t kSlice = 1 << 30;
                    for (py::ssize_t i = 0; i < rows.count; i += kSlice) {
                        const py::ssize_t n = std::min(kSlice, rows.count - i);
                        s.FastXYZToLab(rows.data + 3 * i, out + 3 * i, static_cast<int>(n));
                    }
                }
                return lab;
            },
            py::arg("xyz"), "Lab computed in single precision (differs from to_lab in the low digits).")
        .def(
            "to_xyz",
            [](const TLabSpace& s, const py::handle& lab) {
                return MapTriples(lab, "lab", [&s](const double* in, double* out) { s.LabToXYZ(in, out); });
            },
            py::arg("lab"), "XYZ (..., 3) of Lab (..., 3); negative components come out as 0.")
        .def(
            "delta_e",
            [](const TLabSpace& s, const py::handle& xyz1, const py::handle& xyz2,
                const py::handle& formula) {
                const int index = FormulaOf(formula);
                return MapPairs(xyz1, xyz2, "xyz1", "xyz2", [&s, index](const double* a, const double* b) {
                    return DifferenceOrNaN(s.CalcDeltaE(a, b, index));
                });
            },
            py::arg("xyz1"), py::arg("xyz2"), py::arg("formula") = DefaultFormula(),
            "Colour differences of XYZ pairs converted under this white, in the order (sample, "
            "reference): xyz1 is the sample, xyz2 the reference, from which CIE94 and CMC take their "
            "weights. formula: a name or alias (DELTA_E_FORMULAS, DELTA_E_ALIASES) or index; "
            "default CIEDE2000.")
        .def("__repr__", [](const TLabSpace&) { return std::string("<tintvale.LabSpace>"); });

    m.def(
        "xyz_to_lab",
        [](const py::handle& xyz, const py::handle& white) {
            const TLabSpace space = SpaceOf(white);
            return MapTriples(
                xyz, "xyz", [&space](const double* in, double* out) { space.XYZToLab(in, out); });
        },
        py::arg("xyz"), py::arg("white"), "Lab (..., 3) of XYZ (..., 3) relative to white (3 numbers).");
    m.def(
        "lab_to_xyz",
        [](const py::handle& lab, const py::handle& white) {
            const TLabSpace space = SpaceOf(white);
            return MapTriples(
                lab, "lab", [&space](const double* in, double* out) { space.LabToXYZ(in, out); });
        },
        py::arg("lab"), py::arg("white"), "XYZ (..., 3) of Lab (..., 3) relative to white (3 numbers).");
    m.def(
        "lab_to_lhc",
        [](const py::handle& lab) {
            return MapTriples(
                lab, "lab", [](const double* in, double* out) { TLabSpace::LabToLHC(in, out); });
        },
        py::arg("lab"), "L*, hue angle in radians [0, 2 pi), chroma of Lab (..., 3).");
    m.def(
        "lhc_to_lab",
        [](const py::handle& lhc) {
            return MapTriples(
                lhc, "lhc", [](const double* in, double* out) { TLabSpace::LHCToLab(in, out); });
        },
        py::arg("lhc"), "Lab of L*, hue angle in radians [0, 2 pi], chroma (..., 3).");
    m.def("delta_e", &DeltaE, py::arg("lab1") = py::none(), py::arg("lab2") = py::none(),
        py::arg("formula") = DefaultFormula(), py::kw_only(), py::arg("sample") = py::none(),
        py::arg("reference") = py::none(),
        "Colour differences of Lab pairs (..., 3), broadcast against each other, in the order (sample, "
        "reference): lab1 is the sample, lab2 the reference, from which CIE94 and CMC take their weights "
        "(the reverse of colormath's order, and of compare's files); sample= and reference= name them "
        "whatever the order. formula: a name or alias from DELTA_E_FORMULAS or "
        "DELTA_E_ALIASES (letter case ignored) or an index; default CIEDE2000.");
    m.def(
        "sctv",
        [](const py::handle& tint, const py::handle& paper, const py::handle& solid) {
            Rows t = RowsOf(tint, 3, "tint");
            Rows p = RowsOf(paper, 3, "paper");
            Rows s = RowsOf(solid, 3, "solid");
            Broadcast(t, p, s, 3);
            py::array_t<double> result = NewRows<double>(t.lead, 0);
            double* out = result.mutable_data();
            {
                py::gil_scoped_release release;
                for (py::ssize_t i = 0; i < t.count; ++i)
                    out[i] = TLabSpace::CalcSCTV(t.data + 3 * i, p.data + 3 * i, s.data + 3 * i);
            }
            return result;
        },
        py::arg("tint"), py::arg("paper"), py::arg("solid"),
        "Spot colour tone value (ISO 20654) of Lab tints against paper and solid, as a fraction.");
}

} // namespace tvpy
