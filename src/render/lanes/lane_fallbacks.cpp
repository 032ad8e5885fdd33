#include "render/lanes/lane_fallbacks.h"

#include "render/formula/color_grade.h"

namespace zonara {

float GradeChannelLane(const WindowRenderParams &record, float offset, float inv_gamma, float gain, float value) {
    return GradeChannel(record, ChannelGrade{offset, inv_gamma, gain, false}, value);
}

Rgb ScaleSaturationLane(float red, float green, float blue, float saturation_scale) {
    return ScaleSaturation(red, green, blue, saturation_scale);
}

}  // namespace zonara
