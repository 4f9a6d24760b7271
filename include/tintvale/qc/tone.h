// Tone values of the tints of each process channel: by Murray-Davies from status densities, or as
// the spot colour tone value from CIELAB; and the tone value increase over the nominal value.
#ifndef TINTVALE_QC_TONE_H
#define TINTVALE_QC_TONE_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/chart.h>

#include <string>
#include <vector>

namespace tintvale::qc {

struct TonePoint {
    std::string sample;
    double nominal = 0.0; // the channel's device value, percent
    double tone = 0.0; // percent
    double tvi = 0.0; // tone - nominal
};

struct ToneChannel {
    std::string name; // "C", "M", "Y", "K" or the channel number
    std::string filter; // "C", "M", "Y" or "V" (the solid's densest); empty for the spot colour tone value
    std::vector<TonePoint> points; // by nominal value
};

struct ToneOptions {
    std::string standard = "ISO Status T";
    std::string paper; // a sample name or number; empty: the first patch with every channel at 0
    std::string method = "density"; // or "sctv"
    // The filter of the black channel's densities: "visual", as presses measure black (its solid
    // is about as dense under every filter, and the visual one follows how dark it looks), or
    // "densest", the filter under which its solid is densest, as for the colours.
    std::string blackFilter = "visual";
    int table = -1;
};

struct ToneValues {
    int table = 0;
    std::string paper; // the paper sample's name
    std::vector<ToneChannel> channels; // the channels with tints and a solid, in channel order
};

// Fails (Error) on a chart without device values or paper, on the density method without
// spectra, on a solid no denser than the paper, and on an unknown method or standard.
TINTVALE_QC_API ToneValues ComputeToneValues(
    const Chart& chart, Colorimetry& colorimetry, const ToneOptions& options);

} // namespace tintvale::qc

#endif
