// Light-source quality: an emissive spectrum to the dict the command-line tool prints as JSON.
#include "pycommon.h"

#include <tintvale/tlightsource.h>

#include <string>

namespace tvpy {

namespace {

py::dict LampQuality(const py::handle& spd, const py::handle& wavelengths)
{
    const DoubleArray power = DoubleArray::ensure(spd);
    const DoubleArray nm = DoubleArray::ensure(wavelengths);
    if (!power || !nm || power.ndim() != 1 || nm.ndim() != 1)
        throw py::value_error("spd and wavelengths must be one-dimensional sequences of numbers");
    if (power.size() != nm.size())
        throw py::value_error("spd has " + std::to_string(power.size()) + " values for "
            + std::to_string(nm.size()) + " wavelengths");
    const TLightSource light(nm.data(), power.data(), static_cast<int>(nm.size()));
    std::string json;
    const int status = light.ErrNo() != TLightSource::kOk ? light.ErrNo() : light.GetReportJson(json, -1);
    if (status != TLightSource::kOk)
        throw py::value_error(TLightSource::GetStatusText(status));
    return py::module_::import("json").attr("loads")(json).cast<py::dict>();
}

} // namespace

void BindLamp(py::module_& m)
{
    m.def("lamp_quality", &LampQuality, py::arg("spd"), py::arg("wavelengths"),
        "How good a light is, from its relative spectral power at ascending wavelengths covering 380-780 nm "
        "(uneven or fractional ones interpolated linearly to 1 nm): x, y, u_prime, v_prime, cct, duv (Ohno "
        "2013), cri (CIE 13.3: ra, r[14], dc, "
        "valid), cie224 (rf, rf_i[99]), tm30 (edition, rf, rg, rf_h, rcs_h, rhs_h) and iso3664 (condition, "
        "chromaticity_ok, cri_ok, verdict, criteria). ValueError names what the spectrum lacks.");
}

} // namespace tvpy
