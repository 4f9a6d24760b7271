// The plain C++ loop the Python module's delta_e is measured against: CIEDE2000 over the Lab pairs
// of a file (count, then the first colours, then the second, as native doubles) written by
// delta_e_numpy.py. Prints the best time of the repetitions in seconds and a checksum.
#include <tintvale/tlabspace.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: delta_e_loop PAIRS_FILE REPETITIONS\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::int64_t count = 0;
    in.read(reinterpret_cast<char*>(&count), sizeof count);
    if (!in || count <= 0) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<double> lab1(3 * count), lab2(3 * count), out(count);
    in.read(reinterpret_cast<char*>(lab1.data()), static_cast<std::streamsize>(lab1.size() * sizeof(double)));
    in.read(reinterpret_cast<char*>(lab2.data()), static_cast<std::streamsize>(lab2.size() * sizeof(double)));
    if (!in) {
        std::cerr << "truncated " << argv[1] << "\n";
        return 1;
    }
    const int repetitions = std::atoi(argv[2]);
    double best = 1e300;
    for (int r = 0; r < repetitions; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (std::int64_t i = 0; i < count; ++i)
            out[i] = std::sqrt(TLabSpace::CalcSquareDeltaEConvertedStatic(&lab1[3 * i], &lab2[3 * i], 2));
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    double checksum = 0.0;
    for (double d : out)
        checksum += d;
    std::printf("%.9f %.17g\n", best, checksum);
    return 0;
}
