// Where each channel of a 32-bit float pixel lies: blue first in the editing
// host's frames, alpha first in the compositing host's. The row loop, the
// one-pixel path and the vector lanes are written once over these, so both
// orders take the same IEEE operations in the same order and give the same
// bits; only where a channel is read and written differs.
#pragma once

#include <cstddef>

#include "pf_pixels.h"
#include "render/frame/pixel_format.h"

namespace zonara {

template <ChannelOrder ORDER>
struct FloatPixelLayout;

// Positions are enumerators, never variables: the vector kernel's copies
// per level must not share a symbol, and an enumerator has none.
template <>
struct FloatPixelLayout<ChannelOrder::BGRA> {
    using Pixel = PF_PixelBGRA32f;
    enum Position : int { BLUE_AT = 0, GREEN_AT = 1, RED_AT = 2, ALPHA_AT = 3 };
};

template <>
struct FloatPixelLayout<ChannelOrder::ARGB> {
    using Pixel = PF_PixelFloat;
    enum Position : int { ALPHA_AT = 0, RED_AT = 1, GREEN_AT = 2, BLUE_AT = 3 };
};

template <ChannelOrder ORDER>
constexpr bool PositionsMatchThePixel() {
    using Layout = FloatPixelLayout<ORDER>;
    using Pixel = typename Layout::Pixel;
    constexpr std::size_t CHANNEL = sizeof(float);
    return sizeof(Pixel) == 4 * CHANNEL && offsetof(Pixel, alpha) == Layout::ALPHA_AT * CHANNEL &&
           offsetof(Pixel, red) == Layout::RED_AT * CHANNEL && offsetof(Pixel, green) == Layout::GREEN_AT * CHANNEL &&
           offsetof(Pixel, blue) == Layout::BLUE_AT * CHANNEL;
}
static_assert(PositionsMatchThePixel<ChannelOrder::BGRA>() && PositionsMatchThePixel<ChannelOrder::ARGB>(),
              "each position is where the host's pixel record holds the channel");

}  // namespace zonara
