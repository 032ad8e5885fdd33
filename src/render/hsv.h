// Conversions between red, green, blue and hue, saturation, value, used by
// the saturation control. Hue is a fraction of a full turn.
#pragma once

namespace zonara {

struct Hsv {
    float hue;
    float saturation;
    float value;
};

struct Rgb {
    float red;
    float green;
    float blue;
};

Hsv RgbToHsv(float red, float green, float blue);
Rgb HsvToRgb(float hue, float saturation, float value);

}  // namespace zonara
