#include "tools/params/preset_file.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>
#include <sstream>

#include <nlohmann/json.hpp>

#include "params/param_keys.h"
#include "tools/base/tool_error.h"

namespace zonara_tool {
namespace {

// Keys that name a position without a value (the input layer, group
// markers): a listing of every parameter may carry them, so they are
// accepted and skipped when empty.
bool IsValuelessKey(const std::string &key, const ParamCatalog &catalog) {
    return catalog.Find(key) == nullptr && zonara::ParamIndexFromKey(key).has_value();
}

// "1e400 is " from the library's "number overflow parsing '1e400'", so the
// user sees which number; empty if the message has no quoted text.
std::string QuotedToken(const std::string &message) {
    const std::size_t open = message.find('\'');
    const std::size_t close = message.rfind('\'');
    if (open == std::string::npos || close <= open + 1) {
        return "";
    }
    return message.substr(open + 1, close - open - 1) + " is ";
}

// " (valid: ...)" for a settable key, empty otherwise.
std::string ValidRangeOf(const std::string &key, const ParamCatalog &catalog) {
    const ParamCatalog::Entry *entry = catalog.Find(key);
    return entry == nullptr ? "" : " (valid: " + DescribeRange(*entry) + ")";
}

}  // namespace

std::vector<ParamValue> ParsePreset(const std::string &text, const std::string &origin,
                                    const ParamCatalog &catalog) {
    // The key whose value is being read, so that a number the library
    // cannot hold (1e400) is reported against it.
    std::string reading_key;
    // A key given twice would silently take its last value; the look is
    // refused instead, as which one was meant is the user's to say.
    std::set<std::string> keys_seen;
    std::string repeated_key;
    const nlohmann::json::parser_callback_t note_key = [&](int depth, nlohmann::json::parse_event_t event,
                                                           nlohmann::json &parsed) {
        if (event == nlohmann::json::parse_event_t::key && depth == 1) {
            reading_key = parsed.get<std::string>();
            if (!keys_seen.insert(reading_key).second && repeated_key.empty()) {
                repeated_key = reading_key;
            }
        }
        return true;
    };
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text, note_key);
    } catch (const nlohmann::json::parse_error &error) {
        throw UsageError(origin + ": not valid JSON (" + error.what() + ")");
    } catch (const nlohmann::json::out_of_range &error) {
        // The only range the parser checks is that of a number.
        throw UsageError(origin + ": " + (reading_key.empty() ? "" : reading_key + ": ") +
                         QuotedToken(error.what()) + "a number too large to hold" +
                         ValidRangeOf(reading_key, catalog));
    } catch (const nlohmann::json::exception &error) {
        throw UsageError(origin + ": cannot be read (" + error.what() + ")");
    }
    if (!document.is_object()) {
        throw UsageError(origin + ": expected an object of parameter keys and values");
    }
    if (!repeated_key.empty()) {
        throw UsageError(origin + ": the key '" + repeated_key + "' is given more than once; give each key once");
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
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw UsageError("preset " + path + " is a folder, not a file");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw UsageError("cannot read preset " + path +
                         (std::filesystem::exists(path, error) ? "" : ": no such file"));
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        throw UsageError("cannot read preset " + path);
    }
    return ParsePreset(text.str(), path, catalog);
}

}  // namespace zonara_tool
