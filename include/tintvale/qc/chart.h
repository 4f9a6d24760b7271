// A measurement data file as the subcommands use it: read through TCgats, with failures turned into
// one line naming the file and the library's message and code, and its samples as measurements.
#ifndef TINTVALE_QC_CHART_H
#define TINTVALE_QC_CHART_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/conditions.h>
#include <tintvale/qc/context.h>

#include <tintvale/tchromaticadaptation.h>

#include <tintvale/tcgats.h>
#include <tintvale/tfineintegration.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tonemeasurement.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tintvale::qc {

// What colour data one table offers, in the order the tool prefers it.
enum class ColourData { None, Spectrum, Lab, Xyz };

// How the colours of one table are computed: spectra at their own wavelengths (fine set, with
// CIELAB relative to the white of the same weights: ASTM E308 for 10- and 20-nm data, CIE 15 for
// finer data), everything else as the library's measurements, on the 36-sample grid.
struct TableIntegration {
    std::unique_ptr<TFineIntegration> fine;
    bool finer = false; // the spectra are finer than the 10-nm grid (densities take their bands)
    std::unique_ptr<TLabSpace> lab;
    std::string method; // written with the results; empty when the table has no spectra
};

// The densities' order: cyan (red filter), magenta (green), yellow (blue), visual.
inline constexpr const char* kFilterLetters[] = { "C", "M", "Y", "V" };

// A density standard by its name (letter case ignored); fails listing the names.
TINTVALE_QC_API TCMS::FilterStandard DensityStandard(const std::string& name);

class TINTVALE_QC_API Chart {
public:
    // Reads the file; fails when it cannot be read or holds no table.
    explicit Chart(const std::string& path);
    // The same, but a file without tables (a CxF3 file without objects, a header alone) is read.
    struct MayHoldNoTable { };
    Chart(const std::string& path, MayHoldNoTable);
    // A copy of a file already read; name stands for its path in messages.
    Chart(const TCgats& cgats, const std::string& name);
    // A copy for another thread that shares the file's data, which the library's queries only read
    // (a large reference is held once however many threads compare against it); the conditions
    // and integrations of each comparison stay the copy's own. Cgats() must not change it then.
    struct ShareData { };
    Chart(const Chart& other, ShareData);
    Chart(const Chart& other) = delete;
    Chart& operator=(const Chart&) = delete;

    const std::string& Path() const { return mPath; }
    // What reading found doubtful but read, each "FILE:LINE: text" (or "FILE: table T: text").
    const std::vector<std::string>& ReadWarnings() const { return mReadWarnings; }
    const TCgats& Cgats() const { return *mCgats; }
    TCgats& Cgats() { return *mCgats; }
    int NrTables() const;
    // Fails when table is not one of the file's tables.
    void CheckTable(int table) const;
    int NrSamples(int table) const;
    // requested when it is a table index (>= 0), else the first table with colour data; fails when
    // there is none. Files may hold tables of other kinds (calibration curves) beside measurements.
    int ColourTable(int requested) const;
    // The sample's name (SampleID, SAMPLE_ID or SAMPLE_NAME), or its number from 1 without names.
    std::string SampleName(int table, int sample) const;
    ColourData Offers(int table) const;
    // The sample as the library's measurement of it (reflectance spectrum, Lab or XYZ triple,
    // whichever the table has first) under colorimetry's illuminant and observer. Fails when the
    // table has no colour data or the row cannot be read.
    std::shared_ptr<TOneMeasurement> Measurement(int table, int sample, Colorimetry& colorimetry) const;
    // CIELAB of the sample under colorimetry's illuminant and observer, integrated as
    // Integration(table) says.
    void Lab(int table, int sample, Colorimetry& colorimetry, double* lab) const;
    // Made once per table and colorimetry, on first use; safe to call from several threads.
    const TableIntegration& Integration(int table, const Colorimetry& colorimetry) const;
    // XYZ (unless xyz is null) and CIELAB of the sample under colorimetry (XYZ on its white's
    // scale, Y = 100).
    void Colour(int table, int sample, Colorimetry& colorimetry, double* xyz, double* lab) const;

    // Makes the colorimetric tables (Lab, XYZ without spectra) answer under used, from the
    // conditions the file states (D50 and 2 degree when none): another observer is refused, as it
    // needs spectra; another illuminant is refused unless common.adapt names a chromatic
    // adaptation. Spectral tables are computed under used whatever the file states. The stated
    // conditions are those of table (see ConditionsTable: the first colour table by default).
    void UseConditions(const CommonOptions& common, Colorimetry& used, int table = -1);
    // The conditions the file states for table (see ConditionsTable).
    Conditions Stated(int table = -1) const { return StatedConditions(*mCgats, table); }
    // Whether some table has Lab or XYZ without spectra.
    bool HasColorimetricTable() const;
    // UseConditions, then the Lab and XYZ columns of the colorimetric tables rewritten as adapted
    // to used and the file stating used's conditions (what averaging files of other illuminants
    // needs); nothing changes when the file states used's illuminant.
    void AdaptColumns(const CommonOptions& common, Colorimetry& used);
    // What UseConditions adapted: the method and both whites; empty when nothing was adapted.
    const std::string& Adaptation() const { return mAdaptationText; }

    // CIELAB relative to another white (XYZ on the scale where the perfect white has Y = 100); a
    // null white: as the 4-argument form.
    void Lab(int table, int sample, Colorimetry& colorimetry, const double* white, double* lab) const;
    // XYZ of the sample under colorimetry's illuminant and observer.
    void Xyz(int table, int sample, Colorimetry& colorimetry, double* xyz) const;

    // The sample as colour measurements need it: integrated at its own wavelengths when
    // Integration(table) says so (a Lab measurement relative to the white of the same weights),
    // else Measurement.
    std::shared_ptr<TOneMeasurement> ColourSample(int table, int sample, Colorimetry& colorimetry) const;
    // The sample as densities need it: the status filters are tabulated at 10 nm, so spectra finer
    // than that (integrated at their own resolution) reach them as a 10-nm instrument reports, each
    // grid value the band around it; otherwise Measurement.
    std::shared_ptr<TOneMeasurement> DensitySample(int table, int sample, Colorimetry& colorimetry) const;
    // The sample named which, else numbered which (from 1); fails with "no sample "which" " + purpose.
    int FindSample(int table, const std::string& which, const std::string& purpose) const;

    // "FILE: " + text, as a Error.
    [[noreturn]] void Fail(const std::string& text) const;

private:
    std::string mPath;
    std::shared_ptr<TCgats> mCgats;
    TMeasGeom mGeometry;
    mutable std::mutex mIntegrationLock;
    mutable std::map<std::pair<int, const Colorimetry*>, std::unique_ptr<TableIntegration>> mIntegrations;
    // Whether table's colour is adapted from the stated conditions.
    bool Adapted(int table) const;
    // "FILE: sample N: no WHAT under CONDITIONS (status S)".
    [[noreturn]] void FailColour(
        int sample, const char* what, const Colorimetry& colorimetry, int status) const;
    // The stated conditions and their adaptation to those used, when they differ.
    std::unique_ptr<Colorimetry> mSource;
    std::unique_ptr<TChromaticAdaptation> mAdaptation;
    double mSourceWhite[3] = {}; // the stated illuminant's white, by which stated Lab is decoded
    std::string mAdaptationText;
    std::vector<std::string> mReadWarnings;
};

} // namespace tintvale::qc

#endif
