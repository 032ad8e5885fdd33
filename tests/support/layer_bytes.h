// A layer's pixels as bytes, row padding left out, for comparing two
// renders bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "testhost/core/layer.h"

namespace zonara_test {

inline std::vector<std::uint8_t> LayerPixelBytes(const testhost::Layer &layer) {
    std::vector<std::uint8_t> bytes;
    const std::size_t row = static_cast<std::size_t>(layer.width()) * testhost::BytesPerPixel(layer.format());
    for (int y = 0; y < layer.height(); ++y) {
        const auto *start = static_cast<const std::uint8_t *>(layer.PixelAddress(0, y));
        bytes.insert(bytes.end(), start, start + row);
    }
    return bytes;
}

}  // namespace zonara_test
