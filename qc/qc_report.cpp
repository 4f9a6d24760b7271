// Rendering of reports as an aligned table, CSV or JSON.
#include <tintvale/qc/report.h>

#include <tintvale/qc/compare.h>
#include <tintvale/qc/context.h>
#include <tintvale/qc/text.h>
#include <tintvale/qc/tolerances.h>
#include <tintvale/qc/tone.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <tintvale/tspectrum.h>
#include <utility>

namespace tintvale::qc {

Format ParseFormat(const std::string& name)
{
    if (name == "table")
        return Format::Table;
    if (name == "csv")
        return Format::Csv;
    if (name == "json")
        return Format::Json;
    throw Error("unknown format \"" + name + "\" (table, csv or json)");
}

Section& Report::AddTable(const std::string& name, std::vector<std::string> columns)
{
    mSections.push_back(Section { name, std::move(columns), {}, false, {}, {} });
    return mSections.back();
}

Section& Report::AddKeyValues(const std::string& name)
{
    mSections.push_back(Section { name, {}, { {} }, true, {}, {} });
    return mSections.back();
}

void Report::Put(Section& section, const std::string& key, Cell value)
{
    section.columns.push_back(key);
    section.rows.front().push_back(std::move(value));
}

void Report::Write(std::ostream& out, Format format, const std::string& section) const
{
    std::vector<const Section*> chosen;
    std::string names;
    for (const Section& s : mSections) {
        if (section.empty() || s.name == section || (!s.within.empty() && s.within == section))
            chosen.push_back(&s);
        names += (names.empty() ? "" : ", ") + s.name;
    }
    if (chosen.empty())
        throw std::invalid_argument("no section \"" + section + "\" in this report (" + names + ")");
    switch (format) {
    case Format::Table:
        WriteTable(out, chosen);
        break;
    case Format::Csv:
        WriteCsv(out, *chosen.front());
        break;
    case Format::Json:
        WriteJson(out, chosen);
        break;
    }
}

namespace {

// Text for a terminal: control characters (a file's names may hold escape sequences) shown as \xNN.
std::string Printable(const std::string& text)
{
    std::string shown;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte != 0x7f) {
            shown += ch;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
        shown += escaped;
    }
    return shown;
}

// Every row of s: its rows, then those moreRows makes.
void ForEachRow(const Section& s, const std::function<void(const std::vector<Cell>&)>& visit)
{
    for (const auto& row : s.rows)
        visit(row);
    if (s.moreRows)
        s.moreRows(visit);
}

void WriteAligned(std::ostream& out, const Section& s)
{
    std::vector<std::size_t> width(s.columns.size(), 0);
    std::vector<bool> numeric(s.columns.size(), true);
    std::vector<bool> blank(s.columns.size(), false); // an empty text cell: a row without that value
    std::vector<bool> anyNumber(s.columns.size(), false);
    for (std::size_t c = 0; c < s.columns.size(); ++c)
        width[c] = s.columns[c].size();
    ForEachRow(s, [&](const std::vector<Cell>& row) {
        for (std::size_t c = 0; c < row.size() && c < width.size(); ++c) {
            width[c] = std::max(width[c], Printable(row[c].Shown()).size());
            const bool empty = !row[c].isNumber && row[c].text.empty();
            numeric[c] = numeric[c] && (row[c].isNumber || empty);
            blank[c] = blank[c] || empty;
            anyNumber[c] = anyNumber[c] || row[c].isNumber;
        }
    });
    // Blanks leave a column of numbers one, but do not make one.
    for (std::size_t c = 0; c < numeric.size(); ++c)
        numeric[c] = numeric[c] && (anyNumber[c] || !blank[c]);
    auto line = [&](auto cellText) {
        std::string text;
        for (std::size_t c = 0; c < width.size(); ++c) {
            const std::string v = cellText(c);
            const std::string pad(width[c] - std::min(width[c], v.size()), ' ');
            if (c > 0)
                text += "  ";
            text += numeric[c] ? pad + v : v + (c + 1 < width.size() ? pad : "");
        }
        out << text << '\n';
    };
    line([&](std::size_t c) { return s.columns[c]; });
    ForEachRow(s, [&](const std::vector<Cell>& row) {
        line([&](std::size_t c) { return c < row.size() ? Printable(row[c].Shown()) : std::string(); });
    });
}

void WriteKeyValues(std::ostream& out, const Section& s)
{
    std::size_t width = 0;
    for (const auto& key : s.columns)
        width = std::max(width, key.size());
    const auto& row = s.rows.front();
    for (std::size_t c = 0; c < s.columns.size(); ++c)
        out << s.columns[c] << ':' << std::string(width - s.columns[c].size() + 1, ' ')
            << Printable(row[c].Shown()) << '\n';
}

// RFC 4180: a field with a comma, quote or line break is quoted, quotes doubled; the text is
// valid UTF-8 on one line whatever bytes a file name or a set's name held.
std::string CsvField(const std::string& text)
{
    const std::string v = OneLine(text);
    if (v.find_first_of(",\"\r\n") == std::string::npos)
        return v;
    std::string quoted = "\"";
    for (char ch : v) {
        quoted += ch;
        if (ch == '"')
            quoted += '"';
    }
    return quoted + '"';
}

void WriteCsvLine(std::ostream& out, const std::vector<std::string>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        out << (i ? "," : "") << CsvField(fields[i]);
    out << '\n';
}

nlohmann::ordered_json JsonValue(const Cell& cell)
{
    if (!cell.isNumber)
        return cell.text;
    if (!std::isfinite(cell.number))
        return nullptr;
    if (cell.decimals == 0 && std::fabs(cell.number) < 9.0e15)
        return static_cast<long long>(std::llround(cell.number));
    return cell.number;
}

} // namespace

void Report::WriteTable(std::ostream& out, const std::vector<const Section*>& sections) const
{
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (i > 0)
            out << '\n';
        if (sections[i]->keyValue)
            WriteKeyValues(out, *sections[i]);
        else
            WriteAligned(out, *sections[i]);
    }
}

// One table: a header line and its rows, so that any CSV reader takes it as it is.
void Report::WriteCsv(std::ostream& out, const Section& s) const
{
    WriteCsvLine(out, s.columns);
    ForEachRow(s, [&](const std::vector<Cell>& row) {
        std::vector<std::string> fields;
        for (const auto& cell : row)
            fields.push_back(cell.Shown());
        WriteCsvLine(out, fields);
    });
}

// As one document dumped with an indent of 2, but a section whose rows are made as they are written
// is streamed row by row where it stands, never held whole.
void Report::WriteJson(std::ostream& out, const std::vector<const Section*>& sections) const
{
    // Names are bytes from the file; one that is not UTF-8 must not cost the whole output.
    auto dump = [](const nlohmann::ordered_json& value, const std::string& indent) {
        std::string text = value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
        for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
            text.insert(at + 1, indent);
        return text;
    };
    auto rowObject = [](const Section& s, const std::vector<Cell>& row) {
        nlohmann::ordered_json o = nlohmann::ordered_json::object();
        for (std::size_t c = 0; c < s.columns.size() && c < row.size(); ++c)
            o[s.columns[c]] = JsonValue(row[c]);
        return o;
    };
    nlohmann::ordered_json doc = nlohmann::ordered_json::object();
    std::map<std::string, const Section*> streamed;
    for (const Section* section : sections) {
        const Section& s = *section;
        if (s.moreRows && s.within.empty()) {
            doc[s.name] = nullptr; // its place
            streamed[s.name] = &s;
            continue;
        }
        nlohmann::ordered_json& parent = s.within.empty() ? doc : doc[s.within];
        if (s.keyValue) {
            parent[s.name] = rowObject(s, s.rows.front());
        } else {
            nlohmann::ordered_json rows = nlohmann::ordered_json::array();
            ForEachRow(s, [&](const std::vector<Cell>& row) { rows.push_back(rowObject(s, row)); });
            parent[s.name] = rows;
        }
    }
    if (doc.empty()) {
        out << "{}\n";
        return;
    }
    const char* separator = "{";
    for (const auto& item : doc.items()) {
        out << separator << "\n  " << dump(item.key(), "") << ": ";
        separator = ",";
        const auto found = streamed.find(item.key());
        if (found == streamed.end()) {
            out << dump(item.value(), "  ");
            continue;
        }
        bool first = true;
        ForEachRow(*found->second, [&](const std::vector<Cell>& row) {
            out << (first ? "[\n    " : ",\n    ") << dump(rowObject(*found->second, row), "    ");
            first = false;
        });
        out << (first ? "[]" : "\n  ]");
    }
    out << "\n}\n";
}

void PutSummary(Section& summary, const Comparison& c)
{
    for (SummaryEntry& entry : Summary(c))
        Report::Put(summary, entry.name, std::move(entry.value));
}

void AddToleranceSections(Report& report, const ToleranceResult& result)
{
    Section& head = report.AddKeyValues("tolerances");
    Report::Put(head, "name", Cell(result.set.name));
    Report::Put(head, "source", Cell(result.set.source));
    Report::Put(head, "formula", Cell(result.set.formula));
    Report::Put(head, "verdict", Cell(VerdictName(result.verdict)));
    if (!result.note.empty())
        Report::Put(head, "note", Cell(result.note));
    Section& groups
        = report.AddTable("groups", { "name", "select", "metric", "count", "mean", "p95", "max", "verdict" });
    groups.within = "tolerances";
    const double none = std::nan("");
    for (const GroupResult& g : result.groups) {
        const bool empty = g.count == 0;
        groups.rows.push_back({ Cell(g.group.name), Cell(g.group.select.text), Cell(g.group.metric),
            Cell(g.count), Cell(empty ? none : g.mean, 2), Cell(empty ? none : g.p95, 2),
            Cell(empty ? none : g.max, 2), Cell(VerdictName(g.verdict)) });
    }
}

Report ComparisonReport(const Comparison& c, Format format)
{
    Report report;
    Section& table = report.AddTable("samples",
        { "sample", "ref_L", "ref_a", "ref_b", "L", "a", "b", "dE", "dL", "da", "db", "dC", "dH" });
    for (const PatchDifference& p : c.patches)
        table.rows.push_back({ Cell(p.name), Cell(p.labRef[0], 2), Cell(p.labRef[1], 2), Cell(p.labRef[2], 2),
            Cell(p.labSmp[0], 2), Cell(p.labSmp[1], 2), Cell(p.labSmp[2], 2), Cell(p.dE, 2), Cell(p.dL, 2),
            Cell(p.da, 2), Cell(p.db, 2), Cell(p.dC, 2), Cell(p.dH, 2) });
    PutSummary(report.AddKeyValues("summary"), c);
    if (c.tolerances)
        AddToleranceSections(report, *c.tolerances);
    // A table without rows would print its heading alone; JSON keeps its empty list.
    if (!c.warnings.empty() || format != Format::Table) {
        Section& list = report.AddTable("warnings", { "warning" });
        for (const std::string& w : c.warnings)
            list.rows.push_back({ Cell(w) });
    }
    if (format != Format::Table) {
        Section& unmatched = report.AddTable("unmatched", { "sample" });
        for (const std::string& name : c.unmatched)
            unmatched.rows.push_back({ Cell(name) });
    }
    return report;
}

std::string RenderComparison(const Comparison& c, Format format, const std::string& section)
{
    std::ostringstream out;
    ComparisonReport(c, format).Write(out, format, section);
    return out.str();
}

namespace {

// The channels with their points nested, as the table form cannot show them.
std::string ToneJson(const ToneValues& tv, const ToneOptions& options)
{
    nlohmann::ordered_json doc;
    doc["method"] = options.method;
    if (options.method == "density") {
        doc["standard"] = TSpectrum::GetDensityList()[DensityStandard(options.standard)];
        doc["black_filter"] = options.blackFilter;
    }
    doc["paper"] = tv.paper;
    doc["channels"] = nlohmann::ordered_json::array();
    for (const ToneChannel& c : tv.channels) {
        nlohmann::ordered_json channel;
        channel["name"] = c.name;
        channel["filter"] = c.filter.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(c.filter);
        channel["points"] = nlohmann::ordered_json::array();
        for (const TonePoint& p : c.points)
            channel["points"].push_back(
                { { "sample", p.sample }, { "nominal", p.nominal }, { "tone", p.tone }, { "tvi", p.tvi } });
        doc["channels"].push_back(channel);
    }
    return doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

} // namespace

std::string RenderToneValues(
    const ToneValues& tv, const ToneOptions& options, Format format, const std::string& section)
{
    if (format == Format::Json && section.empty())
        return ToneJson(tv, options);
    Report report;
    Section& table
        = report.AddTable("tone_values", { "channel", "filter", "sample", "nominal", "tone", "tvi" });
    for (const ToneChannel& c : tv.channels)
        for (const TonePoint& p : c.points)
            table.rows.push_back({ Cell(c.name), Cell(c.filter.empty() ? "-" : c.filter), Cell(p.sample),
                Cell(p.nominal, 1), Cell(p.tone, 1), Cell(p.tvi, 1) });
    std::ostringstream out;
    report.Write(out, format, section);
    return out.str();
}

} // namespace tintvale::qc
