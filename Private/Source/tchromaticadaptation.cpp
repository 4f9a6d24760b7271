// TChromaticAdaptation: von Kries, Bradford, CAT02 and CAT16 adaptation between two whites.
#include <tintvale/tchromaticadaptation.h>

#include "adaptation_matrices.h"

#include <cmath>
#include <strings.h>

// Bradford (K. M. Lam, 1985; ICC.1:2010, Annex E; B. Lindbloom); CIECAM97s's MB (CIE 131-1998).
const double tintvale::detail::kBradford[3][3]
    = { { 0.8951, 0.2664, -0.1614 }, { -0.7502, 1.7135, 0.0367 }, { 0.0389, -0.0685, 1.0296 } };

// CAT02 (CIE 159:2004, equation 3.2).
const double tintvale::detail::kCat02[3][3]
    = { { 0.7328, 0.4296, -0.1624 }, { -0.7036, 1.6975, 0.0061 }, { 0.0030, 0.0136, 0.9834 } };
// CAT16 (C. Li et al., Color Res. Appl. 42(6):703-718, 2017, equation 9; CIE 248:2022).
const double tintvale::detail::kCat16[3][3] = { { 0.401288, 0.650173, -0.051461 },
    { -0.250268, 1.204414, 0.045854 }, { -0.002079, 0.048952, 0.953127 } };

namespace {

using Matrix = double[3][3];

constexpr int kNrMethods = 4;

const char* const kMethodNames[kNrMethods + 1] = { "von Kries", "Bradford", "CAT02", "CAT16", nullptr };

// XYZ to cone-like responses, as published (the inverses are computed, not typed).
// Hunt-Pointer-Estevez (B. Lindbloom, "Chromatic Adaptation", brucelindbloom.com).
const Matrix kHuntPointerEstevez
    = { { 0.40024, 0.70760, -0.08081 }, { -0.22630, 1.16532, 0.04570 }, { 0.0, 0.0, 0.91822 } };

const Matrix* const kResponses[kNrMethods] = { &kHuntPointerEstevez, &tintvale::detail::kBradford,
    &tintvale::detail::kCat02, &tintvale::detail::kCat16 };

void Apply(const Matrix& m, const double* v, double* out)
{
    double r[3];
    for (int i = 0; i < 3; ++i)
        r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    out[0] = r[0];
    out[1] = r[1];
    out[2] = r[2];
}

bool IsFinite(const double* v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

} // namespace

// The inverse by the adjugate: inverse = adj(m) / det(m).
void tintvale::detail::InvertMatrix(const double (&m)[3][3], double (&inv)[3][3])
{
    const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
    inv[0][0] = c00 / det;
    inv[1][0] = c01 / det;
    inv[2][0] = c02 / det;
    inv[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
    inv[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    inv[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
    inv[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
    inv[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
    inv[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
}

TChromaticAdaptation::TChromaticAdaptation(
    int method, const double* sourceWhite, const double* destinationWhite)
    : mMethod(method)
{
    if (method < 0 || method >= kNrMethods) {
        mError = 1;
        return;
    }
    if (!sourceWhite || !destinationWhite || !IsFinite(sourceWhite) || !IsFinite(destinationWhite)) {
        mError = 2;
        return;
    }
    const Matrix& m = *kResponses[method];
    double source[3], destination[3];
    Apply(m, sourceWhite, source);
    Apply(m, destinationWhite, destination);
    for (int i = 0; i < 3; ++i)
        if (!(source[i] > 0.0) || !(destination[i] > 0.0)) {
            mError = 2;
            return;
        }
    // M^-1 diag(rho_d / rho_s) M
    Matrix inverse;
    tintvale::detail::InvertMatrix(m, inverse);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 3; ++k)
                sum += inverse[i][k] * destination[k] / source[k] * m[k][j];
            mMatrix[i][j] = sum;
        }
}

int TChromaticAdaptation::Adapt(const double* xyz, double* out) const
{
    if (mError != 0)
        return mError;
    if (!xyz || !out)
        return 3;
    if (!IsFinite(xyz))
        return 4;
    Apply(mMatrix, xyz, out);
    return 0;
}

const char* const* TChromaticAdaptation::GetMethodList() { return kMethodNames; }

int TChromaticAdaptation::GetMethodListSize() { return kNrMethods; }

int TChromaticAdaptation::MethodNameToIndex(const char* name)
{
    if (!name)
        return -1;
    for (int i = 0; i < kNrMethods; ++i)
        if (strcasecmp(kMethodNames[i], name) == 0)
            return i;
    return -1;
}
