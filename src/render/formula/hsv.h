// The saturation control for one pixel: a colour taken to hue, saturation
// and value, its saturation scaled, and taken back to red, green and blue
// (the steps are in pixel_steps-inl.h). Inline: it runs for every graded pixel
// whose saturation changes. The two conversions written apart, as the
// yardstick these fused steps are tested against, live with the tests
// (tests/reference).
#pragma once

#include <algorithm>
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

namespace hsv_detail {

// floor(h6) as the sector needs it. For the hues saturation produces (0 to
// 6) truncation is the floor and spares the library call; everything else
// takes the library's floor, so the result is the same for every input.
inline std::int32_t FloorToInt32(float h6) {
    constexpr float EXACT_INTEGERS_BELOW = 8388608.0f;  // 2^23
    if (h6 >= 0.0f && h6 < EXACT_INTEGERS_BELOW) return static_cast<std::int32_t>(h6);
    return TruncateToInt32(std::floor(h6));
}

}  // namespace hsv_detail

// RGB to HSV, the saturation scaled, then HSV to RGB, through the steps the
// vector kernel takes too; one pixel finds the hue's sector for every input.
ZONARA_HOT_INLINE Rgb ScaleSaturation(float red, float green, float blue, float saturation_scale) {
    const steps::ScaledHsv<float> hsv = steps::ScaleSaturationToHsv(red, green, blue, saturation_scale);
    if (hsv.scaled == 0.0f) return {hsv.value, hsv.value, hsv.value};
    // The sector keeps only the low 8 bits of the integer. A hue that is not
    // a number or lies beyond the 32-bit range converts to the lowest 32-bit
    // integer (as on the x86-64 target), whose low byte puts it in sector 0;
    // other large hues land wherever their low byte says.
    const std::uint8_t sector =
        static_cast<std::uint8_t>(static_cast<std::uint32_t>(hsv_detail::FloorToInt32(hsv.h6)) & 0xFFu);
    Rgb rgb;
    steps::RgbOfSector(hsv, static_cast<float>(sector), rgb.red, rgb.green, rgb.blue);
    return rgb;
}

}  // namespace zonara
