// Report: what a subcommand prints, as named sections of rows or of key/value pairs, rendered as an
// aligned table, CSV or JSON.
#ifndef TINTVALE_TOOL_REPORT_H
#define TINTVALE_TOOL_REPORT_H

#include "qc_cell.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tool {

enum class Format { Table, Csv, Json };

Format ParseFormat(const std::string& name);

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

class Report {
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

} // namespace tool

#endif
