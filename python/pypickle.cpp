// Pickling, so that process pools and Dask workers receive objects rather than re-read them: a
// measurement data file by its written text, everything else by what it was made from, rebuilt
// through its own constructor (which checks it again).
#include "pycommon.h"

#include <tintvale/tcgats.h>
#include <tintvale/temissionspectrum.h>
#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlabmeasurement.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tonemeasurement.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>
#include <tintvale/txyzmeasurement.h>

#include <cstring>
#include <string>

namespace tvpy {

namespace {

py::array_t<double> Copy(const double* values, int count)
{
    py::array_t<double> out(count);
    if (count > 0)
        std::memcpy(out.mutable_data(), values, static_cast<std::size_t>(count) * sizeof(double));
    return out;
}

py::array_t<double> SamplesOf(const TSpectrum& s)
{
    return Copy(s.GetUniformSpectrum(nullptr, nullptr, nullptr), TSpectrum::kNrUniform);
}

// A spectrum by its 36 grid samples and the points it was made from, if any (which integration at
// 5 nm uses); tintvale._spectrum makes it from the points and sets the grid as it was.
py::tuple SpectrumState(const TSpectrum& s)
{
    const int n = s.GetNrPoints();
    if (n == 0)
        return py::make_tuple(SamplesOf(s), py::none(), py::none());
    return py::make_tuple(SamplesOf(s), Copy(s.GetPointWavelengths(), n), Copy(s.GetPointValues(), n));
}

py::tuple SpectrumReduce(const TSpectrum& s)
{
    return py::make_tuple(py::module_::import("tintvale").attr("_spectrum"), SpectrumState(s));
}

py::tuple IlluminantState(const TIlluminant& i)
{
    if (!i.GetSpectrum() || !i.GetName())
        throw py::type_error("an illuminant without a name or spectrum cannot be pickled");
    return py::make_tuple(i.GetName(), TSpectrum(*i.GetSpectrum()));
}

// The Python object of an illuminant a measurement borrows: the one it was given, which it keeps alive.
py::object IlluminantObject(const TIlluminant* i)
{
    return py::cast(const_cast<TIlluminant*>(i), py::return_value_policy::reference);
}

py::array_t<double> CoordsOf(const TOneMeasurement& x)
{
    int count = 0;
    const double* coords = x.GetCoord(&count);
    return Copy(coords, count);
}

std::string GeometryOf(const TOneMeasurement& x) { return x.GetGeometry()->Name(); }

py::object ObserverName(const TObserver* o) { return o ? py::object(py::str(o->GetName())) : py::none(); }

template <typename Class, typename Reduce>
py::class_<Class> AddReduce(py::module_& m, const char* name, Reduce reduce)
{
    auto cls = py::reinterpret_borrow<py::class_<Class>>(m.attr(name));
    cls.def("__reduce__", [cls, reduce](const Class& self) { return py::make_tuple(cls, reduce(self)); });
    return cls;
}

// The conditions a colorimetric measurement was taken under, which travel with it.
template <typename Class> void AddConditions(py::class_<Class> cls)
{
    cls.def_property_readonly(
           "illuminant", [](const Class& x) { return IlluminantObject(x.GetIlluminant()); },
           "The illuminant the values were taken under.")
        .def_property_readonly(
            "observer", [](const Class& x) { return ObserverName(x.GetObserver()); }, "The observer's name.");
}

} // namespace

void BindPickling(py::module_& m)
{
    auto cgats = py::reinterpret_borrow<py::class_<TCgats>>(m.attr("Cgats"));
    cgats.def(py::pickle([](const py::object& self) { return self.attr("to_text")(); },
        [cgats](const py::object& text) {
            return std::make_unique<TCgats>(cgats.attr("from_text")(text).cast<const TCgats&>());
        }));

    auto spectrum = py::reinterpret_borrow<py::class_<TSpectrum>>(m.attr("Spectrum"));
    spectrum.def("__reduce__", &SpectrumReduce);

    // Rebuilt by tintvale._illuminant (a Python function, which pickle names).
    auto illuminant
        = py::reinterpret_borrow<py::class_<TIlluminant, std::unique_ptr<TIlluminant, py::nodelete>>>(
            m.attr("Illuminant"));
    illuminant.def("__reduce__", [](const TIlluminant& i) {
        return py::make_tuple(py::module_::import("tintvale").attr("_illuminant"), IlluminantState(i));
    });

    auto factory = py::reinterpret_borrow<py::class_<TIlluminantFactory>>(m.attr("IlluminantFactory"));
    factory.def(py::pickle(
        [](const TIlluminantFactory& f) {
            py::list states;
            for (const TIlluminant* i : f.GetListOfIlluminants())
                states.append(IlluminantState(*i));
            return states;
        },
        [](const py::list& states) {
            auto made = std::make_unique<TIlluminantFactory>();
            for (const py::handle& state : states) {
                const py::tuple t = py::reinterpret_borrow<py::tuple>(state);
                const std::string name = t[0].cast<std::string>();
                if (!made->AddIlluminant(t[1].cast<const TSpectrum&>(), name.c_str()))
                    throw py::value_error("the illuminant \"" + name + "\" could not be restored");
            }
            return made;
        }));

    AddReduce<TReflectionSpectrum>(m, "ReflectionSpectrum", [](const TReflectionSpectrum& x) {
        return py::make_tuple(TSpectrum(*x.GetSpectrum()), GeometryOf(x), CoordsOf(x));
    });
    AddReduce<TEmissionSpectrum>(m, "EmissionSpectrum", [](const TEmissionSpectrum& x) {
        return py::make_tuple(TSpectrum(*x.GetSpectrum()), GeometryOf(x), CoordsOf(x));
    });
    AddConditions(AddReduce<TXYZMeasurement>(m, "XYZMeasurement", [](const TXYZMeasurement& x) {
        double xyz[3];
        if (x.GetXYZ(nullptr, nullptr, xyz) != 0)
            throw py::type_error("an XYZ measurement without finite values cannot be pickled");
        return py::make_tuple(Copy(xyz, 3), IlluminantObject(x.GetIlluminant()),
            ObserverName(x.GetObserver()), GeometryOf(x), CoordsOf(x));
    }));
    AddConditions(AddReduce<TLABMeasurement>(m, "LabMeasurement", [](const TLABMeasurement& x) {
        double lab[3];
        if (x.GetLAB(nullptr, nullptr, nullptr, lab) != 0)
            throw py::type_error("a Lab measurement without its values cannot be pickled");
        return py::make_tuple(Copy(lab, 3), Copy(x.GetWhite(), 3), IlluminantObject(x.GetIlluminant()),
            ObserverName(x.GetObserver()), GeometryOf(x), CoordsOf(x));
    }));
}

} // namespace tvpy
