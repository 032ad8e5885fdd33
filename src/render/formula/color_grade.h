// The per-pixel grade: the window weight picks (or blends) the inside and
// outside constants, the colour model grades each channel, then saturation,
// Mix with the source and the output clamps follow. Inline, because every
// pixel of a frame comes through here.
#pragma once

#include "render/formula/float_pixel.h"
#include "render/formula/hot_inline.h"
#include "render/formula/hsv.h"
#include "render/formula/pixel_steps.h"
#include "render/frame/window_render_params.h"
#include "render/formula/window_weight.h"

namespace zonara {

// The linear blend of both sides' constants for a weight strictly between 0
// and 1 (the constants are blended, not the graded colours).
void BlendGrades(const WindowRenderParams &record, float weight, EffectiveGrade &blended);

// The constants for weight w: one side's exactly at 0 and 1, the blend in
// between. Returns a reference to side_grade or to *blended.
inline const EffectiveGrade &ResolveGrade(const WindowRenderParams &record, float weight,
                                          EffectiveGrade *blended) {
    if (weight == 1.0f) return record.side_grade[SIDE_INSIDE];
    if (weight == 0.0f) return record.side_grade[SIDE_OUTSIDE];
    BlendGrades(record, weight, *blended);
    return *blended;
}

// The grade's power of one base. A negative base passes through unchanged,
// as a CDL without clamps treats it: a power that is not an integer has no
// real value there, and not-a-number would spread through saturation to the
// pixel's other channels.
inline double GradePower(const WindowRenderParams &record, double base, double exponent) {
    return base < 0.0 ? base : record.grade_pow(base, exponent);
}

// One channel through the colour model; the caller skips identity channels.
inline float GradeChannel(const WindowRenderParams &record, const ChannelGrade &grade, float value) {
    if (record.color_model == COLOR_MODEL_LEGACY) {
        // Power first, then gain and offset, all in double.
        return static_cast<float>(
            steps::LegacyAfterPower(GradePower(record, static_cast<double>(value), static_cast<double>(grade.inv_gamma)),
                                    static_cast<double>(grade.gain), static_cast<double>(grade.offset)));
    }
    // CDL: gain and offset first (single precision), then the power.
    const float base = steps::CdlBase(record, value, grade.gain, grade.offset);
    return static_cast<float>(GradePower(record, static_cast<double>(base), static_cast<double>(grade.inv_gamma)));
}

// Saturation (when the grade asks for it), Mix with the source and the
// clamps, applied to the graded colours in result.
ZONARA_HOT_INLINE void FinishPixel(const WindowRenderParams &record, const EffectiveGrade &grade, const FloatPixel &source,
                        FloatPixel &result) {
    if (grade.apply_saturation) {
        // No limit: a saturation above 1 may push a channel below 0.
        const Rgb rgb = ScaleSaturation(result.red, result.green, result.blue, grade.saturation);
        result.red = rgb.red;
        result.green = rgb.green;
        result.blue = rgb.blue;
    }
    steps::MixAndClamp(record, source, result);
}

// The whole pixel for a weight already known.
ZONARA_HOT_INLINE FloatPixel GradePixelAtWeight(const WindowRenderParams &record, float weight, const FloatPixel &source) {
    FloatPixel result = source;
    // Mix 0 (or not a number) leaves the source as it is, unclamped.
    if (!(record.mix > 0.0f)) return result;

    EffectiveGrade blended;
    const EffectiveGrade &grade = ResolveGrade(record, weight, &blended);
    if (!GradeEnabled(record)) {
        // An unknown colour model skips the grade and the saturation alike.
        EffectiveGrade no_saturation = grade;
        no_saturation.apply_saturation = false;
        FinishPixel(record, no_saturation, source, result);
        return result;
    }
    if (!grade.channel[0].identity) result.red = GradeChannel(record, grade.channel[0], result.red);
    if (!grade.channel[1].identity) result.green = GradeChannel(record, grade.channel[1], result.green);
    if (!grade.channel[2].identity) result.blue = GradeChannel(record, grade.channel[2], result.blue);
    FinishPixel(record, grade, source, result);
    return result;
}

// The weight the pixel stage works with: the window weight, or 1 when the
// frame's result does not depend on it.
inline float FrameWeight(const WindowRenderParams &record, A_long x, A_long y) {
    return record.weight_matters ? WindowWeight(record, x, y) : 1.0f;
}

// The whole pixel at position (x, y) of the rendered buffer.
inline FloatPixel GradePixel(const WindowRenderParams &record, A_long x, A_long y, const FloatPixel &source) {
    return GradePixelAtWeight(record, FrameWeight(record, x, y), source);
}

}  // namespace zonara
