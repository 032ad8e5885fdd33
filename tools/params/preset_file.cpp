#include "tools/params/preset_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include <nlohmann/json.hpp>

#include "params/param_keys.h"
#include "tools/base/message_text.h"
#include "tools/base/tool_error.h"
#include "tools/params/preset_entries.h"

namespace zonara_tool {
namespace {

// Keys that name a position without a value (the input layer, group
// markers): a listing of every parameter may carry them, so they are
// accepted and skipped when empty.
bool IsValuelessKey(const std::string &key, const ParamCatalog &catalog) {
    return catalog.Find(key) == nullptr && zonara::ParamIndexFromKey(key).has_value();
}

// What a refusal quotes of the file's path: a path can be long too.
std::string PathForMessage(const std::string &path) {
    return path.size() <= MESSAGE_QUOTE_BYTES ? path : QuotedForMessage(path);
}

}  // namespace

std::vector<ParamValue> ParsePreset(const std::string &text, const std::string &origin, const ParamCatalog &catalog) {
    if (text.size() > MAX_PRESET_FILE_BYTES) {
        throw UsageError(origin + ": larger than " + std::to_string(MAX_PRESET_FILE_BYTES >> 20) +
                         " MiB, far beyond any preset");
    }
    // Reading stops at the first key that names nothing: it is refused, and
    // keeping what follows would only cost memory.
    const auto keep = [&](std::string_view key) {
        return catalog.Find(key) != nullptr || IsValuelessKey(std::string(key), catalog);
    };
    std::vector<ParamValue> values;
    for (const PresetEntry &entry : ReadPresetEntries(text, origin, keep)) {
        if (IsValuelessKey(entry.key, catalog) && entry.is_null) {
            continue;
        }
        try {
            if (!entry.text) {
                catalog.RefuseValue(entry.key, QuotedWritten(entry), "unusable value");
            }
            values.push_back(catalog.ParseText(entry.key, *entry.text));
        } catch (const ToolError &error) {
            throw ToolError(error.exit_status(), origin + ": " + error.what());
        }
    }
    return values;
}

std::vector<ParamValue> ReadPreset(const std::string &path, const ParamCatalog &catalog) {
    const std::string named = PathForMessage(path);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(status)) {
        throw UsageError("preset " + named + " is a folder, not a file");
    }
    if (!std::filesystem::exists(status)) {
        throw UsageError("cannot read preset " + named + ": no such file");
    }
    // A device or a pipe could give without end (/dev/zero) or never
    // (a FIFO nobody writes to).
    if (!std::filesystem::is_regular_file(status)) {
        throw UsageError("preset " + named + ": not a regular file (a device, pipe or socket is no preset)");
    }
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > MAX_PRESET_FILE_BYTES) {
        throw UsageError("preset " + named + ": " + std::to_string(size) + " bytes, larger than " +
                         std::to_string(MAX_PRESET_FILE_BYTES >> 20) + " MiB, far beyond any preset");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw UsageError("cannot read preset " + named);
    }
    // No more than one byte past the limit, whatever the size claimed: a
    // file may grow while it is read.
    std::string text(MAX_PRESET_FILE_BYTES + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) {
        throw UsageError("cannot read preset " + named);
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    return ParsePreset(text, named, catalog);
}

}  // namespace zonara_tool
