// NeuralNetworkHelpers: the process-wide tint network, its text file and its evaluation.
#include <tintvale/neuralnetworkhelpers.h>

#include "neuralnetworkhelpers_reader.h"

#include "halden.h"
#include "numtext.h"

#include <cmath>
#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

namespace {

using tintvale::detail::TLayer;
using tintvale::detail::TNetwork;

constexpr int kNrSamples = 36;
constexpr std::size_t kNrLayers = 4;
// The ratio fed in where the paper reflects nothing: the ink cannot darken such a sample, and the
// sample's output is the paper's 0 whatever the network makes of it.
constexpr double kBlackPaperRatio = 1.0;

// Scaled exponential linear unit (Klambauer et al., "Self-Normalizing Neural Networks", NIPS 2017),
// with the rounded constants the tint networks are trained with:
//   selu(z) = lambda * z                       for z > 0
//           = lambda * (alpha * e^z - alpha)   otherwise
constexpr double kSeluLambda = 1.0507;
constexpr double kSeluAlpha = 1.6732;

enum class TBlockRead { kLayer, kEnd, kMalformed };

// The next whitespace-separated token; false at the end of the stream, also when the host's stream
// is set to throw there.
bool NextToken(std::istream& in, std::string& token)
{
    try {
        in >> token;
    } catch (const std::ios_base::failure&) {
        return false;
    }
    return !in.fail();
}

// Numbers are parsed in the C locale: a host's decimal-comma locale must not change the weights.
bool ReadInt(std::istream& in, int& value)
{
    std::string token;
    if (!NextToken(in, token))
        return false;
    const char* end = token.data() + token.size();
    return tintvale::detail::ParseInt(token.data(), end, value) == end;
}

bool ReadDouble(std::istream& in, double& value)
{
    std::string token;
    if (!NextToken(in, token))
        return false;
    const char* end = token.data() + token.size();
    return tintvale::detail::ParseDouble(token.data(), end, value) == end;
}

// One block: nIn, nOut, nIn rows of nOut weights, nOut biases.
TBlockRead ReadLayer(std::istream& in, TLayer& layer)
{
    if (!ReadInt(in, layer.nIn))
        return TBlockRead::kEnd;
    if (!ReadInt(in, layer.nOut) || layer.nIn < 1 || layer.nOut < 1)
        return TBlockRead::kMalformed;
    // The arrays grow number by number: the sizes come from the file, and a short or hostile file
    // must fail where its numbers end, not by allocating what its header claims.
    const std::size_t nrWeights = static_cast<std::size_t>(layer.nIn) * static_cast<std::size_t>(layer.nOut);
    double value = 0.0;
    for (std::size_t k = 0; k < nrWeights; ++k) {
        if (!ReadDouble(in, value))
            return TBlockRead::kMalformed;
        layer.weights.push_back(value);
    }
    for (int i = 0; i < layer.nOut; ++i) {
        if (!ReadDouble(in, value))
            return TBlockRead::kMalformed;
        layer.bias.push_back(value);
    }
    return TBlockRead::kLayer;
}

// Four layers from 36 samples to 36 samples, each taking what the one before gives.
bool ShapesFit(const std::vector<TLayer>& layers)
{
    if (layers.size() != kNrLayers || layers.front().nIn != kNrSamples || layers.back().nOut != kNrSamples)
        return false;
    for (std::size_t k = 1; k < layers.size(); ++k)
        if (layers[k].nIn != layers[k - 1].nOut)
            return false;
    return true;
}

} // namespace

namespace tintvale::detail {

TNetwork ReadNetwork(std::istream& in)
{
    TNetwork network;
    TBlockRead result;
    for (;;) {
        TLayer layer;
        result = ReadLayer(in, layer);
        if (result != TBlockRead::kLayer)
            break;
        network.layers.push_back(std::move(layer));
    }
    network.usable = result == TBlockRead::kEnd && ShapesFit(network.layers);
    return network;
}

} // namespace tintvale::detail

namespace {

using tintvale::detail::TLayer;
using tintvale::detail::TNetwork;

// The network of the process, read from the stream of the very first call. The function-local
// static makes concurrent first calls wait for that one read.
const TNetwork& ProcessNetwork(std::istream& in)
{
    static const TNetwork sNetwork = tintvale::detail::ReadNetwork(in);
    return sNetwork;
}

double Selu(double z)
{
    return z > 0.0 ? kSeluLambda * z : kSeluLambda * (kSeluAlpha * std::exp(z) - kSeluAlpha);
}

// y_i = selu(bias_i + sum over j of w_ji * v_j), summed in ascending j.
std::vector<double> Apply(const TLayer& layer, const std::vector<double>& v)
{
    std::vector<double> y(static_cast<std::size_t>(layer.nOut));
    for (int i = 0; i < layer.nOut; ++i) {
        double z = layer.bias[i];
        for (int j = 0; j < layer.nIn; ++j)
            z += layer.weights[static_cast<std::size_t>(j) * layer.nOut + i] * v[j];
        y[i] = Selu(z);
    }
    return y;
}

// The first two layers encode the ratio, the tint fraction scales the code, the last two decode it.
void Evaluate(const TNetwork& network, const std::vector<double>& ratio, double scale, double* out)
{
    std::vector<double> code = Apply(network.layers[1], Apply(network.layers[0], ratio));
    for (double& c : code)
        c *= scale;
    const std::vector<double> tint = Apply(network.layers[3], Apply(network.layers[2], code));
    for (int i = 0; i < kNrSamples; ++i)
        out[i] = tint[i];
}

} // namespace

namespace NeuralNetworkHelpers {

void ApplyNeuralTintInterpolation(
    std::istream& network, double* const paper, double* const solid, double tintPercent, double* out)
{
    if (!paper || !solid || !out)
        return;
    const TNetwork& net = ProcessNetwork(network);
    if (!net.usable) {
        error_mess_fl("Neural tint network not loaded: output left unchanged", __FILE__, __LINE__);
        return;
    }
    // Every input feeds every output: one infinite ratio would make all 36 undefined.
    std::vector<double> ratio(kNrSamples);
    for (int i = 0; i < kNrSamples; ++i)
        ratio[i] = paper[i] != 0.0 ? solid[i] / paper[i] : kBlackPaperRatio;
    Evaluate(net, ratio, tintPercent / 100.0, out);
    for (int i = 0; i < kNrSamples; ++i)
        out[i] *= paper[i];
}

void ApplyNeuralTintInterpolation(
    char* fileName, double* const paper, double* const solid, double tintPercent, double* out)
{
    // Left unopened for a null name: reading it fails at once, as for a file that cannot be opened.
    std::ifstream file;
    if (fileName)
        file.open(fileName);
    ApplyNeuralTintInterpolation(file, paper, solid, tintPercent, out);
}

} // namespace NeuralNetworkHelpers
