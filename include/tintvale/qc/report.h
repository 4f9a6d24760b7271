// Reports: results as named sections of rows or of key/value pairs, rendered as an aligned table,
// CSV or JSON text; and the reports of a comparison and of tone values, as every front end shows them.
#ifndef TINTVALE_QC_REPORT_H
#define TINTVALE_QC_REPORT_H

#include <tintvale/qc/cell.h>
#include <tintvale/qc/export.h>

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tintvale::qc {

enum class Format { Table, Csv, Json };

// "table", "csv" or "json"; throws Error otherwise.
TINTVALE_QC_API Format ParseFormat(const std::string& name);

// Hands each of a section's further rows to its argument, in order.
using RowSource = std::function<void(const std::function<void(const std::vector<Cell>&)>&)>;

// Rows under column names, or (keyValue) one row shown as "name: value" lines.
struct Section {
    std::string name;
    std::vector<std::string> columns;
    std::vector<std::vector<Cell>> rows;
    bool keyValue = false;
    std::string within; // JSON: written inside the key/value section of that name
    // Rows after those of rows, made as they are written, so that a list as long as a file's
    // header costs no memory of its own (may be read more than once).
    RowSource moreRows;
};

class TINTVALE_QC_API Report {
public:
    Section& AddTable(const std::string& name, std::vector<std::string> columns);
    Section& AddKeyValues(const std::string& name);
    // Appends a key/value pair to a section made by AddKeyValues.
    static void Put(Section& section, const std::string& key, Cell value);

    // Writes the section named section (with the sections within it), or with an empty name every
    // section; CSV holds one table,
    // so it writes the first section then. An unknown name throws std::invalid_argument naming the
    // sections there are.
    void Write(std::ostream& out, Format format, const std::string& section = {}) const;

private:
    void WriteTable(std::ostream& out, const std::vector<const Section*>& sections) const;
    void WriteCsv(std::ostream& out, const Section& section) const;
    void WriteJson(std::ostream& out, const std::vector<const Section*>& sections) const;

    std::vector<Section> mSections;
};

struct Comparison;
struct ToleranceResult;
struct ToneOptions;
struct ToneValues;

// The summary of a comparison (see Summary) as a section of key/value pairs.
TINTVALE_QC_API void PutSummary(Section& summary, const Comparison& c);
// The sections "tolerances" (name, source, formula, verdict) and "groups" within it (name, select,
// metric, count, mean, p95, max, verdict; no statistics for an empty group).
TINTVALE_QC_API void AddToleranceSections(Report& report, const ToleranceResult& result);
// A comparison as the sections "samples" (both Lab values and the differences of every patch),
// "summary", with a tolerance set "tolerances" and "groups", "warnings" and, except in a table,
// "unmatched" (a table names unmatched samples among the warnings, and leaves out an empty list).
TINTVALE_QC_API Report ComparisonReport(const Comparison& c, Format format);
// ComparisonReport written as text: every section, or the one named (CSV: the first).
TINTVALE_QC_API std::string RenderComparison(
    const Comparison& c, Format format, const std::string& section = {});
// Tone values as the section "tone_values" (a row per tint), or, as JSON of every section, the
// channels with their points nested.
TINTVALE_QC_API std::string RenderToneValues(
    const ToneValues& values, const ToneOptions& options, Format format, const std::string& section = {});

} // namespace tintvale::qc

#endif
