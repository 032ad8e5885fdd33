// Setting the effect's parameters by key, as a user types them on the command
// line (--set width=800) or as a saved look holds them (a JSON object). Values
// are checked against the ranges the effect itself declared, so the tool never
// hands the effect a value its host would refuse.
//
// Shared by every command that sets parameters: parse once into ParamValue,
// then apply to the host's parameter store.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "pf_sdk.h"
#include "testhost/core/param_store.h"

namespace zonara_tool {

enum class ValueKind { kSlider, kPopup, kCheckbox, kPoint, kAngle };

struct ParamValue {
    int index = 0;
    ValueKind kind = ValueKind::kSlider;
    double number = 0.0;  // slider value; angle in degrees
    int choice = 0;       // popup choice, counted from 1
    bool on = false;      // checkbox
    double x = 0.0;       // point, in full-resolution layer pixels,
    double y = 0.0;       // or in per cent of the layer where marked so
    bool x_percent = false;
    bool y_percent = false;
};

// Values made by the tool itself rather than parsed from text.
ParamValue SliderValue(int index, double number);
ParamValue CheckboxValue(int index, bool on);
ParamValue PopupValue(int index, int choice);

// A point or angle is kept by the host as 16.16 fixed point; beyond this many
// units it no longer fits.
constexpr double FIXED_LIMIT = 32767.0;

// What can be set, learnt from the parameters the effect declared.
class ParamCatalog {
public:
    struct Entry {
        int index = 0;
        std::string key;                   // as --set and presets name it; param_N for a group
        std::string group;                 // the enclosing group's name, empty at the top level
        PF_ParamDef def{};                 // the declaration, without the effect's text pointers
        std::vector<std::string> choices;  // popup labels, in order
        std::string label;                 // a checkbox's text beside the box
        bool settable = false;             // a value a user sets (not a group)
    };

    // `declared` holds the declarations in order, the first being position 1.
    explicit ParamCatalog(const std::vector<PF_ParamDef> &declared);
    // Every declared parameter in order, groups included.
    const std::vector<Entry> &rows() const { return rows_; }

    // Null for an unknown key, a group marker or the input layer. Keys are
    // exact: the callers take spaces off them.
    const Entry *Find(std::string_view key) const;
    // Settable keys close to a mistyped one, best first (at most three).
    std::vector<std::string> NearestKeys(std::string_view key) const;
    const std::vector<Entry> &entries() const { return entries_; }

    // Each throws ToolError (usage) naming the key, and the valid range
    // where a value was out of it.
    ParamValue ParseText(std::string_view key, std::string_view text) const;
    ParamValue ParseJson(std::string_view key, const nlohmann::json &value) const;
    // "KEY=VALUE"; spaces around the key are no part of it, as in a preset.
    ParamValue ParseAssignment(std::string_view assignment) const;
    // Throws the refusal of a value (already quoted for the message) that
    // no parameter of the key's kind takes, or of the key itself.
    [[noreturn]] void RefuseValue(std::string_view key, const std::string &quoted, std::string_view why) const;

private:
    const Entry &Require(std::string_view key) const;
    std::vector<Entry> rows_;
    std::vector<Entry> entries_;
};

// The range a value must lie in, as shown in messages: "0 to 15000",
// "Ellipse, Rectangle (or 1 to 2)".
std::string DescribeRange(const ParamCatalog::Entry &entry);

// A value as the tool shows it: a popup by its label (its number when it
// has none), a checkbox as true or false, a point as [X, Y] in layer
// pixels, an angle in degrees.
nlohmann::ordered_json ValueJson(const ParamCatalog::Entry &entry, const PF_ParamDef &value);

// A value as a preset keeps it: as ValueJson, except that a point is
// ["X%", "Y%"] of a `layer_width` x `layer_height` layer, so that the
// preset means the same place on a layer of any size.
nlohmann::ordered_json PresetValueJson(const ParamCatalog::Entry &entry, const PF_ParamDef &value, int layer_width,
                                       int layer_height);

// Writes the value into the store. Points are given in full-resolution layer
// pixels (per cent being taken of the layer the store was reset for) and
// stored as such; see ScalePoints for a reduced render. Throws ToolError
// (usage) for a per cent that makes a point beyond FIXED_LIMIT pixels on
// this layer.
void ApplyParamValue(const ParamValue &value, testhost::ParamStore &store);

// A host rendering at reduced resolution passes points in the reduced grid:
// every point parameter is multiplied by `scale_x`, `scale_y`.
void ScalePoints(testhost::ParamStore &store, double scale_x, double scale_y);

}  // namespace zonara_tool
