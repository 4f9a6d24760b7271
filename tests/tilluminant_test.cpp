// TIlluminant: the illuminant file format, its errors, equality and the colour temperature.
#include "illuminant_test_support.h"

#include <tintvale/tilluminantfactory.h>

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

namespace {

std::string Record(const TSpectrum& s)
{
    int size = 0;
    const char* data = s.ToFileData(&size);
    return std::string(data, data + size);
}

std::string TextImage(const std::string& body) { return std::string("ORVITEXT") + body; }

} // namespace

TEST(TIlluminantFile, BinaryLayoutSaveLoadAndTemperature)
{
    TempDir dir;
    TSpectrum s = Ramp(10.0, 2.0);
    const std::string record = Record(s);
    OpenIlluminant a(s, "A");
    ASSERT_EQ(a.Save(dir.File("a.ill").c_str()), 0);
    const std::string fileA = TempDir::Read(dir.File("a.ill"));
    EXPECT_EQ(fileA,
        "ORVIV100\x01"
        "A" + record); // odd length: no pad, record at offset 10

    OpenIlluminant ab(s, "AB");
    ASSERT_EQ(ab.Save(dir.File("ab.ill").c_str()), 0);
    const std::string fileAB = TempDir::Read(dir.File("ab.ill"));
    EXPECT_EQ(fileAB,
        std::string("ORVIV100\x02"
                    "AB\0",
            12)
            + record); // even length: a pad byte
    // Save then load keeps the name and the samples.
    TSpectrum studio = Ramp(50.0, 3.5);
    OpenIlluminant original(studio, "Studio lamp");
    ASSERT_EQ(original.Save(dir.File("lamp.ILL").c_str()), 0);
    OpenIlluminant loaded(dir.File("lamp.ILL").c_str());
    EXPECT_STREQ(loaded.GetName(), "Studio lamp");
    // 16 bits under the exponent 2^8, the first power of two above the largest value 172.5.
    for (int i = 0; i < 36; ++i)
        EXPECT_NEAR(loaded.GetSpectrum()->Data(i), 50.0 + 3.5 * i, 256.0 / 65535.0) << i;
    // The text variant.
    std::string image = TextImage("My lamp\n3 400 500 600 1 2 3");
    OpenIlluminant lamp(static_cast<void*>(image.data()));
    ASSERT_EQ(lamp.ErrNo(), 0);
    EXPECT_STREQ(lamp.GetName(), "My lamp");
    const double* grid = lamp.GetSpectrum()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    EXPECT_DOUBLE_EQ(grid[7], 1.5); // 450 nm, between the first two points
    EXPECT_DOUBLE_EQ(grid[35], 3.0);
    // Its own points save as a point record and load back from an image of exactly that size.
    ASSERT_EQ(lamp.Save(dir.File("points.ill").c_str()), 0);
    OpenIlluminant points(dir.File("points.ill").c_str());
    ASSERT_EQ(points.ErrNo(), 0);
    EXPECT_NEAR(points.GetSpectrum()->GetUniformSpectrum(nullptr, nullptr, nullptr)[7], 1.5, 1e-4);

    // Leading control bytes and bytes 0x80..0xFF are skipped; a CR ends the name.
    std::string skipped = TextImage("\r\n\t\x85\xff"
                                    "Lamp 2\r\n2 400 600 5 7");
    OpenIlluminant two(static_cast<void*>(skipped.data()));
    EXPECT_STREQ(two.GetName(), "Lamp 2");
    EXPECT_DOUBLE_EQ(two.GetSpectrum()->Data(12), 6.0);
    // Correlated colour temperatures of CIE illuminants (CIE 15:2004, Table T.1 and T.8.1): A 2856 K, D50
    // 5003 K, D65 6504 K, F2 4230 K, F11 4000 K.
    TIlluminantFactory factory;
    ASSERT_EQ(factory.AddDirectory(TINTVALE_DATA_DIR "/illuminants"), 0);
    // x, y over the 10-nm grid 380 ... 730 nm, computed independently from the published tables.
    const double rows[][4] = { { 6504, 0.31272, 0.32913, 6500 }, { 5003, 0.34566, 0.35863, 5000 },
        { 2856, 0.44756, 0.40756, 0 }, { 7504, 0.29903, 0.31497, 0 } };
    const char* names[] = { "D65", "CIE Illuminant D50", "CIE Illuminant A", "CIE Illuminant D75" };
    for (int k = 0; k < 4; ++k) {
        double x = 0, y = 0, t = 0;
        EXPECT_EQ(factory.GetIlluminant(names[k])->GetChromaticityAndTemperature(&x, &y, &t), 0);
        EXPECT_NEAR(x, rows[k][1], 5e-6) << names[k];
        EXPECT_NEAR(y, rows[k][2], 5e-6) << names[k];
        // Rounded to 10 K; the 36-point grid shifts the chromaticity slightly from the 5-nm CIE computation.
        EXPECT_EQ(std::fmod(t, 10.0), 0.0) << names[k];
        EXPECT_NEAR(t, rows[k][0], 30.0) << names[k];
        EXPECT_EQ(factory.GetIlluminant(names[k])->GetColorTemperature(), rows[k][3] > 0 ? rows[k][3] : t);
    }
    // F11's 4000 K through the ASTM weights: ShippedIlluminants.TemperaturesAndFluorescentWhites.
    // Failures report zero.
    // Monochromatic red at 700 nm lies beyond the 1667 K isotemperature line.
    const double wl[] = { 380, 690, 700, 710, 730 }, red[] = { 0, 0, 1, 0, 0 };
    TIlluminant* redLamp = factory.AddIlluminant(TSpectrum(wl, 5, red), "Red");
    double x = 0, y = 0, t = -1;
    EXPECT_EQ(redLamp->GetChromaticityAndTemperature(&x, &y, &t), 0);
    EXPECT_EQ(t, 0.0);
    // x, y of the 700-nm spectrum colour from the four-decimal table: 0.0114 / 0.0155, 0.0041 / 0.0155.
    EXPECT_NEAR(x, 0.0114 / 0.0155, 1e-12);
    EXPECT_NEAR(y, 0.0041 / 0.0155, 1e-12);

    TIlluminant* black = factory.AddIlluminant(Ramp(0, 0), "Black");
    t = -1;
    EXPECT_EQ(black->GetChromaticityAndTemperature(&x, &y, &t), 0);
    EXPECT_EQ(t + x + y, 0.0);
    EXPECT_EQ(black->GetChromaticityAndTemperature(nullptr, &y, &t), 2);
}

TEST(TIlluminantFile, BadNamesSizesMagicAndTruncatedImages)
{
    TSpectrum s = Ramp(1.0, 1.0);
    const std::string full = "ORVIV100\x02"
                             "AB"
        + std::string(1, '\0') + Record(s);
    OpenIlluminant reader(s, "reader");
    ASSERT_EQ(reader.ReadFrom(full.data(), full.size()), 0);
    // Every shorter prefix is a truncated file. Each is copied into a buffer of exactly its size,
    // so that the sanitizer sees any read past it.
    for (std::size_t size = 1; size < full.size(); ++size) {
        std::vector<char> cut(full.begin(), full.begin() + size);
        OpenIlluminant r(s, "r");
        EXPECT_EQ(r.ReadFrom(cut.data(), cut.size()), 5) << size;
    }
    // A non-uniform record whose point count claims more than the file holds.
    const std::string bigCount = std::string("ORVIV100\x01"
                                             "A")
        + std::string("\x01\x00\x00\x01", 4) + std::string(20, '\0');
    EXPECT_EQ(reader.ReadFrom(bigCount.data(), bigCount.size()), 5);

    // Text variant: a name line without its line end (5); numbers cut short, malformed text (3).
    for (const auto& [body, error] :
        { std::pair<std::string, int> { "Endless name", 5 }, { "L\n3 400 500 600 1 2", 3 } }) {
        const std::string image = TextImage(body);
        std::vector<char> exact(image.begin(), image.end());
        EXPECT_EQ(reader.ReadFrom(exact.data(), exact.size()), error) << body;
    }
    // Control bytes alone hold no name line; the string's closing zero must not be read as more.
    const std::string controls = TextImage("\r\n\t\x01");
    EXPECT_EQ(reader.ReadFrom(controls.data(), controls.size()), 5);
    // Names, sizes, magic and variant.
    TempDir dir;
    const std::string valid = TextImage("X\n1 500 1");
    const std::pair<std::string, std::string> files[] = { { "x.ill.bak", valid }, { "three.ill", "ORV" },
        { "big.ill", valid + std::string(2049 - valid.size(), ' ') },
        { "magic.ill", "ORVX" + valid.substr(4) }, { "tag.ill", "ORVIV200" + valid.substr(8) },
        { "short.ill", "ORVIV1" }, { "max.ILL", valid + std::string(2048 - valid.size(), ' ') } };
    const int errors[] = { 2, 5, 5, 5, 5, 5, 0 };
    for (std::size_t k = 0; k < std::size(files); ++k) {
        TempDir::Write(dir.File(files[k].first), files[k].second);
        EXPECT_EQ(OpenIlluminant(dir.File(files[k].first).c_str()).ErrNo(), errors[k]) << files[k].first;
    }
    EXPECT_EQ(OpenIlluminant(static_cast<const char*>(nullptr)).ErrNo(), 2);
    EXPECT_EQ(OpenIlluminant(dir.File("missing.ill").c_str()).ErrNo(), 4);
    std::string longName = TextImage(std::string(1024, 'n') + "\n1 500 1");
    EXPECT_EQ(OpenIlluminant(static_cast<void*>(longName.data())).ErrNo(), 5);
    std::string longestName = TextImage(std::string(1023, 'n') + "\n1 500 1");
    EXPECT_EQ(OpenIlluminant(static_cast<void*>(longestName.data())).ErrNo(), 0);
    EXPECT_EQ(OpenIlluminant(static_cast<void*>(nullptr)).ErrNo(), 2);
}

TEST(TIlluminantSave, RefusalsCreateNoFile)
{
    TempDir dir;
    OpenIlluminant longName(Ramp(1, 0), std::string(256, 'n').c_str());
    EXPECT_EQ(longName.Save(dir.File("long.ill").c_str()), 3);
    EXPECT_FALSE(boost::filesystem::exists(dir.File("long.ill")));
    OpenIlluminant longest(Ramp(1, 0), std::string(255, 'n').c_str());
    EXPECT_EQ(longest.Save(dir.File("longest.ill").c_str()), 0);
    EXPECT_EQ(longest.Save(nullptr), 2);

    // A spectrum whose record would make the file larger than the loader accepts.
    std::vector<double> wl(600), v(600, 1.0);
    for (int i = 0; i < 600; ++i)
        wl[i] = 380 + 0.5 * i;
    OpenIlluminant dense(TSpectrum(wl.data(), 600, v.data()), "Dense");
    EXPECT_EQ(dense.Save(dir.File("dense.ill").c_str()), 3);
    EXPECT_FALSE(boost::filesystem::exists(dir.File("dense.ill")));
    // Construction from a spectrum and a name; equal by name alone, names compared exactly.
    TSpectrum s = Ramp(1.0, 0.0);
    OpenIlluminant noName(s, nullptr);
    EXPECT_EQ(noName.ErrNo(), 2);
    EXPECT_EQ(noName.GetSpectrum(), nullptr);

    EXPECT_EQ(OpenIlluminant(s, std::string(1024, 'a').c_str()).ErrNo(), 0);
    OpenIlluminant tooLong(s, std::string(1025, 'a').c_str());
    EXPECT_EQ(tooLong.ErrNo(), 2);
    EXPECT_EQ(tooLong.GetName(), nullptr);

    EXPECT_TRUE(OpenIlluminant(Ramp(1, 0), "D50") == OpenIlluminant(Ramp(5, 1), "D50"));
    EXPECT_TRUE(OpenIlluminant(Ramp(1, 0), "D50") != OpenIlluminant(Ramp(1, 0), "d50"));
    // An empty name is a name: it differs from none, and two without a name are equal.
    EXPECT_TRUE(OpenIlluminant(Ramp(1, 0), "") != noName && noName == tooLong);
}
