// The colour columns of a chart recomputed under the conditions used.
#include <tintvale/qc/lab.h>

#include <tintvale/qc/cell.h>
#include <tintvale/qc/conditions.h>

#include <tintvale/tilluminant.h>

#include <cmath>
#include <memory>
#include <vector>

namespace tintvale::qc {

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

// The colour columns besides Lab that the file may have, each computed from XYZ and Lab.
struct DerivedColumn {
    const char* name;
    double (*value)(const double* xyz, const double* lab, const double* white);
};

// CIE 15:2004, 7.3: x = X / (X + Y + Z), y = Y / (X + Y + Z); black takes the white's chromaticity.
double Chromaticity(const double* xyz, const double* white, int k)
{
    const double sum = xyz[0] + xyz[1] + xyz[2];
    return sum > 0.0 ? xyz[k] / sum : white[k] / (white[0] + white[1] + white[2]);
}

// CIE 15:2004, 8.2.1.2: C*ab = sqrt(a*^2 + b*^2), hab = atan2(b*, a*) in degrees from 0 to 360.
double HueDegrees(const double* lab)
{
    constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;
    const double h = std::atan2(lab[2], lab[1]) * kDegreesPerRadian;
    return h < 0.0 ? h + 360.0 : h;
}

const DerivedColumn kDerived[] = {
    { "XYZ_X", [](const double* xyz, const double*, const double*) { return xyz[0]; } },
    { "XYZ_Y", [](const double* xyz, const double*, const double*) { return xyz[1]; } },
    { "XYZ_Z", [](const double* xyz, const double*, const double*) { return xyz[2]; } },
    { "XYY_X", [](const double* xyz, const double*, const double* w) { return Chromaticity(xyz, w, 0); } },
    { "XYY_Y", [](const double* xyz, const double*, const double* w) { return Chromaticity(xyz, w, 1); } },
    { "XYY_GAPY", [](const double* xyz, const double*, const double*) { return xyz[1]; } },
    { "LAB_C", [](const double*, const double* lab, const double*) { return std::hypot(lab[1], lab[2]); } },
    { "LAB_H", [](const double*, const double* lab, const double*) { return HueDegrees(lab); } },
};

// Every derived column of table t set from the samples' XYZ and Lab.
void WriteDerived(const Chart& chart, TCgats& cgats, int t, const std::vector<double>& xyz,
    const std::vector<double>& lab, const double* white)
{
    for (const DerivedColumn& column : kDerived) {
        const int field = cgats.GetFieldNameIndex(t, column.name);
        if (field < 0)
            continue;
        for (int s = 0; s < chart.NrSamples(t); ++s) {
            const std::size_t at = 3 * static_cast<std::size_t>(s);
            if (cgats.SetNumber(t, s, field, Computed(column.value(&xyz[at], &lab[at], white))) != 0)
                chart.Fail(std::string("the ") + column.name + " column of table " + std::to_string(t)
                    + " could not be written");
        }
    }
}

} // namespace

void RecomputeColours(Chart& chart, const CommonOptions& common)
{
    TCgats& cgats = chart.Cgats();
    const CommonOptions chosen = ChosenConditions(common, { &cgats });
    Colorimetry colorimetry(chosen);
    chart.UseConditions(chosen, colorimetry);

    // Tables of other kinds (calibration curves beside the measurements) stay as they are.
    chart.ColourTable(-1);
    std::string methods; // of the spectral tables, each named once
    for (int t = 0; t < chart.NrTables(); ++t) {
        chart.CheckTable(t);
        if (chart.Offers(t) == ColourData::None)
            continue;
        const int n = chart.NrSamples(t);
        std::vector<double> xyz(3 * static_cast<std::size_t>(n));
        std::vector<double> values(3 * static_cast<std::size_t>(n));
        std::vector<const double*> rows(n);
        for (int s = 0; s < n; ++s) {
            double* lab = &values[3 * static_cast<std::size_t>(s)];
            chart.Colour(t, s, colorimetry, &xyz[3 * static_cast<std::size_t>(s)], lab);
            for (int k = 0; k < 3; ++k)
                lab[k] = Computed(lab[k]);
            rows[s] = lab;
        }
        if (chart.Offers(t) == ColourData::Spectrum)
            AddMethod(methods, chart.Integration(t, colorimetry).method);
        // The other colour columns first: adding the Lab columns may replace the table's header.
        WriteDerived(chart, cgats, t, xyz, values, colorimetry.White());
        // AddLab also answers 1 when the columns were added but the file has no "NUMBER_OF_FIELDS"
        // line to update, which the file does not need: the values read back decide.
        const int rc = cgats.AddLab(t, rows.data());
        if (rc != 0 && !LabWritten(cgats, t, values))
            chart.Fail("the Lab columns of table " + std::to_string(t) + " could not be written (code "
                + std::to_string(rc) + ")");
    }

    // What the colour values were computed for, in the CGATS.17 form with how spectra were
    // integrated, replacing what said otherwise.
    const int weighting = cgats.SetStatedConditions(
        colorimetry.Illuminant()->GetName(), colorimetry.Observer()->GetName(), methods.c_str());
    if (weighting != 0)
        chart.Fail("the weighting function could not be recorded (code " + std::to_string(weighting) + ")");
}

} // namespace tintvale::qc
