// NeuralNetworkHelpers: predicts the spectrum of an ink tint from the paper and solid spectra with a
// small fixed-shape network read once per process from a text file.
#ifndef TINTVALE_NEURALNETWORKHELPERS_H
#define TINTVALE_NEURALNETWORKHELPERS_H

#include <tintvale/texport.h>

#include <istream>

// Network file: whitespace-separated text of layer blocks, each "nIn nOut", then nIn * nOut weights
// row by row (the nOut weights of input 0, then of input 1, ...), then nOut biases. Numbers are read
// in the C locale whatever locale the stream carries. Reading stops at the first block whose two
// leading integers cannot be read.
//
// A usable network has exactly 4 layers whose shapes chain (nOut of one layer is nIn of the next),
// 36 inputs to the first layer, 36 outputs from the last and at least one input and output per
// layer. A file with another layer count, with shapes that do not fit, or that ends inside a block
// is refused: the network then leaves out as it was (see below).
//
// The network is process-wide: the first call reads it from its stream argument (or file) and it is
// kept until the process ends; every later call ignores its network argument, including after a
// failed or empty read. The first read is guarded, so concurrent first calls are safe; evaluations
// only read the network.
namespace NeuralNetworkHelpers {

// paper, solid and out hold 36 samples on the 380..730 nm grid. With the usable network N (layers
// L0..L3, each z = bias + weights * v followed by the scaled exponential linear unit):
//   out[i] = paper[i] * L3(L2(tintPercent / 100 * L1(L0(solid / paper))))[i]
// where a paper sample of 0 gives the ratio 1 (and its output 0) instead of dividing by zero.
// Without a usable network out is left as it was and each call tells the message sink. A null
// array makes the call do nothing.
TINTVALE_API void ApplyNeuralTintInterpolation(
    std::istream& network, double* const paper, double* const solid, double tintPercent, double* out);

// As above, reading the network (on the first call only) from the file fileName. A file that cannot
// be opened, or a null name, leaves the process without a usable network.
TINTVALE_API void ApplyNeuralTintInterpolation(
    char* fileName, double* const paper, double* const solid, double tintPercent, double* out);

} // namespace NeuralNetworkHelpers

#endif
