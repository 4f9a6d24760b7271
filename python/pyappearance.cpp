// tintvale.Appearance: CIECAM02, CAM16 and CIECAM16 under given viewing conditions over NumPy
// arrays, with the uniform spaces and their differences.
#include "pycommon.h"

#include <tintvale/tappearancemodel.h>

#include <array>
#include <string>

namespace tvpy {

namespace {

using Model = TAppearanceModel::Model;
constexpr const char* kCorrelateNames[7] = { "J", "C", "h", "Q", "M", "s", "H" };

// What a conversion does with a colour outside the model's domain: refuse the whole call, or give
// NaN for that colour.
bool NanOnInvalid(const std::string& onInvalid)
{
    if (onInvalid == "raise")
        return false;
    if (onInvalid == "nan")
        return true;
    throw py::value_error("on_invalid is \"raise\" or \"nan\", not \"" + onInvalid + "\"");
}

void RaiseInvalid(std::size_t failed, py::ssize_t count, py::ssize_t first)
{
    throw py::value_error(std::to_string(failed) + " of " + std::to_string(count)
        + " colours are outside the model's domain or not finite (the first at index " + std::to_string(first)
        + "); on_invalid=\"nan\" gives NaN for them");
}

TAppearanceModel::Surround SurroundOf(const py::handle& obj)
{
    TAppearanceModel::Surround s {};
    if (py::isinstance<py::str>(obj)) {
        const std::string name = obj.cast<std::string>();
        if (!TAppearanceModel::SurroundByName(name.c_str(), &s))
            throw py::value_error("unknown surround \"" + name + "\"; known: \"average\", \"dim\", \"dark\"");
        return s;
    }
    double fcn[3];
    TripleOf(obj, "surround", fcn);
    return { fcn[0], fcn[1], fcn[2] };
}

TAppearanceModel ModelOf(const std::string& name, const py::handle& white, double la, double yb,
    const py::handle& surround, bool discount, const py::handle& degree)
{
    Model model;
    if (!TAppearanceModel::ModelByName(name.c_str(), &model))
        throw py::value_error("unknown model \"" + name + "\"; known: \"CIECAM02\", \"CAM16\", \"CIECAM16\"");
    TAppearanceModel::ViewingConditions vc;
    TripleOf(white, "white", vc.white);
    vc.adaptingLuminance = la;
    vc.background = yb;
    vc.surround = SurroundOf(surround);
    vc.discountIlluminant = discount;
    if (!degree.is_none())
        vc.degreeOfAdaptation = degree.cast<double>();
    TAppearanceModel m(model, vc);
    if (m.GetStatus() != TAppearanceModel::kOk)
        throw py::value_error("the viewing conditions define no model: the white, adapting_luminance, "
                              "background and F, c, Nc must be positive and finite, a given D within [0, 1]");
    return m;
}

TAppearanceModel::UniformSpace SpaceOf(const std::string& name)
{
    const struct {
        const char* name;
        TAppearanceModel::UniformSpace space;
    } rows[] = { { "UCS", TAppearanceModel::UniformSpace::UCS },
        { "LCD", TAppearanceModel::UniformSpace::LCD }, { "SCD", TAppearanceModel::UniformSpace::SCD } };
    for (const auto& r : rows)
        if (name == r.name)
            return r.space;
    throw py::value_error("unknown uniform space \"" + name + "\"; known: \"UCS\", \"LCD\", \"SCD\"");
}

py::dict FromXYZ(const TAppearanceModel& m, const py::handle& xyz, const std::string& onInvalid)
{
    const bool nan = NanOnInvalid(onInvalid);
    Rows rows = RowsOf(xyz, 3, "xyz");
    std::array<py::array_t<double>, 7> arrays;
    double* out[7];
    for (int k = 0; k < 7; ++k) {
        arrays[k] = NewRows<double>(rows.lead, 0);
        out[k] = arrays[k].mutable_data();
    }
    const std::size_t count = static_cast<std::size_t>(rows.count);
    std::size_t failed = 0;
    py::ssize_t first = -1;
    {
        py::gil_scoped_release release;
        failed = m.ForwardMany(rows.data, count, out, 0);
        // A colour the model could not take has a correlate or a component that is not finite: all
        // its correlates NaN, never a partial result.
        for (py::ssize_t i = 0; failed > 0 && i < rows.count; ++i) {
            bool finite = AllFinite(rows.data + 3 * i);
            for (int k = 0; k < 7; ++k)
                finite = finite && std::isfinite(out[k][i]);
            if (finite)
                continue;
            if (first < 0)
                first = i;
            for (int k = 0; k < 7; ++k)
                out[k][i] = std::numeric_limits<double>::quiet_NaN();
        }
    }
    if (failed > 0 && !nan)
        RaiseInvalid(failed, rows.count, first);
    py::dict result;
    for (int k = 0; k < 7; ++k)
        result[kCorrelateNames[k]] = arrays[k];
    return result;
}

// The correlates given to to_xyz, by name; None where not given.
struct Given {
    py::object values[7]; // J, Q, C, M, s, h, H
    static constexpr const char* kNames[7] = { "J", "Q", "C", "M", "s", "h", "H" };
};

// One correlate of each group, broadcast to a common shape.
py::array_t<double> ToXYZ(const TAppearanceModel& m, const Given& given, const std::string& onInvalid)
{
    using L = TAppearanceModel::Lightness;
    using C = TAppearanceModel::Chroma;
    using H = TAppearanceModel::Hue;
    const bool nan = NanOnInvalid(onInvalid);
    // The one given among given.values[first .. last).
    auto pick = [&given](int first, int last, const char* group) {
        int found = -1;
        for (int k = first; k < last; ++k)
            if (!given.values[k].is_none()) {
                if (found >= 0)
                    throw py::value_error(std::string("give one ") + group + " correlate, not both "
                        + Given::kNames[found] + " and " + Given::kNames[k]);
                found = k;
            }
        if (found < 0)
            throw py::value_error(std::string("a ") + group + " correlate is missing");
        return found;
    };
    const int l = pick(0, 2, "lightness (J or Q)");
    const int c = pick(2, 5, "chroma (C, M or s)");
    const int h = pick(5, 7, "hue (h or H)");
    const L lk = l == 0 ? L::J : L::Q;
    const C ck = c == 2 ? C::C : (c == 3 ? C::M : C::s);
    const H hk = h == 5 ? H::h : H::H;

    py::module_ np = py::module_::import("numpy");
    py::tuple arrays = np.attr("broadcast_arrays")(np.attr("asarray")(given.values[l], "float64"),
        np.attr("asarray")(given.values[c], "float64"), np.attr("asarray")(given.values[h], "float64"));
    DoubleArray a = DoubleArray::ensure(np.attr("ascontiguousarray")(arrays[0]));
    DoubleArray b = DoubleArray::ensure(np.attr("ascontiguousarray")(arrays[1]));
    DoubleArray d = DoubleArray::ensure(np.attr("ascontiguousarray")(arrays[2]));
    std::vector<py::ssize_t> lead(a.shape(), a.shape() + a.ndim());
    py::array_t<double> result = NewRows<double>(lead, 3);
    double* out = result.mutable_data();
    const double *pa = a.data(), *pb = b.data(), *pd = d.data();
    const py::ssize_t count = a.size();
    std::size_t failed = 0;
    py::ssize_t first = -1;
    {
        py::gil_scoped_release release;
        for (py::ssize_t i = 0; i < count; ++i)
            if (m.Inverse(pa[i], lk, pb[i], ck, pd[i], hk, out + 3 * i) != TAppearanceModel::kOk) {
                out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = std::numeric_limits<double>::quiet_NaN();
                if (failed++ == 0)
                    first = i;
            }
    }
    if (failed > 0 && !nan)
        RaiseInvalid(failed, count, first);
    return result;
}

py::array_t<double> Uniform(
    const TAppearanceModel& m, const py::handle& xyz, const std::string& space, const std::string& onInvalid)
{
    const bool nan = NanOnInvalid(onInvalid);
    const TAppearanceModel::UniformSpace s = SpaceOf(space);
    std::size_t failed = 0;
    py::ssize_t first = -1, index = 0;
    py::array_t<double> result = MapTriples(xyz, "xyz", [&](const double* in, double* out) {
        if (m.XYZToUniform(in, s, out) != TAppearanceModel::kOk) {
            out[0] = out[1] = out[2] = std::numeric_limits<double>::quiet_NaN();
            if (failed++ == 0)
                first = index;
        }
        ++index;
    });
    if (failed > 0 && !nan)
        RaiseInvalid(failed, index, first);
    return result;
}

py::array_t<double> DeltaE(const TAppearanceModel& m, const py::handle& xyz1, const py::handle& xyz2,
    const std::string& space, const std::string& onInvalid)
{
    const bool nan = NanOnInvalid(onInvalid);
    const TAppearanceModel::UniformSpace s = SpaceOf(space);
    py::array_t<double> result
        = MapPairs(xyz1, xyz2, "xyz1", "xyz2", [&m, s](const double* a, const double* b) {
              const double de = m.DeltaE(a, b, s);
              return de < 0.0 ? std::numeric_limits<double>::quiet_NaN() : de;
          });
    if (!nan) {
        const double* v = result.data();
        for (py::ssize_t i = 0; i < result.size(); ++i)
            if (std::isnan(v[i]))
                throw py::value_error("no difference for the pair at index " + std::to_string(i)
                    + ": a colour is outside the model's domain or not finite; on_invalid=\"nan\" gives NaN");
    }
    return result;
}

py::tuple StateOf(const TAppearanceModel& m)
{
    const TAppearanceModel::ViewingConditions& vc = m.GetConditions();
    return py::make_tuple(TAppearanceModel::ModelName(m.GetModel()),
        py::make_tuple(vc.white[0], vc.white[1], vc.white[2]), vc.adaptingLuminance, vc.background,
        py::make_tuple(vc.surround.f, vc.surround.c, vc.surround.nc), vc.discountIlluminant,
        vc.degreeOfAdaptation < 0.0 ? py::object(py::none()) : py::object(py::float_(vc.degreeOfAdaptation)));
}

} // namespace

void BindAppearance(py::module_& m)
{
    py::class_<TAppearanceModel>(m, "Appearance",
        "A colour appearance model under fixed viewing conditions: 'CIECAM02' (CIE 159:2004), 'CAM16' "
        "(Li et al. 2017) or 'CIECAM16' (CIE 248:2022). white: XYZ of the adopted white; adapting_luminance: "
        "L_A in cd/m^2; background: Y_b on the white's scale; surround: 'average', 'dim', 'dark' or (F, c, "
        "Nc); "
        "discount_illuminant: D = 1; degree_of_adaptation: D in [0, 1] (None: computed from F and L_A).")
        .def(py::init(&ModelOf), py::arg("model") = "CAM16",
            py::arg("white") = py::make_tuple(95.047, 100.0, 108.883), py::arg("adapting_luminance") = 64.0,
            py::arg("background") = 20.0, py::arg("surround") = "average",
            py::arg("discount_illuminant") = false, py::arg("degree_of_adaptation") = py::none())
        .def("from_xyz", &FromXYZ, py::arg("xyz"), py::arg("on_invalid") = "raise",
            "The seven correlates of XYZ (..., 3) as a dict of arrays (...): lightness J, chroma C, hue "
            "angle h "
            "(degrees), brightness Q, colourfulness M, saturation s and hue quadrature H (CIE 159). A colour "
            "outside the model's domain raises ValueError, or gives NaN with on_invalid='nan'.")
        .def(
            "to_xyz",
            [](const TAppearanceModel& a, py::object j, py::object q, py::object c, py::object mm,
                py::object s, py::object h, py::object hq, const std::string& onInvalid) {
                return ToXYZ(a, Given { { j, q, c, mm, s, h, hq } }, onInvalid);
            },
            py::arg("J") = py::none(), py::arg("Q") = py::none(), py::arg("C") = py::none(),
            py::arg("M") = py::none(), py::arg("s") = py::none(), py::arg("h") = py::none(),
            py::arg("H") = py::none(), py::arg("on_invalid") = "raise",
            "XYZ (..., 3) from one of J or Q, one of C, M or s and one of h or H, given by keyword and "
            "broadcast against each other.")
        .def("ucs", &Uniform, py::arg("xyz"), py::arg("space") = "UCS", py::arg("on_invalid") = "raise",
            "J'a'b' (..., 3) of the uniform space 'UCS', 'LCD' or 'SCD' (Luo et al. 2006) on this model.")
        .def("delta_e", &DeltaE, py::arg("xyz1"), py::arg("xyz2"), py::arg("space") = "UCS",
            py::arg("on_invalid") = "raise",
            "Delta E' = sqrt((Delta J' / K_L)^2 + Delta a'^2 + Delta b'^2) of XYZ pairs, broadcast.")
        .def_property_readonly(
            "model", [](const TAppearanceModel& a) { return TAppearanceModel::ModelName(a.GetModel()); })
        .def_property_readonly("white",
            [](const TAppearanceModel& a) {
                const double* w = a.GetConditions().white;
                return py::make_tuple(w[0], w[1], w[2]);
            })
        .def_property_readonly("adapting_luminance",
            [](const TAppearanceModel& a) { return a.GetConditions().adaptingLuminance; })
        .def_property_readonly(
            "background", [](const TAppearanceModel& a) { return a.GetConditions().background; })
        .def_property_readonly("surround",
            [](const TAppearanceModel& a) {
                const auto& s = a.GetConditions().surround;
                return py::make_tuple(s.f, s.c, s.nc);
            })
        .def_property_readonly("degree_of_adaptation", &TAppearanceModel::DegreeOfAdaptation, "D as used.")
        .def_property_readonly("luminance_adaptation", &TAppearanceModel::LuminanceAdaptation, "F_L.")
        .def("__repr__",
            [](const TAppearanceModel& a) {
                const auto& vc = a.GetConditions();
                return "<tintvale.Appearance " + std::string(TAppearanceModel::ModelName(a.GetModel()))
                    + " L_A " + py::repr(py::float_(vc.adaptingLuminance)).cast<std::string>() + " Y_b "
                    + py::repr(py::float_(vc.background)).cast<std::string>() + ">";
            })
        .def(py::pickle(&StateOf, [](const py::tuple& t) {
            if (t.size() != 7)
                throw py::value_error("not the state of an Appearance");
            return ModelOf(t[0].cast<std::string>(), t[1], t[2].cast<double>(), t[3].cast<double>(), t[4],
                t[5].cast<bool>(), t[6]);
        }));
}

} // namespace tvpy
