// TAppearanceModel: the uniform colour spaces CAM02-UCS/LCD/SCD and CAM16-UCS/LCD/SCD (M. R. Luo,
// G. Cui and C. Li, Color Res. Appl. 31(4):320-330, 2006; CAM16: Li et al. 2017) and their
// colour differences.
#include <tintvale/tappearancemodel.h>

#include <cmath>
#include <strings.h>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Luo et al. 2006, Table II: K_L, c1, c2 of UCS, LCD (large differences) and SCD (small ones).
constexpr TAppearanceModel::UniformCoefficients kCoefficients[] = {
    { 1.00, 0.007, 0.0228 },
    { 0.77, 0.007, 0.0053 },
    { 1.24, 0.007, 0.0363 },
};

using M = TAppearanceModel::Model;
using S = TAppearanceModel::UniformSpace;
const TAppearanceModel::UniformFormula kFormulas[] = {
    { "cam02-ucs", M::CIECAM02, S::UCS },
    { "cam02-lcd", M::CIECAM02, S::LCD },
    { "cam02-scd", M::CIECAM02, S::SCD },
    { "cam16-ucs", M::CAM16, S::UCS },
    { "cam16-lcd", M::CAM16, S::LCD },
    { "cam16-scd", M::CAM16, S::SCD },
};
constexpr int kNrFormulas = sizeof(kFormulas) / sizeof(kFormulas[0]);

bool Finite3(const double* v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

} // namespace

TAppearanceModel::UniformCoefficients TAppearanceModel::Coefficients(UniformSpace space)
{
    return kCoefficients[static_cast<int>(space)];
}

int TAppearanceModel::GetUniformFormulaCount() { return kNrFormulas; }

const TAppearanceModel::UniformFormula* TAppearanceModel::GetUniformFormula(int index)
{
    return index >= 0 && index < kNrFormulas ? &kFormulas[index] : nullptr;
}

int TAppearanceModel::UniformFormulaIndex(const char* name)
{
    for (int i = 0; name && i < kNrFormulas; ++i)
        if (strcasecmp(name, kFormulas[i].name) == 0)
            return i;
    return -1;
}

// J' = (1 + 100 c1) J / (1 + c1 J), M' = ln(1 + c2 M) / c2, a' = M' cos h, b' = M' sin h.
int TAppearanceModel::ToUniform(const Correlates& correlates, UniformSpace space, double* jab)
{
    if (!jab)
        return kNullArgument;
    const UniformCoefficients k = Coefficients(space);
    const double mp = std::log1p(k.c2 * correlates.M) / k.c2;
    const double hr = correlates.h * kPi / 180.0;
    jab[0] = (1.0 + 100.0 * k.c1) * correlates.J / (1.0 + k.c1 * correlates.J);
    jab[1] = mp * std::cos(hr);
    jab[2] = mp * std::sin(hr);
    return Finite3(jab) ? kOk : kNotFinite;
}

int TAppearanceModel::XYZToUniform(const double* xyz, UniformSpace space, double* jab) const
{
    if (!xyz || !jab)
        return kNullArgument;
    Correlates c;
    const int status = Forward(xyz, &c);
    const int uniform = ToUniform(c, space, jab);
    return status != kOk ? status : uniform;
}

// J = J' / (1 + 100 c1 - c1 J'), M = (exp(c2 M') - 1) / c2, h = atan2(b', a').
int TAppearanceModel::UniformToXYZ(const double* jab, UniformSpace space, double* xyz) const
{
    if (!jab || !xyz)
        return kNullArgument;
    const UniformCoefficients k = Coefficients(space);
    const double j = jab[0] / (1.0 + 100.0 * k.c1 - k.c1 * jab[0]);
    const double m = std::expm1(k.c2 * std::hypot(jab[1], jab[2])) / k.c2;
    double h = std::atan2(jab[2], jab[1]) * 180.0 / kPi;
    if (h < 0.0)
        h += 360.0;
    const int status = Inverse(j, Lightness::J, m, Chroma::M, h, Hue::h, xyz);
    return status == kOk && !Finite3(jab) ? kNotFinite : status;
}

// Delta E' = sqrt((Delta J' / K_L)^2 + Delta a'^2 + Delta b'^2)
double TAppearanceModel::UniformDifference(const double* jab1, const double* jab2, UniformSpace space)
{
    if (!jab1 || !jab2)
        return -1.0;
    const double dj = (jab2[0] - jab1[0]) / Coefficients(space).kL;
    const double da = jab2[1] - jab1[1];
    const double db = jab2[2] - jab1[2];
    const double de = std::sqrt(dj * dj + da * da + db * db);
    return std::isfinite(de) ? de : -1.0;
}

double TAppearanceModel::DeltaE(const double* xyz1, const double* xyz2, UniformSpace space) const
{
    double jab1[3], jab2[3];
    if (XYZToUniform(xyz1, space, jab1) != kOk || XYZToUniform(xyz2, space, jab2) != kOk)
        return -1.0;
    return UniformDifference(jab1, jab2, space);
}
