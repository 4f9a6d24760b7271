// The QC library as a host calls it: files read by the host or by path, a tolerance set built in
// code, many files at once, and the errors it throws.
#include "cielab_reference.h"
#include "temp_dir.h"

#include <tintvale/qc/appearance.h>
#include <tintvale/qc/batch.h>
#include <tintvale/qc/cell.h>
#include <tintvale/qc/compare.h>
#include <tintvale/qc/conditions.h>
#include <tintvale/qc/describe.h>
#include <tintvale/qc/files.h>
#include <tintvale/qc/lab.h>
#include <tintvale/qc/report.h>
#include <tintvale/qc/roles.h>
#include <tintvale/qc/tolerances.h>

#include <tintvale/tappearancemodel.h>

#include <tintvale/tcgats.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace qc = tintvale::qc;

namespace {

const std::string kStrip = TINTVALE_SOURCE_DIR "/tools/tests/data/control_strip_";

qc::CompareOptions Cie76(const std::string& reference, const std::string& sample)
{
    qc::CompareOptions options;
    options.reference = reference;
    options.sample = sample;
    options.formula = "cie76";
    return options;
}

} // namespace

// Every patch's terms and the statistics against CIELAB differences computed here from the two Lab
// values; files read by the host give what the same files read by path give.
TEST(QcLibrary, LoadedFilesCompareAsReadByPath)
{
    const qc::CommonOptions common;
    const qc::CompareOptions byPath = Cie76(kStrip + "reference.txt", kStrip + "sample.txt");
    const qc::Comparison c = qc::Compare(common, byPath);
    const TCgats reference((kStrip + "reference.txt").c_str());
    const TCgats sample((kStrip + "sample.txt").c_str());
    const qc::Comparison loaded = qc::Compare(common, Cie76("", ""), reference, sample);

    ASSERT_TRUE(c.patches.size() == 24u && loaded.patches.size() == 24u);
    double sum = 0.0, worst = 0.0;
    for (std::size_t i = 0; i < c.patches.size(); ++i) {
        const qc::PatchDifference& p = c.patches[i];
        const double dE = reference::DeltaE76(p.labRef, p.labSmp);
        EXPECT_NEAR(p.dE, dE, 1e-12) << p.name;
        EXPECT_NEAR(p.dL, p.labSmp[0] - p.labRef[0], 1e-12) << p.name;
        EXPECT_NEAR(p.db, p.labSmp[2] - p.labRef[2], 1e-12) << p.name;
        EXPECT_EQ(loaded.patches[i].name, p.name);
        EXPECT_EQ(loaded.patches[i].dE, p.dE) << p.name;
        sum += dE;
        worst = std::max(worst, dE);
    }
    EXPECT_NEAR(c.mean, sum / 24.0, 1e-12);
    EXPECT_EQ(c.patches[c.worst].dE, worst);
}

// A set made in code: one group over every patch, warned or failed by the largest difference.
TEST(QcLibrary, ToleranceSetBuiltInCode)
{
    const qc::Comparison c = qc::Compare({}, Cie76(kStrip + "reference.txt", kStrip + "sample.txt"));
    const double worst = c.patches[c.worst].dE;
    qc::ToleranceSet set;
    set.name = "house";
    set.formula = "cie76";
    qc::ToleranceGroup all;
    all.name = "every patch";
    all.select = qc::ParseRole("all");
    all.metric = "dE";
    all.max = { true, true, worst - 0.01, worst + 0.01 };
    set.groups.push_back(all);
    qc::ToleranceResult result = qc::EvaluateTolerances(set, c);
    ASSERT_EQ(result.groups.size(), 1u);
    EXPECT_EQ(result.groups[0].count, 24);
    EXPECT_EQ(result.verdict, qc::Verdict::Warn);
    set.groups[0].max.fail = worst - 0.005;
    EXPECT_EQ(qc::EvaluateTolerances(set, c).verdict, qc::Verdict::Fail);
    set.groups[0].max = { true, false, 0.0, worst };
    EXPECT_EQ(qc::EvaluateTolerances(set, c).verdict, qc::Verdict::Pass);
}

// One reference against many: a missing file is its own row's error and the others are compared.
TEST(QcLibrary, ManyFilesAndTheErrorsThrown)
{
    const std::string missing = kStrip + "missing.txt";
    try {
        qc::Compare({}, Cie76(kStrip + "reference.txt", missing));
        ADD_FAILURE() << "a missing sample was compared";
    } catch (const qc::Error& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    qc::BatchOptions batch;
    batch.samples = { kStrip + "sample.txt", missing, kStrip + "reference.txt" };
    batch.jobs = 2;
    const qc::BatchResult result = qc::CompareMany({}, Cie76(kStrip + "reference.txt", ""), batch);
    ASSERT_EQ(result.files.size(), 3u);
    EXPECT_EQ(result.Errors(), 1);
    EXPECT_NE(result.files[1].error.find(missing), std::string::npos);
    const qc::Comparison one = qc::Compare({}, Cie76(kStrip + "reference.txt", kStrip + "sample.txt"));
    EXPECT_EQ(result.files[0].mean, one.mean);
    EXPECT_EQ(result.files[2].max, 0.0);
    const auto json = nlohmann::json::parse(qc::RenderBatch(result, qc::Format::Json));
    EXPECT_TRUE(json["files"][1]["verdict"] == "error" && json["files"][0]["verdict"] == "none") << json;
    EXPECT_EQ(json["summary"]["errors"], 1);
}

// Roles select the patches the control strip's device values say (C, M, Y, K as written in the file).
TEST(QcLibrary, RolesSelectByDeviceValues)
{
    const qc::Chart strip(kStrip + "reference.txt");
    const struct {
        const char* role;
        std::vector<int> patches;
    } cases[] = {
        { "paper", { 0 } },
        { "solids", { 1, 2, 3, 4 } },
        { "solids:M", { 2 } },
        { "overprints", { 5, 6, 7, 8 } },
        { "cmy-grey", { 9, 10, 11 } },
        { "tints:C", { 12, 13, 14 } },
        { "tints:K", { 21, 22, 23 } },
        { "names:K50,paper", { 22, 0 } },
    };
    // Asked patch by patch, the device values say the same (names are told by name, not by them).
    const qc::DeviceValues device(strip, 0);
    for (const auto& c : cases) {
        EXPECT_EQ(qc::SelectPatches(strip, 0, qc::ParseRole(c.role)), c.patches) << c.role;
        std::vector<int> matched;
        for (int s = 0; s < 24; ++s)
            if (device.Matches(qc::ParseRole(c.role), s))
                matched.push_back(s);
        EXPECT_EQ(matched, c.role[0] == 'n' ? std::vector<int>() : c.patches) << c.role;
    }
    EXPECT_EQ(qc::SelectPatches(strip, 0, qc::ParseRole("all")).size(), 24u);
    EXPECT_TRUE(device.Matches(qc::ParseRole("all"), 23));
    // A channel is full above 99.5 % and empty below 0.5 %.
    const TCgats edges(
        "CGATS.17\nNUMBER_OF_FIELDS 8\nBEGIN_DATA_FORMAT\nSampleID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L "
        "LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 4\nBEGIN_DATA\na 99.5 0 0 0 50 0 0\n"
        "b 99.6 0 0 0 50 0 0\nc 0.5 0 0 0 90 0 0\nd 0.4 0 0 0 95 0 0\nEND_DATA\n",
        0);
    const qc::Chart chart(edges, "edges");
    EXPECT_EQ(qc::SelectPatches(chart, 0, qc::ParseRole("solids")), std::vector<int> { 1 });
    EXPECT_EQ(qc::SelectPatches(chart, 0, qc::ParseRole("paper")), std::vector<int> { 3 });
}

// A file's description: one row per table it has, and no layout the file does not give.
TEST(QcLibrary, FileDescription)
{
    const qc::Chart strip(kStrip + "reference.txt");
    std::ostringstream out;
    qc::FileReport(strip).Write(out, qc::Format::Json);
    const auto json = nlohmann::json::parse(out.str());
    ASSERT_EQ(json["tables"].size(), 1u);
    EXPECT_TRUE(json["tables"][0]["samples"] == 24 && json["tables"][0]["channels"] == 4) << json;
    EXPECT_FALSE(json["header"].contains("row length"));
    EXPECT_EQ(json["header"]["tables"], 1);
}

// Names in the order people read them: digit runs by value, whatever their length or zeros; a
// computed value written with the 15 digits a double holds for sure (0.1 + 0.2 is 0.3).
TEST(QcLibrary, NaturalOrderAndComputedValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ((std::vector<double> { qc::Computed(0.1 + 0.2), qc::Computed(-1.0 / 3.0), qc::Computed(-inf) }),
        (std::vector<double> { 0.3, -0.333333333333333, -inf }));
    EXPECT_TRUE(std::isnan(qc::Computed(std::nan(""))));
    for (const auto& [a, b] : { std::pair { "F2", "F10" }, { "x9z", "x10y" }, { "F1", "F1a" } })
        EXPECT_TRUE(qc::NaturalLess(a, b) && !qc::NaturalLess(b, a)) << a << " " << b;
    EXPECT_FALSE(qc::NaturalLess("F02", "F2") || qc::NaturalLess("F1", "F1"));
}

// A table without colour data, then one with: the conditions are those of the table asked for, else
// of the first colour table; a recomputed hue just above 0 degrees stays there (CIE 15:2004, 8.2.1.2).
TEST(QcLibrary, ConditionsTableAndRecomputedHue)
{
    const std::string table = "END_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n";
    const TCgats cgats(("BEGIN_DATA_FORMAT\nSampleID CMYK_C CMYK_M CMYK_Y CMYK_K\n" + table
                           + "a 1 2 3 4\nEND_DATA\nBEGIN_DATA_FORMAT\nSampleID LAB_L LAB_A LAB_B LAB_H\n"
                           + table + "a 50 10 0.05 0\nEND_DATA\n")
                           .c_str(),
        0);
    EXPECT_EQ(std::vector<int>({ qc::ConditionsTable(cgats, 0), qc::ConditionsTable(cgats, -1) }),
        std::vector<int>({ 0, 1 }));
    qc::Chart chart(cgats, "hue.txt");
    qc::RecomputeColours(chart, qc::CommonOptions());
    char text[64];
    const TCgats& out = chart.Cgats();
    ASSERT_EQ(out.GetField(1, 0, out.GetFieldNameIndex(1, "LAB_H"), text, sizeof text), 0);
    EXPECT_NEAR(std::stod(text), std::atan2(0.05, 10.0) * 180.0 / M_PI, 1e-5);
}

// Text tables: numbers right-aligned under their name (blanks among them too), texts left-aligned;
// a column of blanks alone is no column of numbers, so its lines end with no padding.
TEST(QcLibrary, AlignedTables)
{
    qc::Report report;
    report.AddTable("t", { "dE", "name" }).rows
        = { { qc::Cell(1.5, 2), "a" }, { qc::Cell(10.25, 2), "long" }, { "", "b" } };
    report.AddTable("blank", { "note" }).rows = { { "" }, { "" } };
    std::ostringstream out;
    report.Write(out, qc::Format::Table);
    EXPECT_EQ(out.str(), "   dE  name\n 1.50  a\n10.25  long\n       b\n\nnote\n\n\n");
}

// The first appearance-space formula (cam02-ucs, row 0) is a CAM02-UCS difference of each patch's
// XYZ, with the viewing in the summary; --max 0 fails every file of a batch with a difference.
TEST(QcLibrary, AppearanceFormulaAndAToleranceOfZero)
{
    qc::CompareOptions options = Cie76(kStrip + "reference.txt", kStrip + "sample.txt");
    options.formula = "cam02-ucs";
    const qc::Comparison c = qc::Compare({}, options);
    const double* white = c.colorimetry->White();
    TAppearanceModel::ViewingConditions vc;
    std::copy(white, white + 3, vc.white);
    vc.adaptingLuminance = 64.0;
    vc.background = 20.0;
    const TAppearanceModel model(TAppearanceModel::Model::CIECAM02, vc);
    for (const qc::PatchDifference& p : c.patches) {
        double ref[3], smp[3];
        reference::LabToXYZ(p.labRef, white, ref);
        reference::LabToXYZ(p.labSmp, white, smp);
        EXPECT_NEAR(p.dE, model.DeltaE(smp, ref, TAppearanceModel::UniformSpace::UCS), 1e-9) << p.name;
    }
    const auto summary = qc::Summary(c);
    EXPECT_TRUE(
        std::any_of(summary.begin(), summary.end(), [](const auto& e) { return e.name == "viewing"; }));
    EXPECT_STREQ(c.FormulaName(), TAppearanceModel::GetUniformFormula(0)->name);

    qc::BatchOptions batch;
    batch.samples = { kStrip + "sample.txt" };
    qc::CompareOptions zero = Cie76(kStrip + "reference.txt", "");
    zero.max = 0.0;
    const auto json
        = nlohmann::json::parse(qc::RenderBatch(qc::CompareMany({}, zero, batch), qc::Format::Json));
    EXPECT_TRUE(json["summary"]["tolerance"] == 0.0 && json["summary"]["failed"] == 1) << json;
    EXPECT_EQ(json["files"][0]["verdict"], "fail");
}

// A sample outside the model's domain (negative XYZ) has an empty row and is counted once, in the
// conditions and in one warning; a file without such a sample warns of nothing.
TEST(QcLibrary, AppearanceOutsideTheDomainIsCountedAndWarned)
{
    TempDir dir;
    const std::string path = dir.Dir() + "xyz.txt";
    std::ofstream(path)
        << "CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSAMPLE_ID XYZ_X XYZ_Y XYZ_Z\n"
           "END_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\na 20 20 20\nb -30 -40 -30\nEND_DATA\n";
    std::vector<std::string> warnings;
    const auto doc = [&](const std::string& file) {
        std::ostringstream out;
        qc::AppearanceReport(file, {}, {}, &warnings).Write(out, qc::Format::Json);
        return nlohmann::json::parse(out.str());
    };
    const auto json = doc(path);
    EXPECT_TRUE(json["conditions"]["outside_domain"] == 1 && json["appearance"][1]["J"] == "") << json;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("1 sample(s) outside"), std::string::npos);
    warnings.clear();
    EXPECT_EQ(doc(kStrip + "sample.txt")["conditions"]["outside_domain"], 0);
    EXPECT_TRUE(warnings.empty());
}
