#include "tools/params/preset_file.h"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "src/params/param_keys.h"
#include "tools/commands/tool_error.h"

namespace zonara_tool {
namespace {

// Keys that name a position without a value (the input layer, group
// markers): a listing of every parameter may carry them, so they are
// accepted and skipped when empty.
bool IsValuelessKey(const std::string &key, const ParamCatalog &catalog) {
    return catalog.Find(key) == nullptr && zonara::ParamIndexFromKey(key).has_value();
}

}  // namespace

std::vector<ParamValue> ParsePreset(const std::string &text, const std::string &origin,
                                    const ParamCatalog &catalog) {
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error &error) {
        throw UsageError(origin + ": not valid JSON (" + error.what() + ")");
    }
    if (!document.is_object()) {
        throw UsageError(origin + ": expected an object of parameter keys and values");
    }
    std::vector<ParamValue> values;
    for (const auto &[key, value] : document.items()) {
        if (IsValuelessKey(key, catalog) && value.is_null()) {
            continue;
        }
        try {
            values.push_back(catalog.ParseJson(key, value));
        } catch (const ToolError &error) {
            throw ToolError(error.exit_status(), origin + ": " + error.what());
        }
    }
    return values;
}

std::vector<ParamValue> ReadPreset(const std::string &path, const ParamCatalog &catalog) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw UsageError("cannot read preset " + path);
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParsePreset(text.str(), path, catalog);
}

}  // namespace zonara_tool
