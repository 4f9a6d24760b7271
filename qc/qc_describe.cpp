// What a measurement data file holds, table by table, every header keyword and the chart layout.
#include <tintvale/qc/describe.h>

#include <tintvale/qc/conditions.h>

#include <algorithm>
#include <functional>

namespace tintvale::qc {

namespace {

std::string ColourKind(const TCgats& c, int t)
{
    if (c.IsCMYKDefined(t))
        return "CMYK";
    if (c.IsCustomDefined(t))
        return "custom process";
    if (c.IsNColorDefined(t))
        return "n-colour";
    if (c.IsSpotColorDefined(t) || c.ContainsSpotColors(t))
        return "spot";
    return "none";
}

int Channels(const TCgats& c, int t)
{
    if (c.ContainsProcessColors(t))
        return std::max(0, c.GetNrProcessColors(t));
    if (c.ContainsSpotColors(t))
        return std::max(0, c.GetNrSpotColors(t));
    return 0;
}

std::string WavelengthRange(const TCgats& c, int t)
{
    std::vector<int> nm;
    if (!c.ContainsWaveLengths(t) || c.GetWaveLengths(t, nm) != 0 || nm.empty())
        return "none";
    return std::to_string(nm.front()) + "-" + std::to_string(nm.back()) + " nm, " + std::to_string(nm.size())
        + " values";
}

const char* YesNo(bool b) { return b ? "yes" : "no"; }

// What each table's section states about how it was measured and computed (the lines ahead of its
// NUMBER_OF_SETS; the file's header belongs to the first): a CxF3 file states them per table.
std::vector<std::string> TableConditions(const TCgats& c)
{
    std::vector<std::string> conditions(1);
    c.VisitKeywords([&conditions](const char* keyword, const char* value) {
        const std::string k = keyword;
        std::string& text = conditions.back();
        if (k == "NUMBER_OF_SETS")
            conditions.emplace_back();
        else if (k == "WEIGHTING_FUNCTION" || k == "MEASUREMENT_CONDITION" || k == "INSTRUMENTATION")
            text += (text.empty() ? "" : "; ") + std::string(value);
    });
    return conditions;
}

} // namespace

Report FileReport(const Chart& chart)
{
    const TCgats& c = chart.Cgats();

    Report report;
    Section& tables = report.AddTable(
        "tables", { "table", "samples", "fields", "colours", "channels", "spectrum", "Lab", "XYZ", "names" });
    for (int t = 0; t < chart.NrTables(); ++t) {
        if (c.GetNrSamples(t) < 0) {
            tables.rows.push_back({ Cell(t), Cell("unreadable"), Cell(""), Cell(""), Cell(""), Cell(""),
                Cell(""), Cell(""), Cell("") });
            continue;
        }
        tables.rows.push_back(
            { Cell(t), Cell(c.GetNrSamples(t)), Cell(c.GetNrFields(t)), Cell(ColourKind(c, t)),
                Cell(Channels(c, t)), Cell(WavelengthRange(c, t)), Cell(YesNo(c.ContainsLab(t))),
                Cell(YesNo(c.ContainsXyz(t))), Cell(YesNo(c.ContainsSampleLabels(t))) });
    }

    // Every keyword line of the header, in file order (a keyword may stand once per table).
    // Made as they are written: a header may hold millions of lines.
    Section& keywords = report.AddTable("keywords", { "keyword", "value" });
    keywords.moreRows = [&c](const std::function<void(const std::vector<Cell>&)>& row) {
        c.VisitKeywords([&row](const char* keyword, const char* value) {
            row({ Cell(keyword), Cell(value) });
        });
    };
    Section& header = report.AddKeyValues("header");
    if (const char* creator = c.GetOriginator())
        Report::Put(header, "creator", Cell(creator));
    if (const char* description = c.GetFileDescriptor())
        Report::Put(header, "description", Cell(description));
    const std::vector<std::string> conditions = TableConditions(c);
    for (int t = 0; t < chart.NrTables() && t < static_cast<int>(conditions.size()); ++t)
        if (!conditions[t].empty())
            Report::Put(header, "conditions, table " + std::to_string(t), Cell(conditions[t]));
    const std::string types = ObjectTypes(c);
    if (!types.empty())
        Report::Put(header, "object types", Cell(types));
    // Chart layout, where the file gives more than the one-row default.
    if (c.GetRowLength() > 1)
        Report::Put(header, "row length", Cell(c.GetRowLength()));
    if (c.GetNrOfCols() > 1)
        Report::Put(header, "columns", Cell(c.GetNrOfCols()));
    if (c.GetNrOfPages() > 1)
        Report::Put(header, "pages", Cell(c.GetNrOfPages()));
    Report::Put(header, "tables", Cell(chart.NrTables()));
    if (chart.NrTables() == 0)
        Report::Put(header, "contents", Cell("no objects"));
    return report;
}

} // namespace tintvale::qc
