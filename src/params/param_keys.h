// Stable text keys for the parameters, for tools that address a parameter by
// name rather than by position (the host never sees these). Header-only and
// constexpr so that a tool can use it without linking the effect.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "param_index.h"

namespace zonara {

struct ParamKeyEntry {
    ParamIndex index;
    std::string_view key;
};

// One entry per ParamIndex, in index order; the key is the enumerator's name
// in lower case without its "PARAM_" prefix.
inline constexpr std::array<ParamKeyEntry, PARAM_COUNT> PARAM_KEYS = {{
    {PARAM_INPUT, "input"},
    {PARAM_WINDOW_TYPE, "window_type"},
    {PARAM_WINDOW_GROUP_START, "window_group_start"},
    {PARAM_ORIGIN, "origin"},
    {PARAM_WIDTH, "width"},
    {PARAM_HEIGHT, "height"},
    {PARAM_ANGLE, "angle"},
    {PARAM_FEATHER, "feather"},
    {PARAM_FALLOFF, "falloff"},
    {PARAM_INVERT, "invert"},
    {PARAM_WINDOW_GROUP_END, "window_group_end"},
    {PARAM_IN_OFFSET, "in_offset"},
    {PARAM_IN_GAMMA, "in_gamma"},
    {PARAM_IN_GAIN, "in_gain"},
    {PARAM_IN_SATURATION, "in_saturation"},
    {PARAM_IN_RGB_GROUP_START, "in_rgb_group_start"},
    {PARAM_IN_RED_OFFSET, "in_red_offset"},
    {PARAM_IN_RED_GAMMA, "in_red_gamma"},
    {PARAM_IN_RED_GAIN, "in_red_gain"},
    {PARAM_IN_GREEN_OFFSET, "in_green_offset"},
    {PARAM_IN_GREEN_GAMMA, "in_green_gamma"},
    {PARAM_IN_GREEN_GAIN, "in_green_gain"},
    {PARAM_IN_BLUE_OFFSET, "in_blue_offset"},
    {PARAM_IN_BLUE_GAMMA, "in_blue_gamma"},
    {PARAM_IN_BLUE_GAIN, "in_blue_gain"},
    {PARAM_IN_RGB_GROUP_END, "in_rgb_group_end"},
    {PARAM_OUT_GROUP_START, "out_group_start"},
    {PARAM_OUT_OFFSET, "out_offset"},
    {PARAM_OUT_GAMMA, "out_gamma"},
    {PARAM_OUT_GAIN, "out_gain"},
    {PARAM_OUT_SATURATION, "out_saturation"},
    {PARAM_OUT_GROUP_END, "out_group_end"},
    {PARAM_OUT_RGB_GROUP_START, "out_rgb_group_start"},
    {PARAM_OUT_RED_OFFSET, "out_red_offset"},
    {PARAM_OUT_RED_GAMMA, "out_red_gamma"},
    {PARAM_OUT_RED_GAIN, "out_red_gain"},
    {PARAM_OUT_GREEN_OFFSET, "out_green_offset"},
    {PARAM_OUT_GREEN_GAMMA, "out_green_gamma"},
    {PARAM_OUT_GREEN_GAIN, "out_green_gain"},
    {PARAM_OUT_BLUE_OFFSET, "out_blue_offset"},
    {PARAM_OUT_BLUE_GAMMA, "out_blue_gamma"},
    {PARAM_OUT_BLUE_GAIN, "out_blue_gain"},
    {PARAM_OUT_RGB_GROUP_END, "out_rgb_group_end"},
    {PARAM_CLAMP_OUT_BLACK, "clamp_out_black"},
    {PARAM_CLAMP_OUT_WHITE, "clamp_out_white"},
    {PARAM_CLAMP_IN_BLACK, "clamp_in_black"},
    {PARAM_MIX, "mix"},
    {PARAM_COLOR_MODEL, "color_model"},
}};

// The key of a position, or an empty view for a position outside the array.
constexpr std::string_view ParamKey(int index) {
    if (index < 0 || index >= PARAM_COUNT) {
        return {};
    }
    return PARAM_KEYS[static_cast<std::size_t>(index)].key;
}

// The position named by a key (exact, case-sensitive), if any.
constexpr std::optional<ParamIndex> ParamIndexFromKey(std::string_view key) {
    for (const ParamKeyEntry &entry : PARAM_KEYS) {
        if (entry.key == key) {
            return entry.index;
        }
    }
    return std::nullopt;
}

}  // namespace zonara
