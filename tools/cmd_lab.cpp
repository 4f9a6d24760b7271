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

// Tables integrated in different ways are named in turn.
void AddMethod(std::string& methods, const std::string& method)
{
    if (methods.find(method) == std::string::npos)
        methods += (methods.empty() ? "" : " and ") + method;
}

} // namespace

int RunLab(const CommonOptions& common, const LabOptions& options, std::ostream& out)
{
    Chart chart(options.file);
    Colorimetry colorimetry(common);
    TCgats& cgats = chart.Cgats();

    // Tables of other kinds (calibration curves beside the measurements) stay as they are.
    chart.ColourTable(-1);
    std::string methods; // of the spectral tables, each named once
    for (int t = 0; t < chart.NrTables(); ++t) {
        chart.CheckTable(t);
        if (chart.Offers(t) == ColourData::None)
            continue;
        const int n = chart.NrSamples(t);
        std::vector<double> values(3 * static_cast<std::size_t>(n));
        std::vector<const double*> rows(n);
        for (int s = 0; s < n; ++s) {
            double* lab = &values[3 * static_cast<std::size_t>(s)];
            chart.Lab(t, s, colorimetry, lab);
            rows[s] = lab;
        }
        if (chart.Offers(t) == ColourData::Spectrum)
            AddMethod(methods, chart.Integration(t, colorimetry).method);
        // AddLab also answers 1 when the columns were added but the file has no "NUMBER_OF_FIELDS"
        // line to update, which the file does not need: the values read back decide.
        const int rc = cgats.AddLab(t, rows.data());
        if (rc != 0 && !LabWritten(cgats, t, values))
            chart.Fail("the Lab columns of table " + std::to_string(t) + " could not be written (code "
                + std::to_string(rc) + ")");
    }

    // What the Lab values were computed for, as the file's weighting function, with how spectra were
    // integrated.
    const int weighting = cgats.SetWeightingFunction(
        colorimetry.Illuminant()->GetName(), colorimetry.Observer()->GetName(), methods.c_str());
    if (weighting != 0)
        chart.Fail("the weighting function could not be recorded (code " + std::to_string(weighting) + ")");
    // The file is replaced only once everything is written.
    WriteCgats(cgats, options.output, out);
    return kExitOk;
}

} // namespace tool
