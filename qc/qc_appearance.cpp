// The seven appearance correlates of every sample of a chart under given viewing conditions.
#include <tintvale/qc/appearance.h>

#include <tintvale/qc/conditions.h>

#include <tintvale/tappearancemodel.h>
#include <tintvale/tilluminant.h>
#include <tintvale/tobserver.h>

#include <algorithm>

namespace tintvale::qc {

namespace {

TAppearanceModel::ViewingConditions ConditionsOf(const AppearanceOptions& options, const double* white)
{
    TAppearanceModel::ViewingConditions vc;
    const double* adopted = options.white.empty() ? white : options.white.data();
    std::copy(adopted, adopted + 3, vc.white);
    vc.adaptingLuminance = options.viewing.adaptingLuminance;
    vc.background = options.viewing.background;
    if (!TAppearanceModel::SurroundByName(options.viewing.surround.c_str(), &vc.surround))
        throw Error("unknown surround \"" + options.viewing.surround + "\" (average, dim, dark)");
    return vc;
}

} // namespace

Report AppearanceReport(const std::string& file, const CommonOptions& common,
    const AppearanceOptions& options, std::vector<std::string>* warnings)
{
    TAppearanceModel::Model kind;
    if (!TAppearanceModel::ModelByName(options.model.c_str(), &kind))
        throw Error("unknown model \"" + options.model + "\" (CIECAM02, CAM16, CIECAM16)");
    if (!options.white.empty() && options.white.size() != 3)
        throw Error("--white takes three numbers, X,Y,Z");
    Chart chart(file);
    const int t = chart.ColourTable(options.table);
    chart.CheckTable(t);
    const CommonOptions chosen = ChosenConditions(common, { &chart.Cgats() }, nullptr, { t });
    Colorimetry colorimetry(chosen);
    chart.UseConditions(chosen, colorimetry, t);
    const TAppearanceModel model(kind, ConditionsOf(options, colorimetry.White()));
    if (model.GetStatus() != TAppearanceModel::kOk)
        throw Error("the viewing conditions define no model: the white, --la and --yb must be positive");

    Report report;
    Section& table = report.AddTable("appearance", { "sample", "J", "C", "h", "Q", "M", "s", "H" });
    int outside = 0;
    for (int s = 0; s < chart.NrSamples(t); ++s) {
        double xyz[3], lab[3];
        chart.Colour(t, s, colorimetry, xyz, lab);
        TAppearanceModel::Correlates c;
        std::vector<Cell> row = { Cell(chart.SampleName(t, s)) };
        if (model.Forward(xyz, &c) == TAppearanceModel::kOk) {
            for (double v : { c.J, c.C, c.h, c.Q, c.M, c.s, c.H })
                row.push_back(Cell(v, 4));
        } else {
            // Outside the model's domain: said on its row and counted, never a number.
            row.resize(8, Cell(""));
            ++outside;
        }
        table.rows.push_back(std::move(row));
    }

    const TAppearanceModel::ViewingConditions& vc = model.GetConditions();
    Section& summary = report.AddKeyValues("conditions");
    Report::Put(summary, "model", Cell(TAppearanceModel::ModelName(kind)));
    Report::Put(summary, "illuminant", Cell(colorimetry.Illuminant()->GetName()));
    Report::Put(summary, "observer", Cell(colorimetry.Observer()->GetName()));
    Report::Put(summary, "white_X", Cell(vc.white[0], 4));
    Report::Put(summary, "white_Y", Cell(vc.white[1], 4));
    Report::Put(summary, "white_Z", Cell(vc.white[2], 4));
    Report::Put(summary, "viewing", Cell(DescribeViewing(options.viewing)));
    Report::Put(summary, "D", Cell(model.DegreeOfAdaptation(), 4));
    Report::Put(summary, "F_L", Cell(model.LuminanceAdaptation(), 4));
    Report::Put(summary, "outside_domain", Cell(outside));
    if (outside > 0 && warnings)
        warnings->push_back(
            std::to_string(outside) + " sample(s) outside the model's domain have no correlates");
    return report;
}

} // namespace tintvale::qc
