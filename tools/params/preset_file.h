// A saved look: a JSON object of parameter keys and values, as
// `zonara params --json --values` writes it, read back for --preset.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/params/param_values.h"

namespace zonara_tool {

// A preset of every parameter is a few kilobytes; beyond this a file is
// not one (the same bound as a CDL file's).
constexpr std::size_t MAX_PRESET_FILE_BYTES = std::size_t{16} << 20;

// Throws ToolError (usage) for a folder, a device, a pipe, a file over
// MAX_PRESET_FILE_BYTES, an unreadable file, malformed JSON, nesting
// deeper than MAX_PRESET_NESTING, an unknown key or a value the parameter
// does not take; the message names the file. Keys are taken without their
// surrounding spaces, as --set takes them.
std::vector<ParamValue> ReadPreset(const std::string &path, const ParamCatalog &catalog);

// The same, from text already in memory (`origin` names it in messages).
std::vector<ParamValue> ParsePreset(const std::string &text, const std::string &origin, const ParamCatalog &catalog);

}  // namespace zonara_tool
