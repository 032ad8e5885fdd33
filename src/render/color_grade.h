// The per-pixel grade: the window weight picks (or blends) the inside and
// outside constants, the colour model grades each channel, then saturation,
// Mix with the source and the output clamps follow.
#pragma once

#include "render/float_pixel.h"
#include "render/window_render_params.h"
#include "render/window_weight.h"

namespace zonara {

// The constants for weight w: one side's exactly at 0 and 1, the linear blend
// of both sides in between (the constants are blended, not the colours).
// Returns a reference to side_grade or to *blended.
const EffectiveGrade &ResolveGrade(const WindowRenderParams &record, float weight,
                                   EffectiveGrade *blended);

// One channel through the colour model; the caller skips identity channels.
float GradeChannel(const WindowRenderParams &record, const ChannelGrade &grade, float value);

// Saturation, Mix with the source and the clamps, applied to the graded
// colours in result.
void FinishPixel(const WindowRenderParams &record, const EffectiveGrade &grade,
                 const FloatPixel &source, FloatPixel &result);

// The whole pixel for a weight already known.
FloatPixel GradePixelAtWeight(const WindowRenderParams &record, float weight,
                              const FloatPixel &source);

// The whole pixel at position (x, y) of the rendered buffer.
FloatPixel GradePixel(const WindowRenderParams &record, A_long x, A_long y,
                      const FloatPixel &source);

// The weight the pixel stage works with: the window weight, or 1 when the
// frame's result does not depend on it.
inline float FrameWeight(const WindowRenderParams &record, A_long x, A_long y) {
    return record.weight_matters ? WindowWeight(record, x, y) : 1.0f;
}

}  // namespace zonara
