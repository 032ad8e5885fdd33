#include "tools/params/param_values.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include <nlohmann/json.hpp>

#include "common/fixed_scale.h"
#include "params/param_keys.h"
#include "tools/base/message_text.h"
#include "tools/base/tool_error.h"
#include "tools/params/value_text.h"

namespace zonara_tool {
namespace {

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

// Beyond this a key is no mistyped name, and searching for the names
// close to it would only cost time (the distance is quadratic).
constexpr std::size_t MAX_SUGGESTED_KEY_BYTES = 64;

// A value as the user gave it, bare where it is short and plain, as
// "mix=0.5"; quoted and cut short otherwise.
std::string EchoedValue(std::string_view text) {
    const std::string quoted = QuotedForMessage(text);
    const bool plain = quoted.size() == text.size() + 2 && text.find_first_of(" '") == std::string_view::npos;
    return plain && !text.empty() ? std::string(text) : quoted;
}

[[noreturn]] void RefuseEchoed(const ParamCatalog::Entry &entry, const std::string &echoed, std::string_view why) {
    throw UsageError(entry.key + "=" + echoed + ": " + std::string(why) + " (valid: " + DescribeRange(entry) + ")");
}

[[noreturn]] void Refuse(const ParamCatalog::Entry &entry, std::string_view text, std::string_view why) {
    RefuseEchoed(entry, EchoedValue(text), why);
}

// The number in `text`, refused as not a number, not a finite one or out
// of any range a double holds.
double RequireNumber(const ParamCatalog::Entry &entry, std::string_view text) {
    double value = 0.0;
    const NumberReading reading = ReadNumber(text, value);
    if (reading != NumberReading::kNumber) {
        Refuse(entry, text, NumberProblem(reading));
    }
    return value;
}

double RequireInRange(const ParamCatalog::Entry &entry, std::string_view text, double value, double low, double high) {
    if (!(value >= low && value <= high)) {
        Refuse(entry, text, "out of range");
    }
    return value;
}

ParamValue ParseSlider(const ParamCatalog::Entry &entry, std::string_view text) {
    const double value = RequireNumber(entry, text);
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
    const NumberReading reading = ReadNumber(text, number);
    if (reading == NumberReading::kNotANumber) {
        Refuse(entry, text, "unknown choice");
    }
    if (reading != NumberReading::kNumber) {
        Refuse(entry, text, "no such choice");
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

// One coordinate of a point: layer pixels, or per cent of the layer with a
// trailing '%'.
NumberReading ReadCoordinate(std::string_view text, double &value, bool &percent) {
    text = Trim(text);
    percent = !text.empty() && text.back() == '%';
    if (percent) {
        text.remove_suffix(1);
    }
    return ReadNumber(text, value);
}

ParamValue ParsePoint(const ParamCatalog::Entry &entry, std::string_view text) {
    const std::size_t comma = text.find(',');
    ParamValue out;
    out.kind = ValueKind::kPoint;
    if (comma == std::string_view::npos) {
        // A preset's point cut short by a number too large to read is
        // refused for that number.
        double number = 0.0;
        const NumberReading reading = ReadNumber(text, number);
        Refuse(entry, text, reading == NumberReading::kNumber ? "not X,Y" : NumberProblem(reading));
    }
    const NumberReading x = ReadCoordinate(text.substr(0, comma), out.x, out.x_percent);
    const NumberReading y = ReadCoordinate(text.substr(comma + 1), out.y, out.y_percent);
    if (x == NumberReading::kNotANumber || y == NumberReading::kNotANumber) {
        Refuse(entry, text, "not X,Y");
    }
    if (x != NumberReading::kNumber || y != NumberReading::kNumber) {
        Refuse(entry, text, NumberProblem(x != NumberReading::kNumber ? x : y));
    }
    // Per cent is checked against the limit again once the layer is known.
    RequireInRange(entry, text, out.x, -FIXED_LIMIT, FIXED_LIMIT);
    RequireInRange(entry, text, out.y, -FIXED_LIMIT, FIXED_LIMIT);
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
    low = zonara::FixedToDouble(angle.valid_min);
    high = zonara::FixedToDouble(angle.valid_max);
}

ParamValue ParseAngle(const ParamCatalog::Entry &entry, std::string_view text) {
    const double degrees = RequireNumber(entry, text);
    double low = 0.0;
    double high = 0.0;
    AngleRange(entry.def.u.ad, low, high);
    ParamValue out;
    out.kind = ValueKind::kAngle;
    out.number = RequireInRange(entry, text, degrees, low, high);
    return out;
}

// A coordinate of a point in layer pixels, from per cent of `extent` where
// it was given so. Throws for a place beyond what the host holds.
double LayerPixels(const ParamValue &value, double coordinate, bool percent, int extent, char axis) {
    if (!percent) {
        return coordinate;
    }
    const double pixels = coordinate * extent / 100.0;
    if (!(std::fabs(pixels) <= FIXED_LIMIT)) {
        const std::string_view key = zonara::ParamKey(value.index);
        throw UsageError(std::string(key) + ": " + FormatNumber(coordinate) + "% of a layer " + std::to_string(extent) +
                         " pixels " + (axis == 'x' ? "wide" : "high") + " is " + FormatNumber(pixels) +
                         " pixels, beyond the " + FormatNumber(FIXED_LIMIT) + " a point can hold");
    }
    return pixels;
}

// A coordinate in per cent of `extent`, as a preset writes it: "50%".
std::string PercentText(PF_Fixed coordinate, int extent) {
    if (extent <= 0) {
        return "0%";
    }
    return FormatNumber(zonara::FixedToDouble(coordinate) * 100.0 / extent) + "%";
}

PF_Fixed ToFixed(double value) {
    const double scaled = std::round(value * zonara::FIXED_ONE);
    const double limit = static_cast<double>(INT32_MAX);
    return static_cast<PF_Fixed>(std::clamp(scaled, -limit, limit));
}

}  // namespace

ParamCatalog::ParamCatalog(const std::vector<PF_ParamDef> &declared) {
    std::vector<std::string> open_groups;
    for (std::size_t i = 0; i < declared.size(); ++i) {
        const PF_ParamDef &def = declared[i];
        Entry entry;
        entry.index = static_cast<int>(i) + 1;
        const std::string_view key = zonara::ParamKey(entry.index);
        entry.key = key.empty() ? "param_" + std::to_string(entry.index) : std::string(key);
        entry.def = def;
        if (def.param_type == PF_Param_GROUP_END && !open_groups.empty()) {
            open_groups.pop_back();
        }
        entry.group = open_groups.empty() ? "" : open_groups.back();
        if (def.param_type == PF_Param_GROUP_START) {
            open_groups.emplace_back(def.name);
        }
        // The effect's texts are not ours to keep: copied, and the pointers
        // dropped.
        if (def.param_type == PF_Param_POPUP) {
            entry.choices = SplitChoices(def.u.pd);
            entry.def.u.pd.u.namesptr = nullptr;
        }
        if (def.param_type == PF_Param_CHECKBOX) {
            entry.label = def.u.bd.u.nameptr != nullptr ? def.u.bd.u.nameptr : "";
            entry.def.u.bd.u.nameptr = nullptr;
        }
        switch (def.param_type) {
        case PF_Param_FLOAT_SLIDER:
        case PF_Param_POPUP:
        case PF_Param_CHECKBOX:
        case PF_Param_POINT:
        case PF_Param_ANGLE:
            entry.settable = !key.empty();
            break;
        default:
            break;  // groups and the input layer carry no value to set
        }
        rows_.push_back(entry);
        if (entry.settable) {
            entries_.push_back(std::move(entry));
        }
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
    if (wanted.size() > MAX_SUGGESTED_KEY_BYTES) {
        return {};
    }
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
    // `zonara params` lists the group headings and the input layer too, so
    // a user may well try to set them.
    for (const Entry &row : rows_) {
        if (row.key != key) {
            continue;
        }
        const bool heading = row.def.param_type == PF_Param_GROUP_START || row.def.param_type == PF_Param_GROUP_END;
        throw UsageError(row.key + (heading ? " is a group heading, not a value" : " holds no value to set") +
                         " ('zonara params' lists the values)");
    }
    if (zonara::ParamIndexFromKey(key) == zonara::PARAM_INPUT) {
        throw UsageError(std::string(key) + " is the input layer, not a value ('zonara params' lists the values)");
    }
    std::string message = "unknown parameter " + QuotedForMessage(key);
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
    // true and false stay words: a checkbox takes them, a slider refuses
    // them as the words they are.
    if (value.is_boolean()) {
        return ParseText(key, value.get<bool>() ? "true" : "false");
    }
    if (value.is_string()) {
        return ParseText(key, value.get<std::string>());
    }
    if (value.is_number()) {
        return ParseText(key, FormatNumber(value.get<double>()));
    }
    // A point: [X, Y], each a number of pixels or a text such as "50%".
    const auto coordinate = [](const nlohmann::json &part) -> std::optional<std::string> {
        if (part.is_number()) {
            return FormatNumber(part.get<double>());
        }
        if (part.is_string()) {
            return part.get<std::string>();
        }
        return std::nullopt;
    };
    if (value.is_array() && value.size() == 2) {
        const std::optional<std::string> x = coordinate(value[0]);
        const std::optional<std::string> y = coordinate(value[1]);
        if (x && y && x->find(',') == std::string::npos && y->find(',') == std::string::npos) {
            return ParseText(key, *x + "," + *y);
        }
    }
    RefuseEchoed(entry, QuotedForMessage(value.dump()), "unusable value");
}

void ParamCatalog::RefuseValue(std::string_view key, const std::string &quoted, std::string_view why) const {
    RefuseEchoed(Require(key), quoted, why);
}

ParamValue ParamCatalog::ParseAssignment(std::string_view assignment) const {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos) {
        throw UsageError("--set " + QuotedForMessage(assignment) + ": expected KEY=VALUE");
    }
    if (Trim(assignment.substr(0, equals)).empty()) {
        throw UsageError("--set " + QuotedForMessage(assignment) +
                         ": a parameter name is missing before '=' (expected KEY=VALUE)");
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
        return "X,Y in layer pixels, each -32767 to 32767, or in per cent of the layer, e.g. 50%,50%";
    default: {
        double low = 0.0;
        double high = 0.0;
        AngleRange(entry.def.u.ad, low, high);
        return FormatNumber(low) + " to " + FormatNumber(high) + " degrees";
    }
    }
}

ParamValue SliderValue(int index, double number) {
    ParamValue value;
    value.index = index;
    value.kind = ValueKind::kSlider;
    value.number = number;
    return value;
}

ParamValue CheckboxValue(int index, bool on) {
    ParamValue value;
    value.index = index;
    value.kind = ValueKind::kCheckbox;
    value.on = on;
    return value;
}

ParamValue PopupValue(int index, int choice) {
    ParamValue value;
    value.index = index;
    value.kind = ValueKind::kPopup;
    value.choice = choice;
    return value;
}

nlohmann::ordered_json ValueJson(const ParamCatalog::Entry &entry, const PF_ParamDef &value) {
    switch (value.param_type) {
    case PF_Param_POPUP: {
        const int choice = value.u.pd.value;
        if (choice >= 1 && choice <= static_cast<int>(entry.choices.size())) {
            return entry.choices[static_cast<std::size_t>(choice) - 1];
        }
        return choice;
    }
    case PF_Param_CHECKBOX:
        return value.u.bd.value != 0;
    case PF_Param_FLOAT_SLIDER:
        return value.u.fs_d.value;
    case PF_Param_POINT:
        return nlohmann::ordered_json::array(
            {zonara::FixedToDouble(value.u.td.x_value), zonara::FixedToDouble(value.u.td.y_value)});
    case PF_Param_ANGLE:
        return zonara::FixedToDouble(value.u.ad.value);
    default:
        return nullptr;
    }
}

nlohmann::ordered_json PresetValueJson(const ParamCatalog::Entry &entry, const PF_ParamDef &value, int layer_width,
                                       int layer_height) {
    if (value.param_type != PF_Param_POINT) {
        return ValueJson(entry, value);
    }
    return nlohmann::ordered_json::array(
        {PercentText(value.u.td.x_value, layer_width), PercentText(value.u.td.y_value, layer_height)});
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
        def.u.td.x_value = ToFixed(LayerPixels(value, value.x, value.x_percent, store.layer_width(), 'x'));
        def.u.td.y_value = ToFixed(LayerPixels(value, value.y, value.y_percent, store.layer_height(), 'y'));
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
            def.u.td.x_value = ToFixed(zonara::FixedToDouble(def.u.td.x_value) * scale_x);
            def.u.td.y_value = ToFixed(zonara::FixedToDouble(def.u.td.y_value) * scale_y);
        }
    }
}

}  // namespace zonara_tool
