// The average of several measurements of one chart.
#include <tintvale/qc/average.h>

#include <tintvale/qc/conditions.h>

namespace tintvale::qc {

std::unique_ptr<TCgats> Average(
    const std::vector<std::unique_ptr<Chart>>& charts, const CommonOptions& common)
{
    if (charts.empty())
        throw Error("no files to average");
    std::vector<const TCgats*> files;
    for (const auto& chart : charts)
        files.push_back(&chart->Cgats());
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
    auto average = std::make_unique<TCgats>(files);
    if (average->GetErrorCode() != 0) {
        const std::string message = average->GetErrorMsg();
        const bool general = message == TCgats::Message(TCgats::kErrNotCgats);
        throw Error("the files cannot be averaged"
            + std::string(general ? " (their tables differ in fields)" : "") + ": " + message + " (code "
            + std::to_string(average->GetErrorCode()) + ")");
    }
    return average;
}

} // namespace tintvale::qc
