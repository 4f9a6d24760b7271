// TIlluminant: construction, the illuminant file format (reading both variants, writing the
// binary one) and the correlated colour temperature.
#include <tintvale/tilluminant.h>

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tobserver.h>
#include <tintvale/tspectrum.h>

#include "atomic_write.h"
#include "halden.h"
#include "pindle.h"
#include "tspectrum_record.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace {

constexpr std::size_t kMaxFileSize = 2048;
constexpr std::size_t kMinFileSize = 4;
constexpr std::size_t kHeaderSize = 8; // magic and variant tag
constexpr std::size_t kMaxSpectrumName = 1024;
constexpr std::size_t kMaxTextName = 1024;
constexpr std::size_t kMaxSavedName = 256;
const char kMagic[] = "ORVI";
const char kBinaryTag[] = "V100";
const char kTextTag[] = "TEXT";
const char kExtension[] = "ill";

unsigned ReadWord(const unsigned char* p) { return p[0] | (static_cast<unsigned>(p[1]) << 8); }

// Whether a long spectrum record at data fits in size bytes, judged from its own header; a record
// whose flag is neither 0 nor 1 is left to the decoder to reject.
bool LongRecordFits(const unsigned char* data, std::size_t size)
{
    if (size < 2)
        return false;
    const unsigned flag = ReadWord(data);
    if (flag == 0)
        return size >= 2 + TSpectrumRecord::BlockSize(TSpectrum::kNrUniform);
    if (flag != 1)
        return true;
    if (size < 4)
        return false;
    const int n = static_cast<int>(ReadWord(data + 2));
    return size >= 4 + 2 * static_cast<std::size_t>(n) + TSpectrumRecord::BlockSize(n);
}

bool HasIllExtension(const char* fileName)
{
    const char* dot = std::strrchr(fileName, '.');
    return dot != nullptr && strcmp_ci(dot + 1, kExtension) == 0;
}

} // namespace

TIlluminant::TIlluminant(const TSpectrum& spectrum, const char* name)
{
    if (name == nullptr) {
        mError = 2;
        return;
    }
    mSpectrum = std::make_unique<TSpectrum>(spectrum);
    if (mSpectrum->ErrNo() != 0) {
        mError = mSpectrum->ErrNo();
        return;
    }
    if (std::strlen(name) > kMaxSpectrumName) {
        mError = 2;
        return;
    }
    mName = name;
    mHasName = true;
}

TIlluminant::TIlluminant(void* image) { mError = ReadFrom(static_cast<char*>(image)); }

TIlluminant::TIlluminant(const char* fileName) { mError = Load(fileName); }

TIlluminant::~TIlluminant() = default;

bool TIlluminant::operator==(const TIlluminant& other) const
{
    if (mHasName != other.mHasName)
        return false;
    return mName == other.mName;
}

int TIlluminant::Load(const char* fileName)
{
    if (fileName == nullptr || !HasIllExtension(fileName))
        return 2;
    PindleFile* file = fopenr("", fileName, "", 0);
    if (pindle_error != 0 || file == nullptr)
        return 4;
    const long length = fgeteof(file);
    if (length < static_cast<long>(kMinFileSize) || length > static_cast<long>(kMaxFileSize)) {
        fclosx(file);
        return length < 0 ? 4 : 5;
    }
    std::vector<char> image(static_cast<std::size_t>(length));
    const long read = fgetm(file, image.data(), length);
    fclosx(file);
    if (read != length)
        return 4;
    return ReadFrom(image.data(), image.size());
}

int TIlluminant::ReadFrom(char* image)
{
    if (image == nullptr)
        return 2;
    // The magic and tag are needed to know how far the image reaches.
    std::size_t size = 0;
    while (size < kHeaderSize && image[size] != '\0')
        ++size;
    if (size < kHeaderSize)
        return ReadFrom(image, size);
    if (std::memcmp(image + 4, kTextTag, 4) == 0) {
        while (size < kMaxFileSize && image[size] != '\0')
            ++size;
        return ReadFrom(image, size);
    }
    return ReadFrom(image, kMaxFileSize);
}

int TIlluminant::ReadFrom(const char* image, std::size_t size)
{
    if (image == nullptr)
        return 2;
    if (size < 4 || std::memcmp(image, kMagic, 4) != 0)
        return 5;
    if (size < kHeaderSize)
        return 5;
    const char* tag = image + 4;
    if (std::memcmp(tag, kTextTag, 4) == 0)
        return ReadText(image + kHeaderSize, size - kHeaderSize);
    if (std::memcmp(tag, kBinaryTag, 4) == 0)
        return ReadBinary(reinterpret_cast<const unsigned char*>(image) + kHeaderSize, size - kHeaderSize);
    return 5;
}

// The name starts at the first byte that is not below 32 as a signed char (control characters and
// bytes 0x80..0xFF are skipped) and runs to the first line end; the spectrum text follows from it.
int TIlluminant::ReadText(const char* body, std::size_t size)
{
    std::size_t start = 0;
    while (start < size && static_cast<signed char>(body[start]) < 32)
        ++start;
    std::size_t end = start;
    while (end < size && body[end] != '\n' && body[end] != '\r')
        ++end;
    if (end == size)
        return 5; // no line end: the name line is cut off
    if (end - start >= kMaxTextName)
        return 5;
    mName.assign(body + start, end - start);
    mHasName = true;
    mSpectrum = std::make_unique<TSpectrum>();
    return TSpectrumRecord::ParseText(*mSpectrum, body + end, size - end);
}

int TIlluminant::ReadBinary(const unsigned char* body, std::size_t size)
{
    if (size < 1)
        return 5;
    const std::size_t length = body[0];
    std::size_t offset = 1 + length;
    if (offset > size)
        return 5;
    // The record starts at an even file offset: 8 + offset rounded up.
    if (offset % 2 != 0)
        ++offset;
    if (offset > size || !LongRecordFits(body + offset, size - offset))
        return 5;
    mName.assign(reinterpret_cast<const char*>(body + 1), length);
    mHasName = true;
    mSpectrum = std::make_unique<TSpectrum>();
    return TSpectrumRecord::ReadLong(*mSpectrum, body + offset, size - offset, nullptr);
}

int TIlluminant::Save(const char* fileName)
{
    if (fileName == nullptr)
        return 2;
    if (!mSpectrum || !mHasName || mName.size() >= kMaxSavedName)
        return 3;
    int recordSize = 0;
    const char* record = mSpectrum->ToFileData(&recordSize);
    if (record == nullptr || recordSize <= 0)
        return 3;

    std::vector<char> image(kMagic, kMagic + 4);
    image.insert(image.end(), kBinaryTag, kBinaryTag + 4);
    image.push_back(static_cast<char>(static_cast<unsigned char>(mName.size())));
    image.insert(image.end(), mName.begin(), mName.end());
    if (mName.size() % 2 == 0)
        image.push_back('\0');
    image.insert(image.end(), record, record + recordSize);
    // A file the loader would refuse is not written.
    if (image.size() > kMaxFileSize)
        return 3;
    return tintvale::detail::ReplaceFile(fileName, image.data(), image.size()) == 0 ? 0 : 4;
}

namespace {

// A. R. Robertson, "Computation of correlated color temperature and distribution temperature",
// J. Opt. Soc. Am. 58(11), 1968: isotemperature lines with reciprocal temperature r (10^-6 / K),
// their point (u, v) on the Planckian locus in the CIE 1960 UCS diagram and their slope t.
struct IsotemperatureLine {
    double r;
    double u;
    double v;
    double t;
};

constexpr IsotemperatureLine kRobertson[] = {
    { 0, 0.18006, 0.26352, -0.24341 },
    { 10, 0.18066, 0.26589, -0.25479 },
    { 20, 0.18133, 0.26846, -0.26876 },
    { 30, 0.18208, 0.27119, -0.28539 },
    { 40, 0.18293, 0.27407, -0.3047 },
    { 50, 0.18388, 0.27709, -0.32675 },
    { 60, 0.18494, 0.28021, -0.35156 },
    { 70, 0.18611, 0.28342, -0.37915 },
    { 80, 0.1874, 0.28668, -0.40955 },
    { 90, 0.1888, 0.28997, -0.44278 },
    { 100, 0.19032, 0.29326, -0.47888 },
    { 125, 0.19462, 0.30141, -0.58204 },
    { 150, 0.19962, 0.30921, -0.70471 },
    { 175, 0.20525, 0.31647, -0.84901 },
    { 200, 0.21142, 0.32312, -1.0182 },
    { 225, 0.21807, 0.32909, -1.2168 },
    { 250, 0.22511, 0.33439, -1.4512 },
    { 275, 0.23247, 0.33904, -1.7298 },
    { 300, 0.2401, 0.34308, -2.0637 },
    { 325, 0.24792, 0.34655, -2.4681 },
    { 350, 0.25591, 0.34951, -2.9641 },
    { 375, 0.264, 0.352, -3.5814 },
    { 400, 0.27218, 0.35407, -4.3633 },
    { 425, 0.28039, 0.35577, -5.3762 },
    { 450, 0.28863, 0.35714, -6.7262 },
    { 475, 0.29685, 0.35823, -8.5955 },
    { 500, 0.30505, 0.35907, -11.324 },
    { 525, 0.3132, 0.35968, -15.628 },
    { 550, 0.32129, 0.36011, -23.325 },
    { 575, 0.32931, 0.36038, -40.77 },
    { 600, 0.33724, 0.36051, -116.45 },
};
constexpr int kNrRobertsonLines = sizeof kRobertson / sizeof kRobertson[0];
constexpr double kBlackLimit = 1e-20;

// Reciprocal temperature in 1/K; line 0 uses the smallest normal double instead of 0 so that
// T = 1 / r stays finite.
double ReciprocalTemperature(int line)
{
    return line == 0 ? std::numeric_limits<double>::min() : kRobertson[line].r * 1e-6;
}

// Correlated colour temperature of XYZ by Robertson's method; false when it fails.
//   u = 4X / (X + 15Y + 3Z), v = 6Y / (X + 15Y + 3Z)  (CIE 1960 UCS)
//   d_i = (v - v_i) - t_i (u - u_i); between the lines i-1, i where d changes sign:
//   1/T = r_{i-1} + d'_{i-1} / (d'_{i-1} - d'_i) (r_i - r_{i-1}),  d'_i = d_i / sqrt(1 + t_i^2)
bool RobertsonTemperature(const double* xyz, double* temperature)
{
    if (xyz[0] < kBlackLimit && xyz[1] < kBlackLimit && xyz[2] < kBlackLimit)
        return false;
    const double denominator = xyz[0] + 15.0 * xyz[1] + 3.0 * xyz[2];
    const double u = 4.0 * xyz[0] / denominator;
    const double v = 6.0 * xyz[1] / denominator;
    double previous = 0.0;
    for (int i = 0; i < kNrRobertsonLines; ++i) {
        const IsotemperatureLine& line = kRobertson[i];
        const double d = (v - line.v) - line.t * (u - line.u);
        if (i > 0 && ((d < 0.0 && previous >= 0.0) || (d >= 0.0 && previous < 0.0))) {
            const double dPrevious = previous / std::sqrt(1.0 + kRobertson[i - 1].t * kRobertson[i - 1].t);
            const double dThis = d / std::sqrt(1.0 + line.t * line.t);
            const double rPrevious = ReciprocalTemperature(i - 1);
            const double r
                = rPrevious + dPrevious / (dPrevious - dThis) * (ReciprocalTemperature(i) - rPrevious);
            *temperature = 1.0 / r;
            return std::isfinite(*temperature);
        }
        previous = d;
    }
    return false;
}

} // namespace

int TIlluminant::GetChromaticityAndTemperature(double* x, double* y, double* temperature)
{
    if (x == nullptr || y == nullptr || temperature == nullptr)
        return 2;
    const TObserver observer("2 degree");
    const TIlluminantAndObserver integration(this, &observer, TIlluminantAndObserver::kMaxPoints);
    double xyz[3] = { 0.0, 0.0, 0.0 };
    integration.GetXYZWhite(xyz);

    // x = X / (X + Y + Z), y = Y / (X + Y + Z)
    const double sum = xyz[0] + xyz[1] + xyz[2];
    *x = sum != 0.0 ? xyz[0] / sum : 0.0;
    *y = sum != 0.0 ? xyz[1] / sum : 0.0;

    double t = 0.0;
    if (RobertsonTemperature(xyz, &t))
        *temperature = std::trunc(t / 10.0 + 0.5) * 10.0;
    else
        *temperature = 0.0;
    return 0;
}

double TIlluminant::GetColorTemperature()
{
    double x = 0.0;
    double y = 0.0;
    double temperature = 0.0;
    GetChromaticityAndTemperature(&x, &y, &temperature);
    return temperature;
}
