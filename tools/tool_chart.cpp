// Reading measurement data files and turning their rows into measurements.
#include "tool_chart.h"

#include <tintvale/tlabmeasurement.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>
#include <tintvale/txyzmeasurement.h>

#include <filesystem>
#include <system_error>

namespace tool {

Chart::Chart(const std::string& path)
    : mPath(path)
{
    // The library reports a missing file as code 3; a directory would read as an empty file.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        Fail("is a directory, not a measurement data file");
    mCgats = std::make_unique<TCgats>(path.c_str());
    if (mCgats->GetErrorCode() != 0)
        Fail(std::string(mCgats->GetErrorMsg()) + " (code " + std::to_string(mCgats->GetErrorCode()) + ")");
    if (mCgats->GetNrTables() < 1)
        Fail("no data table");
}

void Chart::Fail(const std::string& text) const { throw ToolError(mPath + ": " + text); }

int Chart::NrTables() const { return mCgats->GetNrTables(); }

void Chart::CheckTable(int table) const
{
    if (table < 0 || table >= NrTables())
        Fail("no table " + std::to_string(table) + " (the file has " + std::to_string(NrTables()) + ")");
    if (mCgats->GetNrSamples(table) < 0)
        Fail("table " + std::to_string(table) + " cannot be read");
}

int Chart::NrSamples(int table) const
{
    const int n = mCgats->GetNrSamples(table);
    if (n < 0)
        Fail("table " + std::to_string(table) + " cannot be read");
    return n;
}

std::string Chart::SampleName(int table, int sample) const
{
    std::string name;
    if (mCgats->ContainsSampleNames(table) && mCgats->GetSampleName(table, sample, name) == 0)
        return name;
    return std::to_string(sample + 1);
}

ColourData Chart::Offers(int table) const
{
    if (mCgats->ContainsWaveLengths(table))
        return ColourData::Spectrum;
    if (mCgats->ContainsLab(table))
        return ColourData::Lab;
    if (mCgats->ContainsXyz(table))
        return ColourData::Xyz;
    return ColourData::None;
}

std::unique_ptr<TOneMeasurement> Chart::Measurement(int table, int sample, Colorimetry& colorimetry) const
{
    const std::string where = "sample " + std::to_string(sample + 1) + " of table " + std::to_string(table);
    std::unique_ptr<TOneMeasurement> m;
    switch (Offers(table)) {
    case ColourData::None:
        Fail("no colour data (neither spectra nor Lab nor XYZ) in table " + std::to_string(table));
    case ColourData::Spectrum: {
        std::vector<int> nm;
        std::vector<double> values;
        if (mCgats->GetWaveLengths(table, nm) != 0 || mCgats->GetSpectrum(table, sample, values) != 0
            || values.size() != nm.size())
            Fail(where + ": the spectrum cannot be read");
        const std::vector<double> wavelengths(nm.begin(), nm.end());
        TSpectrum spectrum(wavelengths.data(), static_cast<int>(wavelengths.size()), values.data());
        if (spectrum.ErrNo() != 0)
            Fail(where + ": the spectrum is not usable (error " + std::to_string(spectrum.ErrNo()) + ")");
        m = std::make_unique<TReflectionSpectrum>(spectrum, &mGeometry);
        break;
    }
    case ColourData::Lab: {
        std::vector<double> lab;
        if (mCgats->GetLab(table, sample, lab) != 0 || lab.size() != 3)
            Fail(where + ": the Lab values cannot be read");
        m = std::make_unique<TLABMeasurement>(lab[0], lab[1], lab[2], colorimetry.White(), &mGeometry,
            colorimetry.Illuminant(), colorimetry.Observer());
        break;
    }
    case ColourData::Xyz: {
        std::vector<double> xyz;
        if (mCgats->GetXyz(table, sample, xyz) != 0 || xyz.size() != 3)
            Fail(where + ": the XYZ values cannot be read");
        m = std::make_unique<TXYZMeasurement>(
            xyz[0], xyz[1], xyz[2], &mGeometry, colorimetry.Illuminant(), colorimetry.Observer());
        break;
    }
    }
    if (m->ErrNo() != 0)
        Fail(where + ": not a usable measurement (error " + std::to_string(m->ErrNo()) + ")");
    return m;
}

void Chart::Lab(int table, int sample, Colorimetry& colorimetry, double* lab) const
{
    auto m = Measurement(table, sample, colorimetry);
    const int rc = m->GetLAB(colorimetry.Illuminant(), colorimetry.Observer(), colorimetry.White(), lab);
    if (rc != 0)
        Fail("sample " + std::to_string(sample + 1) + ": no Lab under " + colorimetry.Describe() + " (status "
            + std::to_string(rc) + ")");
}

} // namespace tool
