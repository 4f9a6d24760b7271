// The measurement classes: construction, copies, coordinates, XYZ and Lab, SCTV and spectral equivalents.
#include <tintvale/temissionspectrum.h>
#include <tintvale/tlabmeasurement.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/txyzmeasurement.h>

#include "cielab_reference.h"
#include "shipped_fixture.h"
#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace {

// A cyan ink: high in the blue-green, low in the red.
TSpectrum Cyan()
{
    double v[36];
    for (int i = 0; i < 36; ++i)
        v[i] = i < 16 ? 0.6 : (i < 22 ? 0.6 - 0.09 * (i - 15) : 0.06);
    return TSpectrum(v);
}

class Measurements : public ShippedD50 {
protected:
    TMeasGeom mGeom { 2 };
};

} // namespace

TEST_F(Measurements, LabAndXYZMeasurementsCopiesAndCoordinates)
{
    const double stored[3] = { 96.42, 100.0, 82.52 };
    TLABMeasurement m(52.0, 30.0, -20.0, stored, &mGeom, mD50, &mTwo);
    double lab[3];
    const double near[3] = { 96.47, 100.05, 82.47 };
    EXPECT_EQ(m.GetLAB(mD50, &mTwo, near, lab), 0);
    EXPECT_EQ(lab[1], 30.0);
    // Within includes the bound: 0.2 - 0.1 is the double 0.1 itself.
    const double tiny[3] = { 0.1, 0.1, 0.1 }, bound[3] = { 0.2, 0.1, 0.1 };
    ASSERT_EQ(
        TLABMeasurement(52.0, 30.0, -20.0, tiny, &mGeom, mD50, &mTwo).GetLAB(mD50, &mTwo, bound, lab), 0);
    EXPECT_EQ(lab[1], 30.0);

    // 0.2 off in X: Lab under the given white, through XYZ under the stored one.
    const double far[3] = { 96.62, 100.0, 82.52 };
    ASSERT_EQ(m.GetLAB(mD50, &mTwo, far, lab), 0);
    const double original[3] = { 52.0, 30.0, -20.0 };
    double xyz[3], expected[3], got[3];
    reference::LabToXYZ(original, stored, xyz);
    reference::XYZToLab(xyz, far, expected);
    ASSERT_EQ(m.GetXYZ(mD50, nullptr, got), 0);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(lab[c], expected[c], 1e-4) << c;
        EXPECT_NEAR(got[c], xyz[c], 1e-4) << c;
    }
    EXPECT_EQ(m.GetLAB(mD50, &mTen, far, lab), -1);

    // A white that cannot be a reference is refused with 3, stored or given.
    const double zeroY[3] = { 96.42, 0.0, 82.52 };
    EXPECT_EQ(m.GetLAB(mD50, &mTwo, zeroY, lab), 3);
    const double negative[3] = { -1.0, 100.0, 82.52 };
    TLABMeasurement bad(50.0, 0.0, 0.0, negative, &mGeom, mD50, &mTwo);
    MessageCapture capture;
    EXPECT_EQ(bad.GetXYZ(nullptr, nullptr, got), 3);
    EXPECT_EQ(bad.GetLAB(nullptr, nullptr, mWhite, lab), 3);
    EXPECT_TRUE(capture.messages.empty()) << "nothing goes to the message sink";
    EXPECT_EQ(TLABMeasurement(50.0, 0.0, 0.0, nullptr, &mGeom, mD50, &mTwo).ErrNo(), 3);
    // Made without a geometry, it is incomplete, and so is its copy.
    const TLABMeasurement noGeometry(50.0, 0.0, 0.0, mWhite, nullptr, mD50, &mTwo);
    EXPECT_EQ(noGeometry.ErrNo() + std::unique_ptr<TOneMeasurement>(noGeometry.Copy())->ErrNo(), 6);
    // XYZ measurements compare illuminants by identity and observers by equality.
    TXYZMeasurement xm(40.0, 30.0, 20.0, &mGeom, mD50, &mTwo);
    double v[3] = { 0, 0, 0 };
    EXPECT_EQ(xm.GetXYZ(nullptr, nullptr, v), 0);
    EXPECT_EQ(v[2], 20.0);

    // Another illuminant object with the same name and spectrum is another illuminant.
    TIlluminantFactory other;
    TIlluminant* twin = other.AddIlluminant(*mD50->GetSpectrum(), mD50->GetName());
    EXPECT_EQ(xm.GetXYZ(twin, nullptr, v), -1);
    // Another observer object equal to the stored one is the same observer.
    const TObserver alsoTwo(0);
    EXPECT_EQ(xm.GetXYZ(mD50, &alsoTwo, v), 0);
    EXPECT_EQ(xm.GetXYZ(mD50, &mTen, v), -1);

    // Without an illuminant or observer there is no measurement to speak of.
    TXYZMeasurement incomplete(1.0, 2.0, 3.0, &mGeom, nullptr, &mTwo);
    EXPECT_EQ(incomplete.ErrNo(), 3);
    EXPECT_EQ(incomplete.GetXYZ(nullptr, nullptr, v), 3);
    EXPECT_EQ(xm.GetXYZ(nullptr, nullptr, nullptr), 3);
    // Copies and coordinates.
    const double coords[3] = { 1.0, 0.5, 0.0 };
    TReflectionSpectrum source(Cyan(), &mGeom, 3, coords);
    int count = -1;
    TReflectionSpectrum constructed(source); // the copy constructor drops the coordinates
    EXPECT_EQ(constructed.GetCoord(&count), nullptr);
    EXPECT_EQ(count + constructed.GetGeometry()->Index(), 2);
    EXPECT_EQ(constructed.GetUniformSpectrum(nullptr, nullptr, nullptr)[30], Cyan().Data(30));
    // From the 36 grid values, with coordinates.
    const TReflectionSpectrum fromValues(
        Cyan().GetUniformSpectrum(nullptr, nullptr, nullptr), &mGeom, 3, coords);
    EXPECT_EQ(fromValues.GetUniformSpectrum(nullptr, nullptr, nullptr)[30], Cyan().Data(30));
    EXPECT_EQ(fromValues.GetCoord(&count)[1], 0.5);

    std::unique_ptr<TOneMeasurement> copied(source.Copy());
    ASSERT_NE(dynamic_cast<TReflectionSpectrum*>(copied.get()), nullptr);
    const double* copiedCoords = copied->GetCoord(&count);
    ASSERT_EQ(count, 3);
    const double replacement[1] = { 0.25 };
    EXPECT_EQ(source.SetCoord(1, replacement), 0);
    EXPECT_EQ(copiedCoords[1], 0.5) << "the copy owns its coordinates";
    EXPECT_EQ(source.GetCoord(&count)[0], 0.25);
    EXPECT_EQ(source.SetCoord(-1, replacement), 3);
    EXPECT_EQ(source.SetCoord(2, nullptr), 3);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(source.SetCoord(0, nullptr), 0);
    EXPECT_EQ(source.GetCoord(&count), nullptr);

    // XYZ copies keep the illuminant and their observer.
    TXYZMeasurement xyzM(10.0, 20.0, 30.0, &mGeom, mD50, &mTen, 2, coords);
    double got3[3];
    EXPECT_EQ(std::unique_ptr<TOneMeasurement>(xyzM.Copy())->GetXYZ(mD50, &mTen, got3), 0);
    EXPECT_EQ(got3[2], 30.0);
    const double w96[3] = { 96.0, 100.0, 82.0 };
    TLABMeasurement labM(50.0, 1.0, 2.0, w96, &mGeom, mD50, &mTwo);
    EXPECT_EQ(std::unique_ptr<TOneMeasurement>(labM.Copy())->GetXYZ(nullptr, nullptr, got3), 0);
    EXPECT_NEAR(got3[0], 96.0 * std::pow((66.0 / 116.0) + 1.0 / 500.0, 3), 1e-9)
        << "the copy keeps the white";
}

TEST_F(Measurements, SpectralMeasurementsAndEquivalents)
{
    TXYZMeasurement xyz(10.0, 20.0, 30.0, &mGeom, mD50, &mTwo);
    EXPECT_EQ(xyz.CreateSpectralMeasurement(nullptr), nullptr);
    TReflectionSpectrum cyan(Cyan(), &mGeom);
    EXPECT_EQ(std::unique_ptr<TOneMeasurement>(cyan.CreateSpectralMeasurement(nullptr))
                  ->GetUniformSpectrum(nullptr, nullptr, nullptr)[25],
        Cyan().Data(25));

    // A Lab red becomes a reflectance with that colour, the template's geometry and our coordinates.
    const double coords[2] = { 0.0, 1.0 }, target[3] = { 45.0, 60.0, 40.0 };
    TLABMeasurement red(target[0], target[1], target[2], mWhite, &mGeom, mD50, &mTwo, 2, coords);
    const TMeasGeom otherGeom(5);
    TReflectionSpectrum grey(Flat(0.5), &otherGeom);
    std::unique_ptr<TOneMeasurement> made(red.CreateSpectralMeasurement(&grey));
    ASSERT_NE(dynamic_cast<TReflectionSpectrum*>(made.get()), nullptr);
    EXPECT_EQ(made->GetGeometry()->Index(), 5);
    int count = 0;
    made->GetCoord(&count);
    EXPECT_EQ(count, 2);
    double xyzMade[3], labMade[3];
    ASSERT_EQ(made->GetXYZ(mD50, &mTwo, xyzMade), 0);
    reference::XYZToLab(xyzMade, mWhite, labMade);
    EXPECT_LT(reference::DeltaE76(labMade, target), 0.5);

    EXPECT_EQ(red.CreateSpectralMeasurement(&xyz), nullptr) << "a template without spectrum";
    // The spot colour tone value runs from paper to solid.
    TReflectionSpectrum paper(Flat(0.9), &mGeom);
    TReflectionSpectrum solid(Cyan(), &mGeom);
    EXPECT_NEAR(solid.GetSCTV(mD50, &mTwo, &paper, &solid), 1.0, 1e-12);
    EXPECT_NEAR(paper.GetSCTV(mD50, &mTwo, &paper, &solid), 0.0, 1e-12);

    // A half-tone area: the mean of paper and solid reflectance lies strictly between them.
    double mix[36];
    for (int i = 0; i < 36; ++i)
        mix[i] = 0.5 * (0.9 + Cyan().Data(i));
    TReflectionSpectrum tint(mix, &mGeom);
    const double tv = tint.GetSCTV(mD50, &mTwo, &paper, &solid);
    EXPECT_GT(tv, 0.2);
    EXPECT_LT(tv, 0.8);

    // Any Lab that cannot be had gives -1.
    TXYZMeasurement elsewhere(30.0, 30.0, 30.0, &mGeom, mD50, &mTen);
    EXPECT_EQ(tint.GetSCTV(mD50, &mTwo, &paper, &elsewhere), -1.0);
    EXPECT_EQ(elsewhere.GetSCTV(mD50, &mTwo, &paper, &solid), -1.0);
    // Spectral measurements need an illuminant and a white.
    const TSpectrum whiteS = Flat(1.0);
    TReflectionSpectrum flatPaper(whiteS, &mGeom);
    double sx[3], sl[3];
    EXPECT_EQ(flatPaper.GetXYZ(nullptr, &mTwo, sx), 3);
    EXPECT_EQ(flatPaper.GetLAB(mD50, &mTwo, nullptr, sl), 3);
    TReflectionSpectrum empty(static_cast<const TSpectrum*>(nullptr), &mGeom);
    EXPECT_EQ(empty.ErrNo(), 3);
    EXPECT_EQ(empty.GetXYZ(mD50, &mTwo, sx), 2) << "unset samples are no reflectance";

    // Emission: the observer's absolute summation, whatever the illuminant.
    // Y = 6.83 times the independent grid sum 10.6852 of the 2-degree y-bar, for a radiance of 0.5.
    const TSpectrum radiance = Flat(0.5);
    TEmissionSpectrum lamp(&radiance, &mGeom);
    ASSERT_EQ(lamp.GetXYZ(mD50, &mTwo, sx), 0);
    EXPECT_NEAR(sx[1], 0.5 * 6.83 * 10.6852, 1e-9);
    TEmissionSpectrum dark(nullptr, &mGeom);
    EXPECT_EQ(dark.GetXYZ(mD50, &mTwo, sx), 2);
    EXPECT_EQ(dark.GetXYZ(mD50, nullptr, sx), 3) << "the null test comes first";
}

// The integration is made once per illuminant and observer, not per call: a later call must still
// follow an illuminant changed in place, another observer, and each thread its own conditions.
TEST_F(Measurements, ReflectanceFollowsItsConditionsAcrossCallsAndThreads)
{
    // Light only below 555 nm on a reflectance of 1 there and 0 above: Y = 100 exactly; moving the
    // light above 555 nm in the same object makes it black.
    double low[36], step[36];
    for (int i = 0; i < 36; ++i) {
        low[i] = i < 18 ? 100.0 : 0.0;
        step[i] = i < 18 ? 1.0 : 0.0;
    }
    TIlluminant* lamp = mFactory.AddIlluminant(TSpectrum(low), "low lamp");
    ASSERT_NE(lamp, nullptr);
    const TReflectionSpectrum stepR(step, &mGeom);
    double xyz[3];
    ASSERT_EQ(stepR.GetXYZ(lamp, &mTwo, xyz), 0);
    EXPECT_NEAR(xyz[1], 100.0, 1e-12);
    for (int i = 0; i < 36; ++i)
        lamp->GetSpectrum()->Data(i) = 100.0 - low[i];
    ASSERT_EQ(stepR.GetXYZ(lamp, &mTwo, xyz), 0);
    EXPECT_EQ(xyz[1], 0.0);

    // A flat 0.5 gives half the white of each observer: CIE D50 X = 96.42 (2 degree) and 96.72
    // (10 degree) (CIE 15:2004, Table T.3), to the 36-sample grid's truncation.
    const TReflectionSpectrum grey(Flat(0.5), &mGeom);
    ASSERT_EQ(grey.GetXYZ(mD50, &mTwo, xyz), 0);
    EXPECT_NEAR(2.0 * xyz[0], 96.42, 0.05);
    ASSERT_EQ(grey.GetXYZ(mD50, &mTen, xyz), 0);
    EXPECT_NEAR(2.0 * xyz[0], 96.72, 0.05);

    // Threads alternating between two conditions each get their own: Y = 50 and Y = 0.
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            double v[3];
            for (int k = 0; k < 200; ++k) {
                if ((k + t) % 2 == 0)
                    wrong[t]
                        += grey.GetXYZ(mD50, t < 2 ? &mTwo : &mTen, v) != 0 || std::abs(v[1] - 50.0) > 1e-9;
                else
                    wrong[t] += stepR.GetXYZ(lamp, &mTwo, v) != 0 || v[1] != 0.0;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}
