#include "render/formula/color_grade.h"

namespace zonara {

void BlendGrades(const WindowRenderParams &record, float weight, EffectiveGrade &blended) {
    const float rest = 1.0f - weight;
    const EffectiveGrade &inside = record.side_grade[SIDE_INSIDE];
    const EffectiveGrade &outside = record.side_grade[SIDE_OUTSIDE];
    for (int k = 0; k < CHANNEL_COUNT; ++k) {
        ChannelGrade &channel = blended.channel[k];
        channel.offset = rest * outside.channel[k].offset + weight * inside.channel[k].offset;
        channel.inv_gamma = weight * inside.channel[k].inv_gamma + rest * outside.channel[k].inv_gamma;
        channel.gain = weight * inside.channel[k].gain + rest * outside.channel[k].gain;
        // A blended channel is left alone only when both sides leave it.
        channel.identity = inside.channel[k].identity && outside.channel[k].identity;
    }
    blended.saturation = rest * outside.saturation + weight * inside.saturation;
    blended.apply_saturation = inside.apply_saturation || outside.apply_saturation;
}

}  // namespace zonara
