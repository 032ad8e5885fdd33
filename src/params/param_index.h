// Positions of the effect's parameters in the array the host passes with
// every render and event. The host numbers parameters in the order they were
// declared, after its own input layer, so this order is fixed for good.
#pragma once

// The popups' choice numbers, for the code that reads their values.
#include "common/choice_tables.h"

namespace zonara {

enum ParamIndex : int {
    PARAM_INPUT = 0,
    PARAM_WINDOW_TYPE,
    PARAM_WINDOW_GROUP_START,
    PARAM_ORIGIN,
    PARAM_WIDTH,
    PARAM_HEIGHT,
    PARAM_ANGLE,
    PARAM_FEATHER,
    PARAM_FALLOFF,
    PARAM_INVERT,
    PARAM_WINDOW_GROUP_END,
    PARAM_IN_OFFSET,
    PARAM_IN_GAMMA,
    PARAM_IN_GAIN,
    PARAM_IN_SATURATION,
    PARAM_IN_RGB_GROUP_START,
    PARAM_IN_RED_OFFSET,
    PARAM_IN_RED_GAMMA,
    PARAM_IN_RED_GAIN,
    PARAM_IN_GREEN_OFFSET,
    PARAM_IN_GREEN_GAMMA,
    PARAM_IN_GREEN_GAIN,
    PARAM_IN_BLUE_OFFSET,
    PARAM_IN_BLUE_GAMMA,
    PARAM_IN_BLUE_GAIN,
    PARAM_IN_RGB_GROUP_END,
    PARAM_OUT_GROUP_START,
    PARAM_OUT_OFFSET,
    PARAM_OUT_GAMMA,
    PARAM_OUT_GAIN,
    PARAM_OUT_SATURATION,
    PARAM_OUT_GROUP_END,
    PARAM_OUT_RGB_GROUP_START,
    PARAM_OUT_RED_OFFSET,
    PARAM_OUT_RED_GAMMA,
    PARAM_OUT_RED_GAIN,
    PARAM_OUT_GREEN_OFFSET,
    PARAM_OUT_GREEN_GAMMA,
    PARAM_OUT_GREEN_GAIN,
    PARAM_OUT_BLUE_OFFSET,
    PARAM_OUT_BLUE_GAMMA,
    PARAM_OUT_BLUE_GAIN,
    PARAM_OUT_RGB_GROUP_END,
    PARAM_CLAMP_OUT_BLACK,
    PARAM_CLAMP_OUT_WHITE,
    PARAM_CLAMP_IN_BLACK,
    PARAM_MIX,
    PARAM_COLOR_MODEL,
    // The declared parameters plus the host's input layer: what num_params
    // must say.
    PARAM_COUNT
};

static_assert(PARAM_COLOR_MODEL == 47 && PARAM_COUNT == 48);

}  // namespace zonara
