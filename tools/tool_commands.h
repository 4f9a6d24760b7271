// The subcommands: each takes the common options and its own, writes its report to out and returns
// the exit status; failures are thrown as ToolError.
#ifndef TINTVALE_TOOL_COMMANDS_H
#define TINTVALE_TOOL_COMMANDS_H

#include "tool_context.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tool {

struct IlluminantsOptions {
    std::string directory; // positional; overrides --illuminants
};
int RunIlluminants(const CommonOptions& common, const IlluminantsOptions& options, std::ostream& out);

struct MatchOptions {
    double lab[3] = {};
};
int RunMatch(const CommonOptions& common, const MatchOptions& options, std::ostream& out);

} // namespace tool

#endif
