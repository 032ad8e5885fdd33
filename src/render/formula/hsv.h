// The saturation control: a colour taken to hue, saturation and value (hue a
// fraction of a full turn), its saturation scaled, and taken back to red,
// green and blue. Inline: it runs for every graded pixel whose saturation
// changes. The two conversions written apart, as the yardstick this fused
// step is tested against, live with the tests (tests/reference).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "common/truncate_to_int32.h"
#include "render/formula/hot_inline.h"

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

// RGB to HSV, the saturation scaled, then HSV to RGB, in one pass with the
// same operations in the same order as the two conversions, so the result is
// the same to the bit.
// It is the hottest code of a graded frame, and written for the processor:
// the channel that is largest and the hue sector are found by branches, not
// by looking terms up by index, because on real pictures they change rarely
// from one pixel to the next. A predicted branch lets the processor work on
// the outputs before the comparisons are resolved, while an index into a
// table makes every output wait for the whole hue computation. For the same
// reason each sector subtracts its own constant to get f: the sector's
// integer never has to be converted back to a float.
ZONARA_HOT_INLINE Rgb ScaleSaturation(float red, float green, float blue, float saturation_scale) {
    const float largest = std::max(std::max(red, green), blue);
    const float smallest = std::min(std::min(red, green), blue);
    float hue = 0.0f;
    float saturation = 0.0f;
    if (largest != smallest) {
        const float delta = largest - smallest;
        saturation = delta / largest;
        // Adding 0 where no offset applies would change at most the sign of
        // a zero hue, which no later step can see; so it is left out.
        float sixths;
        if (largest == red) {
            sixths = (green - blue) / delta;
            if (blue > green) sixths = sixths + 6.0f;
        } else if (largest == green) {
            sixths = (blue - red) / delta + 2.0f;
        } else {
            sixths = (red - green) / delta + 4.0f;
        }
        hue = sixths / 6.0f;
    }
    const float scaled = saturation * saturation_scale;
    if (scaled == 0.0f) return {largest, largest, largest};
    const float value = largest;
    const float h6 = hue * 6.0f;
    // The sector keeps only the low 8 bits of the integer. A hue that is not
    // a number or lies beyond the 32-bit range converts to the lowest 32-bit
    // integer (as on the x86-64 target), whose low byte puts it in sector 0;
    // other large hues land wherever their low byte says.
    const std::uint8_t sector =
        static_cast<std::uint8_t>(static_cast<std::uint32_t>(hsv_detail::FloorToInt32(h6)) & 0xFFu);
    const float p = (1.0f - scaled) * value;
    // HSV to RGB's t and q for the sector's f = h6 - sector.
    auto t_of = [&](float f) { return (1.0f - (1.0f - f) * scaled) * value; };
    auto q_of = [&](float f) { return (1.0f - f * scaled) * value; };
    switch (sector) {
    case 0: return {value, t_of(h6), p};
    case 1: return {q_of(h6 - 1.0f), value, p};
    case 2: return {p, value, t_of(h6 - 2.0f)};
    case 3: return {p, q_of(h6 - 3.0f), value};
    case 4: return {t_of(h6 - 4.0f), p, value};
    // A hue that rounded up to a full turn (a red whose blue lies a hair
    // above its green) is red again, as sector 0; left in the last sector it
    // would come back magenta. Sectors 7 and up are the last one.
    case 6: return {value, t_of(h6 - 6.0f), p};
    default: return {value, p, q_of(h6 - static_cast<float>(sector))};
    }
}

}  // namespace zonara
