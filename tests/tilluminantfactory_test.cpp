// TIlluminantFactory: directories, look-ups with their messages, sharing between copies, and the
// shipped illuminant set.
#include "illuminant_test_support.h"

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tobserver.h>

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

namespace {

std::string TextIlluminant(const std::string& name) { return "ORVITEXT" + name + "\n2 380 730 10 20\n"; }

} // namespace

TEST(TIlluminantFactoryDirectory, LoadsOnlyIllFilesOfTheDirectoryItself)
{
    TempDir dir;
    TempDir::Write(dir.File("daylight.ill"), TextIlluminant("Daylight"));
    TempDir::Write(dir.File("notes.txt"), TextIlluminant("Notes"));
    TempDir::Write(dir.File("broken.ill"), "ORVIJUNK");
    boost::filesystem::create_directory(dir.File("sub.ill"));
    TempDir::Write(dir.File("sub.ill/inner.ill"), TextIlluminant("Inner"));
    TIlluminantFactory saver;
    TIlluminant* lamp = saver.AddIlluminant(Ramp(10, 1), "Lamp");
    EXPECT_EQ(saver.SaveIlluminant(nullptr, dir.File("x.ill").c_str()), -1);
    EXPECT_EQ(saver.SaveIlluminant(lamp, dir.File("lamp.ill").c_str()), 0);
    EXPECT_EQ(saver.SaveIlluminant(lamp, dir.File("missing/lamp.ill").c_str()), 4);
    MessageCapture capture;
    TIlluminantFactory factory;
    EXPECT_EQ(factory.AddDirectory(dir.Path().string().c_str()), 0);
    ASSERT_EQ(factory.GetListOfIlluminants().size(), 2u);
    EXPECT_NE(factory.GetIlluminant("Daylight"), nullptr);
    EXPECT_NEAR(factory.GetIlluminant("lamp")->GetSpectrum()->Data(35), 45.0, 1e-3);
    EXPECT_TRUE(capture.messages.empty());

    EXPECT_EQ(factory.AddDirectory(dir.File("daylight.ill").c_str()), 0); // a file, not a directory
    EXPECT_EQ(factory.AddDirectory(nullptr), -1);

    // One file by its path, even in a sub-directory; a faulty one adds nothing and says why.
    int error = -5;
    const TIlluminant* single = factory.AddFile(dir.File("sub.ill/inner.ill").c_str(), &error);
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(factory.GetIlluminant("Inner"), single);
    EXPECT_EQ(factory.AddFile(dir.File("broken.ill").c_str(), &error), nullptr);
    EXPECT_NE(error, 0);
    EXPECT_EQ(factory.AddFile(dir.File("notes.txt").c_str(), &error), nullptr);
    EXPECT_NE(error, 0);
    EXPECT_EQ(factory.AddFile(nullptr, &error), nullptr);
    EXPECT_EQ(error, -1);
    EXPECT_EQ(factory.GetListOfIlluminants().size(), 3u);
}

TEST(TIlluminantFactoryLookup, ByNameTemperatureAndSharing)
{
    TIlluminantFactory factory;
    TIlluminant* d50 = factory.AddIlluminant(Ramp(1, 0), "D50");
    ASSERT_NE(d50, nullptr);
    MessageCapture capture;
    EXPECT_EQ(factory.GetIlluminant("d50"), d50);
    EXPECT_TRUE(capture.messages.empty());

    EXPECT_EQ(factory.GetIlluminant(""), nullptr);
    EXPECT_EQ(factory.GetIlluminant("D65"), nullptr);
    ASSERT_EQ(capture.messages.size(), 2u);
    // The full D50 name falls back to the short one with a warning.
    TIlluminantFactory shortOnly;
    TIlluminant* shortD50 = shortOnly.AddIlluminant(Ramp(1, 0), "D50");
    EXPECT_EQ(shortOnly.GetIlluminant("cie illuminant d50"), shortD50);
    ASSERT_EQ(capture.warnings.size(), 1u);
    // No such fallback for other daylight illuminants.
    TIlluminant* d65 = shortOnly.AddIlluminant(Ramp(1, 0), "D65");
    EXPECT_EQ(shortOnly.GetIlluminant("CIE Illuminant D65"), nullptr);
    // By temperature: the daylight name is formed.
    TIlluminant* d5 = shortOnly.AddIlluminant(Ramp(1, 0), "D 5");
    const std::size_t before = capture.messages.size();
    const std::pair<double, TIlluminant*> rows[] = { { 5003.0, shortD50 }, { 6504.0, d65 }, { 6500.0, d65 },
        { 500.0, d5 } /* "D%2d" pads to two places */, { 5560.0, nullptr }, { 1e300, nullptr },
        { std::nan(""), nullptr } };
    for (const auto& [kelvin, expected] : rows)
        EXPECT_EQ(shortOnly.GetIlluminant(kelvin), expected) << kelvin;
    EXPECT_EQ(capture.messages.size(), before + 3);

    TIlluminantFactory both;
    both.AddIlluminant(Ramp(1, 0), "D50");
    TIlluminant* full = both.AddIlluminant(Ramp(2, 0), "CIE Illuminant D50");
    EXPECT_EQ(both.GetIlluminant("CIE Illuminant D50"), full);
    EXPECT_EQ(capture.warnings.size(), 1u);
    // Copies share the illuminants but not the list: an addition to one is not seen by the other.
    TIlluminantFactory copy(both), assigned;
    assigned.AddIlluminant(Ramp(1, 0), "Dropped");
    assigned = both;
    copy.AddIlluminant(Ramp(1, 0), "Only in copy");
    EXPECT_TRUE(
        assigned.GetIlluminant("CIE Illuminant D50") == full && assigned.GetListOfIlluminants().size() == 2u);
    // Refused illuminants are not added; a second of one name is kept but not found.
    TIlluminantFactory refusing;
    EXPECT_EQ(refusing.AddIlluminant(Ramp(1, 0), nullptr), nullptr);
    EXPECT_EQ(refusing.AddIlluminant(Ramp(1, 0), std::string(1025, 'x').c_str()), nullptr);
    EXPECT_TRUE(refusing.GetListOfIlluminants().empty());
    TIlluminant* first = refusing.AddIlluminant(Ramp(1, 0), "Twin");
    TIlluminant* second = refusing.AddIlluminant(Ramp(2, 0), "Twin");
    EXPECT_EQ(refusing.GetIlluminant("TWIN"), first);
    EXPECT_EQ(refusing.GetListOfIlluminants(), (std::vector<const TIlluminant*> { first, second }));
}

// Every shipped file loads, under the names users ask for, with the published values.
TEST(TIlluminantFactoryShipped, WholeDirectoryLoads)
{
    MessageCapture capture;
    TIlluminantFactory factory;
    ASSERT_EQ(factory.AddDirectory(TINTVALE_DATA_DIR "/illuminants"), 0);
    std::set<std::string> names;
    for (const TIlluminant* ill : factory.GetListOfIlluminants())
        names.insert(ill->GetName());
    std::set<std::string> expected = { "D50", "D55", "D65", "D75" };
    for (const char* n : { "A", "C", "D50", "D55", "D65", "D75", "E", "F1", "F2", "F3", "F4", "F5", "F6",
             "F7", "F8", "F9", "F10", "F11", "F12" })
        expected.insert(std::string("CIE Illuminant ") + n);
    EXPECT_EQ(names, expected);

    // Published values on the grid (CIE 15:2004 Tables T.1 and T.6.1).
    // The lamps are band-weighted onto the 10-nm grid: 0.75 * 0.91 + 0.25 * 0.63 for F11 at 380 nm.
    const std::tuple<const char*, int, double> rows[]
        = { { "CIE Illuminant D65", 0, 49.9755 }, { "CIE Illuminant D65", 18, 100.0 }, { "D65", 35, 69.8856 },
              { "CIE Illuminant A", 0, 9.7951 }, { "cie illuminant f11", 0, 0.84 } };
    for (const auto& [name, i, value] : rows)
        EXPECT_EQ(factory.GetIlluminant(name)->GetSpectrum()->Data(i), value) << name;
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_TRUE(capture.warnings.empty());

    // Each one integrates to a white with Y = 100.
    TObserver two(0);
    for (const TIlluminant* ill : factory.GetListOfIlluminants()) {
        TIlluminantAndObserver io(ill, &two, 36);
        double white[3];
        io.GetXYZWhite(white);
        EXPECT_NEAR(white[1], 100.0, 1e-9) << ill->GetName();
    }
}
