#include "tools/param_values.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

#include <nlohmann/json.hpp>

#include "src/params/param_keys.h"
#include "tools/tool_error.h"

namespace zonara_tool {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char &c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// The whole text must be one finite number: "1.5x" or "nan" are refused
// rather than silently read as a prefix or a value the effect cannot use.
bool ParseNumber(std::string_view text, double &out) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return false;
    }
    out = value;
    return true;
}

// Shortest text that reads back as the same double, so a value from a JSON
// preset reaches the effect unchanged.
std::string FormatNumberExact(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string FormatNumber(double value) { return FormatNumberExact(value); }

std::vector<std::string> SplitChoices(const char *names, int count) {
    std::vector<std::string> choices;
    if (names == nullptr) {
        return choices;
    }
    std::string_view rest(names);
    while (static_cast<int>(choices.size()) < count) {
        const std::size_t bar = rest.find('|');
        choices.emplace_back(rest.substr(0, bar));
        if (bar == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(bar + 1);
    }
    return choices;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
            diagonal = above;
        }
    }
    return row[b.size()];
}

[[noreturn]] void Refuse(const ParamCatalog::Entry &entry, std::string_view text, std::string_view why) {
    throw UsageError(entry.key + "=" + std::string(text) + ": " + std::string(why) + " (valid: " +
                     DescribeRange(entry) + ")");
}

double RequireInRange(const ParamCatalog::Entry &entry, std::string_view text, double value, double low,
                      double high) {
    if (!(value >= low && value <= high)) {
        Refuse(entry, text, "out of range");
    }
    return value;
}

ParamValue ParseSlider(const ParamCatalog::Entry &entry, std::string_view text) {
    double value = 0.0;
    if (!ParseNumber(text, value)) {
        Refuse(entry, text, "not a number");
    }
    const PF_FloatSliderDef &slider = entry.def.u.fs_d;
    ParamValue out;
    out.kind = ValueKind::kSlider;
    out.number = RequireInRange(entry, text, value, slider.valid_min, slider.valid_max);
    return out;
}

ParamValue ParsePopup(const ParamCatalog::Entry &entry, std::string_view text) {
    const std::string wanted = Lower(Trim(text));
    ParamValue out;
    out.kind = ValueKind::kPopup;
    for (std::size_t i = 0; i < entry.choices.size(); ++i) {
        if (Lower(entry.choices[i]) == wanted) {
            out.choice = static_cast<int>(i) + 1;
            return out;
        }
    }
    double number = 0.0;
    if (!ParseNumber(text, number)) {
        Refuse(entry, text, "unknown choice");
    }
    if (number != std::floor(number) || number < 1 || number > entry.def.u.pd.num_choices) {
        Refuse(entry, text, "no such choice");
    }
    out.choice = static_cast<int>(number);
    return out;
}

ParamValue ParseCheckbox(const ParamCatalog::Entry &entry, std::string_view text) {
    const std::string word = Lower(Trim(text));
    ParamValue out;
    out.kind = ValueKind::kCheckbox;
    if (word == "on" || word == "true" || word == "1" || word == "yes") {
        out.on = true;
    } else if (word == "off" || word == "false" || word == "0" || word == "no") {
        out.on = false;
    } else {
        Refuse(entry, text, "not on or off");
    }
    return out;
}

ParamValue ParsePoint(const ParamCatalog::Entry &entry, std::string_view text) {
    const std::size_t comma = text.find(',');
    double x = 0.0;
    double y = 0.0;
    if (comma == std::string_view::npos || !ParseNumber(text.substr(0, comma), x) ||
        !ParseNumber(text.substr(comma + 1), y)) {
        Refuse(entry, text, "not X,Y");
    }
    ParamValue out;
    out.kind = ValueKind::kPoint;
    out.x = RequireInRange(entry, text, x, -FIXED_LIMIT, FIXED_LIMIT);
    out.y = RequireInRange(entry, text, y, -FIXED_LIMIT, FIXED_LIMIT);
    return out;
}

// An angle declared with no range (both bounds 0) may take any value the
// host's fixed-point representation holds.
void AngleRange(const PF_AngleDef &angle, double &low, double &high) {
    if (angle.valid_min == 0 && angle.valid_max == 0) {
        low = -FIXED_LIMIT;
        high = FIXED_LIMIT;
        return;
    }
    low = angle.valid_min / 65536.0;
    high = angle.valid_max / 65536.0;
}

ParamValue ParseAngle(const ParamCatalog::Entry &entry, std::string_view text) {
    double degrees = 0.0;
    if (!ParseNumber(text, degrees)) {
        Refuse(entry, text, "not a number");
    }
    double low = 0.0;
    double high = 0.0;
    AngleRange(entry.def.u.ad, low, high);
    ParamValue out;
    out.kind = ValueKind::kAngle;
    out.number = RequireInRange(entry, text, degrees, low, high);
    return out;
}

PF_Fixed ToFixed(double value) {
    const double scaled = std::round(value * 65536.0);
    const double limit = static_cast<double>(INT32_MAX);
    return static_cast<PF_Fixed>(std::clamp(scaled, -limit, limit));
}

}  // namespace

ParamCatalog::ParamCatalog(const std::vector<PF_ParamDef> &declared) {
    for (std::size_t i = 0; i < declared.size(); ++i) {
        const PF_ParamDef &def = declared[i];
        const int index = static_cast<int>(i) + 1;
        const std::string_view key = zonara::ParamKey(index);
        switch (def.param_type) {
        case PF_Param_FLOAT_SLIDER:
        case PF_Param_POPUP:
        case PF_Param_CHECKBOX:
        case PF_Param_POINT:
        case PF_Param_ANGLE:
            break;
        default:
            continue;  // groups carry no value
        }
        if (key.empty()) {
            continue;
        }
        Entry entry;
        entry.index = index;
        entry.key = std::string(key);
        entry.def = def;
        if (def.param_type == PF_Param_POPUP) {
            entry.choices = SplitChoices(def.u.pd.u.namesptr, def.u.pd.num_choices);
            entry.def.u.pd.u.namesptr = nullptr;  // the effect's text is not ours to keep
        }
        if (def.param_type == PF_Param_CHECKBOX) {
            entry.def.u.bd.u.nameptr = nullptr;
        }
        entries_.push_back(std::move(entry));
    }
}

const ParamCatalog::Entry *ParamCatalog::Find(std::string_view key) const {
    for (const Entry &entry : entries_) {
        if (entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

std::vector<std::string> ParamCatalog::NearestKeys(std::string_view key) const {
    const std::string wanted = Lower(Trim(key));
    std::vector<std::pair<std::size_t, std::string>> ranked;
    for (const Entry &entry : entries_) {
        std::size_t distance = EditDistance(wanted, entry.key);
        // "gamma" should find the gamma keys even though they are longer.
        if (!wanted.empty() && entry.key.find(wanted) != std::string::npos) {
            distance = std::min<std::size_t>(distance, 1);
        }
        if (distance <= std::max<std::size_t>(2, wanted.size() / 3)) {
            ranked.emplace_back(distance, entry.key);
        }
    }
    // Closest first; among equals the shortest, the likeliest intended.
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first < b.first : a.second.size() < b.second.size();
    });
    std::vector<std::string> nearest;
    for (std::size_t i = 0; i < ranked.size() && i < 3; ++i) {
        nearest.push_back(ranked[i].second);
    }
    return nearest;
}

const ParamCatalog::Entry &ParamCatalog::Require(std::string_view key) const {
    if (const Entry *entry = Find(key)) {
        return *entry;
    }
    std::string message = "unknown parameter '" + std::string(key) + "'";
    const std::vector<std::string> nearest = NearestKeys(key);
    if (!nearest.empty()) {
        message += "; did you mean ";
        for (std::size_t i = 0; i < nearest.size(); ++i) {
            message += (i == 0 ? "" : i + 1 == nearest.size() ? " or " : ", ") + nearest[i];
        }
        message += "?";
    }
    message += " ('zonara params' lists them)";
    throw UsageError(message);
}

ParamValue ParamCatalog::ParseText(std::string_view key, std::string_view text) const {
    const Entry &entry = Require(key);
    ParamValue value;
    switch (entry.def.param_type) {
    case PF_Param_FLOAT_SLIDER:
        value = ParseSlider(entry, text);
        break;
    case PF_Param_POPUP:
        value = ParsePopup(entry, text);
        break;
    case PF_Param_CHECKBOX:
        value = ParseCheckbox(entry, text);
        break;
    case PF_Param_POINT:
        value = ParsePoint(entry, text);
        break;
    default:
        value = ParseAngle(entry, text);
        break;
    }
    value.index = entry.index;
    return value;
}

ParamValue ParamCatalog::ParseJson(std::string_view key, const nlohmann::json &value) const {
    const Entry &entry = Require(key);
    // Every JSON shape maps onto the text a user would type, so both ways
    // of setting a value accept and refuse exactly the same things.
    if (value.is_boolean()) {
        return ParseText(key, value.get<bool>() ? "on" : "off");
    }
    if (value.is_string()) {
        return ParseText(key, value.get<std::string>());
    }
    if (value.is_number()) {
        return ParseText(key, FormatNumberExact(value.get<double>()));
    }
    if (value.is_array() && value.size() == 2 && value[0].is_number() && value[1].is_number()) {
        return ParseText(key, FormatNumberExact(value[0].get<double>()) + "," +
                                  FormatNumberExact(value[1].get<double>()));
    }
    Refuse(entry, value.dump(), "unusable value");
}

ParamValue ParamCatalog::ParseAssignment(std::string_view assignment) const {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos) {
        throw UsageError("--set '" + std::string(assignment) + "': expected KEY=VALUE");
    }
    return ParseText(Trim(assignment.substr(0, equals)), assignment.substr(equals + 1));
}

std::string DescribeRange(const ParamCatalog::Entry &entry) {
    switch (entry.def.param_type) {
    case PF_Param_FLOAT_SLIDER:
        return FormatNumber(entry.def.u.fs_d.valid_min) + " to " + FormatNumber(entry.def.u.fs_d.valid_max);
    case PF_Param_POPUP: {
        std::string text;
        for (std::size_t i = 0; i < entry.choices.size(); ++i) {
            text += (i == 0 ? "" : ", ") + entry.choices[i];
        }
        return text + " (or 1 to " + std::to_string(entry.def.u.pd.num_choices) + ")";
    }
    case PF_Param_CHECKBOX:
        return "on or off";
    case PF_Param_POINT:
        return "X,Y in layer pixels, each -32767 to 32767";
    default: {
        double low = 0.0;
        double high = 0.0;
        AngleRange(entry.def.u.ad, low, high);
        return FormatNumber(low) + " to " + FormatNumber(high) + " degrees";
    }
    }
}

void ApplyParamValue(const ParamValue &value, testhost::ParamStore &store) {
    PF_ParamDef &def = store.at(value.index);
    switch (value.kind) {
    case ValueKind::kSlider:
        def.u.fs_d.value = value.number;
        break;
    case ValueKind::kPopup:
        def.u.pd.value = value.choice;
        break;
    case ValueKind::kCheckbox:
        def.u.bd.value = value.on ? 1 : 0;
        break;
    case ValueKind::kPoint:
        def.u.td.x_value = ToFixed(value.x);
        def.u.td.y_value = ToFixed(value.y);
        break;
    case ValueKind::kAngle:
        def.u.ad.value = ToFixed(value.number);
        break;
    }
}

void ScalePoints(testhost::ParamStore &store, double scale_x, double scale_y) {
    for (int i = 1; i < store.size(); ++i) {
        PF_ParamDef &def = store.at(i);
        if (def.param_type == PF_Param_POINT) {
            def.u.td.x_value = ToFixed(def.u.td.x_value / 65536.0 * scale_x);
            def.u.td.y_value = ToFixed(def.u.td.y_value / 65536.0 * scale_y);
        }
    }
}

}  // namespace zonara_tool
