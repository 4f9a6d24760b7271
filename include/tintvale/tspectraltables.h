// TSpectralTables: the CIE reference tables at 1 nm and the illuminants brought to 1 nm, the base of
// instrument-grade integration (ASTM E308 weights, CIE 15 summation).
#ifndef TINTVALE_TSPECTRALTABLES_H
#define TINTVALE_TSPECTRALTABLES_H

#include <tintvale/texport.h>

#include <memory>
#include <vector>

class TIlluminant;

// The tables hold the published digits (data/reference/ names each source):
//   sObserver1nm[o][c]: CIE 1931 2° (o = 0) and CIE 1964 10° (o = 1) x̄, ȳ, z̄ (c = 0, 1, 2) at
//     360, 361, ..., 830 nm, 7 significant digits (CIE 15:2004, CIE 018:2019);
//   sD65: CIE standard illuminant D65 at 360 ... 830 nm (ISO 11664-2, 1 nm);
//   sDaylightBasis: S0, S1, S2 at 300, 305, ..., 830 nm (CIE 15:2004 Table T.2).
// Everything here is immutable and may be shared between threads.
class TINTVALE_API TSpectralTables {
public:
    static constexpr int kFirst = 360;
    static constexpr int kLast = 830;
    static constexpr int kNrRows = kLast - kFirst + 1;
    static constexpr int kNrObservers = 2;
    static constexpr int kBasisFirst = 300;
    static constexpr int kBasisStep = 5;
    static constexpr int kNrBasisRows = 107;

    static const double sObserver1nm[kNrObservers][3][kNrRows];
    static const double sD65[kNrRows];
    static const double sDaylightBasis[3][kNrBasisRows];

    // CIE standard illuminant A (CIE 15:2004, 3.1): Planck's law at 2848 K with c2 = 1.435e-2 m·K,
    // 100 at 560 nm.
    static double IlluminantA(double nm);
    // CIE daylight of nominal correlated colour temperature cct (4000 ... 25000 K, the temperature
    // scaled by 1.4388/1.4380 and M1, M2 rounded to 3 decimals, CIE 15:2004 3.1) at 360 ... 830 nm.
    // False outside that range.
    static bool Daylight(double cct, std::vector<double>& power);

    // The illuminant's relative power at 360, 361, ..., 830 nm, 0 outside the range it is defined
    // on. CIE illuminants are recognised by name ("CIE Illuminant D65" or "D65", any letter case):
    // A from its formula, D65 from its 1-nm table, D50, D55 and D75 from the daylight basis, E as
    // 100, F1 ... F12 from their 5-nm CIE tables (380 ... 780 nm). Other 5-nm tables, and the points
    // of any other illuminant, are brought to 1 nm by Lagrange interpolation (cubic, quadratic in
    // the end intervals, ASTM E2022) when evenly spaced, linearly when not. step receives the
    // spacing of the data behind the result (1 for formulas and 1-nm tables). False when the
    // illuminant has no spectrum.
    static bool PowerAt1nm(const TIlluminant* illuminant, std::vector<double>& power, double* step = nullptr);

    // Values at first + step * i (i < count, step > 0) at the integer wavelengths 360 ... 830 by
    // the Lagrange scheme above; 0 outside [first, last].
    static void LagrangeTo1nm(
        double first, double step, const double* values, int count, std::vector<double>& out);

    // ASTM E308 tristimulus weights for data at first + step * i nm (i < count; integers, step >= 2),
    // computed by ASTM E2022 from power (360 ... 830 nm, as PowerAt1nm gives it) and the observer's
    // 1-nm table: Lagrange weights over the grid of that step within 360 ... 830 nm (quadratic in
    // the end intervals, cubic inside; a part interval at an end goes to its end point), scaled so
    // that the Y weights sum to 100, and the weights of grid points outside the data's range added
    // to its first and last points (Table 5: values taken as bandpass-corrected). Points outside
    // 360 ... 830 nm weigh 0. Cached per (power, observer, first, step, count); null when the grid
    // has fewer than 4 points or Y sums to 0.
    struct Weights {
        std::vector<double> x, y, z; // one per data point
    };
    static std::shared_ptr<const Weights> AstmE308Weights(
        const std::vector<double>& power, int observer, int first, int step, int count);
};

#endif
