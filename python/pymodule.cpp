// The Python module "tintvale": NumPy-vectorised access to the colour-science library.
#include "pycommon.h"

#include <tintvale/tmeasgeom.h>
#include <tintvale/version.h>

namespace tvpy {

void BindGeometry(py::module_& m)
{
    py::list geometries;
    for (int i = 0; i < TMeasGeom::sNrGeom; ++i)
        geometries.append(TMeasGeom::sGeomList[i]);
    m.attr("GEOMETRIES") = py::tuple(geometries);
}

} // namespace tvpy

// The extension module of the package: tintvale/__init__.py re-exports everything, so the classes
// and functions carry the package's name, as users see and pickle them.
PYBIND11_MODULE(_tintvale, m)
{
    const py::object ownName = m.attr("__name__");
    tvpy::SetExtensionName(ownName.cast<std::string>());
    m.attr("__name__") = "tintvale";
    m.doc() = "Colour science over NumPy arrays: spectra on the 36-sample grid 380 ... 730 nm, illuminants, "
              "tristimulus integration, CIELAB and colour differences, appearance models, densities.";
    m.attr("__version__") = TintvaleGetVersion(nullptr, nullptr, nullptr);
    tvpy::InitErrors(m);
    tvpy::BindSpectrum(m);
    tvpy::BindIlluminants(m);
    tvpy::BindLab(m);
    tvpy::BindAdaptation(m);
    tvpy::BindColorSpaces(m);
    tvpy::BindGeometry(m);
    tvpy::BindMeasurements(m);
    tvpy::BindCgats(m);
    tvpy::BindCgatsBuild(m);
    tvpy::BindReport(m);
    tvpy::BindPrint(m);
    tvpy::BindCompare(m);
    tvpy::BindPickling(m);
    tvpy::BindAppearance(m);
    tvpy::BindLamp(m);
    m.attr("__name__") = ownName;
}
