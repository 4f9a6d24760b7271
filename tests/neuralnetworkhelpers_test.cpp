// NeuralNetworkHelpers: reading the tint network, its evaluation and the once-per-process rule.
//
// The network is read once per process, so every case runs its calls in a forked child that has not
// read one yet and hands its outputs back to the test through a pipe. Nothing in the test process
// itself may call ApplyNeuralTintInterpolation.
#include <tintvale/neuralnetworkhelpers.h>

#include "temp_dir.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Values = std::vector<double>;
using NeuralNetworkHelpers::ApplyNeuralTintInterpolation;

// Runs body in a child process and returns the values it produced.
Values InFreshProcess(const std::function<Values()>& body)
{
    int fds[2];
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    const pid_t pid = fork();
    if (pid < 0) {
        ADD_FAILURE() << "fork failed";
        return {};
    }
    if (pid == 0) {
        close(fds[0]);
        const Values values = body();
        const char* bytes = reinterpret_cast<const char*>(values.data());
        std::size_t left = values.size() * sizeof(double);
        while (left > 0) {
            const ssize_t n = write(fds[1], bytes, left);
            if (n <= 0)
                _exit(2);
            bytes += n;
            left -= static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::vector<char> bytes;
    char chunk[4096];
    ssize_t n;
    while ((n = read(fds[0], chunk, sizeof chunk)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child ended with status " << status;
    Values values(bytes.size() / sizeof(double));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
    return values;
}

struct Layer {
    int nIn;
    int nOut;
    Values weights; // row by row: the nOut weights of input 0, then of input 1, ...
    Values bias;
};

Layer Identity(double bias = 0.0)
{
    Layer layer { 36, 36, Values(36 * 36, 0.0), Values(36, bias) };
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

const Values kOnes(36, 1.0);

} // namespace

TEST(NeuralTintIdentityNetwork, ScalesTheCodeByTheTintAndMultipliesByPaper)
{
    const Values x = Steps(-1.75, 0.1);
    const Values paper = Steps(0.5, 0.02);
    Values solid(36);
    for (int i = 0; i < 36; ++i)
        solid[i] = paper[i] * x[i];
    Values zeroPaper(kOnes);
    zeroPaper[20] = 0.0;
    // Reading ends at the first block without its counts: a trailing note is no fifth layer.
    const std::string network = kIdentity + "\n# trained 2019\n";
    const Values out = InFreshProcess([&] {
        return Append(
            Append(Interpolate(network, paper, solid, 100.0), Interpolate(network, paper, solid, 50.0)),
            Append(
                Interpolate(network, paper, solid, 0.0, 7.0), Interpolate(network, zeroPaper, kOnes, 100.0)));
    });
    ASSERT_EQ(out.size(), 4 * 36u);
    // Independently computed: positive inputs grow by 1.0507^4 = 1.21875084279084.
    EXPECT_NEAR(out[35], paper[35] * 2.13281397488397, 1e-13);
    EXPECT_NEAR(out[0], paper[0] * -1.2792799297421789, 1e-13);
    EXPECT_NEAR(out[36], paper[0] * -1.0151670003570104, 1e-13);
    for (int i = 0; i < 36; ++i) {
        EXPECT_NEAR(out[i], paper[i] * Selu4(x[i]), 1e-13) << "tint 100, sample " << i;
        EXPECT_NEAR(out[36 + i], paper[i] * Selu(Selu(0.5 * Selu(Selu(x[i])))), 1e-13)
            << "tint 50, sample " << i;
        // selu(0) is 0, so zero biases decode a zero code to zero.
        EXPECT_EQ(out[72 + i], 0.0) << "tint 0, sample " << i;
        // A zero paper sample gives 0 there; unguarded, its infinite ratio made all 36 outputs NaN.
        EXPECT_NEAR(out[108 + i], i == 20 ? 0.0 : Selu4(1.0), 1e-13) << "zero paper, sample " << i;
    }
}

// 36 -> 2 -> 3 -> 2 -> 36: non-square layers catch a transposed weight layout.
std::vector<Layer> SmallNetwork()
{
    Layer l0 { 36, 2, {}, { 0.1, -0.2 } };
    for (int j = 0; j < 36; ++j) {
        l0.weights.push_back(0.025);
        l0.weights.push_back(0.01 * (j % 3) - 0.01);
    }
    const Layer l1 { 2, 3, { 1.0, -0.5, 0.25, 0.5, 2.0, -1.0 }, { 0.0, 0.1, -0.1 } };
    const Layer l2 { 3, 2, { 0.3, -0.7, 0.9, 0.2, -0.4, 0.6 }, { 0.05, -0.3 } };
    Layer l3 { 2, 36, {}, {} };
    for (int i = 0; i < 36; ++i)
        l3.weights.push_back(0.1 + 0.02 * i);
    for (int i = 0; i < 36; ++i)
        l3.weights.push_back(-0.05 * (i % 4));
    for (int i = 0; i < 36; ++i)
        l3.bias.push_back(0.01 * i - 0.2);
    return { l0, l1, l2, l3 };
}

TEST(NeuralTintSmallNetwork, EvaluatesLayersOfEveryShapeFromAFile)
{
    TempDir dir;
    std::string path = dir.File("network.txt");
    TempDir::Write(path, NetworkText(SmallNetwork()));
    const Values paper = Steps(0.8, 0.005);
    const Values solid = Steps(0.1, 0.02);
    const Values out = InFreshProcess([&] {
        Values result;
        for (double tint : { 100.0, 40.0, 0.0 }) {
            Values p(paper), s(solid), o(36, 0.0);
            ApplyNeuralTintInterpolation(path.data(), p.data(), s.data(), tint, o.data());
            result = Append(result, o);
        }
        return result;
    });
    ASSERT_EQ(out.size(), 3 * 36u);
    // Independently computed with a plain Python evaluation of the same weights.
    const double expected[3][4]
        = { { -0.3649104415542124, -0.3368659104474909, -0.5468406917897409, -0.7124031200545881 },
              { -0.3074399613920621, -0.27533115727091745, -0.28924367174735643, -0.21554225387414241 },
              { -0.24887636323904788, -0.21034927647078322, 0.014782956743171817, 0.26673707290762727 } };
    const int samples[4] = { 0, 1, 17, 35 };
    for (int t = 0; t < 3; ++t)
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(out[36 * t + samples[k]], expected[t][k], 1e-13)
                << "tint row " << t << ", sample " << samples[k];
}

TEST(NeuralTintNetworkFile, LaterCallsKeepTheFirstNetwork)
{
    const Values x = Steps(-1.75, 0.1);
    const std::string biased = NetworkText({ Identity(1.0), Identity(1.0), Identity(1.0), Identity(1.0) });
    const Values out = InFreshProcess([&] {
        char missing[] = "/nonexistent/tintvale/network.txt";
        Values p(kOnes), s(x), o(36, 0.0);
        Values first = Interpolate(kIdentity, kOnes, x, 100.0);
        ApplyNeuralTintInterpolation(missing, p.data(), s.data(), 100.0, o.data());
        return Append(Append(first, Interpolate(biased, kOnes, x, 100.0)), o);
    });
    ASSERT_EQ(out.size(), 3 * 36u);
    for (int i = 0; i < 36; ++i) {
        EXPECT_NEAR(out[i], Selu4(x[i]), 1e-13) << "sample " << i;
        EXPECT_EQ(out[36 + i], out[i]) << "sample " << i;
        EXPECT_EQ(out[72 + i], out[i]) << "sample " << i;
    }
}

TEST(NeuralTintNetworkFile, AFailedFirstReadStaysFailedAndEachCallSaysSo)
{
    const Values paper = Steps(0.5, 0.01);
    const Values out = InFreshProcess([&] {
        MessageCapture capture;
        Values p(paper), s(kOnes), o(36, 2.0);
        ApplyNeuralTintInterpolation(static_cast<char*>(nullptr), p.data(), s.data(), 100.0, o.data());
        Values result = Append(o, Interpolate(kIdentity, paper, kOnes, 100.0, 2.0));
        result.push_back(static_cast<double>(capture.messages.size()));
        return result;
    });
    ASSERT_EQ(out.size(), 2 * 36u + 1);
    for (int i = 0; i < 72; ++i)
        EXPECT_EQ(out[i], 2.0) << "value " << i;
    EXPECT_EQ(out[72], 2.0);
}

TEST(NeuralTintNetworkFile, RefusesNetworksThatDoNotFit)
{
    // The identity text ends with a bias line and a weight row of 73 characters each.
    const std::string truncatedWeights = kIdentity.substr(0, kIdentity.size() - 73 - 40);
    const std::string truncatedBias = kIdentity.substr(0, kIdentity.size() - 20);
    std::string wordInWeights = kIdentity;
    wordInWeights.replace(wordInWeights.find(" 0 ", 200), 3, " x ");
    Layer narrow = Identity();
    narrow.nIn = 35;
    narrow.weights.resize(35 * 36);
    Layer short36 = Identity();
    short36.nOut = 35;
    short36.weights.assign(36 * 35, 0.0);
    short36.bias.resize(35);
    const Layer to20 { 36, 20, Values(36 * 20, 0.1), Values(20, 0.0) };
    const Layer from21 { 21, 36, Values(21 * 36, 0.1), Values(36, 0.0) };
    // Without the count checks these chain from 36 to 36 and would decode the biases 0.5.
    const Layer toNothing { 36, 0, {}, {} };
    const Layer nothing { 0, 0, {}, {} };
    const Layer fromNothing { 0, 36, {}, Values(36, 0.5) };
    const std::vector<std::pair<const char*, std::string>> cases = {
        { "empty file", "" },
        { "three layers", NetworkText({ Identity(), Identity(), Identity() }) },
        { "five layers", NetworkText({ Identity(), Identity(), Identity(), Identity(), Identity() }) },
        { "first layer takes 35 inputs", NetworkText({ narrow, Identity(), Identity(), Identity() }) },
        { "last layer gives 35 outputs", NetworkText({ Identity(), Identity(), Identity(), short36 }) },
        { "shapes do not chain", NetworkText({ to20, from21, Identity(), Identity() }) },
        { "layers without inputs or outputs", NetworkText({ toNothing, nothing, nothing, fromNothing }) },
        { "negative output count", "36 -36\n" + kIdentity },
        { "ends inside the weights", truncatedWeights },
        { "ends inside the biases", truncatedBias },
        { "ends after the input count of a fifth block", kIdentity + "36\n" },
        { "ends inside the weights of a fifth block", kIdentity + "36 36 1 0 0\n" },
        { "a word among the weights", wordInWeights },
        { "a header claiming 72e9 weights", "36 2000000000 0.5 0.5 0.5\n" },
    };
    const Values paper = Steps(0.5, 0.01);
    for (const auto& [what, text] : cases) {
        const Values out = InFreshProcess([&] { return Interpolate(text, paper, kOnes, 100.0, 2.0); });
        ASSERT_EQ(out.size(), 36u) << what;
        for (int i = 0; i < 36; ++i)
            EXPECT_EQ(out[i], 2.0) << what << ", sample " << i;
    }
}

namespace {

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

} // namespace

TEST(NeuralTintNetworkFile, NullArraysReadNoNetworkAndNumbersAreReadInTheCLocale)
{
    const std::string network = NetworkText({ Identity(), Identity(), Identity(), Identity(0.25) });
    const Values x = Steps(-1.75, 0.1);
    const Values out = InFreshProcess([&] {
        std::istringstream bad("36 36 1 2 3");
        Values p(kOnes), s(x), o(36, 3.0);
        ApplyNeuralTintInterpolation(bad, nullptr, s.data(), 100.0, o.data());
        ApplyNeuralTintInterpolation(bad, p.data(), nullptr, 100.0, o.data());
        ApplyNeuralTintInterpolation(bad, p.data(), s.data(), 100.0, nullptr);
        // The first network read is this one, through a stream with a decimal comma.
        std::istringstream in(network);
        in.imbue(std::locale(std::locale::classic(), new DecimalComma));
        Values read(36, 0.0);
        ApplyNeuralTintInterpolation(in, p.data(), s.data(), 100.0, read.data());
        return Append(o, read);
    });
    ASSERT_EQ(out.size(), 2 * 36u);
    for (int i = 0; i < 36; ++i) {
        EXPECT_EQ(out[i], 3.0) << "sample " << i;
        EXPECT_NEAR(out[36 + i], Selu(Selu(Selu(Selu(x[i]))) + 0.25), 1e-13) << "sample " << i;
    }
}

TEST(NeuralTintConcurrency, SimultaneousFirstCallsShareOneRead)
{
    // Each thread offers a different network; whichever is read, every thread must get its result.
    constexpr int kThreads = 8;
    std::vector<std::string> networks;
    for (int k = 0; k < kThreads; ++k)
        networks.push_back(NetworkText({ Identity(), Identity(), Identity(), Identity(0.1 * k) }));
    const Values x = Steps(-1.75, 0.1);
    const Values out = InFreshProcess([&] {
        std::vector<Values> results(kThreads);
        std::vector<std::thread> threads;
        for (int k = 0; k < kThreads; ++k)
            threads.emplace_back([&, k] { results[k] = Interpolate(networks[k], kOnes, x, 100.0); });
        for (std::thread& t : threads)
            t.join();
        Values all;
        for (const Values& r : results)
            all = Append(all, r);
        return all;
    });
    ASSERT_EQ(out.size(), kThreads * 36u);
    // The bias of the network that was read, recovered from a positive sample.
    const double bias = out[35] / 1.0507 - Selu(Selu(Selu(x[35])));
    const double k = std::round(bias / 0.1);
    ASSERT_NEAR(bias, 0.1 * k, 1e-12);
    ASSERT_GE(k, 0.0);
    ASSERT_LT(k, kThreads);
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < 36; ++i) {
            EXPECT_NEAR(out[36 * t + i], Selu(Selu(Selu(Selu(x[i]))) + 0.1 * k), 1e-13) << "thread " << t;
            EXPECT_EQ(out[36 * t + i], out[i]) << "thread " << t << ", sample " << i;
        }
}
