// A host of the shared library: reads spectra given as (wavelength, value) text, shows them on the
// 36-point grid and checks that the 16-bit file encoding brings them back.
#include <tintvale/tspectrum.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

void Show(const char* title, const TSpectrum& spectrum)
{
    double start = 0.0, end = 0.0;
    int count = 0;
    const double* samples = spectrum.GetUniformSpectrum(&start, &end, &count);
    std::printf("%s (%g..%g nm, %d samples, error %d)\n", title, start, end, count, spectrum.ErrNo());
    for (int i = 0; i < count; ++i)
        std::printf("  %3.0f nm %8.5f%s", start + i * spectrum.GetUniformDeltaLambda(), samples[i],
            (i % 4 == 3) ? "\n" : "");
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    // A paper-like reflectance measured at irregular wavelengths (default), or the text given.
    std::string text = "7 points: 400 450 500 550 600 650 700  0.62 0.80 0.86 0.88 0.89 0.90 0.90";
    if (argc > 1)
        text = argv[1];
    TSpectrum measured(text.data());
    if (measured.ErrNo() != 0) {
        std::fprintf(stderr, "could not read the spectrum text (error %d)\n", measured.ErrNo());
        return 1;
    }
    Show("resampled onto the grid", measured);

    int size = 0;
    const char* record = measured.ToFileData(&size);
    if (record == nullptr) {
        std::fprintf(stderr, "no record holds this spectrum (error %d)\n", measured.ErrNo());
        return 1;
    }
    std::printf("long record: %d bytes\n", size);
    std::string copy(record, record + size);
    TSpectrum decoded(static_cast<void*>(copy.data()), nullptr);
    double worst = 0.0;
    for (int i = 0; i < TSpectrum::kNrUniform; ++i)
        worst = std::fmax(worst, std::fabs(decoded.Data(i) - measured.Data(i)));
    std::printf("decoded again: error %d, largest difference %.2e\n", decoded.ErrNo(), worst);

    TSpectrum squared(&measured, &measured);
    double energy = 0.0;
    measured.InProduct(&measured, &energy);
    std::printf(
        "sum of squares over the grid: %.6f (product spectrum at 550 nm: %.6f)\n", energy, squared.Data(17));
    return 0;
}
