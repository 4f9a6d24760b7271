// The tint network's text form: layer blocks read into memory and checked for a usable shape.
#ifndef TINTVALE_NEURALNETWORKHELPERS_READER_H
#define TINTVALE_NEURALNETWORKHELPERS_READER_H

#include <istream>
#include <vector>

namespace tintvale::detail {

struct TLayer {
    int nIn = 0;
    int nOut = 0;
    std::vector<double> weights; // weight of input j for output i at [j * nOut + i]
    std::vector<double> bias; // one per output
};

struct TNetwork {
    std::vector<TLayer> layers;
    bool usable = false;
};

// Reads layer blocks until the text ends; usable only when the whole text was blocks of a
// 36 -> ... -> 36 four-layer network whose shapes chain.
TNetwork ReadNetwork(std::istream& in);

} // namespace tintvale::detail

#endif
