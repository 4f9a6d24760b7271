// What every subcommand shares: the common options, the illuminant set with the chosen illuminant and
// observer, and the one way a failure is reported.
#ifndef TINTVALE_QC_CONTEXT_H
#define TINTVALE_QC_CONTEXT_H

#include <tintvale/qc/export.h>

#include <tintvale/tfineintegration.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tobserver.h>

#include <memory>
#include <stdexcept>
#include <string>

class TIlluminant;

namespace tintvale::qc {

// A failure the user must hear about, in one line: the tool prints it and exits with 2, Python raises it.
class TINTVALE_QC_API Error : public std::runtime_error {
public:
    explicit Error(const std::string& text)
        : std::runtime_error(text)
    { }
    ~Error() override; // out of line: one type for the library and its hosts
};

// What CGATS.17 and ISO 13655 mean when a file states no conditions, and what is used when
// neither the command nor the data say otherwise.
constexpr const char* kDefaultIlluminant = "CIE Illuminant D50";
constexpr const char* kDefaultObserver = "2 degree";

struct CommonOptions {
    std::string illuminant; // empty: as the data state, else kDefaultIlluminant
    std::string observer; // empty: as the data state, else kDefaultObserver
    std::string adapt; // chromatic adaptation of colorimetric data to the illuminant asked; empty: none
    bool strictConditions = false; // differing measurement conditions are an error, not a warning
    std::string illuminantDir; // empty: the shipped set
    std::string format = "table";
    std::string integration = "auto"; // "astm-e308", "cie15", or "grid": every spectrum on the 36-sample grid
    std::string section; // empty: the whole report (csv: its first section)
    std::string program; // argv[0], to find the shipped set beside an installed binary
    std::string toleranceDir; // empty: the shipped tolerance sets, found as the illuminants are
    std::string shipped; // a data directory to look in first (illuminants/, tolerances/), if any
};

// The directory of illuminant files: the one given, else the shipped set, looked for in
// options.shipped, beside the installed QC library and beside the installed program (each
// ../share/tintvale/illuminants), in the configured installation and in the source tree the library
// was built from.
TINTVALE_QC_API std::string IlluminantDirectory(const CommonOptions& options);

// The illuminant set loaded from a directory. Fails when the directory holds no illuminant file.
class TINTVALE_QC_API IlluminantSet {
public:
    explicit IlluminantSet(const std::string& directory);
    const std::string& Directory() const { return mDirectory; }
    TIlluminantFactory& Factory() { return mFactory; }
    // The illuminant of that name (letter case ignored); fails with the names that exist.
    TIlluminant* Find(const std::string& name);

private:
    std::string mDirectory;
    TIlluminantFactory mFactory;
};

// The chosen illuminant and observer, the integration over the library's 36-sample grid, the white
// (Y = 100) and CIELAB relative to it.
class TINTVALE_QC_API Colorimetry {
public:
    explicit Colorimetry(const CommonOptions& options);
    TIlluminant* Illuminant() const { return mIlluminant; }
    TObserver* Observer() { return &mObserver; }
    const TObserver* Observer() const { return &mObserver; }
    const TIlluminantAndObserver& Integrator() const { return *mIntegrator; }
    // The matching-spectrum search is a non-const operation of the integration object.
    TIlluminantAndObserver& Integrator() { return *mIntegrator; }
    const double* White() const { return mWhite; }
    const TLabSpace& Lab() const { return *mLab; }
    std::string Describe() const;
    // Whether it was made for the illuminant and observer options name (empty: the defaults).
    bool MadeFor(const CommonOptions& options) const;
    // Whether spectra are integrated at their own wavelengths (TFineIntegration), not on the grid.
    bool AtOwnResolution() const { return mRequest >= 0; }
    // The TFineIntegration::Request of --integration, or -1 for the grid.
    int Request() const { return mRequest; }
    IlluminantSet& Set() { return mSet; }

private:
    IlluminantSet mSet;
    TIlluminant* mIlluminant = nullptr;
    TObserver mObserver;
    std::unique_ptr<TIlluminantAndObserver> mIntegrator;
    double mWhite[3] = {};
    std::unique_ptr<TLabSpace> mLab;
    int mRequest = TFineIntegration::kAuto;
};

// The name written with results computed on the 36-sample grid.
extern TINTVALE_QC_API const char* const kGridMethod;
// Parses --integration: a TFineIntegration::Request ("auto", "astm-e308", "cie15") or -1 for "grid".
TINTVALE_QC_API int IntegrationRequest(const std::string& name);
// Names in the order people read them: runs of digits compare by their value ("F2" before "F10").
TINTVALE_QC_API bool NaturalLess(const std::string& a, const std::string& b);

// Index of a colour-difference formula by its name or an alias (letter case ignored); fails listing
// the names. The CIELAB formulas keep their library indices; the appearance-space differences
// (TAppearanceModel's "cam02-ucs" ... "cam16-scd") follow them.
TINTVALE_QC_API int FormulaIndex(const std::string& name);
// The name of a formula index FormulaIndex gave.
TINTVALE_QC_API const char* FormulaName(int index);
// Row of TAppearanceModel's formula table for an appearance-space index; -1 for a CIELAB formula.
TINTVALE_QC_API int AppearanceFormula(int index);
// The formula names with their aliases, for help texts and messages.
TINTVALE_QC_API std::string FormulaNames();

} // namespace tintvale::qc

#endif
