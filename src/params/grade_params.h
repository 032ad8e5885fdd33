// Which parameters make each side's grade: the master Offset, Gamma and Gain,
// the same three per channel, and the side's Saturation. One list, for the
// render that folds them and for anything that reads or writes a side's
// grade by its parameters.
#pragma once

#include "params/param_index.h"

namespace zonara {

// Which side's grade: the inside's applies where the weight is 1, the
// outside's where it is 0.
enum GradeSide : int { SIDE_OUTSIDE = 0, SIDE_INSIDE = 1 };

constexpr int GRADE_CHANNELS = 3;  // red, green, blue

struct GradeSources {
    int master_offset, master_gamma, master_gain;
    int channel_offset[GRADE_CHANNELS];
    int channel_gamma[GRADE_CHANNELS];
    int channel_gain[GRADE_CHANNELS];
    int saturation;
};

constexpr GradeSources INSIDE_SOURCES = {
    PARAM_IN_OFFSET,
    PARAM_IN_GAMMA,
    PARAM_IN_GAIN,
    {PARAM_IN_RED_OFFSET, PARAM_IN_GREEN_OFFSET, PARAM_IN_BLUE_OFFSET},
    {PARAM_IN_RED_GAMMA, PARAM_IN_GREEN_GAMMA, PARAM_IN_BLUE_GAMMA},
    {PARAM_IN_RED_GAIN, PARAM_IN_GREEN_GAIN, PARAM_IN_BLUE_GAIN},
    PARAM_IN_SATURATION,
};

constexpr GradeSources OUTSIDE_SOURCES = {
    PARAM_OUT_OFFSET,
    PARAM_OUT_GAMMA,
    PARAM_OUT_GAIN,
    {PARAM_OUT_RED_OFFSET, PARAM_OUT_GREEN_OFFSET, PARAM_OUT_BLUE_OFFSET},
    {PARAM_OUT_RED_GAMMA, PARAM_OUT_GREEN_GAMMA, PARAM_OUT_BLUE_GAMMA},
    {PARAM_OUT_RED_GAIN, PARAM_OUT_GREEN_GAIN, PARAM_OUT_BLUE_GAIN},
    PARAM_OUT_SATURATION,
};

constexpr const GradeSources &GradeSourcesOf(GradeSide side) {
    return side == SIDE_INSIDE ? INSIDE_SOURCES : OUTSIDE_SOURCES;
}

}  // namespace zonara
