// Plain pixel buffers for the render tests: a vector of bytes described by a
// PF_LayerDef, optionally with padded rows or stored bottom-up.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "pf_sdk.h"
#include "reference/reference_render.h"

namespace render_test {

using testhost::PixelFormat;

// Random content: every code at 8 bits, 0..32768 at 16 bits with a few
// codes beyond full scale, floats mostly within -0.5..1.5 with some
// not-a-number and infinite values.
inline void RandomisePixels(PixelFormat format, const PF_LayerDef &def, std::mt19937 &rng) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> code16(0, 32768);
    std::uniform_real_distribution<float> value(-0.5f, 1.5f);
    std::uniform_int_distribution<int> rare(0, 199);
    for (int y = 0; y < def.height; ++y) {
        for (int x = 0; x < def.width; ++x) {
            std::uint8_t *p = reference::At(def, x, y, reference::PixelBytes(format));
            switch (format) {
            case PixelFormat::ARGB8:
            case PixelFormat::BGRA8:
                for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(byte(rng));
                break;
            case PixelFormat::ARGB16: {
                auto *c = reinterpret_cast<std::uint16_t *>(p);
                for (int k = 0; k < 4; ++k) {
                    c[k] = static_cast<std::uint16_t>(rare(rng) == 0 ? 65535 - byte(rng) : code16(rng));
                }
                break;
            }
            case PixelFormat::BGRA32F:
            case PixelFormat::ARGB32F: {
                auto *c = reinterpret_cast<float *>(p);
                for (int k = 0; k < 4; ++k) {
                    const int r = rare(rng);
                    c[k] = r == 0   ? std::numeric_limits<float>::quiet_NaN()
                           : r == 1 ? std::numeric_limits<float>::infinity()
                           : r == 2 ? -std::numeric_limits<float>::infinity()
                                    : value(rng);
                }
                break;
            }
            }
        }
    }
}

struct Buffer {
    PixelFormat format;
    std::vector<std::uint8_t> bytes;
    PF_LayerDef def{};

    Buffer(PixelFormat f, int width, int height, int padding = 0, bool bottom_up = false) : format(f) {
        const int pixel = reference::PixelBytes(f);
        const int row = width * pixel + padding;
        bytes.assign(static_cast<std::size_t>(row) * static_cast<std::size_t>(height > 0 ? height : 0) + 16, 0);
        def.width = width;
        def.height = height;
        def.rowbytes = bottom_up ? -row : row;
        def.data = reinterpret_cast<PF_PixelPtr>(
            bottom_up && height > 0 ? bytes.data() + static_cast<std::size_t>(row) * (height - 1) : bytes.data());
        def.world_flags = f == PixelFormat::ARGB16 ? PF_WorldFlag_DEEP : 0;
        def.extent_hint = {0, 0, width, height};
    }
    Buffer(const Buffer &other) : format(other.format), bytes(other.bytes), def(other.def) {
        def.data = reinterpret_cast<PF_PixelPtr>(
            bytes.data() + (reinterpret_cast<std::uint8_t *>(other.def.data) - other.bytes.data()));
    }
    Buffer &operator=(const Buffer &) = delete;

    std::uint8_t *Pixel(int x, int y) {
        return reinterpret_cast<std::uint8_t *>(def.data) + static_cast<std::ptrdiff_t>(y) * def.rowbytes +
               static_cast<std::ptrdiff_t>(x) * reference::PixelBytes(format);
    }
    template <class T>
    T &At(int x, int y) {
        return *reinterpret_cast<T *>(Pixel(x, y));
    }

    void Randomise(std::mt19937 &rng) { RandomisePixels(format, def, rng); }

    // Every bit counts, a not-a-number's sign and payload included: two
    // paths that claim the same result must give the same bits.
    bool SameBytes(const Buffer &other) const { return bytes == other.bytes; }

    // Where two buffers first differ, for failure messages.
    std::string FirstDifference(const Buffer &other) const {
        for (std::size_t i = 0; i < bytes.size() && i < other.bytes.size(); ++i) {
            if (bytes[i] != other.bytes[i]) {
                const std::ptrdiff_t offset =
                    static_cast<std::ptrdiff_t>(i) - (reinterpret_cast<const std::uint8_t *>(def.data) - bytes.data());
                const std::ptrdiff_t row = def.rowbytes < 0 ? -def.rowbytes : def.rowbytes;
                return "byte " + std::to_string(i) + " (row offset " + std::to_string(offset / row) + ", byte in row " +
                       std::to_string(offset % row) + "): " + std::to_string(bytes[i]) + " vs " +
                       std::to_string(other.bytes[i]);
            }
        }
        return "none";
    }
};

}  // namespace render_test
