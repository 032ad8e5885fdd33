// Where a command's parameter values come from, read in one order by every
// command that sets them: a preset file first, then the CDL files for the
// two sides, then each --set, so a later source adjusts an earlier one.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/params/cdl_options.h"
#include "tools/params/param_values.h"

namespace zonara_tool {

struct ValueSources {
    std::string preset;             // a JSON look; empty: none
    CdlOptions cdl;                 // --cdl-inside, --cdl-outside
    std::vector<std::string> sets;  // KEY=VALUE
};

// Adds --preset, --cdl-inside, --cdl-outside and --set.
void AddValueOptions(CLI::App &command, ValueSources &sources);

// Every value the sources give, in the order they apply. Throws ToolError
// (usage) naming the file or key at the first one that cannot be taken.
std::vector<ParamValue> ReadValues(const ValueSources &sources, const ParamCatalog &catalog);

}  // namespace zonara_tool
