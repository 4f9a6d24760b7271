// TLabSpace: the colour-difference formulas (CIE 1976, CIE94, CIEDE2000, CMC l:c), the spot colour
// tone value and the formula-name table.
#include <tintvale/tlabspace.h>

#include "halden.h"

#include <cmath>
#include <iterator>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double k30Deg = 0.5235987755982988;
constexpr double k6Deg = 0.10471975511965977;
constexpr double k63Deg = 1.0995574287564276;
constexpr double k60Deg = kPi / 3.0;
constexpr double k275Deg = 275.0 * kPi / 180.0;
constexpr double kPer25Deg = 180.0 / (25.0 * kPi); // radians to units of 25 degrees

inline double Sq(double x) { return x * x; }

inline double Chroma(const double* lab) { return std::sqrt(lab[1] * lab[1] + lab[2] * lab[2]); }

// Delta H^2 = Delta a^2 + Delta b^2 - Delta C^2, which rounding takes a few ulps below 0 for colours
// equal but for rounding; clamped at 0 as CIE 116-1995 intends (a NaN stays NaN).
inline double SquareDeltaHue(const double* lab1, const double* lab2, double dC)
{
    const double dH2 = Sq(lab2[1] - lab1[1]) + Sq(lab2[2] - lab1[2]) - Sq(dC);
    return dH2 < 0.0 ? 0.0 : dH2;
}

// CIE 1976: Delta E*ab^2 = Delta L*^2 + Delta a*^2 + Delta b*^2
double SquareDeltaE76(const double* lab1, const double* lab2, double /* no weight */)
{
    return Sq(lab1[0] - lab2[0]) + Sq(lab1[1] - lab2[1]) + Sq(lab1[2] - lab2[2]);
}

// CIE 116-1995 (CIE94), graphic arts: kL = kC = kH = 1, SL = 1, SC = 1 + K1 C*, SH = 1 + K2 C*,
// with C* the chroma of the reference (second) colour.
double SquareDeltaE94(const double* lab1, const double* lab2, double /* no weight */)
{
    constexpr double kK1 = 0.045;
    constexpr double kK2 = 0.015;
    const double c1 = Chroma(lab1);
    const double c2 = Chroma(lab2);
    const double dL = lab2[0] - lab1[0];
    const double dC = c2 - c1;
    const double dH2 = SquareDeltaHue(lab1, lab2, dC);
    return Sq(dL) + Sq(dC / (1.0 + kK1 * c2)) + dH2 / Sq(1.0 + kK2 * c2);
}

// x^7 / (x^7 + 25^7), the chroma weighting of CIEDE2000.
inline double Chroma7Ratio(double c)
{
    constexpr double k25To7 = 6103515625.0;
    const double c2 = c * c;
    const double c7 = c2 * c2 * c2 * c;
    return c7 / (c7 + k25To7);
}

inline double HuePrime(double a, double b)
{
    double h = std::atan2(b, a);
    if (h < 0.0)
        h += kTwoPi;
    return h;
}

// The angle in [0, 2 pi) of a unit vector (x, y), by the one-argument inverse tangent on the
// octant where it is best conditioned (half the cost of atan2, which also handles scale and
// infinities that a unit vector does not have).
double HueOfUnitVector(double x, double y)
{
    double h;
    if (std::fabs(y) <= std::fabs(x))
        h = std::atan(y / x) + (x < 0.0 ? (y < 0.0 ? -kPi : kPi) : 0.0);
    else
        h = (y < 0.0 ? -kPi / 2.0 : kPi / 2.0) - std::atan(x / y);
    if (h < 0.0)
        h += kTwoPi;
    return h;
}

// T = 1 - 0.17 cos(H - 30 deg) + 0.24 cos(2H) + 0.32 cos(3H + 6 deg) - 0.20 cos(4H - 63 deg), from
// cos H and sin H by the double- and triple-angle identities.
double HueWeight(double cosH, double sinH)
{
    static const double sCos30 = std::cos(k30Deg), sSin30 = std::sin(k30Deg);
    static const double sCos6 = std::cos(k6Deg), sSin6 = std::sin(k6Deg);
    static const double sCos63 = std::cos(k63Deg), sSin63 = std::sin(k63Deg);
    const double c2 = 2.0 * cosH * cosH - 1.0;
    const double s2 = 2.0 * sinH * cosH;
    const double c3 = cosH * (4.0 * cosH * cosH - 3.0);
    const double s3 = sinH * (3.0 - 4.0 * sinH * sinH);
    const double c4 = 2.0 * c2 * c2 - 1.0;
    const double s4 = 2.0 * s2 * c2;
    return 1.0 - 0.17 * (cosH * sCos30 + sinH * sSin30) + 0.24 * c2 + 0.32 * (c3 * sCos6 - s3 * sSin6)
        - 0.20 * (c4 * sCos63 + s4 * sSin63);
}

// The hue terms of a CIEDE2000 pair: the mean hue H'bar in [0, 2 pi) with its cosine and sine, and
// sin(Delta h' / 2).
struct HueTerms {
    double mean;
    double cosMean;
    double sinMean;
    double sinHalfDelta;
};

// From the hue angles h' = atan2(b*, a'), as CIE 142-2001 writes it: Delta h' = h1' - h2' brought
// into [-pi, pi]; H'bar = (h1' + h2') / 2, moved by pi when |h1' - h2'| > pi.
HueTerms HueTermsFromAngles(double a1, double b1, double a2, double b2)
{
    const double h1 = HuePrime(a1, b1);
    const double h2 = HuePrime(a2, b2);
    double dh = h1 - h2;
    if (std::fabs(dh) > kPi)
        dh += dh <= 0.0 ? kTwoPi : -kTwoPi;
    double mean = (h1 + h2) / 2.0;
    if (std::fabs(h1 - h2) > kPi)
        mean += (h1 + h2 < kTwoPi) ? kPi : -kPi;
    return { mean, std::cos(mean), std::sin(mean), std::sin(dh / 2.0) };
}

// The same terms from the unit hue vectors u = (a', b*) / C', for two chromatic colours whose hues
// are not nearly opposite. There the mean hue is the direction of u1 + u2 and, since
// cos(Delta h' / 2) = |u1 + u2| / 2, sin(Delta h' / 2) = (u1 x u2) / |u1 + u2|. This is the angle
// form without its wrap-around cases, at one inverse tangent instead of two and no sines.
bool HueTermsFromVectors(double a1, double b1, double c1, double a2, double b2, double c2, HueTerms& terms)
{
    // |u1 + u2|^2 = 2 + 2 cos(Delta h'); below this the hues lie within about 0.001 rad of opposite,
    // where the mean hue flips and the angle form decides.
    constexpr double kMinSquareSum = 1e-6;
    if (c1 <= 0.0 || c2 <= 0.0)
        return false;
    const double r1 = 1.0 / c1, r2 = 1.0 / c2;
    const double x1 = a1 * r1, y1 = b1 * r1;
    const double x2 = a2 * r2, y2 = b2 * r2;
    const double sx = x1 + x2, sy = y1 + y2;
    const double square = sx * sx + sy * sy;
    if (square < kMinSquareSum)
        return false;
    const double inverseLength = 1.0 / std::sqrt(square);
    terms.cosMean = sx * inverseLength;
    terms.sinMean = sy * inverseLength;
    terms.mean = HueOfUnitVector(terms.cosMean, terms.sinMean);
    terms.sinHalfDelta = (y1 * x2 - x1 * y2) * inverseLength;
    return true;
}

// CIE 142-2001 (CIEDE2000), with the notation of Sharma, Wu and Dalal, Color Res. Appl. 30(1), 2005.
double SquareDeltaE2000(const double* lab1, const double* lab2, double kL)
{
    // a' = (1 + G) a*, G = 0.5 (1 - sqrt(Cbar^7 / (Cbar^7 + 25^7)))
    const double cBar = (Chroma(lab1) + Chroma(lab2)) / 2.0;
    const double aScale = 1.5 - 0.5 * std::sqrt(Chroma7Ratio(cBar));
    const double a1 = lab1[1] * aScale;
    const double a2 = lab2[1] * aScale;
    const double c1 = std::sqrt(a1 * a1 + lab1[2] * lab1[2]);
    const double c2 = std::sqrt(a2 * a2 + lab2[2] * lab2[2]);
    HueTerms hue;
    if (!HueTermsFromVectors(a1, lab1[2], c1, a2, lab2[2], c2, hue))
        hue = HueTermsFromAngles(a1, lab1[2], a2, lab2[2]);

    // Delta L' = L1 - L2, Delta C' = C1' - C2', Delta H' = 2 sqrt(C1' C2') sin(Delta h' / 2)
    const double dL = lab1[0] - lab2[0];
    const double dC = c1 - c2;
    const double dH = 2.0 * std::sqrt(c1 * c2) * hue.sinHalfDelta;

    // SL = 1 + 0.015 (Lbar - 50)^2 / sqrt(20 + (Lbar - 50)^2), SC = 1 + 0.045 C'bar, SH = 1 + 0.015 C'bar T
    const double lBar = (lab1[0] + lab2[0]) / 2.0;
    const double cBarPrime = (c1 + c2) / 2.0;
    const double l50 = Sq(lBar - 50.0);
    const double sL = 1.0 + 0.015 * l50 / std::sqrt(20.0 + l50);
    const double sC = 1.0 + 0.045 * cBarPrime;
    const double sH = 1.0 + 0.015 * cBarPrime * HueWeight(hue.cosMean, hue.sinMean);

    // RT = -sin(2 Delta theta) RC, Delta theta = 30 exp(-((H'bar - 275 deg) / 25 deg)^2),
    // RC = 2 sqrt(C'bar^7 / (C'bar^7 + 25^7))
    // (computed in radians: 2 Delta theta = 60 deg exp(-((H'bar - 275 deg) / 25 deg)^2)).
    const double twoDTheta = k60Deg * std::exp(-Sq((hue.mean - k275Deg) * kPer25Deg));
    const double rC = 2.0 * std::sqrt(Chroma7Ratio(cBarPrime));
    const double rT = -std::sin(twoDTheta) * rC;

    const double termL = dL / (kL * sL);
    const double termC = dC / sC;
    const double termH = dH / sH;
    return termL * termL + termC * termC + termH * termH + rT * termC * termH;
}

// CMC l:c (Clarke, McDonald and Rigg, 1984; ISO 105-J03), c = 1, weights from the reference
// (second) colour.
double SquareDeltaECmc(const double* lab1, const double* lab2, double l)
{
    constexpr double k164Deg = 2.8623399732707;
    constexpr double k345Deg = 6.021385919380437;
    constexpr double k168Deg = 2.9321531433504737;
    constexpr double k35Deg = 0.6108652381980153;

    double lhc2[3];
    TLabSpace::LabToLHC(lab2, lhc2);
    const double lRef = lhc2[0];
    const double hRef = lhc2[1];
    const double cRef = lhc2[2];

    // T = 0.56 + |0.2 cos(h + 168 deg)| for 164 deg <= h <= 345 deg, else 0.36 + |0.4 cos(h + 35 deg)|
    const double t = (hRef >= k164Deg && hRef <= k345Deg) ? 0.56 + std::fabs(0.2 * std::cos(hRef + k168Deg))
                                                          : 0.36 + std::fabs(0.4 * std::cos(hRef + k35Deg));
    // F = sqrt(C^4 / (C^4 + 1900))
    const double c4 = Sq(Sq(cRef));
    const double f = std::sqrt(c4 / (c4 + 1900.0));
    const double sC = 0.0638 * cRef / (1.0 + 0.0131 * cRef) + 0.638;
    const double sL = std::fmax(0.511, 0.040975 * lRef / (1.0 + 0.01765 * lRef));
    const double sH = sC * (f * t + 1.0 - f);

    const double dL = lab2[0] - lab1[0];
    const double dC = cRef - Chroma(lab1);
    const double dH2 = SquareDeltaHue(lab1, lab2, dC);
    return Sq(dL / (l * sL)) + Sq(dC / sC) + dH2 / Sq(sH);
}

// ISO 20654 tone coordinates expressed through CIELAB: Vx = L* + 116 a*/500, Vy = L*,
// Vz = L* - 116 b*/200.
void ToneCoordinates(const double* lab, double* v)
{
    v[0] = lab[0] + 116.0 * lab[1] / 500.0;
    v[1] = lab[0];
    v[2] = lab[0] - 116.0 * lab[2] / 200.0;
}

double SquareDistance(const double* p, const double* q)
{
    return Sq(p[0] - q[0]) + Sq(p[1] - q[1]) + Sq(p[2] - q[2]);
}

// One row per formula, in index order: its names (the library's own first, then the common names
// that hosts, peers and instrument software use for exactly that formula; plain "CMC" is l:c = 2:1,
// the acceptability setting CMC recommends and the peers' default), the squared difference and its
// weight (kL of CIEDE2000, l of CMC). The name list, every name lookup and the dispatch read it.
constexpr int kMaxFormulaNames = 8;
struct DifferenceFormula {
    const char* names[kMaxFormulaNames]; // ending with null
    double (*square)(const double* lab1, const double* lab2, double weight);
    double weight;
};

constexpr DifferenceFormula kFormulas[] = {
    { { "CIELAB Delta E (Classic)", "CIE76", "CIE 1976", "dE76", "Delta E 76", "dEab" }, SquareDeltaE76,
        0.0 },
    { { "Delta E 94", "CIE94", "CIE 1994", "dE94" }, SquareDeltaE94, 0.0 },
    { { "Delta E 2000", "CIEDE2000", "CIE 2000", "dE00", "Delta E 00", "dE2000" }, SquareDeltaE2000, 1.0 },
    { { "CMC(1:1)", "CMC 1:1", "dECMC(1:1)" }, SquareDeltaECmc, 1.0 },
    { { "CMC(2:1)", "CMC", "CMC 2:1", "dECMC", "dECMC(2:1)" }, SquareDeltaECmc, 2.0 },
    { { "Delta E 2000 (2:1:1)", "CIEDE2000 (2:1:1)", "dE00 (2:1:1)", "dE2000 (2:1:1)" }, SquareDeltaE2000,
        2.0 },
};
constexpr int kNrDifferenceFunctions = static_cast<int>(std::size(kFormulas));

double SquareDifference(const double* lab1, const double* lab2, int index)
{
    if (index < 0 || index >= kNrDifferenceFunctions)
        return -1.0;
    return kFormulas[index].square(lab1, lab2, kFormulas[index].weight);
}

bool IsFinite(const double* v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

} // namespace

double TLabSpace::CalcSquareDeltaEConvertedStatic(const double* lab1, const double* lab2, int index)
{
    // A missing or infinite coordinate has no difference: NaN would compare as no difference at
    // all in a tolerance check, and an infinite L* cancels to 0 inside CIEDE2000.
    if (!lab1 || !lab2 || !IsFinite(lab1) || !IsFinite(lab2))
        return -1.0;
    const double square = SquareDifference(lab1, lab2, index);
    return std::isfinite(square) ? square : -1.0;
}

double TLabSpace::CalcSquareDeltaEConverted(const double* lab1, const double* lab2, int index) const
{
    return CalcSquareDeltaEConvertedStatic(lab1, lab2, index);
}

double TLabSpace::CalcSquareDeltaE(const double* xyz1, const double* xyz2, int index) const
{
    double lab1[3];
    double lab2[3];
    if (XYZToLab(xyz1, lab1) != 0 || XYZToLab(xyz2, lab2) != 0)
        return -1.0;
    return CalcSquareDeltaEConvertedStatic(lab1, lab2, index);
}

double TLabSpace::CalcDeltaE(const double* xyz1, const double* xyz2, int index) const
{
    const double square = CalcSquareDeltaE(xyz1, xyz2, index);
    if (std::isnan(square) || square < 0.0)
        return -1.0;
    return std::sqrt(square);
}

double TLabSpace::CalcSquareDeltaCHConvertedStatic(const double* lab1, const double* lab2)
{
    if (!lab1 || !lab2)
        return -1.0;
    return Sq(lab2[2] - lab1[2]) + Sq(lab2[1] - lab1[1]);
}

double TLabSpace::CalcSquareDeltaHConvertedStatic(const double* lab1, const double* lab2)
{
    if (!lab1 || !lab2)
        return -1.0;
    return Sq(lab2[2] - lab1[2]) + Sq(lab2[1] - lab1[1]) - Sq(Chroma(lab1) - Chroma(lab2));
}

// SCTV = |V(tint) - V(paper)| / |V(solid) - V(paper)| (ISO 20654), as a fraction.
double TLabSpace::CalcSCTV(const double* labTint, const double* labPaper, const double* labSolid)
{
    if (!labTint)
        return -1.0;
    const double origin[3] = { 0.0, 0.0, 0.0 };
    double tint[3];
    ToneCoordinates(labTint, tint);
    if (!labPaper)
        return std::sqrt(SquareDistance(tint, origin));
    double paper[3];
    ToneCoordinates(labPaper, paper);
    if (!labSolid)
        return std::sqrt(SquareDistance(tint, paper));
    double solid[3];
    ToneCoordinates(labSolid, solid);
    const double range = SquareDistance(solid, paper);
    if (range < 1e-20)
        return 0.0;
    return std::sqrt(SquareDistance(tint, paper) / range);
}

const char** TLabSpace::GetDifferenceFunctionList()
{
    // The first name of each row, gathered once.
    static struct List {
        const char* names[kNrDifferenceFunctions];
        List()
        {
            for (int i = 0; i < kNrDifferenceFunctions; ++i)
                names[i] = kFormulas[i].names[0];
        }
    } list;
    return list.names;
}

int TLabSpace::GetDifferenceFunctionListSize() { return kNrDifferenceFunctions; }

const char* const* TLabSpace::GetDifferenceFunctionAliases(int index)
{
    if (index < 0 || index >= kNrDifferenceFunctions)
        return nullptr;
    return &kFormulas[index].names[1];
}

int TLabSpace::DifferenceFunctionNameToIndex(const char* name)
{
    if (!name)
        return -1;
    for (int i = 0; i < kNrDifferenceFunctions; ++i) {
        for (const char* const* n = kFormulas[i].names; *n; ++n) {
            if (strcmp_ci(name, *n) == 0)
                return i;
        }
    }
    return -1;
}
