// `tintvale tvi FILE`: the tone value of every tint of each process channel and its increase over
// the nominal value, from status densities (Murray-Davies) or from CIELAB (spot colour tone value).
#include "qc_tone.h"
#include "tool_commands.h"

#include <nlohmann/json.hpp>

#include <tintvale/tspectrum.h>

#include <ostream>

namespace tool {

namespace {

// The channels with their points nested, as the table form cannot show them.
void WriteJson(const ToneValues& tv, const ToneOptions& options, std::ostream& out)
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
    out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

} // namespace

int RunTvi(const CommonOptions& common, const TviOptions& options, std::ostream& out)
{
    const Format format = ParseFormat(common.format);
    Chart chart(options.file);
    PrintWarnings(chart.ReadWarnings());
    Colorimetry colorimetry(common);
    const ToneValues tv = ComputeToneValues(chart, colorimetry, options.tone);
    if (format == Format::Json && common.section.empty()) {
        WriteJson(tv, options.tone, out);
        return kExitOk;
    }
    Report report;
    Section& table
        = report.AddTable("tone_values", { "channel", "filter", "sample", "nominal", "tone", "tvi" });
    for (const ToneChannel& c : tv.channels)
        for (const TonePoint& p : c.points)
            table.rows.push_back({ Cell(c.name), Cell(c.filter.empty() ? "-" : c.filter), Cell(p.sample),
                Cell(p.nominal, 1), Cell(p.tone, 1), Cell(p.tvi, 1) });
    report.Write(out, format, common.section);
    return kExitOk;
}

} // namespace tool
