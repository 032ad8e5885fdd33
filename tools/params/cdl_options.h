// --cdl-inside FILE[#ID] and --cdl-outside FILE[#ID]: a side's grade read
// from an ASC CDL file, for every command that sets parameter values. They
// apply after a preset and before --set, so a --set can still adjust them.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/params/param_values.h"

namespace zonara_tool {

struct CdlOptions {
    std::string inside;  // FILE[#ID]; empty: not given
    std::string outside;
};

void AddCdlOptions(CLI::App &command, CdlOptions &options);

// The values the files give, inside first. Warnings (a saturation other
// than 1) go to stderr. Throws ToolError (usage) for an unreadable file or
// a value the effect does not take.
std::vector<ParamValue> ReadCdlValues(const CdlOptions &options, const ParamCatalog &catalog);

}  // namespace zonara_tool
