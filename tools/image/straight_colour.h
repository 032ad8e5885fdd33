// A float image's colour as the effect is handed it: straight, premultiplied
// colour divided by its alpha where that is above 0 (where it is 0 the stored
// colour is handed on as it is). What may be clipped or clamped is measured
// on these values, not on what the file stores.
#pragma once

#include <array>
#include <cstddef>

#include "tools/image/image.h"

namespace zonara_tool {

// Calls `visit(value)` for each colour sample of `image` (float samples), a
// grey channel once a pixel.
template <class Visit>
void ForEachStraightColour(const Image &image, Visit visit) {
    const ColourChannels colour = ColourChannelsOf(image);
    const std::array<int, 3> channels{colour.red, colour.green, colour.blue};
    const std::size_t used = colour.Grey() ? 1 : 3;
    const int alpha = AlphaChannelOf(image);
    const bool premultiplied = HoldsPremultipliedColour(image);
    const float *samples = image.Samples<float>();
    const auto step = static_cast<std::size_t>(image.channels);
    for (std::size_t pixel = 0; pixel < image.SampleCount(); pixel += step) {
        const float pixel_alpha = premultiplied ? samples[pixel + static_cast<std::size_t>(alpha)] : 1.0f;
        const float divisor = pixel_alpha > 0.0f ? pixel_alpha : 1.0f;
        for (std::size_t c = 0; c < used; ++c) {
            visit(samples[pixel + static_cast<std::size_t>(channels[c])] / divisor);
        }
    }
}

}  // namespace zonara_tool
