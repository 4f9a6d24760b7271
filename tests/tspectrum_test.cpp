// TSpectrum: construction, resampling, products, the 16-bit encodings and the text form.

#include "test_support.h"
#include "tspectrum_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

namespace {

std::vector<unsigned> Words(const char* data, int size)
{
    std::vector<unsigned> words;
    for (int i = 0; i + 1 < size; i += 2)
        words.push_back(static_cast<unsigned char>(data[i]) | (static_cast<unsigned char>(data[i + 1]) << 8));
    return words;
}

std::vector<double> Grid(const TSpectrum& s)
{
    const double* v = s.GetUniformSpectrum(nullptr, nullptr, nullptr);
    return { v, v + 36 };
}

std::vector<char> LongRecord(const TSpectrum& s)
{
    int size = 0;
    const char* data = s.ToFileData(&size);
    return std::vector<char>(data, data + size);
}

std::vector<unsigned> LongWords(const TSpectrum& s)
{
    const std::vector<char> r = LongRecord(s);
    return Words(r.data(), static_cast<int>(r.size()));
}

TSpectrum FromText(std::string text) { return TSpectrum(text.data()); }

} // namespace

TEST(TSpectrumConstruction, ErrorsProductsResamplingAndCopies)
{
    const double values[2] = { 0.1, 0.2 };
    const double wl[2] = { 400, 500 };
    EXPECT_EQ(TSpectrum(static_cast<const double*>(nullptr)).ErrNo(), 2);
    EXPECT_EQ(TSpectrum(wl, 0, values).ErrNo(), 2);
    EXPECT_EQ(TSpectrum(wl, 1025, values).ErrNo(), 2);
    EXPECT_EQ(TSpectrum(wl, 2, nullptr).ErrNo(), 2);
    EXPECT_EQ(TSpectrum(static_cast<char*>(nullptr)).ErrNo(), 2);
    EXPECT_EQ(TSpectrum(static_cast<void*>(nullptr), nullptr).ErrNo(), 2);
    TSpectrum ref;
    char record[80] = {};
    EXPECT_EQ(TSpectrum(nullptr, record, nullptr).ErrNo(), 2);
    EXPECT_EQ(TSpectrum(&ref, nullptr, nullptr).ErrNo(), 2);
    const double nanWl[2] = { 400, std::nan("") };
    EXPECT_EQ(TSpectrum(nanWl, 2, values).ErrNo(), 4);
    // On the uniform grid too (taken there without interpolation): a missing value is refused, and
    // the samples are the grid values exactly.
    std::vector<double> gridWl(36), gridV(36);
    for (int i = 0; i < 36; ++i) {
        gridWl[i] = 380.0 + 10.0 * i;
        gridV[i] = 0.01 * (i + 1);
    }
    EXPECT_EQ(TSpectrum(gridWl.data(), 36, gridV.data()).Data(17), gridV[17]);
    gridV[5] = std::nan("");
    EXPECT_EQ(TSpectrum(gridWl.data(), 36, gridV.data()).ErrNo(), 4);
    // 0.01 (i + 1) times 2 - 0.05 i: the products at 380 and 730 nm, and their sum over the grid.
    TSpectrum sa = Ramp(0.01, 0.01), sb = Ramp(2.0, -0.05);
    TSpectrum product(&sa, &sb);
    EXPECT_NEAR(product.Data(0), 0.02, 1e-15);
    EXPECT_NEAR(product.Data(35), 0.36 * 0.25, 1e-15);
    double sum = -7.0;
    EXPECT_EQ(sa.InProduct(&sb, &sum), 0);
    EXPECT_NEAR(sum, 5.55, 1e-12);
    EXPECT_EQ(sa.InProduct(nullptr, &sum), 2);
    TSpectrum unset;
    EXPECT_EQ(TSpectrum(&unset, &sa).ErrNo(), 3);
    EXPECT_EQ(TSpectrum(&sa, nullptr).ErrNo(), 2);
    // Resampling: flat outside, linear inside, free of point order; copies are deep.
    const double ends[2] = { 400, 700 }, endV[2] = { 0.2, 0.8 };
    TSpectrum s(ends, 2, endV);
    const std::pair<int, double> rows[]
        = { { 0, 0.2 }, { 2, 0.2 }, { 3, 0.22 }, { 17, 0.5 }, { 32, 0.8 }, { 35, 0.8 } };
    for (const auto& [i, expected] : rows)
        EXPECT_NEAR(s.Data(i), expected, 1e-15) << i;
    const double up[4] = { 405, 500, 612.5, 720 }, upV[4] = { 0.1, 0.7, 0.3, 0.9 };
    const double mixed[4] = { 720, 405, 612.5, 500 }, mixedV[4] = { 0.9, 0.1, 0.3, 0.7 }; // the last first
    EXPECT_EQ(Grid(TSpectrum(up, 4, upV)), Grid(TSpectrum(mixed, 4, mixedV)));
    for (double x : Grid(TSpectrum(up, 1, upV))) // one point: flat everywhere
        EXPECT_EQ(x, 0.1);
    // Copies are deep; assignment then ClearNonUniform keeps the grid.
    TSpectrum original(up, 4, upV);
    TSpectrum copy(original);
    original.Data(0) = 9.0;
    EXPECT_DOUBLE_EQ(copy.Data(0), 0.1);
    EXPECT_EQ(LongRecord(copy).size(), 22u); // still non-uniform with its four points
    TSpectrum assigned;
    assigned = copy;
    assigned.ClearNonUniform();
    EXPECT_EQ(LongRecord(assigned).size(), 76u);
    EXPECT_EQ(Grid(assigned), Grid(copy));
}

TEST(TSpectrumEncoding, PointAndUniformRecordsWordByWord)
{
    // 0 and 1: exponent 1, half-scale mantissa; 512.7 nm is truncated to 512.
    const double wl[3] = { 400.0, 512.7, 700.0 }, v[3] = { 0.25, 0.5, 0.125 }, ends[2] = { 400, 700 },
                 zeroOne[2] = { 0.0, 1.0 };
    std::vector<char> two = LongRecord(TSpectrum(ends, 2, zeroOne));
    EXPECT_EQ(Words(two.data(), static_cast<int>(two.size())),
        (std::vector<unsigned> { 1, 2, 400, 700, 1, 0, 32767 }));
    void* next = nullptr;
    TSpectrum back(static_cast<void*>(two.data()), &next);
    EXPECT_EQ(next, two.data() + 14);
    EXPECT_EQ(back.Data(35), 32767.0 * 2.0 / 65535.0);
    TSpectrum s(wl, 3, v), ref(wl, 3, v);
    EXPECT_EQ(LongWords(s), (std::vector<unsigned> { 1, 3, 400, 512, 700, 0, 16383, 32767, 8191 }));
    int size = 0;
    const char* shortData = s.ToShrtFileData(&ref, &size);
    EXPECT_EQ(Words(shortData, size), (std::vector<unsigned> { 0, 16383, 32767, 8191 }));
    // The short record needs the reference layout.
    const double other[3] = { 400, 551, 700 };
    TSpectrum shifted(other, 3, v), uniform;
    const std::pair<TSpectrum*, int> refs[] = { { &shifted, 5 }, { &uniform, 5 }, { nullptr, 2 } };
    for (const auto& [ref, error] : refs) {
        TSpectrum t(wl, 3, v);
        EXPECT_EQ(t.ToShrtFileData(ref, &size), nullptr) << error;
        EXPECT_EQ(t.ErrNo(), error);
    }
    EXPECT_EQ(TSpectrum(wl, 3, v).ToFileData(nullptr), nullptr);
    // The uniform record word by word.
    // The default spectrum: exponent -127 (nothing is at or above 2^-127), every sample the unset marker.
    const auto unset = LongWords(TSpectrum());
    ASSERT_EQ(unset.size(), 38u);
    EXPECT_EQ((std::vector<unsigned> { unset[0], unset[1], unset[37] }),
        (std::vector<unsigned> { 0, 0xFF81, 0xFFFF }));
    double u36[36];
    std::fill(u36, u36 + 36, 0.5);
    u36[10] = 0.0;
    u36[20] = 0.75;
    const auto w = LongWords(TSpectrum(u36));
    // 2^0 = 1 is the smallest power of two above 0.75; floor(0.75 * 65535).
    EXPECT_EQ(std::vector<unsigned>(w.begin() + 1, w.begin() + 3), (std::vector<unsigned> { 0, 32767 }));
    EXPECT_TRUE(w[12] == 0u && w[22] == 49151u) << w[12] << " " << w[22];
    // Negative values read uback as 0, except -1 and NaN, which become the unset marker -1.
    u36[0] = -1.0;
    u36[1] = -0.25;
    u36[2] = std::nan("");
    std::vector<char> urecord = LongRecord(TSpectrum(u36));
    TSpectrum uback(static_cast<void*>(urecord.data()), nullptr);
    EXPECT_EQ(Grid(uback)[0] + Grid(uback)[2], -2.0);
    EXPECT_EQ(uback.Data(1), 0.0);
    EXPECT_NEAR(uback.Data(3), 0.5, 1.0 / 65535.0);
}

TEST(TSpectrumEncoding, RandomSpectraRoundTripWithin16Bits)
{
    std::mt19937 rng(1234);
    std::uniform_real_distribution<double> value(0.0, 1.7), wavelength(360.0, 760.0);
    for (int trial = 0; trial < 200; ++trial) {
        const int n = 1 + trial % 40;
        std::vector<double> wl(n), v(n);
        // Whole nanometres survive the record exactly.
        std::generate(wl.begin(), wl.end(), [&] { return std::floor(wavelength(rng)); });
        std::generate(v.begin(), v.end(), [&] { return value(rng); });
        const double largest = *std::max_element(v.begin(), v.end());
        const double tolerance = std::pow(2.0, std::floor(std::log2(largest)) + 1.0) / 65535.0;
        TSpectrum spectrum(wl.data(), n, v.data()), reference(wl.data(), n, v.data());
        int size = 0;
        std::vector<char> longRecord = LongRecord(spectrum);
        ASSERT_EQ(longRecord.size(), static_cast<std::size_t>(4 * n + 6));
        TSpectrum fromLong(static_cast<void*>(longRecord.data()), nullptr);
        const char* shortData = spectrum.ToShrtFileData(&reference, &size);
        ASSERT_NE(shortData, nullptr);
        std::vector<char> shortRecord(shortData, shortData + size);
        TSpectrum fromShort(&reference, shortRecord.data(), nullptr);
        for (int i = 0; i < 36; ++i) {
            EXPECT_NEAR(fromLong.Data(i), spectrum.Data(i), tolerance);
            EXPECT_EQ(fromShort.Data(i), fromLong.Data(i));
        }
    }
}

TEST(TSpectrumText, TextAndRecordRefusals)
{
    // Numbers after the terminator, or beyond the given size, must not be read.
    char text[] = "2 400 500 0.1\0 0.9";
    std::string sized = "2 400 500 0.1 0.9";
    TSpectrum early = FromText("2 400 500 0.1");
    EXPECT_EQ(TSpectrumRecord::ParseText(early, sized.data(), sized.size() - 4), 3);
    EXPECT_EQ(TSpectrum(text).ErrNo(), 3);
    for (const char* bad :
        { "3 400 500 600 0.1 0.2", "no numbers at all", "-2 400 500 0.1 0.2", "2147483647 1 2" })
        EXPECT_EQ(FromText(bad).ErrNo(), 3) << bad;
    for (double v : Grid(early))
        EXPECT_EQ(v, -1.0) << "no resampling after an early end";
    // No points: an empty non-uniform record that reads back to the same spectrum.
    TSpectrum zero = FromText("0");
    EXPECT_EQ(zero.ErrNo(), 0);
    EXPECT_EQ(LongWords(zero), (std::vector<unsigned> { 1, 0, 0xFF81 }));
    std::vector<char> record = LongRecord(zero);
    TSpectrum back(static_cast<void*>(record.data()), nullptr);
    EXPECT_EQ(back.ErrNo(), 0);
    EXPECT_EQ(Grid(back), Grid(zero));
    TSpectrum a = FromText("3 400 550 700 0.1 0.5 0.9");
    TSpectrum b = FromText("count=3; lambda: 400, 550,\n700 nm; infinitely many values 0.1 /0.5/ 0.9 end");
    ASSERT_EQ(b.ErrNo(), 0);
    EXPECT_EQ(Grid(a), Grid(b));
    // Read from text, points have the layout of the same points given as arrays: short records pass.
    const double abWl[3] = { 400, 550, 700 }, abV[3] = { 0.1, 0.5, 0.9 };
    TSpectrum built(abWl, 3, abV);
    int shortSize = 0;
    EXPECT_TRUE(
        a.ToShrtFileData(&built, &shortSize) != nullptr && built.ToShrtFileData(&a, &shortSize) != nullptr);
    EXPECT_DOUBLE_EQ(a.Data(17), 0.5);
    TSpectrum c = FromText("2 +4.0e2 7E2 -0.5 .5");
    EXPECT_DOUBLE_EQ(c.Data(2), -0.5);
    EXPECT_DOUBLE_EQ(c.Data(35), 0.5);
    // Malformed records give error 3.
    unsigned char badFlag[76] = { 2, 0 };
    void* next = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(TSpectrum(static_cast<void*>(badFlag), &next).ErrNo(), 3);
    EXPECT_EQ(next, reinterpret_cast<void*>(0x1)) << "next untouched on failure";

    // A point count beyond 1024 must not be read, however much data follows.
    std::vector<unsigned char> tooMany(4 * 1025 + 6, 0);
    tooMany[0] = tooMany[2] = 1; // count 0x0401 = 1025
    tooMany[3] = 4;
    EXPECT_EQ(TSpectrum(static_cast<void*>(tooMany.data()), nullptr).ErrNo(), 3);

    // The sized reader refuses a record longer than the bytes it was given.
    const double wl[3] = { 400, 550, 700 }, v[3] = { 0.1, 0.2, 0.3 };
    TSpectrum s(wl, 3, v);
    int size = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(s.ToFileData(&size));
    for (std::size_t cut = 0; cut < static_cast<std::size_t>(size); ++cut) {
        TSpectrum target;
        EXPECT_EQ(TSpectrumRecord::ReadLong(target, data, cut, nullptr), 3) << cut;
    }
    std::size_t used = 0;
    EXPECT_EQ(TSpectrumRecord::ReadLong(s, data, size, &used), 0);
    EXPECT_EQ(used, 18u);
    EXPECT_EQ(TSpectrumRecord::ReadShort(s, s, data, 7, nullptr), 3);
    // A uniform short record is 36 mantissas and the exponent, 2 x 37 = 74 bytes: one byte fewer is
    // refused, exactly as many read.
    double flat[36];
    std::fill(flat, flat + 36, 0.5);
    TSpectrum u(flat), uniform, target;
    const auto* shortRecord = reinterpret_cast<const unsigned char*>(u.ToShrtFileData(&uniform, &size));
    ASSERT_EQ(size, 74);
    EXPECT_EQ(TSpectrumRecord::ReadShort(target, uniform, shortRecord, 73, nullptr), 3);
    EXPECT_TRUE(TSpectrumRecord::ReadShort(target, uniform, shortRecord, 74, &used) == 0 && used == 74u);
}
