// `tintvale average FILE... -o OUT`: the average of several measurements of one chart.
#include "tool_commands.h"
#include <tintvale/qc/chart.h>
#include <tintvale/qc/files.h>

#include <ostream>

namespace tool {

int RunAverage(const CommonOptions& common, const AverageOptions& options, std::ostream& out)
{
    if (options.files.empty())
        throw Error("no files to average");
    std::vector<std::unique_ptr<Chart>> charts;
    std::vector<const TCgats*> files;
    for (const std::string& path : options.files) {
        charts.push_back(std::make_unique<Chart>(path));
        PrintWarnings(charts.back()->ReadWarnings());
        files.push_back(&charts.back()->Cgats());
    }
    // Colorimetric data stated for other illuminants are adapted to those of the first file (or
    // asked) when --adapt names a method; else the library refuses the files.
    if (!common.adapt.empty()) {
        const CommonOptions chosen = ChosenConditions(common, files);
        Colorimetry colorimetry(chosen);
        for (const auto& chart : charts)
            chart->AdaptColumns(chosen, colorimetry);
    }
    // The library refuses files of different structure with one general code; say which differ.
    const Chart& first = *charts.front();
    for (const auto& chart : charts) {
        if (chart->NrTables() != first.NrTables())
            throw Error(chart->Path() + " has " + std::to_string(chart->NrTables()) + " tables but "
                + first.Path() + " has " + std::to_string(first.NrTables()));
        for (int t = 0; t < first.NrTables(); ++t)
            if (chart->NrSamples(t) != first.NrSamples(t))
                throw Error(chart->Path() + " has " + std::to_string(chart->NrSamples(t))
                    + " samples in table " + std::to_string(t) + " but " + first.Path() + " has "
                    + std::to_string(first.NrSamples(t)));
    }

    // Rows are paired by name (else by position) and must be the same patches under the same
    // conditions; the library names the sample or condition that stops it.
    TCgats average(files);
    if (average.GetErrorCode() != 0) {
        const std::string message = average.GetErrorMsg();
        const bool general = message == TCgats::Message(TCgats::kErrNotCgats);
        throw Error("the files cannot be averaged"
            + std::string(general ? " (their tables differ in fields)" : "") + ": " + message + " (code "
            + std::to_string(average.GetErrorCode()) + ")");
    }
    WriteCgats(average, options.output, out);
    return kExitOk;
}

} // namespace tool
