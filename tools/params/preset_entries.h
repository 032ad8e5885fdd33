// A preset's JSON read as a flat list of keys and the text each value
// would be given as on the command line (--set KEY=VALUE), without building
// the document: numbers keep the digits the user wrote (so 1e-400 is
// refused as out of range rather than read as 0), nesting is bounded
// (so no deep recursion anywhere), and only what the caller keeps is held
// in memory.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zonara_tool {

// A preset is an object of values, a point a two-item array in it: two
// levels. Far deeper than that is a damaged or hostile file, not a look.
constexpr std::size_t MAX_PRESET_NESTING = 64;

struct PresetEntry {
    std::string key;  // without surrounding spaces, as --set takes it
    bool is_null = false;
    // The value as --set takes it: a number as written, a string's
    // contents, true or false, a point's two coordinates as "X,Y". Empty
    // for a shape no parameter takes (an object, an array of another size).
    std::optional<std::string> text;
    // The value as written, for a message: its first bytes and its length.
    std::string written;
    std::size_t written_bytes = 0;
};

// Reads `json`, calling `keep` with each key (trimmed); entries whose key it
// refuses end the list after that one entry, since reading stops at the first
// problem. Throws ToolError (usage), naming `origin`, for text that is not
// JSON, not an object, nested too deep or holding a key twice.
std::vector<PresetEntry> ReadPresetEntries(std::string_view json, const std::string &origin,
                                           const std::function<bool(std::string_view key)> &keep);

// The written value as a message quotes it.
std::string QuotedWritten(const PresetEntry &entry);

}  // namespace zonara_tool
