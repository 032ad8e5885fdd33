// A saved look: a JSON object of parameter keys and values, as
// `zonara params --json --values` writes it, read back for --preset.
#pragma once

#include <string>
#include <vector>

#include "tools/params/param_values.h"

namespace zonara_tool {

// Throws ToolError (usage) for an unreadable file, malformed JSON, an unknown
// key or a value the parameter does not take; the message names the file.
std::vector<ParamValue> ReadPreset(const std::string &path, const ParamCatalog &catalog);

// The same, from text already in memory (`origin` names it in messages).
std::vector<ParamValue> ParsePreset(const std::string &text, const std::string &origin,
                                    const ParamCatalog &catalog);

}  // namespace zonara_tool
