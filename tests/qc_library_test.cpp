// The QC library as a host calls it: files read by the host or by path, a tolerance set built in
// code, many files at once, and the errors it throws.
#include "cielab_reference.h"

#include <tintvale/qc/batch.h>
#include <tintvale/qc/compare.h>
#include <tintvale/qc/files.h>
#include <tintvale/qc/tolerances.h>

#include <tintvale/tcgats.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>

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

    ASSERT_EQ(c.patches.size(), 24u);
    ASSERT_EQ(loaded.patches.size(), c.patches.size());
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
    EXPECT_EQ(json["files"][1]["verdict"], "error");
    EXPECT_EQ(json["files"][0]["verdict"], "none");
    EXPECT_EQ(json["summary"]["errors"], 1);
}
