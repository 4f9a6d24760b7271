// The illuminant and observer colorimetric data are under: what a file states, which conditions a
// command computes under, and the refusal or adaptation of data stated for others.
#ifndef TINTVALE_QC_CONDITIONS_H
#define TINTVALE_QC_CONDITIONS_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/context.h>

#include <string>
#include <vector>

class TCgats;

namespace tintvale::qc {

struct TINTVALE_QC_API Conditions {
    std::string illuminant; // as the file writes it; empty when it states none
    std::string observer; // "2 degree", "10 degree" (or as written); empty when it states none
    // "D50, 2 degree observer", with what an empty part means.
    std::string Describe() const;
};

// The table whose conditions count: table when it is one (>= 0), else the first table with
// spectra, Lab or XYZ (else 0). Every condition below is looked up for that table: its own section's
// statements, then the file header's (one place: TCgats::GetTableIlluminant and its siblings).
TINTVALE_QC_API int ConditionsTable(const TCgats& cgats, int table);
// What the file states for the colorimetric data of table (see ConditionsTable).
TINTVALE_QC_API Conditions StatedConditions(const TCgats& cgats, int table = -1);
// The name in set of a stated illuminant ("D50", "CIE D50" or a name of the set, letter case
// ignored), or empty when the set has none such.
TINTVALE_QC_API std::string ResolveIlluminant(IlluminantSet& set, const std::string& stated);
// The index of a chromatic adaptation method by name (letter case ignored); fails listing them.
TINTVALE_QC_API int AdaptationMethod(const std::string& name);
// The white point (Y = 100) of an illuminant for an observer ("2 degree" or "10 degree") as CIE
// 15:2004 Table T.3 tabulates it, for the illuminant name of a shipped set (letter case ignored);
// false when the table has none for it.
TINTVALE_QC_API bool Cie15White(const std::string& illuminant, const std::string& observer, double* white);
// What an adaptation did, for the outputs: "bradford from D65 (95.047, 100, 108.883) to CIE
// Illuminant D50 (96.4, 100, 82.5)".
TINTVALE_QC_API std::string DescribeAdaptation(const std::string& method, const std::string& from,
    const double* fromWhite, const std::string& to, const double* toWhite);

// What the data of files are compared or computed under: what common asks, else the conditions
// of the first file with colorimetric data (as it states, else D50 and 2 degree), else those the
// first file states, else D50 and 2 degree. known: the illuminant set to resolve a stated name in,
// when one is loaded already (else the set common names is loaded). tables: the table of each file
// compared or computed (missing ones: the first colour table).
TINTVALE_QC_API CommonOptions ChosenConditions(const CommonOptions& common,
    const std::vector<const TCgats*>& files, IlluminantSet* known = nullptr,
    const std::vector<int>& tables = {});

// What two files state differently about how they were measured or computed: a sentence per
// MEASUREMENT_CONDITION (M0, M1, M2 ...) or weighting function both state and differ in.
// The tables are those compared (see ConditionsTable).
TINTVALE_QC_API std::vector<std::string> ConditionWarnings(const TCgats& reference,
    const std::string& referenceName, const TCgats& sample, const std::string& sampleName,
    int referenceTable = -1, int sampleTable = -1);
// The conditions a file states, for a reader: illuminant and observer (or what is assumed), and
// its measurement condition when it states one.
TINTVALE_QC_API std::string DescribeFileConditions(const TCgats& cgats, int table = -1);
// Who made the file and what it is, for a reader: its creator, description, instrument and the
// object types of its samples (as CxF3 files give them); empty when it states none.
TINTVALE_QC_API std::string DescribeFileSource(const TCgats& cgats);
// The distinct object types of the file's samples (the OBJECT_TYPE field a CxF3 file gives), in
// order of appearance, joined by ", "; empty without such a field.
TINTVALE_QC_API std::string ObjectTypes(const TCgats& cgats);

} // namespace tintvale::qc

#endif
