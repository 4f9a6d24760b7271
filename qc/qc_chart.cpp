// Reading measurement data files and turning their rows into measurements.
#include <tintvale/qc/chart.h>

#include <tintvale/qc/cell.h>
#include <tintvale/qc/files.h>

#include <tintvale/tilluminant.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>

#include <algorithm>
#include <strings.h>

namespace tintvale::qc {

namespace {
// The steps ASTM E308 tabulates weights for.
constexpr int kAstmStep10 = 10;
constexpr int kAstmStep20 = 20;
} // namespace

Chart::Chart(const std::string& path)
    : Chart(path, MayHoldNoTable {})
{
    if (mCgats->GetNrTables() < 1)
        Fail("no data table");
}

Chart::Chart(const std::string& path, MayHoldNoTable)
    : mPath(path)
{
    // Read here rather than by the library, which would wait on a FIFO and call every failure
    // to open "not found".
    const std::string text = ReadInput(path);
    mCgats = std::make_unique<TCgats>(text.c_str(), 0);
    if (mCgats->GetErrorCode() != 0) {
        // "FILE:LINE: message (code N)", as compilers and the peers place a fault.
        const int line = mCgats->GetErrorLine();
        throw InputError(
            mPath + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + CgatsMessage(*mCgats),
            mPath, 0, mCgats->GetErrorCode());
    }
    // "FILE:LINE: text", as failures are placed.
    for (const std::string& w : mCgats->GetReadWarnings())
        mReadWarnings.push_back(mPath + (w.compare(0, 5, "line ") == 0 ? ":" + w.substr(5) : ": " + w));
}

Chart::Chart(const TCgats& cgats, const std::string& name)
    : mPath(name)
    , mCgats(std::make_unique<TCgats>(cgats))
{
    if (mCgats->GetErrorCode() != 0)
        Fail(CgatsMessage(*mCgats));
    if (mCgats->GetNrTables() < 1)
        Fail("no data table");
}

TCMS::FilterStandard DensityStandard(const std::string& name)
{
    const char** names = TSpectrum::GetDensityList();
    std::string known;
    for (int i = 0; names[i]; ++i) {
        if (strcasecmp(names[i], name.c_str()) == 0)
            return static_cast<TCMS::FilterStandard>(i);
        known += (i ? ", \"" : "\"") + std::string(names[i]) + '"';
    }
    throw Error("unknown density standard \"" + name + "\" (known: " + known + ")");
}

std::shared_ptr<TOneMeasurement> Chart::DensitySample(int t, int s, Colorimetry& colorimetry) const
{
    const TableIntegration& integration = Integration(t, colorimetry);
    if (!integration.fine || !integration.finer)
        return Measurement(t, s, colorimetry);
    std::vector<double> values;
    double grid[TSpectrum::kNrUniform];
    if (mCgats->GetSpectrum(t, s, values) != 0
        || integration.fine->GetGridValues(values.data(), static_cast<int>(values.size()), grid) != 0)
        Fail("sample " + std::to_string(s + 1) + " of table " + std::to_string(t)
            + " cannot be read as a measurement");
    const TMeasGeom geometry;
    return std::make_shared<TReflectionSpectrum>(grid, &geometry);
}

std::shared_ptr<TOneMeasurement> Chart::ColourSample(int t, int s, Colorimetry& colorimetry) const
{
    const TableIntegration& integration = Integration(t, colorimetry);
    if (!integration.fine)
        return Measurement(t, s, colorimetry);
    TMeasGeom geometry = mGeometry;
    std::shared_ptr<TOneMeasurement> m = mCgats->GetMeasurement(t, s, *integration.fine, &geometry);
    if (!m)
        Fail("sample " + std::to_string(s + 1) + " of table " + std::to_string(t)
            + " cannot be read as a measurement");
    return m;
}

int Chart::FindSample(int table, const std::string& which, const std::string& purpose) const
{
    const int n = NrSamples(table);
    for (int s = 0; s < n; ++s)
        if (SampleName(table, s) == which)
            return s;
    if (!which.empty() && which.find_first_not_of("0123456789") == std::string::npos && which.size() < 9) {
        const int number = std::stoi(which);
        if (number >= 1 && number <= n)
            return number - 1;
    }
    Fail("no sample \"" + which + "\" " + purpose);
}

Chart::Chart(const Chart& other, ShareData)
    : mPath(other.mPath)
    , mCgats(other.mCgats)
    , mGeometry(other.mGeometry)
    , mReadWarnings(other.mReadWarnings)
{ }

void Chart::Fail(const std::string& text) const { throw Error(mPath + ": " + text); }

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
    if (mCgats->GetSampleLabel(table, sample, name) == 0)
        return name;
    return std::to_string(sample + 1);
}

int Chart::ColourTable(int requested) const
{
    if (requested >= 0)
        return requested;
    for (int t = 0; t < NrTables(); ++t)
        if (Offers(t) != ColourData::None)
            return t;
    Fail("no table with colour data (spectra, Lab or XYZ)");
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

std::shared_ptr<TOneMeasurement> Chart::Measurement(int table, int sample, Colorimetry& colorimetry) const
{
    if (Offers(table) == ColourData::None)
        Fail("no colour data (neither spectra nor Lab nor XYZ) in table " + std::to_string(table));
    TMeasGeom geometry = mGeometry;
    std::shared_ptr<TOneMeasurement> m
        = mCgats->GetMeasurement(table, sample, colorimetry.Illuminant(), colorimetry.Observer(), &geometry);
    if (!m)
        Fail("sample " + std::to_string(sample + 1) + " of table " + std::to_string(table)
            + " cannot be read as a measurement");
    return m;
}

const TableIntegration& Chart::Integration(int table, const Colorimetry& colorimetry) const
{
    const std::lock_guard<std::mutex> lock(mIntegrationLock);
    std::unique_ptr<TableIntegration>& slot = mIntegrations[{ table, &colorimetry }];
    if (slot)
        return *slot;
    slot = std::make_unique<TableIntegration>();
    if (Offers(table) != ColourData::Spectrum)
        return *slot;
    slot->method = kGridMethod;
    std::vector<double> wavelengths;
    if (!colorimetry.AtOwnResolution() || mCgats->GetWaveLengths(table, wavelengths) != 0)
        return *slot;
    const int n = static_cast<int>(wavelengths.size());
    const bool finer = TFineIntegration::IsFinerThanGrid(wavelengths.data(), n);
    const int step = TFineIntegration::EvenStep(wavelengths.data(), n);
    const auto request = static_cast<TFineIntegration::Request>(colorimetry.Request());
    // Uneven data coarser than 10 nm stay on the grid unless a method is asked for.
    if (request == TFineIntegration::kAuto && !finer && step != kAstmStep10 && step != kAstmStep20)
        return *slot;
    auto fine = std::make_unique<TFineIntegration>(colorimetry.Illuminant(), colorimetry.Observer(), request);
    double white[3];
    int status = fine->ErrNo() != 0 ? fine->ErrNo() : fine->SetWavelengths(wavelengths.data(), n);
    if (status == 0)
        status = fine->GetXYZWhite(white);
    if (status != 0)
        Fail("table " + std::to_string(table) + ": its spectra cannot be integrated under "
            + colorimetry.Describe() + ": " + TFineIntegration::GetStatusText(status) + " (status "
            + std::to_string(status) + ")");
    slot->finer = finer;
    slot->lab = std::make_unique<TLabSpace>(white);
    slot->method = fine->GetMethodName();
    slot->fine = std::move(fine);
    return *slot;
}

void Chart::Lab(int table, int sample, Colorimetry& colorimetry, double* lab) const
{
    Lab(table, sample, colorimetry, nullptr, lab);
}

void Chart::Colour(int table, int sample, Colorimetry& colorimetry, double* xyz, double* lab) const
{
    if (!xyz) {
        Lab(table, sample, colorimetry, lab);
        return;
    }
    // Each row is read and integrated once, its Lab taken from its XYZ as Lab would compute it.
    const TableIntegration& integration = Integration(table, colorimetry);
    if (Adapted(table) || integration.fine) {
        Xyz(table, sample, colorimetry, xyz);
        const int rc = (integration.fine ? *integration.lab : colorimetry.Lab()).XYZToLab(xyz, lab);
        if (rc != 0)
            FailColour(sample, "Lab", colorimetry, rc);
        return;
    }
    auto m = Measurement(table, sample, colorimetry);
    int rc = m->GetXYZ(colorimetry.Illuminant(), colorimetry.Observer(), xyz);
    if (rc != 0)
        FailColour(sample, "XYZ", colorimetry, rc);
    rc = m->GetLAB(colorimetry.Illuminant(), colorimetry.Observer(), colorimetry.White(), lab);
    if (rc != 0)
        FailColour(sample, "Lab", colorimetry, rc);
}

void Chart::FailColour(int sample, const char* what, const Colorimetry& colorimetry, int status) const
{
    Fail("sample " + std::to_string(sample + 1) + ": no " + what + " under " + colorimetry.Describe()
        + " (status " + std::to_string(status) + ")");
}

bool Chart::Adapted(int table) const { return mAdaptation && Offers(table) != ColourData::Spectrum; }

void Chart::Xyz(int table, int sample, Colorimetry& colorimetry, double* xyz) const
{
    const TableIntegration& integration = Integration(table, colorimetry);
    int rc = 0;
    if (Adapted(table)) {
        // Colorimetric data stated for other conditions are taken under those (stated Lab
        // relative to the stated illuminant's white), then adapted.
        std::vector<double> stated;
        if (Offers(table) == ColourData::Lab) {
            rc = mCgats->GetLab(table, sample, stated) == 0 && stated.size() == 3
                ? TLabSpace(mSourceWhite).LabToXYZ(stated.data(), xyz)
                : -1;
        } else {
            auto m = Measurement(table, sample, *mSource);
            rc = m->GetXYZ(mSource->Illuminant(), mSource->Observer(), xyz);
        }
        if (rc == 0 && mAdaptation->Adapt(xyz, xyz) != 0)
            rc = -2;
    } else if (integration.fine) {
        std::vector<double> values;
        if (mCgats->GetSpectrum(table, sample, values) != 0)
            Fail("sample " + std::to_string(sample + 1) + " of table " + std::to_string(table)
                + " cannot be read as a measurement");
        rc = integration.fine->GetXYZ(values.data(), static_cast<int>(values.size()), xyz);
    } else {
        auto m = Measurement(table, sample, colorimetry);
        rc = m->GetXYZ(colorimetry.Illuminant(), colorimetry.Observer(), xyz);
    }
    if (rc != 0)
        FailColour(sample, "XYZ", colorimetry, rc);
}

void Chart::Lab(int table, int sample, Colorimetry& colorimetry, const double* white, double* lab) const
{
    int rc = 0;
    if (white) {
        double xyz[3];
        Xyz(table, sample, colorimetry, xyz);
        rc = TLabSpace(white).XYZToLab(xyz, lab);
    } else if (Adapted(table)) {
        double xyz[3];
        Xyz(table, sample, colorimetry, xyz);
        rc = colorimetry.Lab().XYZToLab(xyz, lab);
    } else if (const TableIntegration& integration = Integration(table, colorimetry); integration.fine) {
        double xyz[3];
        Xyz(table, sample, colorimetry, xyz);
        rc = integration.lab->XYZToLab(xyz, lab);
    } else {
        auto m = Measurement(table, sample, colorimetry);
        rc = m->GetLAB(colorimetry.Illuminant(), colorimetry.Observer(), colorimetry.White(), lab);
    }
    if (rc != 0)
        FailColour(sample, "Lab", colorimetry, rc);
}

bool Chart::HasColorimetricTable() const
{
    for (int t = 0; t < NrTables(); ++t)
        if (Offers(t) == ColourData::Lab || Offers(t) == ColourData::Xyz)
            return true;
    return false;
}

void Chart::UseConditions(const CommonOptions& common, Colorimetry& used, int table)
{
    mSource.reset();
    mAdaptation.reset();
    mAdaptationText.clear();
    if (!HasColorimetricTable())
        return;
    const Conditions stated = Stated(table);
    const std::string observer = stated.observer.empty() ? kDefaultObserver : stated.observer;
    const std::string illuminant
        = stated.illuminant.empty() ? kDefaultIlluminant : ResolveIlluminant(used.Set(), stated.illuminant);
    if (illuminant.empty())
        Fail("it states the illuminant \"" + stated.illuminant + "\", which is not in "
            + used.Set().Directory());
    const std::string asked = used.Describe();
    if (observer != used.Observer()->GetName())
        Fail("its colorimetric data are for the " + stated.Describe() + ", not " + asked
            + " as asked; another observer needs spectra");
    if (strcasecmp(illuminant.c_str(), used.Illuminant()->GetName()) == 0)
        return;
    if (common.adapt.empty())
        Fail("its colorimetric data are under " + stated.Describe() + ", not " + asked
            + " as asked; --adapt bradford, cat02 or cat16 adapts them");
    CommonOptions options = common;
    options.illuminant = illuminant;
    options.observer = observer;
    mSource = std::make_unique<Colorimetry>(options);
    // CIE 15's white where it tabulates one, so that stated Lab is decoded as its writer encoded it.
    if (!Cie15White(illuminant, observer, mSourceWhite))
        std::copy(mSource->White(), mSource->White() + 3, mSourceWhite);
    const int method = AdaptationMethod(common.adapt);
    mAdaptation = std::make_unique<TChromaticAdaptation>(method, mSourceWhite, used.White());
    if (mAdaptation->ErrNo() != 0)
        Fail("its data cannot be adapted from " + mSource->Describe() + " to " + asked);
    mAdaptationText = DescribeAdaptation(TChromaticAdaptation::GetMethodList()[method], illuminant,
        mSourceWhite, used.Illuminant()->GetName(), used.White());
}

void Chart::AdaptColumns(const CommonOptions& common, Colorimetry& used)
{
    UseConditions(common, used);
    if (mAdaptationText.empty())
        return;
    static const char* const kColumns[2][3]
        = { { "LAB_L", "LAB_A", "LAB_B" }, { "XYZ_X", "XYZ_Y", "XYZ_Z" } };
    for (int t = 0; t < NrTables(); ++t) {
        if (!Adapted(t))
            continue;
        for (int s = 0; s < NrSamples(t); ++s) {
            double values[2][3];
            Colour(t, s, used, values[1], values[0]);
            for (int kind = 0; kind < 2; ++kind)
                for (int k = 0; k < 3; ++k) {
                    const int field = mCgats->GetFieldNameIndex(t, kColumns[kind][k]);
                    if (field >= 0 && mCgats->SetNumber(t, s, field, Computed(values[kind][k])) != 0)
                        Fail(std::string("the ") + kColumns[kind][k] + " column of table " + std::to_string(t)
                            + " could not be rewritten");
                }
        }
    }
    if (mCgats->SetStatedConditions(used.Illuminant()->GetName(), used.Observer()->GetName()) != 0)
        Fail("the adapted conditions could not be stated");
}

} // namespace tintvale::qc
