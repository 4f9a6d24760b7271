// A host program of the installed library: the CIEDE2000 difference of two reflectance spectra
// under CIE illuminant D50 and the 2 degree observer. Its argument: a directory of illuminant files,
// such as the shipped set.
#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tobserver.h>
#include <tintvale/tspectrum.h>
#include <tintvale/version.h>

#include <cmath>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ILLUMINANT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const char* illuminantDir = argv[1];
    TIlluminantFactory factory;
    factory.AddDirectory(illuminantDir);
    TIlluminant* d50 = factory.GetIlluminant("CIE Illuminant D50");
    if (!d50) {
        std::fprintf(stderr, "no D50 illuminant in %s\n", illuminantDir);
        return 2;
    }
    TObserver observer("2 degree");
    TIlluminantAndObserver integrator(d50, &observer, 36);

    // Two measurements of a red patch, at the wavelengths the instrument reported.
    const double wl[] = { 400, 450, 500, 550, 600, 650, 700 };
    const double reference[] = { 0.06, 0.05, 0.05, 0.07, 0.45, 0.62, 0.66 };
    const double sample[] = { 0.06, 0.05, 0.06, 0.08, 0.43, 0.60, 0.65 };
    TSpectrum ref(wl, 7, reference), smp(wl, 7, sample);

    double white[3], xyzRef[3], xyzSmp[3], labRef[3], labSmp[3];
    integrator.GetXYZWhite(white);
    integrator.GetXYZ(&ref, xyzRef, 36);
    integrator.GetXYZ(&smp, xyzSmp, 36);
    TLabSpace lab(white);
    lab.XYZToLab(xyzRef, labRef);
    lab.XYZToLab(xyzSmp, labSmp);
    const int de2000 = TLabSpace::DifferenceFunctionNameToIndex("CIEDE2000"); // -1 if unknown
    const double dE = std::sqrt(TLabSpace::CalcSquareDeltaEConvertedStatic(labSmp, labRef, de2000));

    std::printf(
        "tintvale %s (headers %s)\n", TintvaleGetVersion(nullptr, nullptr, nullptr), TINTVALE_VERSION_STRING);
    std::printf("reference Lab %.2f %.2f %.2f\n", labRef[0], labRef[1], labRef[2]);
    std::printf("sample    Lab %.2f %.2f %.2f\n", labSmp[0], labSmp[1], labSmp[2]);
    std::printf("Delta E 2000  %.3f\n", dE);
    return (dE > 0.0 && dE < 10.0) ? 0 : 1;
}
