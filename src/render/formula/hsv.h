// The saturation control for one pixel: a colour taken to hue, saturation
// and value, its saturation scaled, and taken back to red, green and blue
// (the steps and their order are in pixel_steps-inl.h and
// pixel_composition-inl.h). Inline: it runs for every graded pixel whose
// saturation changes. The two conversions written apart, as the yardstick
// these fused steps are tested against, live with the tests
// (tests/reference).
#pragma once

#include <cmath>
#include <cstdint>

#include "common/truncate_to_int32.h"
#include "render/formula/hot_inline.h"
#include "render/formula/pixel_steps.h"

namespace zonara {

struct Rgb {
    float red;
    float green;
    float blue;
};

// The hue's sector where truncation is not the floor. The sector keeps only
// the low 8 bits of the floor. A hue that is not a number or lies beyond
// the 32-bit range converts to the lowest 32-bit integer (as on the x86-64
// target), whose low byte puts it in sector 0; other large hues land
// wherever their low byte says.
struct OnePixelHues {
    static float SectorOfRareHues(float h6, bool, float) {
        return static_cast<float>(TruncateToInt32(std::floor(h6)) & 0xFF);
    }
};

// RGB to HSV, the saturation scaled, then HSV to RGB.
ZONARA_HOT_INLINE Rgb ScaleSaturation(float red, float green, float blue, float saturation_scale) {
    return steps::ScaleSaturationWhere<OnePixelHues>(Rgb{red, green, blue}, saturation_scale, true);
}

}  // namespace zonara
