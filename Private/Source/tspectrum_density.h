// Densitometric filter responses, built once per process and shared by all threads.
#ifndef TINTVALE_TSPECTRUM_DENSITY_H
#define TINTVALE_TSPECTRUM_DENSITY_H

class TSpectrum;

constexpr int kNrDensityChannels = 4; // 0 visual, 1 blue, 2 green, 3 red
constexpr int kNrDensityStandards = 9; // TCMS::FilterStandard

extern const double sDensityFilters[kNrDensityChannels][kNrDensityStandards][36];

// The filter response of (channel, standard) as a spectrum; never released once built.
// Null when it cannot be built or the indices are out of range.
const TSpectrum* DensityFilterResponse(int channel, int standard);

#endif
