// How good a light is, from an emissive spectrum in a file or a named illuminant.
#include <tintvale/qc/lamp.h>

#include <tintvale/qc/chart.h>

#include <tintvale/jsonhelpers.h>
#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlightsource.h>
#include <tintvale/tspectrum.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tintvale::qc {

namespace {

struct Spectrum {
    std::vector<double> wavelengths, power;
};

bool EndsWithIll(const std::string& path)
{
    return path.size() > 4 && JsonHelpers::ToLower(path.substr(path.size() - 4)) == ".ill";
}

Spectrum FromIlluminant(const TIlluminant& illuminant, const std::string& name)
{
    const TSpectrum* s = illuminant.GetSpectrum();
    if (s == nullptr || s->GetNrPoints() < 2)
        throw Error(name + ": the illuminant holds no spectrum at its own wavelengths");
    Spectrum out;
    out.wavelengths.assign(s->GetPointWavelengths(), s->GetPointWavelengths() + s->GetNrPoints());
    out.power.assign(s->GetPointValues(), s->GetPointValues() + s->GetNrPoints());
    return out;
}

// A measurement file (CGATS, ArgyllCMS .sp) of one emissive spectrum; a file of surface colours
// (reflective or transmissive, or stating a measurement condition) is refused.
Spectrum FromMeasurementFile(const std::string& path, std::vector<std::string>* warnings)
{
    const Chart chart(path);
    if (warnings)
        warnings->insert(warnings->end(), chart.ReadWarnings().begin(), chart.ReadWarnings().end());
    const TCgats& cgats = chart.Cgats();
    const char* type = cgats.GetKeywordValue("MEAS_TYPE");
    const std::string measType = type != nullptr ? JsonHelpers::ToLower(type) : std::string();
    if (measType == "reflective" || measType == "transmissive")
        throw Error(path + ": MEAS_TYPE " + type + ": a " + measType
            + " measurement of surface colours, not the spectrum of a light");
    if (*cgats.GetMeasurementCondition() != '\0')
        throw Error(path + ": MEASUREMENT_CONDITION " + cgats.GetMeasurementCondition()
            + ": reflectance measured under a condition, not the spectrum of a light");
    if (cgats.GetNrWaveLengths(0) < 2)
        throw Error(path + ": no spectral data in the first table");
    if (cgats.GetNrSamples(0) != 1)
        throw Error(path + ": " + std::to_string(cgats.GetNrSamples(0))
            + " spectra in the first table; a lamp file holds one");
    Spectrum out;
    if (cgats.GetWaveLengths(0, out.wavelengths) != 0 || cgats.GetSpectrum(0, 0, out.power) != 0)
        throw Error(path + ": the spectrum could not be read");
    return out;
}

Spectrum Load(const std::string& file, const CommonOptions& common, std::vector<std::string>* warnings)
{
    if (!file.empty() && !common.illuminant.empty())
        throw Error("lamp: give a FILE or --illuminant NAME, not both");
    if (file.empty()) {
        if (common.illuminant.empty())
            throw Error("lamp: give a FILE or --illuminant NAME");
        IlluminantSet set(IlluminantDirectory(common));
        return FromIlluminant(*set.Find(common.illuminant), common.illuminant);
    }
    if (EndsWithIll(file)) {
        TIlluminantFactory factory;
        int error = 0;
        const TIlluminant* illuminant = factory.AddFile(file.c_str(), &error);
        if (illuminant == nullptr)
            throw Error(file + ": not a readable illuminant file (error " + std::to_string(error) + ")");
        return FromIlluminant(*illuminant, file);
    }
    return FromMeasurementFile(file, warnings);
}

void PutList(Section& section, const std::string& prefix, const nlohmann::json& values, int decimals)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        Report::Put(section, prefix + std::to_string(i + 1), Cell(values[i].get<double>(), decimals));
}

} // namespace

Report LampReport(const std::string& json)
{
    const nlohmann::json doc = nlohmann::json::parse(json);
    Report report;
    Section& light = report.AddKeyValues("chromaticity");
    Report::Put(light, "x", Cell(doc["x"].get<double>(), 4));
    Report::Put(light, "y", Cell(doc["y"].get<double>(), 4));
    Report::Put(light, "u'", Cell(doc["u_prime"].get<double>(), 4));
    Report::Put(light, "v'", Cell(doc["v_prime"].get<double>(), 4));
    Report::Put(light, "CCT", Cell(doc["cct"].get<double>(), 0));
    Report::Put(light, "Duv", Cell(doc["duv"].get<double>(), 4));
    Section& cri = report.AddKeyValues("CIE 13.3");
    Report::Put(cri, "Ra", Cell(doc["cri"]["ra"].get<double>(), 1));
    PutList(cri, "R", doc["cri"]["r"], 1);
    Report::Put(cri, "DC", Cell(doc["cri"]["dc"].get<double>(), 4));
    Report::Put(cri, "valid", Cell(doc["cri"]["valid"].get<bool>() ? "yes" : "no (DC > 0.0054)"));
    Section& cie224 = report.AddKeyValues("CIE 224:2017");
    Report::Put(cie224, "Rf (CIE 224)", Cell(doc["cie224"]["rf"].get<double>(), 1));
    const nlohmann::json& tm30 = doc["tm30"];
    const std::string edition = tm30["edition"].get<std::string>();
    Section& tm = report.AddKeyValues(edition);
    Report::Put(tm, "Rf (" + edition + ")", Cell(tm30["rf"].get<double>(), 1));
    Report::Put(tm, "Rg (" + edition + ")", Cell(tm30["rg"].get<double>(), 1));
    Section& bins = report.AddTable("hue bins", { "bin", "Rf,h", "Rcs,h %", "Rhs,h rad" });
    for (std::size_t j = 0; j < tm30["rf_h"].size(); ++j)
        bins.rows.push_back({ Cell(static_cast<int>(j + 1)), Cell(tm30["rf_h"][j].get<double>(), 1),
            Cell(tm30["rcs_h"][j].get<double>(), 1), Cell(tm30["rhs_h"][j].get<double>(), 3) });
    const nlohmann::json& booth = doc["iso3664"];
    Section& criteria = report.AddTable("ISO 3664:2009 " + booth["condition"].get<std::string>(),
        { "criterion", "value", "verdict", "requirement" });
    for (const nlohmann::json& c : booth["criteria"])
        criteria.rows.push_back({ Cell(c["name"].get<std::string>()),
            c["value"].is_number() ? Cell(c["value"].get<double>(), 4) : Cell("-"),
            Cell(c["verdict"].get<std::string>()), Cell(c["requirement"].get<std::string>()) });
    Section& verdict = report.AddKeyValues("viewing booth");
    Report::Put(verdict, "verdict", Cell(booth["verdict"].get<std::string>()));
    return report;
}

std::string LampJson(const std::string& file, const CommonOptions& common, std::vector<std::string>* warnings)
{
    const Spectrum spectrum = Load(file, common, warnings);
    const std::string name = file.empty() ? common.illuminant : file;
    const TLightSource light(
        spectrum.wavelengths.data(), spectrum.power.data(), static_cast<int>(spectrum.wavelengths.size()));
    std::string json;
    const int status = light.ErrNo() != TLightSource::kOk ? light.ErrNo() : light.GetReportJson(json);
    if (status != TLightSource::kOk)
        throw Error(name + ": " + TLightSource::GetStatusText(status));
    return json;
}

} // namespace tintvale::qc
