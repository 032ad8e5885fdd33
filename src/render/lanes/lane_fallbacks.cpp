#include "render/lanes/lane_fallbacks.h"

#include "render/formula/color_grade.h"

namespace zonara {

float GradeChannelLane(const WindowRenderParams &record, float offset, float inv_gamma, float gain, float value) {
    return GradeChannel(record, ChannelGrade{offset, inv_gamma, gain, false}, value);
}

float HueSectorLane(float h6) { return steps::HueSector<OnePixelHues>(h6); }

bool FrameGrades(const WindowRenderParams &record) { return GradeEnabled(record); }

}  // namespace zonara
