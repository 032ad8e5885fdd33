#include "render/color_grade.h"

namespace zonara {

void BlendGrades(const WindowRenderParams &record, float weight, EffectiveGrade &blended) {
    const float rest = 1.0f - weight;
    const EffectiveGrade &inside = record.side_grade[SIDE_INSIDE];
    const EffectiveGrade &outside = record.side_grade[SIDE_OUTSIDE];
    for (int k = 0; k < CHANNEL_COUNT; ++k) {
        ChannelGrade &channel = blended.channel[k];
        channel.offset = rest * record.outside_offset[k] + weight * record.inside_offset[k];
        channel.inv_gamma = weight * record.inside_inv_gamma[k] + rest * record.outside_inv_gamma[k];
        channel.gain = weight * record.inside_gain[k] + rest * record.outside_gain[k];
        // A blended channel is left alone only when both sides leave it.
        channel.identity = inside.channel[k].identity && outside.channel[k].identity;
    }
    blended.saturation = rest * record.outside_saturation + weight * record.inside_saturation;
    blended.apply_saturation = inside.apply_saturation || outside.apply_saturation;
}

}  // namespace zonara
