#include "render/hsv.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/truncate_to_int32.h"

namespace zonara {

Hsv RgbToHsv(float red, float green, float blue) {
    const float largest = std::max(std::max(red, green), blue);
    const float smallest = std::min(std::min(red, green), blue);
    if (largest == smallest) return {0.0f, 0.0f, largest};
    const float delta = largest - smallest;
    const float saturation = delta / largest;
    float hue;
    if (largest == red) {
        hue = (green - blue) / delta;
        if (blue > green) hue += 6.0f;
    } else if (largest == green) {
        hue = (blue - red) / delta + 2.0f;
    } else {
        hue = (red - green) / delta + 4.0f;
    }
    return {hue / 6.0f, saturation, largest};
}

Rgb HsvToRgb(float hue, float saturation, float value) {
    if (saturation == 0.0f) return {value, value, value};
    const float h6 = hue * 6.0f;
    // The sector keeps only the low 8 bits of the integer; garbage hues
    // (not a number, huge) fall into the last sector.
    std::uint8_t sector = static_cast<std::uint8_t>(
        static_cast<std::uint32_t>(TruncateToInt32(std::floor(h6))) & 0xFFu);
    const float f = h6 - static_cast<float>(sector);
    // A hue that rounded up to a full turn (a red whose blue lies a hair
    // above its green) is red again, sector 0; left in the last sector it
    // would come back magenta.
    if (sector == 6) sector = 0;
    const float p = (1.0f - saturation) * value;
    const float q = (1.0f - f * saturation) * value;
    const float t = (1.0f - (1.0f - f) * saturation) * value;
    switch (sector) {
    case 0: return {value, t, p};
    case 1: return {q, value, p};
    case 2: return {p, value, t};
    case 3: return {p, q, value};
    case 4: return {t, p, value};
    default: return {value, p, q};
    }
}

}  // namespace zonara
