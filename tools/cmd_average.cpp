// `tintvale average FILE... -o OUT`: the average of several measurements of one chart.
#include "tool_commands.h"

#include <tintvale/qc/average.h>
#include <tintvale/qc/files.h>

#include <ostream>

namespace tool {

int RunAverage(const CommonOptions& common, const AverageOptions& options, std::ostream& out)
{
    if (options.files.empty())
        throw Error("no files to average");
    std::vector<std::unique_ptr<Chart>> charts;
    for (const std::string& path : options.files) {
        charts.push_back(std::make_unique<Chart>(path));
        PrintWarnings(charts.back()->ReadWarnings());
    }
    WriteCgats(*Average(charts, common), options.output, out);
    return kExitOk;
}

} // namespace tool
