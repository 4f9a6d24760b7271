// TIlluminantFactory: directories, look-ups with their messages, sharing between copies, and the
// shipped illuminant set.
#include "illuminant_test_support.h"
#include "test_support.h"

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tobserver.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>

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
    MessageCapture capture;
    TIlluminantFactory factory;
    EXPECT_EQ(factory.AddDirectory(dir.Path().string().c_str()), 0);
    const auto list = factory.GetListOfIlluminants();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0]->GetName(), "Daylight");
    EXPECT_TRUE(capture.messages.empty());

    EXPECT_EQ(factory.AddDirectory(dir.File("does-not-exist").c_str()), 0);
    EXPECT_EQ(factory.AddDirectory(dir.File("daylight.ill").c_str()), 0); // a file, not a directory
    EXPECT_EQ(factory.AddDirectory(nullptr), -1);
    EXPECT_EQ(factory.GetListOfIlluminants().size(), 1u);
}

TEST(TIlluminantFactoryLookup, ByNameIgnoringCaseWithMessages)
{
    TIlluminantFactory factory;
    TIlluminant* d50 = factory.AddIlluminant(Ramp(1, 0), "D50");
    ASSERT_NE(d50, nullptr);
    MessageCapture capture;
    EXPECT_EQ(factory.GetIlluminant("d50"), d50);
    EXPECT_TRUE(capture.messages.empty());

    EXPECT_EQ(factory.GetIlluminant(""), nullptr);
    EXPECT_EQ(factory.GetIlluminant(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(factory.GetIlluminant("D65"), nullptr);
    ASSERT_EQ(capture.messages.size(), 3u);
    EXPECT_EQ(capture.messages[0].text, "Specify illuminant name");
    EXPECT_EQ(capture.messages[2].text, "No Illuminant with this name available");
    EXPECT_EQ(capture.messages[2].line, 131);
    EXPECT_EQ(capture.messages[2].file, "tilluminantfactory");
    EXPECT_TRUE(capture.warnings.empty());
}

TEST(TIlluminantFactoryLookup, FullD50NameFallsBackToShortWithWarning)
{
    MessageCapture capture;
    TIlluminantFactory shortOnly;
    TIlluminant* d50 = shortOnly.AddIlluminant(Ramp(1, 0), "D50");
    EXPECT_EQ(shortOnly.GetIlluminant("cie illuminant d50"), d50);
    ASSERT_EQ(capture.warnings.size(), 1u);
    EXPECT_EQ(
        capture.warnings[0].text, "Illuminant \"CIE Illuminant D50\" was replaced by illuminant \"D50\"");
    EXPECT_EQ(capture.warnings[0].line, 6);
    EXPECT_TRUE(capture.messages.empty());
    // No such fallback for other daylight illuminants.
    shortOnly.AddIlluminant(Ramp(1, 0), "D65");
    EXPECT_EQ(shortOnly.GetIlluminant("CIE Illuminant D65"), nullptr);
    EXPECT_EQ(capture.messages.size(), 1u);

    TIlluminantFactory both;
    both.AddIlluminant(Ramp(1, 0), "D50");
    TIlluminant* full = both.AddIlluminant(Ramp(2, 0), "CIE Illuminant D50");
    EXPECT_EQ(both.GetIlluminant("CIE Illuminant D50"), full);
    EXPECT_EQ(capture.warnings.size(), 1u);
}

TEST(TIlluminantFactoryLookup, ByTemperatureFormsTheDaylightName)
{
    TIlluminantFactory factory;
    TIlluminant* d50 = factory.AddIlluminant(Ramp(1, 0), "D50");
    TIlluminant* d65 = factory.AddIlluminant(Ramp(1, 0), "D65");
    TIlluminant* d75 = factory.AddIlluminant(Ramp(1, 0), "D75");
    TIlluminant* d5 = factory.AddIlluminant(Ramp(1, 0), "D 5");
    MessageCapture capture;
    EXPECT_EQ(factory.GetIlluminant(5000.0), d50);
    EXPECT_EQ(factory.GetIlluminant(5003.0), d50);
    EXPECT_EQ(factory.GetIlluminant(6504.0), d65);
    EXPECT_EQ(factory.GetIlluminant(6500.0), d65);
    EXPECT_EQ(factory.GetIlluminant(7500.0), d75);
    EXPECT_EQ(factory.GetIlluminant(500.0), d5); // "D%2d" pads to two places
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(factory.GetIlluminant(5560.0), nullptr); // D56
    EXPECT_EQ(factory.GetIlluminant(1e300), nullptr);
    EXPECT_EQ(factory.GetIlluminant(std::nan("")), nullptr);
    EXPECT_EQ(capture.messages.size(), 3u);
}

TEST(TIlluminantFactoryAdd, RefusedIlluminantsAreNotAdded)
{
    TIlluminantFactory factory;
    EXPECT_EQ(factory.AddIlluminant(Ramp(1, 0), nullptr), nullptr);
    EXPECT_EQ(factory.AddIlluminant(Ramp(1, 0), std::string(1025, 'x').c_str()), nullptr);
    EXPECT_TRUE(factory.GetListOfIlluminants().empty());
    TIlluminant* first = factory.AddIlluminant(Ramp(1, 0), "Twin");
    TIlluminant* second = factory.AddIlluminant(Ramp(2, 0), "Twin");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(factory.GetIlluminant("TWIN"), first);
    const auto list = factory.GetListOfIlluminants();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], first);
    EXPECT_EQ(list[1], second);
}

TEST(TIlluminantFactorySharing, CopiesOutliveTheOriginal)
{
    TIlluminant* lamp = nullptr;
    std::unique_ptr<TIlluminantFactory> original(new TIlluminantFactory);
    lamp = original->AddIlluminant(Ramp(3, 1), "Lamp");
    TIlluminantFactory copy(*original);
    TIlluminantFactory assigned;
    assigned.AddIlluminant(Ramp(1, 0), "Dropped");
    assigned = *original;
    assigned = static_cast<const TIlluminantFactory&>(assigned);
    original.reset();
    EXPECT_EQ(copy.GetIlluminant("Lamp"), lamp);
    EXPECT_EQ(assigned.GetIlluminant("Lamp"), lamp);
    EXPECT_EQ(assigned.GetListOfIlluminants().size(), 1u);
    EXPECT_STREQ(lamp->GetName(), "Lamp"); // still alive: the sanitizer would see otherwise
    EXPECT_EQ(lamp->GetSpectrum()->Data(1), 4.0);
    // The copies share, not duplicate: an addition to one is not seen by the other.
    copy.AddIlluminant(Ramp(1, 0), "Only in copy");
    EXPECT_EQ(assigned.GetListOfIlluminants().size(), 1u);
}

TEST(TIlluminantFactorySave, SavesAndReloads)
{
    TempDir dir;
    TIlluminantFactory factory;
    TIlluminant* lamp = factory.AddIlluminant(Ramp(10, 1), "Lamp");
    EXPECT_EQ(factory.SaveIlluminant(nullptr, dir.File("x.ill").c_str()), -1);
    EXPECT_EQ(factory.SaveIlluminant(lamp, nullptr), -1);
    EXPECT_EQ(factory.SaveIlluminant(lamp, dir.File("lamp.ill").c_str()), 0);
    EXPECT_EQ(factory.SaveIlluminant(lamp, dir.File("missing/lamp.ill").c_str()), 4);
    TIlluminantFactory reloaded;
    reloaded.AddDirectory(dir.Path().string().c_str());
    ASSERT_NE(reloaded.GetIlluminant("lamp"), nullptr);
    EXPECT_NEAR(reloaded.GetIlluminant("lamp")->GetSpectrum()->Data(35), 45.0, 1e-3);
}

// Every shipped file loads, under the names users ask for, with the published values.
TEST(TIlluminantFactoryShipped, WholeDirectoryLoads)
{
    MessageCapture capture;
    TIlluminantFactory factory;
    ASSERT_EQ(factory.AddDirectory(TINTVALE_DATA_DIR "/illuminants"), 0);
    std::set<std::string> names;
    for (const TIlluminant* ill : factory.GetListOfIlluminants()) {
        EXPECT_EQ(ill->ErrNo(), 0);
        ASSERT_NE(ill->GetSpectrum(), nullptr);
        EXPECT_EQ(ill->GetSpectrum()->ErrNo(), 0);
        names.insert(ill->GetName());
    }
    std::set<std::string> expected = { "D50", "D55", "D65", "D75" };
    for (const char* n : { "A", "C", "D50", "D55", "D65", "D75", "E", "F1", "F2", "F3", "F4", "F5", "F6",
             "F7", "F8", "F9", "F10", "F11", "F12" })
        expected.insert(std::string("CIE Illuminant ") + n);
    EXPECT_EQ(names, expected);
    EXPECT_EQ(factory.GetListOfIlluminants().size(), expected.size());

    // Published values on the grid (CIE 15:2004 Tables T.1 and T.6.1).
    const double* d65 = factory.GetIlluminant("CIE Illuminant D65")
                            ->GetSpectrum()
                            ->GetUniformSpectrum(nullptr, nullptr, nullptr);
    EXPECT_EQ(d65[0], 49.9755);
    EXPECT_EQ(d65[18], 100.0);
    EXPECT_EQ(d65[35], 69.8856);
    const double* a = factory.GetIlluminant("CIE Illuminant A")
                          ->GetSpectrum()
                          ->GetUniformSpectrum(nullptr, nullptr, nullptr);
    EXPECT_EQ(a[0], 9.7951);
    const double* f11 = factory.GetIlluminant("cie illuminant f11")
                            ->GetSpectrum()
                            ->GetUniformSpectrum(nullptr, nullptr, nullptr);
    // The lamps are band-weighted onto the 10-nm grid: 0.75 * 0.91 + 0.25 * 0.63 at 380 nm.
    EXPECT_EQ(f11[0], 0.84);
    // The short daylight names carry the same spectra.
    const double* shortD65
        = factory.GetIlluminant(6504.0)->GetSpectrum()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    for (int i = 0; i < 36; ++i)
        EXPECT_EQ(shortD65[i], d65[i]);
    EXPECT_EQ(factory.GetIlluminant(5003.0), factory.GetIlluminant("D50"));
    EXPECT_STREQ(factory.GetIlluminant("CIE Illuminant D50")->GetName(), "CIE Illuminant D50");
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_TRUE(capture.warnings.empty());

    // Each one integrates to a white with Y = 100.
    TObserver two(0);
    for (const TIlluminant* ill : factory.GetListOfIlluminants()) {
        TIlluminantAndObserver io(ill, &two, 36);
        EXPECT_EQ(io.ErrNo(), 0) << ill->GetName();
        double white[3];
        io.GetXYZWhite(white);
        EXPECT_NEAR(white[1], 100.0, 1e-9) << ill->GetName();
    }
}
