#include "render/formula/color_grade.h"

namespace zonara {

void BlendGrades(const WindowRenderParams &record, float weight, EffectiveGrade &blended) {
    const float rest = 1.0f - weight;
    const EffectiveGrade &inside = record.side_grade[SIDE_INSIDE];
    const EffectiveGrade &outside = record.side_grade[SIDE_OUTSIDE];
    for (int k = 0; k < CHANNEL_COUNT; ++k) {
        ChannelGrade &channel = blended.channel[k];
        channel.offset = steps::BlendOutsideFirst(weight, rest, inside.channel[k].offset, outside.channel[k].offset);
        channel.inv_gamma =
            steps::BlendInsideFirst(weight, rest, inside.channel[k].inv_gamma, outside.channel[k].inv_gamma);
        channel.gain = steps::BlendInsideFirst(weight, rest, inside.channel[k].gain, outside.channel[k].gain);
        // A blended channel is left alone only when both sides leave it.
        channel.identity = inside.channel[k].identity && outside.channel[k].identity;
    }
    blended.saturation = steps::BlendOutsideFirst(weight, rest, inside.saturation, outside.saturation);
    blended.apply_saturation = inside.apply_saturation || outside.apply_saturation;
}

}  // namespace zonara
