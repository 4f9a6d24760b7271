// The light source's results as the one JSON document the command-line tool and Python give.
#include <tintvale/tlightsource.h>

#include <nlohmann/json.hpp>

namespace {

template <typename T, std::size_t N> nlohmann::json Array(const T (&values)[N])
{
    return nlohmann::json(std::vector<T>(values, values + N));
}

nlohmann::json OkOf(const TLightSource::Criterion& criterion)
{
    if (criterion.verdict == TLightSource::kNotEvaluated)
        return nullptr;
    return criterion.verdict == TLightSource::kPass;
}

} // namespace

int TLightSource::GetReportJson(std::string& json, int indent) const
{
    Chromaticity c;
    ColourRendering cri;
    Fidelity fidelity;
    Tm30 tm30;
    ViewingBooth booth;
    for (int status : { GetChromaticity(&c), GetColourRendering(&cri), GetFidelity(&fidelity), GetTm30(&tm30),
             GetViewingBooth(&booth) })
        if (status != kOk)
            return status;
    nlohmann::json criteria = nlohmann::json::array();
    for (const Criterion& each : booth.criteria)
        criteria.push_back({ { "name", each.name }, { "requirement", each.requirement },
            { "value", each.value }, { "verdict", VerdictName(each.verdict) } });
    const nlohmann::json document = {
        { "x", c.x },
        { "y", c.y },
        { "u_prime", c.uPrime },
        { "v_prime", c.vPrime },
        { "cct", c.cct },
        { "duv", c.duv },
        { "cri", { { "ra", cri.ra }, { "r", Array(cri.r) }, { "dc", cri.dc }, { "valid", cri.valid } } },
        { "cie224", { { "rf", fidelity.rf }, { "rf_i", Array(fidelity.rfi) } } },
        { "tm30",
            { { "edition", tm30.edition }, { "rf", tm30.rf }, { "rg", tm30.rg }, { "rf_h", Array(tm30.rfh) },
                { "rcs_h", Array(tm30.rcsh) }, { "rhs_h", Array(tm30.rhsh) } } },
        { "iso3664",
            { { "condition", booth.condition }, { "chromaticity_ok", OkOf(booth.criteria[0]) },
                { "cri_ok", OkOf(booth.criteria[1]) }, { "verdict", VerdictName(booth.verdict) },
                { "criteria", criteria } } },
    };
    json = document.dump(indent);
    return kOk;
}
