// `tintvale lab FILE [-o OUT]`: every sample taken as a measurement, its CIELAB under the chosen
// illuminant and observer written into the Lab columns (added or overwritten), and the file written.
#include "tool_chart.h"
#include "tool_commands.h"
#include "tool_files.h"

#include <tintvale/tilluminant.h>

#include <memory>
#include <vector>

namespace tool {

namespace {

bool LabWritten(const TCgats& cgats, int t, const std::vector<double>& values)
{
    const int n = static_cast<int>(values.size() / 3);
    std::vector<double> lab;
    for (int s = 0; s < n; ++s) {
        if (cgats.GetLab(t, s, lab) != 0 || lab.size() != 3)
            return false;
        for (int k = 0; k < 3; ++k)
            if (lab[k] != values[3 * static_cast<std::size_t>(s) + k])
                return false;
    }
    return true;
}

} // namespace

int RunLab(const CommonOptions& common, const LabOptions& options, std::ostream& out)
{
    Chart chart(options.file);
    Colorimetry colorimetry(common);
    TCgats& cgats = chart.Cgats();

    // Tables of other kinds (calibration curves beside the measurements) stay as they are.
    chart.ColourTable(-1);
    for (int t = 0; t < chart.NrTables(); ++t) {
        chart.CheckTable(t);
        if (chart.Offers(t) == ColourData::None)
            continue;
        const int n = chart.NrSamples(t);
        std::vector<double> values(3 * static_cast<std::size_t>(n));
        std::vector<const double*> rows(n);
        for (int s = 0; s < n; ++s) {
            std::shared_ptr<TOneMeasurement> m = chart.Measurement(t, s, colorimetry);
            double* lab = &values[3 * static_cast<std::size_t>(s)];
            const int rc
                = m->GetLAB(colorimetry.Illuminant(), colorimetry.Observer(), colorimetry.White(), lab);
            if (rc != 0)
                chart.Fail("sample " + std::to_string(s + 1) + ": no Lab under " + colorimetry.Describe()
                    + " (status " + std::to_string(rc) + ")");
            rows[s] = lab;
        }
        // AddLab also answers 1 when the columns were added but the file has no "NUMBER_OF_FIELDS"
        // line to update, which the file does not need: the values read back decide.
        const int rc = cgats.AddLab(t, rows.data());
        if (rc != 0 && !LabWritten(cgats, t, values))
            chart.Fail("the Lab columns of table " + std::to_string(t) + " could not be written (code "
                + std::to_string(rc) + ")");
    }

    // What the Lab values were computed for, as the file's weighting function.
    const int weighting
        = cgats.SetWeightingFunction(colorimetry.Illuminant()->GetName(), colorimetry.Observer()->GetName());
    if (weighting != 0)
        chart.Fail("the weighting function could not be recorded (code " + std::to_string(weighting) + ")");
    // The file is replaced only once everything is written.
    WriteCgats(cgats, options.output, out);
    return kExitOk;
}

} // namespace tool
