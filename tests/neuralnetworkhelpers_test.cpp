// The tint network is read once per process, so every case runs in a forked child that hands its
// outputs back through a pipe. The test process itself never calls ApplyNeuralTintInterpolation.
#include <tintvale/neuralnetworkhelpers.h>

#include "temp_dir.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Values = std::vector<double>;
using NeuralNetworkHelpers::ApplyNeuralTintInterpolation;

// Runs body in a child process and returns the values it produced.
Values InFreshProcess(const std::function<Values()>& body)
{
    int fds[2];
    const pid_t pid = pipe(fds) == 0 ? fork() : -1;
    if (pid < 0) {
        ADD_FAILURE() << "pipe or fork failed";
        return {};
    }
    if (pid == 0) {
        // Outputs stay below PIPE_BUF, so one write delivers them whole.
        const Values values = body();
        const auto size = static_cast<ssize_t>(values.size() * sizeof(double));
        _exit(write(fds[1], values.data(), static_cast<std::size_t>(size)) == size ? 0 : 2);
    }
    close(fds[1]);
    Values values;
    for (double d; read(fds[0], &d, sizeof d) == sizeof d;)
        values.push_back(d);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child ended with status " << status;
    return values;
}

struct Layer {
    int nIn, nOut;
    Values weights; // row by row: the nOut weights of input 0, then of input 1, ...
    Values bias;
};

Layer Dense(int nIn, int nOut, double weight = 0.1, double bias = 0.0)
{
    return { nIn, nOut, Values(static_cast<std::size_t>(nIn * nOut), weight),
        Values(static_cast<std::size_t>(nOut), bias) };
}

Layer Identity()
{
    Layer layer = Dense(36, 36, 0.0);
    for (int j = 0; j < 36; ++j)
        layer.weights[j * 36 + j] = 1.0;
    return layer;
}

std::string NetworkText(const std::vector<Layer>& layers)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.precision(17);
    for (const Layer& layer : layers) {
        text << layer.nIn << ' ' << layer.nOut << '\n';
        for (int j = 0; j < layer.nIn; ++j) {
            for (int i = 0; i < layer.nOut; ++i)
                text << layer.weights[j * layer.nOut + i] << ' ';
            text << '\n';
        }
        for (double b : layer.bias)
            text << b << ' ';
        text << '\n';
    }
    return text.str();
}

const std::string kIdentity = NetworkText({ Identity(), Identity(), Identity(), Identity() });

// One call on a network given as text; out starts as start.
Values Interpolate(
    const std::string& network, const Values& paper, const Values& solid, double tint, double start = 0.0)
{
    std::istringstream in(network);
    Values p(paper), s(solid), out(36, start);
    ApplyNeuralTintInterpolation(in, p.data(), s.data(), tint, out.data());
    return out;
}

Values Append(Values a, const Values& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Klambauer et al. 2017 with the rounded constants 1.0507 and 1.6732.
double Selu(double z) { return z > 0.0 ? 1.0507 * z : 1.0507 * (1.6732 * std::exp(z) - 1.6732); }
double Selu4(double x) { return Selu(Selu(Selu(Selu(x)))); }

Values Steps(double first, double step)
{
    Values v(36);
    for (int i = 0; i < 36; ++i)
        v[i] = first + step * i;
    return v;
}

const Values kX = Steps(-1.75, 0.1);

const Values kOnes(36, 1.0);

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

} // namespace

TEST(NeuralTintIdentityNetwork, ScalesTheCodeByTheTintAndMultipliesByPaper)
{
    const Values paper = Steps(0.5, 0.02);
    Values solid(36), zeroPaper(kOnes);
    for (int i = 0; i < 36; ++i)
        solid[i] = paper[i] * kX[i];
    zeroPaper[20] = 0.0;
    // Reading ends at the first block without its counts: a trailing note is no fifth layer.
    const std::string network = kIdentity + "\n# trained 2019\n";
    const Values out = InFreshProcess([&] {
        return Append(
            Append(Interpolate(network, paper, solid, 100.0), Interpolate(network, paper, solid, 50.0)),
            Interpolate(network, zeroPaper, kOnes, 100.0, 7.0));
    });
    ASSERT_EQ(out.size(), 3 * 36u);
    // Independently computed: positive inputs grow by 1.0507^4 = 1.21875084279084.
    EXPECT_NEAR(out[35], paper[35] * 2.13281397488397, 1e-13);
    EXPECT_NEAR(out[0], paper[0] * -1.2792799297421789, 1e-13);
    for (int i = 0; i < 36; ++i) {
        EXPECT_NEAR(out[i], paper[i] * Selu4(kX[i]), 1e-13) << "tint 100, sample " << i;
        EXPECT_NEAR(out[36 + i], paper[i] * Selu(Selu(0.5 * Selu(Selu(kX[i])))), 1e-13) << "tint 50, " << i;
        // A zero paper sample gives 0 there and leaves the others; unguarded, all 36 became NaN.
        EXPECT_NEAR(out[72 + i], i == 20 ? 0.0 : Selu4(1.0), 1e-13) << "zero paper, sample " << i;
    }
}

// 36 -> 2 -> 3 -> 2 -> 36: non-square layers catch a transposed weight layout.
std::vector<Layer> SmallNetwork()
{
    Layer l0 { 36, 2, {}, { 0.1, -0.2 } }, l3 { 2, 36, {}, {} };
    for (int j = 0; j < 36; ++j)
        l0.weights.insert(l0.weights.end(), { 0.025, 0.01 * (j % 3) - 0.01 });
    for (int i = 0; i < 72; ++i)
        l3.weights.push_back(i < 36 ? 0.1 + 0.02 * i : -0.05 * (i % 4));
    for (int i = 0; i < 36; ++i)
        l3.bias.push_back(0.01 * i - 0.2);
    return { l0, { 2, 3, { 1.0, -0.5, 0.25, 0.5, 2.0, -1.0 }, { 0.0, 0.1, -0.1 } },
        { 3, 2, { 0.3, -0.7, 0.9, 0.2, -0.4, 0.6 }, { 0.05, -0.3 } }, l3 };
}

TEST(NeuralTintSmallNetwork, EvaluatesLayersOfEveryShapeFromAFileAndKeepsIt)
{
    TempDir dir;
    std::string path = dir.File("network.txt");
    TempDir::Write(path, NetworkText(SmallNetwork()));
    const Values paper = Steps(0.8, 0.005), solid = Steps(0.1, 0.02);
    const Values out = InFreshProcess([&] {
        // Numbers are read in the C locale whatever the process's locale.
        std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
        Values result;
        for (double tint : { 100.0, 40.0, 0.0 }) {
            Values p(paper), s(solid), o(36, 0.0);
            ApplyNeuralTintInterpolation(path.data(), p.data(), s.data(), tint, o.data());
            result = Append(result, o);
        }
        // Later calls keep the first network, whatever they offer.
        return Append(result, Interpolate(kIdentity, paper, solid, 100.0));
    });
    ASSERT_EQ(out.size(), 4 * 36u);
    // Independently computed with a plain Python evaluation of the same weights.
    const double expected[3][4]
        = { { -0.3649104415542124, -0.3368659104474909, -0.5468406917897409, -0.7124031200545881 },
              { -0.3074399613920621, -0.27533115727091745, -0.28924367174735643, -0.21554225387414241 },
              { -0.24887636323904788, -0.21034927647078322, 0.014782956743171817, 0.26673707290762727 } };
    const int samples[4] = { 0, 1, 17, 35 };
    for (int t = 0; t < 3; ++t)
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(out[36 * t + samples[k]], expected[t][k], 1e-13) << "tint row " << t << ", " << k;
    EXPECT_EQ(Values(out.begin() + 108, out.end()), Values(out.begin(), out.begin() + 36));
}

TEST(NeuralTintNetworkFile, NullArraysReadNothingAndAFailedFirstReadStaysFailedAndEachCallSaysSo)
{
    const Values paper = Steps(0.5, 0.01);
    const Values out = InFreshProcess([&] {
        MessageCapture capture;
        Values p(paper), s(kOnes), o(36, 2.0);
        // Calls with a null array return before reading: the good network offered here is not read.
        for (int k = 0; k < 3; ++k) {
            std::istringstream good(kIdentity);
            ApplyNeuralTintInterpolation(good, k == 0 ? nullptr : p.data(), k == 1 ? nullptr : s.data(),
                100.0, k == 2 ? nullptr : o.data());
        }
        ApplyNeuralTintInterpolation(static_cast<char*>(nullptr), p.data(), s.data(), 100.0, o.data());
        Values result = Append(o, Interpolate(kIdentity, paper, kOnes, 100.0, 2.0));
        result.push_back(static_cast<double>(capture.messages.size()));
        return result;
    });
    EXPECT_EQ(out, Values(73, 2.0)) << "the last value is the number of messages";
}

TEST(NeuralTintNetworkFile, RefusesNetworksThatDoNotFit)
{
    // The identity text ends with a bias line and a weight row of 73 characters each.
    std::string wordInWeights = kIdentity;
    wordInWeights.replace(wordInWeights.find(" 0 ", 200), 3, " x ");
    const Layer id = Identity();
    const std::pair<const char*, std::string> cases[] = {
        { "three layers", NetworkText({ id, id, id }) },
        { "five layers", NetworkText({ id, id, id, id, id }) },
        { "first layer takes 35 inputs", NetworkText({ Dense(35, 36), id, id, id }) },
        { "last layer gives 35 outputs", NetworkText({ id, id, id, Dense(36, 35) }) },
        { "shapes do not chain", NetworkText({ Dense(36, 20), Dense(21, 36), id, id }) },
        // Without the count checks these chain from 36 to 36 and would decode the biases 0.5.
        { "layers without inputs or outputs",
            NetworkText({ Dense(36, 0), Dense(0, 0), Dense(0, 0), Dense(0, 36, 0, 0.5) }) },
        { "negative output count", "36 -36\n" + kIdentity },
        { "ends inside the weights", kIdentity.substr(0, kIdentity.size() - 73 - 40) },
        { "ends inside the biases", kIdentity.substr(0, kIdentity.size() - 20) },
        { "ends after the input count of a fifth block", kIdentity + "36\n" },
        { "a word among the weights", wordInWeights },
        { "a header claiming 72e9 weights", "36 2000000000 0.5 0.5 0.5\n" },
    };
    const Values paper = Steps(0.5, 0.01);
    for (const auto& [what, text] : cases) {
        const Values out = InFreshProcess([&] { return Interpolate(text, paper, kOnes, 100.0, 2.0); });
        EXPECT_EQ(out, Values(36, 2.0)) << what;
    }
}
