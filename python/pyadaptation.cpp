// Chromatic adaptation of XYZ arrays from one white to another.
#include "pycommon.h"

#include <tintvale/tchromaticadaptation.h>

namespace tvpy {

namespace {

int MethodOf(const py::handle& obj)
{
    const int count = TChromaticAdaptation::GetMethodListSize();
    if (py::isinstance<py::str>(obj)) {
        const std::string name = obj.cast<std::string>();
        const int index = TChromaticAdaptation::MethodNameToIndex(name.c_str());
        if (index >= 0)
            return index;
        std::string known;
        for (int i = 0; i < count; ++i)
            known += (i ? ", \"" : "\"") + std::string(TChromaticAdaptation::GetMethodList()[i]) + "\"";
        throw py::value_error("unknown chromatic adaptation \"" + name + "\"; known: " + known);
    }
    if (const auto index = IndexOf(obj, count, "adaptation index must be 0.." + std::to_string(count - 1)))
        return *index;
    throw py::type_error("an adaptation method is its index or its name, e.g. \"Bradford\"");
}

TChromaticAdaptation AdaptationOf(
    const py::handle& method, const py::handle& source, const py::handle& destination)
{
    double s[3], d[3];
    TripleOf(source, "source_white", s);
    TripleOf(destination, "destination_white", d);
    TChromaticAdaptation cat(MethodOf(method), s, d);
    if (cat.ErrNo() != 0)
        throw py::value_error("the whites must be finite with a positive response to the transform");
    return cat;
}

} // namespace

void BindAdaptation(py::module_& m)
{
    py::list names;
    for (int i = 0; i < TChromaticAdaptation::GetMethodListSize(); ++i)
        names.append(TChromaticAdaptation::GetMethodList()[i]);
    m.attr("CHROMATIC_ADAPTATIONS") = py::tuple(names);

    py::class_<TChromaticAdaptation>(m, "ChromaticAdaptation",
        "Full (D = 1) chromatic adaptation of XYZ from source_white to destination_white by a linear "
        "transform: 'von Kries' (Hunt-Pointer-Estevez), 'Bradford', 'CAT02' (CIE 159) or 'CAT16' (CIE 248).")
        .def(
            py::init(&AdaptationOf), py::arg("method"), py::arg("source_white"), py::arg("destination_white"))
        .def_property_readonly("method",
            [](const TChromaticAdaptation& c) {
                return std::string(TChromaticAdaptation::GetMethodList()[c.GetMethod()]);
            })
        .def_property_readonly(
            "matrix",
            [](const TChromaticAdaptation& c) {
                py::array_t<double> out({ 3, 3 });
                std::copy(c.GetMatrix(), c.GetMatrix() + 9, out.mutable_data());
                return out;
            },
            "The 3 x 3 matrix taking source XYZ to destination XYZ.")
        .def(
            "adapt",
            [](const TChromaticAdaptation& c, const py::handle& xyz) {
                return MapTriples(xyz, "xyz", [&c](const double* in, double* out) {
                    if (c.Adapt(in, out) != 0)
                        out[0] = out[1] = out[2] = std::numeric_limits<double>::quiet_NaN();
                });
            },
            py::arg("xyz"), "XYZ (..., 3) under the destination white; NaN where a colour is not finite.")
        .def("__repr__", [](const TChromaticAdaptation& c) {
            return "<tintvale.ChromaticAdaptation "
                + std::string(TChromaticAdaptation::GetMethodList()[c.GetMethod()]) + ">";
        });
}

} // namespace tvpy
