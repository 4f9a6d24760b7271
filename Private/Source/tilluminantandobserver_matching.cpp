// TIlluminantAndObserver: the search for a reflectance spectrum that matches a colour.
#include <tintvale/tilluminantandobserver.h>

#include <tintvale/tilluminant.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tspectrum.h>

#include <cmath>

namespace {

constexpr int kNrSamples = TIlluminantAndObserver::kMaxPoints;
constexpr double kDefaultUpper = 0.99999;
constexpr double kDefaultLower = 0.00001;
// Reflectance added to one sample to estimate the gradient by a forward difference.
constexpr double kProbe = 0.001;
// Smoothing kernel over sample offsets -4 ... +4, divided by kKernelSum.
constexpr int kKernelHalfWidth = 4;
constexpr double kKernel[2 * kKernelHalfWidth + 1] = { 0.5, 1.0, 2.0, 3.0, 5.0, 3.0, 2.0, 1.0, 0.5 };
constexpr double kKernelSum = 18.0;
constexpr int kFirstSmoothed = 4;
constexpr int kLastSmoothed = 30;
// Sum of the absolute sample changes of one step, relative to the current distance.
constexpr double kStepFraction = 0.01;
constexpr int kNrIterations = 1000;

bool AllFinite(const double* v, int n)
{
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

// CIE 1976: Delta E*ab = sqrt(Delta a*^2 + Delta L*^2 + Delta b*^2).
double DeltaE76(const double* lab1, const double* lab2)
{
    const double da = lab1[1] - lab2[1];
    const double dl = lab1[0] - lab2[0];
    const double db = lab1[2] - lab2[2];
    return std::sqrt(da * da + dl * dl + db * db);
}

// The distance of a candidate XYZ to the target under one method.
class MatchDistance {
public:
    MatchDistance(
        const TLabSpace& space, const double* targetXYZ, TIlluminantAndObserver::MatchingMethod method)
        : mSpace(space)
        , mTargetXYZ(targetXYZ)
        , mMethod(method)
    {
        mSpace.XYZToLab(targetXYZ, mTargetLab);
    }

    double operator()(const double* xyz) const
    {
        if (mMethod == TIlluminantAndObserver::MatchInLab)
            return DeltaLab(xyz);
        // sqrt(dY^2 + dX^2 + dZ^2)
        const double dy = xyz[1] - mTargetXYZ[1];
        const double dx = xyz[0] - mTargetXYZ[0];
        const double dz = xyz[2] - mTargetXYZ[2];
        return std::sqrt(dy * dy + dx * dx + dz * dz);
    }

    double DeltaLab(const double* xyz) const
    {
        double lab[3];
        mSpace.XYZToLab(xyz, lab);
        return DeltaE76(mTargetLab, lab);
    }

private:
    const TLabSpace& mSpace;
    const double* mTargetXYZ;
    TIlluminantAndObserver::MatchingMethod mMethod;
    double mTargetLab[3];
};

// h_i = sum over j = -4 ... 4 of kernel_j g_(i+j) / 18 for 4 <= i <= 30; the raw g_i elsewhere.
void Smooth(const double* g, double* h)
{
    for (int i = 0; i < kNrSamples; ++i) {
        if (i < kFirstSmoothed || i > kLastSmoothed) {
            h[i] = g[i];
            continue;
        }
        double sum = 0.0;
        for (int j = -kKernelHalfWidth; j <= kKernelHalfWidth; ++j)
            sum += kKernel[j + kKernelHalfWidth] * g[i + j];
        h[i] = sum / kKernelSum;
    }
}

} // namespace

// Gradient walk: g_i = (d - d_i) / w_i, d_i the distance after raising sample i by 0.001, found
// incrementally as XYZ + 0.001 k (S x̄_i, S ȳ_i, S z̄_i); the smoothed gradient h is scaled so that
// sum |step_i| = 0.01 d, then clamped into [lower_i, upper_i], lower first.
double TIlluminantAndObserver::CalculateMatchingSpectrum(const double* target, const double* white,
    const double* upper, const double* lower, const double* start, MatchingMethod method, double* result)
{
    if (target == nullptr || start == nullptr || result == nullptr || mError != 0 || mNrPoints != kNrSamples
        || !(mK > 0.0) || !AllFinite(target, 3) || !AllFinite(start, kNrSamples))
        return -1.0;

    double upperBound[kNrSamples];
    double lowerBound[kNrSamples];
    for (int i = 0; i < kNrSamples; ++i) {
        upperBound[i] = upper != nullptr ? upper[i] : kDefaultUpper;
        lowerBound[i] = lower != nullptr ? lower[i] : kDefaultLower;
    }
    double whiteXYZ[3];
    if (white != nullptr) {
        for (int c = 0; c < 3; ++c)
            whiteXYZ[c] = white[c];
    } else {
        GetXYZWhite(whiteXYZ);
    }
    for (double c : whiteXYZ)
        if (!(c > 0.0) || !std::isfinite(c))
            return -1.0;

    const TLabSpace space(whiteXYZ);
    const MatchDistance dist(space, target, method);
    const bool known = method == MatchInLab || method == MatchInXYZ;

    double current[kNrSamples];
    double best[kNrSamples];
    for (int i = 0; i < kNrSamples; ++i)
        current[i] = best[i] = start[i];
    double xyz[3];
    GetXYZ(current, xyz, kNrSamples);
    double d = dist(xyz);
    double bestD = d;

    for (int iteration = 0; known && iteration < kNrIterations; ++iteration) {
        double g[kNrSamples];
        for (int i = 0; i < kNrSamples; ++i) {
            const double probe[] = { xyz[0] + mSX[i] * kProbe * mK, xyz[1] + mSY[i] * kProbe * mK,
                xyz[2] + mSZ[i] * kProbe * mK };
            // A wavelength without weight cannot move the colour.
            g[i] = mWeight[i] != 0.0 ? (d - dist(probe)) / mWeight[i] : 0.0;
        }
        double h[kNrSamples];
        Smooth(g, h);
        double total = 0.0;
        for (double v : h)
            total += std::fabs(v);
        // Every probe left the distance where it was: no direction to step in, and the walk would
        // stay where it is on every later iteration.
        if (!(total > 0.0) || !std::isfinite(total))
            break;
        const double scale = d * kStepFraction / total;
        for (int i = 0; i < kNrSamples; ++i) {
            double v = current[i] + h[i] * scale;
            if (lowerBound[i] > v)
                v = lowerBound[i];
            if (v > upperBound[i])
                v = upperBound[i];
            current[i] = v;
        }
        GetXYZ(current, xyz, kNrSamples);
        d = dist(xyz);
        if (bestD > d) {
            for (int i = 0; i < kNrSamples; ++i)
                best[i] = current[i];
            bestD = d;
        }
    }

    for (int i = 0; i < kNrSamples; ++i)
        result[i] = best[i];
    GetXYZ(best, xyz, kNrSamples);
    return dist.DeltaLab(xyz);
}
