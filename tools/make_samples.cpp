// Writes the sample charts of data/samples: a 24-patch reflectance chart and a "measured" copy with
// small instrument-like deviations. Everything is deterministic, so re-running it reproduces the
// committed files byte for byte.
//
//   tintvale_make_samples OUTPUT_DIR
//
// The spectra are smooth model curves (flat, band, notch, rising and falling edges) on the library's
// grid, 380 to 730 nm in 10 nm steps; they are made here, not copied from any commercial chart.
// Each file is built by TCgats from arrays and written by TCgats::SaveAs.
#include <tintvale/tcgats.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kNrPoints = 36;
constexpr double kFirstNm = 380.0;
constexpr double kStepNm = 10.0;
constexpr int kRowLength = 6; // patches to a row of the chart

enum class Shape { Flat, Band, Notch, Rise, Fall };

struct Patch {
    const char* name;
    Shape shape;
    double position; // nm: band or notch centre, edge midpoint
    double width; // nm: band or notch sigma, edge logistic scale
    double low;
    double high;
};

// Four rows of six: earth tones and lights, more lights, saturated colours, and a grey scale.
const Patch kPatches[] = {
    { "brown", Shape::Rise, 585, 28, 0.05, 0.40 },
    { "light skin", Shape::Rise, 565, 35, 0.18, 0.62 },
    { "sky", Shape::Fall, 530, 30, 0.10, 0.36 },
    { "foliage", Shape::Band, 550, 40, 0.05, 0.19 },
    { "lavender", Shape::Notch, 560, 45, 0.22, 0.55 },
    { "teal", Shape::Band, 500, 55, 0.08, 0.55 },
    { "orange", Shape::Rise, 585, 12, 0.05, 0.85 },
    { "indigo", Shape::Fall, 485, 18, 0.06, 0.45 },
    { "salmon", Shape::Rise, 600, 15, 0.12, 0.70 },
    { "violet", Shape::Notch, 550, 50, 0.06, 0.34 },
    { "lime", Shape::Band, 565, 50, 0.05, 0.62 },
    { "golden", Shape::Rise, 545, 14, 0.06, 0.82 },
    { "blue", Shape::Band, 450, 35, 0.04, 0.42 },
    { "green", Shape::Band, 530, 32, 0.05, 0.45 },
    { "red", Shape::Rise, 610, 10, 0.04, 0.80 },
    { "yellow", Shape::Rise, 515, 12, 0.05, 0.90 },
    { "magenta", Shape::Notch, 545, 38, 0.08, 0.75 },
    { "cyan", Shape::Fall, 575, 20, 0.10, 0.62 },
    { "white", Shape::Flat, 0, 0, 0.90, 0.90 },
    { "neutral 8", Shape::Flat, 0, 0, 0.59, 0.59 },
    { "neutral 6.5", Shape::Flat, 0, 0, 0.36, 0.36 },
    { "neutral 5", Shape::Flat, 0, 0, 0.20, 0.20 },
    { "neutral 3.5", Shape::Flat, 0, 0, 0.09, 0.09 },
    { "black", Shape::Flat, 0, 0, 0.031, 0.031 },
};

double Reflectance(const Patch& p, double nm)
{
    double s = 0.0; // 0 at the low level, 1 at the high level
    switch (p.shape) {
    case Shape::Flat:
        s = 1.0;
        break;
    case Shape::Band:
        s = std::exp(-0.5 * std::pow((nm - p.position) / p.width, 2.0));
        break;
    case Shape::Notch:
        s = 1.0 - std::exp(-0.5 * std::pow((nm - p.position) / p.width, 2.0));
        break;
    case Shape::Rise:
        s = 1.0 / (1.0 + std::exp(-(nm - p.position) / p.width));
        break;
    case Shape::Fall:
        s = 1.0 / (1.0 + std::exp((nm - p.position) / p.width));
        break;
    }
    return p.low + (p.high - p.low) * s;
}

// A small linear congruential generator (Knuth's MMIX constants): the same numbers on every
// platform, which std::uniform_real_distribution does not promise.
class Lcg {
public:
    // Uniform in [-1, 1).
    double Next()
    {
        mState = mState * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(mState >> 11) / 4503599627370496.0 - 1.0;
    }

private:
    std::uint64_t mState = 20260101;
};

// The "measured" copy: a slight spectral tilt of the instrument, a per-patch gain of up to 1 %, a
// little noise per wavelength, and one patch (the red) printed noticeably heavier in the long
// wavelengths, so that a comparison has an outlier to find.
std::vector<std::vector<double>> Measured(const std::vector<std::vector<double>>& reference)
{
    Lcg lcg;
    std::vector<std::vector<double>> out = reference;
    for (std::size_t p = 0; p < out.size(); ++p) {
        const double gain = 1.0 + 0.01 * lcg.Next();
        for (int i = 0; i < kNrPoints; ++i) {
            const double nm = kFirstNm + kStepNm * i;
            const double tilt = 1.0 + 0.008 * (nm - 555.0) / 175.0;
            double v = reference[p][i] * gain * tilt + 0.0015 * lcg.Next();
            if (std::string(kPatches[p].name) == "red" && nm >= 600.0)
                v *= 0.93;
            out[p][i] = std::fmin(std::fmax(v, 0.001), 1.0);
        }
    }
    return out;
}

// The charts are defined to five decimals, the precision of the committed files.
std::vector<std::vector<double>> FiveDecimals(std::vector<std::vector<double>> spectra)
{
    char text[32];
    for (auto& spectrum : spectra)
        for (double& v : spectrum) {
            std::snprintf(text, sizeof text, "%.5f", v);
            v = std::strtod(text, nullptr);
        }
    return spectra;
}

// The chart as the library builds it from arrays: sample names, no colour channels, the spectra on
// the grid, six patches to a row; then the descriptive header lines.
bool Save(const char* descriptor, const std::vector<std::vector<double>>& spectra, const std::string& path)
{
    std::vector<double> wavelengths;
    for (int i = 0; i < kNrPoints; ++i)
        wavelengths.push_back(kFirstNm + kStepNm * i);
    std::vector<std::string> names;
    for (const Patch& p : kPatches)
        names.emplace_back(p.name);
    const std::vector<std::vector<double>> noChannels(spectra.size());
    TCgats chart(
        1.0, 0.0, noChannels, {}, {}, FiveDecimals(spectra), wavelengths, names, {}, kRowLength, 1, 1, false);
    if (chart.GetErrorCode() == 0) {
        chart.SetOriginator("tintvale_make_samples");
        chart.SetFileDescriptor(descriptor);
        chart.SetCreated("2026-01-01");
        chart.AddCustomTag("MEASUREMENT_CONDITION", "M0");
    }
    const int rc = chart.SaveAs(path.c_str());
    if (rc != 0) {
        std::fprintf(stderr, "%s: %s (code %d)\n", path.c_str(), chart.GetErrorMsg(), rc);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tintvale_make_samples OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<std::vector<double>> reference;
    for (const Patch& p : kPatches) {
        std::vector<double> spectrum;
        for (int i = 0; i < kNrPoints; ++i)
            spectrum.push_back(Reflectance(p, kFirstNm + kStepNm * i));
        reference.push_back(spectrum);
    }
    const bool ok
        = Save("24-patch reference chart, reflectance factors", reference, dir + "/chart_reference.txt")
        && Save("24-patch chart as measured", Measured(reference), dir + "/chart_measured.txt");
    return ok ? 0 : 1;
}
