#include "render/color_grade.h"

#include "render/hsv.h"

namespace zonara {

const EffectiveGrade &ResolveGrade(const WindowRenderParams &record, float weight,
                                   EffectiveGrade *blended) {
    if (weight == 1.0f) return record.side_grade[SIDE_INSIDE];
    if (weight == 0.0f) return record.side_grade[SIDE_OUTSIDE];
    const float rest = 1.0f - weight;
    const EffectiveGrade &inside = record.side_grade[SIDE_INSIDE];
    const EffectiveGrade &outside = record.side_grade[SIDE_OUTSIDE];
    for (int k = 0; k < CHANNEL_COUNT; ++k) {
        ChannelGrade &channel = blended->channel[k];
        channel.offset = rest * record.outside_offset[k] + weight * record.inside_offset[k];
        channel.inv_gamma = weight * record.inside_inv_gamma[k] + rest * record.outside_inv_gamma[k];
        channel.gain = weight * record.inside_gain[k] + rest * record.outside_gain[k];
        channel.identity = inside.channel[k].identity && outside.channel[k].identity;
    }
    blended->saturation = rest * record.outside_saturation + weight * record.inside_saturation;
    blended->apply_saturation = inside.apply_saturation || outside.apply_saturation;
    return *blended;
}

float GradeChannel(const WindowRenderParams &record, const ChannelGrade &grade, float value) {
    if (record.color_model == COLOR_MODEL_LEGACY) {
        // Power first, then gain and offset, all in double.
        return static_cast<float>(
            record.grade_pow(static_cast<double>(value), static_cast<double>(grade.inv_gamma)) *
                static_cast<double>(grade.gain) +
            static_cast<double>(grade.offset));
    }
    // CDL: gain and offset first (single precision), then the power.
    float base = grade.gain * value + grade.offset;
    if (record.clamp_in_black && base <= 0.0f) base = 0.0f;
    return static_cast<float>(
        record.grade_pow(static_cast<double>(base), static_cast<double>(grade.inv_gamma)));
}

void FinishPixel(const WindowRenderParams &record, const EffectiveGrade &grade,
                 const FloatPixel &source, FloatPixel &result) {
    if (grade.apply_saturation) {
        const Hsv hsv = RgbToHsv(result.red, result.green, result.blue);
        // No limit: a saturation above 1 may push a channel below 0.
        const Rgb rgb = HsvToRgb(hsv.hue, hsv.saturation * grade.saturation, hsv.value);
        result.red = rgb.red;
        result.green = rgb.green;
        result.blue = rgb.blue;
    }
    const float mix = record.mix;
    if (mix < 1.0f) {
        const float keep = 1.0f - mix;
        result.red = keep * source.red + mix * result.red;
        result.green = keep * source.green + mix * result.green;
        result.blue = keep * source.blue + mix * result.blue;
    }
    if (record.clamp_out_black) {
        if (result.red < 0.0f) result.red = 0.0f;
        if (result.green < 0.0f) result.green = 0.0f;
        if (result.blue < 0.0f) result.blue = 0.0f;
    }
    if (record.clamp_out_white) {
        if (result.red > 1.0f) result.red = 1.0f;
        if (result.green > 1.0f) result.green = 1.0f;
        if (result.blue > 1.0f) result.blue = 1.0f;
    }
}

FloatPixel GradePixelAtWeight(const WindowRenderParams &record, float weight,
                              const FloatPixel &source) {
    FloatPixel result = source;
    // Mix 0 (or not a number) leaves the source as it is, unclamped.
    if (!(record.mix > 0.0f)) return result;

    EffectiveGrade blended;
    const EffectiveGrade &grade = ResolveGrade(record, weight, &blended);
    if (GradeEnabled(record)) {
        float *channels[CHANNEL_COUNT] = {&result.red, &result.green, &result.blue};
        for (int k = 0; k < CHANNEL_COUNT; ++k) {
            if (!grade.channel[k].identity) {
                *channels[k] = GradeChannel(record, grade.channel[k], *channels[k]);
            }
        }
        FinishPixel(record, grade, source, result);
    } else {
        // An unknown colour model skips the grade and the saturation alike.
        EffectiveGrade no_saturation = grade;
        no_saturation.apply_saturation = false;
        FinishPixel(record, no_saturation, source, result);
    }
    return result;
}

FloatPixel GradePixel(const WindowRenderParams &record, A_long x, A_long y,
                      const FloatPixel &source) {
    return GradePixelAtWeight(record, FrameWeight(record, x, y), source);
}

}  // namespace zonara
