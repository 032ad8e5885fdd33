// What each declared parameter is: type, disk ID, name, flags, range and
// default. Saved projects find values by disk ID, so IDs, types and order
// never change once released.
#pragma once

#include <array>

#include "common/string_table.h"
#include "params/param_index.h"
#include "pf_sdk.h"

namespace zonara {

// Bounds shared by the float sliders. The valid range is what may be typed,
// the slider range what the slider shows.
struct SliderProfile {
    PF_FpShort valid_min;
    PF_FpShort valid_max;
    PF_FpShort slider_min;
    PF_FpShort slider_max;
    A_short precision;
};

inline constexpr SliderProfile SIZE_SLIDER{0.0f, 15000.0f, 0.0f, 15000.0f, 1};
inline constexpr SliderProfile OFFSET_SLIDER{-5.0f, 5.0f, -1.0f, 1.0f, 4};
inline constexpr SliderProfile UNIT_SLIDER{0.0f, 10.0f, 0.0f, 2.0f, 2};
inline constexpr SliderProfile MIX_SLIDER{0.0f, 1.0f, 0.0f, 1.0f, 2};

inline constexpr PF_FpShort SLIDER_CURVE_TOLERANCE = 0.05f;
// Point defaults are per cent of the layer's size: the window starts centred.
inline constexpr PF_Fixed ORIGIN_DEFAULT_PERCENT = 50 * PF_FIXED_ONE;

struct ParamDeclaration {
    ParamIndex index;
    A_long disk_id;
    PF_ParamType type;
    StringId name;  // unused for group ends, which carry no name
    PF_ParamFlags flags;
    // Float sliders.
    const SliderProfile *slider;
    PF_FpShort slider_default;
    // Popups: choice list, count and default choice; checkboxes: default.
    StringId choices;
    A_short num_choices;
    A_short default_choice;
    const char *checkbox_label;
};

namespace declare {

inline constexpr PF_ParamFlags CANNOT_TIME_VARY = PF_ParamFlag_CANNOT_TIME_VARY;
inline constexpr PF_ParamFlags ANIMATABLE = 0;

constexpr ParamDeclaration Popup(ParamIndex index, A_long id, StringId name, PF_ParamFlags flags, StringId choices,
                                 A_short num_choices, A_short default_choice) {
    return {index, id, PF_Param_POPUP, name, flags, nullptr, 0.0f, choices, num_choices, default_choice, nullptr};
}
constexpr ParamDeclaration GroupStart(ParamIndex index, A_long id, StringId name) {
    return {index, id, PF_Param_GROUP_START, name, 0, nullptr, 0.0f, STR_NONE, 0, 0, nullptr};
}
constexpr ParamDeclaration GroupEnd(ParamIndex index, A_long id) {
    return {index, id, PF_Param_GROUP_END, STR_NONE, 0, nullptr, 0.0f, STR_NONE, 0, 0, nullptr};
}
constexpr ParamDeclaration Point(ParamIndex index, A_long id, StringId name, PF_ParamFlags flags) {
    return {index, id, PF_Param_POINT, name, flags, nullptr, 0.0f, STR_NONE, 0, 0, nullptr};
}
constexpr ParamDeclaration Angle(ParamIndex index, A_long id, StringId name, PF_ParamFlags flags) {
    return {index, id, PF_Param_ANGLE, name, flags, nullptr, 0.0f, STR_NONE, 0, 0, nullptr};
}
constexpr ParamDeclaration Slider(ParamIndex index, A_long id, StringId name, PF_ParamFlags flags,
                                  const SliderProfile &profile, PF_FpShort default_value) {
    return {index, id, PF_Param_FLOAT_SLIDER, name, flags, &profile, default_value, STR_NONE, 0, 0, nullptr};
}
constexpr ParamDeclaration Checkbox(ParamIndex index, A_long id, StringId name, PF_ParamFlags flags, const char *label,
                                    bool default_on) {
    return {index,   id,   PF_Param_CHECKBOX, name, flags,
            nullptr, 0.0f, STR_NONE,          0,    static_cast<A_short>(default_on ? 1 : 0),
            label};
}

}  // namespace declare

inline constexpr std::size_t DECLARED_PARAM_COUNT = PARAM_COUNT - 1;

// Parameters 1 to 47, in the order they are declared.
extern const std::array<ParamDeclaration, DECLARED_PARAM_COUNT> PARAM_DECLARATIONS;

}  // namespace zonara
