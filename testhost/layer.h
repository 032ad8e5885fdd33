// Layers and output buffers as a host allocates them: any of the four pixel
// formats, padded rows, optionally stored bottom-up, with guard zones around
// the pixels so that a write outside the buffer is caught.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pf_sdk.h"

namespace testhost {

enum class PixelFormat { kArgb8, kArgb16, kBgra8, kBgra32f };

std::size_t BytesPerPixel(PixelFormat format);

struct LayerOptions {
    int row_padding_bytes = 0;  // extra bytes after each row
    bool bottom_up = false;     // negative rowbytes
    // Extent hint; defaults to the whole buffer.
    bool has_extent_hint = false;
    PF_Rect extent_hint{0, 0, 0, 0};
    PF_RationalScale pixel_aspect_ratio{1, 1};
};

class Layer {
public:
    Layer(PixelFormat format, int width, int height, LayerOptions options = {});
    Layer(const Layer &) = delete;
    Layer &operator=(const Layer &) = delete;
    Layer(Layer &&) noexcept;
    Layer &operator=(Layer &&) noexcept;
    ~Layer();

    PixelFormat format() const { return format_; }
    int width() const { return width_; }
    int height() const { return height_; }
    PF_LayerDef &def() { return def_; }
    const PF_LayerDef &def() const { return def_; }

    // Address of pixel (x, y), row 0 being the row `data` points at.
    void *PixelAddress(int x, int y);
    const void *PixelAddress(int x, int y) const;
    template <class Pixel> Pixel &At(int x, int y) { return *static_cast<Pixel *>(PixelAddress(x, y)); }
    template <class Pixel> const Pixel &At(int x, int y) const {
        return *static_cast<const Pixel *>(PixelAddress(x, y));
    }

    // False when anything wrote into the guard zones or row padding.
    bool GuardsIntact() const;

private:
    PixelFormat format_;
    int width_;
    int height_;
    std::vector<std::uint8_t> storage_;
    std::size_t pixels_offset_ = 0;
    PF_LayerDef def_{};
    LayerOptions options_;
};

}  // namespace testhost
