// The per-pixel grade, in the order pixel_composition-inl.h composes it,
// with the record's power. Inline, because every pixel of a frame comes
// through here.
#pragma once

#include "render/formula/float_pixel.h"
#include "render/formula/hot_inline.h"
#include "render/formula/hsv.h"
#include "render/formula/pixel_steps.h"
#include "render/formula/window_weight.h"
#include "render/frame/window_render_params.h"

namespace zonara {

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
        return static_cast<float>(steps::LegacyAfterPower(
            GradePower(record, static_cast<double>(value), static_cast<double>(grade.inv_gamma)),
            static_cast<double>(grade.gain), static_cast<double>(grade.offset)));
    }
    // CDL: gain and offset first (single precision), then the power.
    const float base = steps::CdlBase(record, value, grade.gain, grade.offset);
    return static_cast<float>(GradePower(record, static_cast<double>(base), static_cast<double>(grade.inv_gamma)));
}

// What one pixel takes its own way in the composed steps: the record's
// power, and every hue's sector.
struct OnePixelPath : OnePixelHues {
    // A pixel has one weight, so one grade: a side's or the blend.
    static constexpr bool WHOLE_GRADE = true;
    const WindowRenderParams *record;
    bool graded;

    ZONARA_HOT_INLINE float GradeChannel(int, const steps::Sides<float, bool> &, float value,
                                         const steps::ChannelConstants<float> &c, bool) const {
        return zonara::GradeChannel(*record, ChannelGrade{c.offset, c.inv_gamma, c.gain, false}, value);
    }
};

// The whole pixel for a weight already known.
ZONARA_HOT_INLINE FloatPixel GradePixelAtWeight(const WindowRenderParams &record, float weight,
                                                const FloatPixel &source) {
    return steps::GradePixelFrom(OnePixelPath{{}, &record, GradeEnabled(record)}, record, source, true,
                                 [weight] { return weight; });
}

// The weight the pixel stage works with: the window weight, or 1 when the
// frame's result does not depend on it.
ZONARA_HOT_INLINE float FrameWeight(const WindowRenderParams &record, A_long x, A_long y) {
    return record.weight_matters ? WindowWeight(record, x, y) : 1.0f;
}

// The whole pixel at position (x, y) of the rendered buffer.
inline FloatPixel GradePixel(const WindowRenderParams &record, A_long x, A_long y, const FloatPixel &source) {
    return GradePixelAtWeight(record, FrameWeight(record, x, y), source);
}

}  // namespace zonara
