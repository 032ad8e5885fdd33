#include "render/frame/window_render_params.h"

#include <cmath>
#include <cstring>

#include "common/fixed_scale.h"
#include "params/param_index.h"

namespace zonara {
namespace {

// Minus pi / 180: the transform rotates by minus the Angle.
constexpr double NEGATIVE_DEGREES_TO_RADIANS = -0.017453292519943295;

double StandardPow(double base, double exponent) { return std::pow(base, exponent); }

float SliderValue(const PF_ParamDef *const *params, int index) {
    return static_cast<float>(params[index]->u.fs_d.value);
}

double SliderValueDouble(const PF_ParamDef *const *params, int index) { return params[index]->u.fs_d.value; }

// Checkboxes are read from the low byte of their value, as the host's
// boolean is one byte wide.
bool CheckboxValue(const PF_ParamDef *const *params, int index) {
    return static_cast<std::uint8_t>(params[index]->u.bd.value & 0xFF) != 0;
}

std::int32_t PopupValue(const PF_ParamDef *const *params, int index) { return params[index]->u.pd.value; }

void MarkIdentities(EffectiveGrade &grade) {
    for (ChannelGrade &channel : grade.channel) {
        channel.identity = channel.offset == 0.0f && channel.inv_gamma == 1.0f && channel.gain == 1.0f;
    }
    grade.apply_saturation = grade.saturation != 1.0f;
}

bool IsIdentity(const EffectiveGrade &grade) {
    for (const ChannelGrade &channel : grade.channel) {
        if (!channel.identity) return false;
    }
    return !grade.apply_saturation;
}

}  // namespace

float FoldInverseGamma(float channel_gamma, float master_gamma) {
    const float master_inv_gamma = static_cast<float>(1.0 / static_cast<double>(master_gamma));
    return static_cast<float>((1.0 / static_cast<double>(channel_gamma)) * static_cast<double>(master_inv_gamma));
}

EffectiveGrade FoldSideGrade(const PF_ParamDef *const *params, GradeSide side) {
    const GradeSources &sources = GradeSourcesOf(side);
    EffectiveGrade grade{};
    const float master_offset = SliderValue(params, sources.master_offset);
    const float master_gain = SliderValue(params, sources.master_gain);
    const float master_gamma = SliderValue(params, sources.master_gamma);
    for (int k = 0; k < CHANNEL_COUNT; ++k) {
        ChannelGrade &channel = grade.channel[k];
        channel.offset = SliderValue(params, sources.channel_offset[k]) + master_offset;
        channel.inv_gamma = FoldInverseGamma(SliderValue(params, sources.channel_gamma[k]), master_gamma);
        channel.gain = SliderValue(params, sources.channel_gain[k]) * master_gain;
    }
    grade.saturation = SliderValue(params, sources.saturation);
    MarkIdentities(grade);
    return grade;
}

void BuildWindowRenderParams(const PF_InData &in_data, const PF_ParamDef *const *params, WindowRenderParams &record) {
    std::memset(&record, 0, sizeof record);

    const double angle = FixedToDouble(params[PARAM_ANGLE]->u.ad.value) * NEGATIVE_DEGREES_TO_RADIANS;
    const float c = static_cast<float>(std::cos(angle));
    const float s = static_cast<float>(std::sin(angle));

    const float origin_x = static_cast<float>(FixedToDouble(params[PARAM_ORIGIN]->u.td.x_value));
    const float origin_y = static_cast<float>(FixedToDouble(params[PARAM_ORIGIN]->u.td.y_value));

    // Horizontal downsample factor over the pixel aspect ratio; the vertical
    // direction takes no aspect ratio.
    const float scale_x =
        (static_cast<float>(in_data.pixel_aspect_ratio.den) / static_cast<float>(in_data.pixel_aspect_ratio.num)) *
        (static_cast<float>(in_data.downsample_x.num) / static_cast<float>(in_data.downsample_x.den));
    const float scale_y = static_cast<float>(in_data.downsample_y.num) / static_cast<float>(in_data.downsample_y.den);

    record.ux = c / scale_x;
    record.uy = -(s / scale_y);
    record.u_const = (origin_y * s) / scale_y - (origin_x * c) / scale_x;
    record.vx = s / scale_x;
    record.vy = c / scale_y;
    record.v_const = -((origin_x * s) / scale_x) - (origin_y * c) / scale_y;

    const float half_width = static_cast<float>(SliderValueDouble(params, PARAM_WIDTH) * 0.5);
    const float half_height = static_cast<float>(SliderValueDouble(params, PARAM_HEIGHT) * 0.5);
    record.half_width = half_width;
    record.half_height = half_height;
    const float aspect = half_width / half_height;

    float feather = SliderValue(params, PARAM_FEATHER);
    if (feather >= half_width) feather = half_width - 1.0f;
    record.feather = feather;

    const float inner_half_width = half_width - feather;
    const float vertical_feather = feather / aspect;
    const float inner_half_height = half_height - vertical_feather;
    record.inner_half_width = inner_half_width;
    record.inner_half_height = inner_half_height;

    if (PopupValue(params, PARAM_WINDOW_TYPE) == WINDOW_TYPE_RECTANGLE) {
        record.is_ellipse = false;
        record.inv_feather = 1.0f / feather;
        record.inv_vertical_feather = 1.0f / vertical_feather;
    } else {
        record.is_ellipse = true;
        record.inv_half_width_sq = 1.0f / (half_width * half_width);
        record.inv_half_height_sq = 1.0f / (half_height * half_height);
        record.outer_ab = half_height * half_width;
        record.inner_ab = inner_half_height * inner_half_width;
        record.inner_half_width_sq = inner_half_width * inner_half_width;
        record.inner_half_height_sq = inner_half_height * inner_half_height;
        record.inv_inner_half_width_sq = 1.0f / (inner_half_width * inner_half_width);
        record.inv_inner_half_height_sq = 1.0f / (inner_half_height * inner_half_height);
        record.half_width_sq = half_width * half_width;
        record.half_height_sq = half_height * half_height;
    }

    record.invert = CheckboxValue(params, PARAM_INVERT);
    record.clamp_out_white = CheckboxValue(params, PARAM_CLAMP_OUT_WHITE);
    record.clamp_out_black = CheckboxValue(params, PARAM_CLAMP_OUT_BLACK);
    record.clamp_in_black = CheckboxValue(params, PARAM_CLAMP_IN_BLACK);
    record.falloff = PopupValue(params, PARAM_FALLOFF);
    record.color_model = PopupValue(params, PARAM_COLOR_MODEL);
    record.mix = SliderValue(params, PARAM_MIX);

    record.side_grade[SIDE_INSIDE] = FoldSideGrade(params, SIDE_INSIDE);
    record.side_grade[SIDE_OUTSIDE] = FoldSideGrade(params, SIDE_OUTSIDE);

    DeriveFrameConstants(&in_data, record);
}

void DeriveFrameConstants(const PF_InData *in_data, WindowRenderParams &record) {
    record.grade_pow = (in_data != nullptr && in_data->utils != nullptr && in_data->utils->ansi.pow != nullptr)
                           ? in_data->utils->ansi.pow
                           : &StandardPow;
    MarkIdentities(record.side_grade[SIDE_INSIDE]);
    MarkIdentities(record.side_grade[SIDE_OUTSIDE]);
    // With both sides at identity every weight, blended ones included, skips
    // the grade and the saturation alike; Mix 0 and an unknown colour model
    // skip them for every weight too.
    record.grades_colours = GradeEnabled(record) && !(IsIdentity(record.side_grade[SIDE_INSIDE]) &&
                                                      IsIdentity(record.side_grade[SIDE_OUTSIDE]));
    record.weight_matters = record.mix > 0.0f && record.grades_colours;
}

}  // namespace zonara
