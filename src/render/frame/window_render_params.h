// The per-frame record: everything the pixel stage needs that does not change
// from pixel to pixel, built once from the parameters before the pixel walk
// and never written afterwards (it is read from any number of threads). The
// parameters' values come first, then what is derived from them; the
// accelerators a frame may have are planned apart (frame_plan.h).
#pragma once

#include <cstdint>

#include "params/grade_params.h"
#include "params/param_index.h"
#include "pf_sdk.h"

namespace zonara {

constexpr int CHANNEL_COUNT = 3;  // red, green, blue

// One colour channel's grade as the pixel stage applies it.
struct ChannelGrade {
    float offset;
    float inv_gamma;
    float gain;
    // Offset 0, reciprocal gamma 1 and gain 1: the channel is left alone.
    bool identity;
};

// One side's grade (or, in the feather band, a blend of both sides).
struct EffectiveGrade {
    ChannelGrade channel[CHANNEL_COUNT];
    float saturation;
    bool apply_saturation;
};

using PowFunction = double (*)(double, double);

struct WindowRenderParams {
    // Pixel position to window coordinates (u along the width, v along the
    // height, square-pixel units, origin at the Point of origin).
    float ux;
    float uy;
    float u_const;
    float vx;
    float vy;
    float v_const;

    // The window's outline: half its Width along u, half its Height along v.
    float half_width;
    float half_height;
    // Ellipse only: 1 / half_width^2 and 1 / half_height^2, the outline test.
    float inv_half_width_sq;
    float inv_half_height_sq;
    // Rectangle only: 1 / feather and 1 / vertical feather, which turn the
    // distance into the band into a fraction of its width.
    float inv_feather;
    float inv_vertical_feather;
    // Ellipse only: half_width x half_height. An ellipse with half axes a and
    // b lies at distance a b / sqrt(b^2 cos^2 + a^2 sin^2) from its centre in
    // a direction; the products and squares of that formula are kept here so
    // that a band pixel computes only the direction's part.
    float outer_ab;
    // The inner edge of the feather band: the outline moved in by the feather
    // across the width and by the same feather scaled to the height.
    float inner_half_width;
    float inner_half_height;
    // Ellipse only: inner_half_width x inner_half_height, the inner ellipse's
    // a b of the distance formula above.
    float inner_ab;
    // Ellipse only: the inner half axes squared (the b^2 and a^2 of the inner
    // ellipse's distance), and their reciprocals, the test whether a pixel
    // lies beyond the inner ellipse and so in the band.
    float inner_half_width_sq;
    float inner_half_height_sq;
    float inv_inner_half_width_sq;
    float inv_inner_half_height_sq;
    // Ellipse only: the outline's half axes squared, for the outline's
    // distance in the pixel's direction.
    float half_width_sq;
    float half_height_sq;
    // Feather across the width, held one pixel short of half_width.
    float feather;

    bool is_ellipse;
    bool invert;
    std::int32_t falloff;
    std::int32_t color_model;
    float mix;
    bool clamp_out_white;
    bool clamp_out_black;
    // Acts in two places that do not mirror each other: a float buffer's
    // source colours below 0 are read as 0 (integer codes cannot be
    // negative), and in the CDL model the base gain x value + offset is
    // limited at 0 before its power. The Legacy model's power sees the source
    // value as it is, so a negative offset may still push a Legacy result
    // below 0; only Clamp output black limits that.
    bool clamp_in_black;

    // Each side's grade, indexed by GradeSide: the master controls folded
    // into each channel's offset, reciprocal gamma and gain, the identity
    // tests made, and the side's saturation. The only copy of the grade.
    EffectiveGrade side_grade[2];

    // ---- derived once per frame so that pixels do not re-derive them ----

    // The power every grade takes: the host's callback, or the standard one
    // when the host offers none.
    PowFunction grade_pow;
    // False when no colour goes through a grade or saturation (both sides at
    // identity, or an unknown colour model): colours then keep their bits,
    // not-a-number payloads included, as no operation joins two of them.
    bool grades_colours;
    // False when the result cannot depend on the weight (nothing is graded,
    // or Mix leaves the source as it is), so the weight need not be computed.
    bool weight_matters;
};

// Fills the record from the frame's in-data and the parameter array (indexed
// by ParamIndex). Every parameter pointer must be valid.
void BuildWindowRenderParams(const PF_InData &in_data, const PF_ParamDef *const *params, WindowRenderParams &record);

// The reciprocal gamma of a channel as the render takes it: the master's
// reciprocal rounded to single precision first, the product rounded again.
float FoldInverseGamma(float channel_gamma, float master_gamma);

// One side's grade from its parameters: the master controls folded into
// each channel's offset, reciprocal gamma and gain, the identity tests
// made. The render's fold, and the one the CDL export reads a side by.
EffectiveGrade FoldSideGrade(const PF_ParamDef *const *params, GradeSide side);

// Fills the derived fields (grade_pow from the host's callbacks in in_data,
// which may be null, the identity tests of side_grade, grades_colours, weight_matters) from
// the others; BuildWindowRenderParams ends with it.
void DeriveFrameConstants(const PF_InData *in_data, WindowRenderParams &record);

// The record of a frame, built once and read-only from then on.
inline WindowRenderParams MakeWindowRenderParams(const PF_InData &in_data, const PF_ParamDef *const *params) {
    WindowRenderParams record;
    BuildWindowRenderParams(in_data, params, record);
    return record;
}

// True when the grade is switched on at all (a known colour model).
inline bool GradeEnabled(const WindowRenderParams &record) {
    return record.color_model == COLOR_MODEL_LEGACY || record.color_model == COLOR_MODEL_CDL;
}

}  // namespace zonara
