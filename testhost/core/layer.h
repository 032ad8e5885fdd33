// Layers and output buffers as a host allocates them: any of the four pixel
// formats, padded rows, optionally stored bottom-up, with guard zones around
// the pixels so that a write outside the buffer is caught.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "pf_sdk.h"
#include "render/frame/pixel_format.h"

namespace testhost {

// The formats of the effect's one list: the host, the tool and the effect
// name a layer's format alike.
using zonara::PixelFormat;

std::size_t BytesPerPixel(PixelFormat format);
// Bytes of one channel; row padding must be a multiple of it so that every
// pixel stays aligned for its channel type.
std::size_t BytesPerChannel(PixelFormat format);
// The editing host's code for a format; 0 for those that host does not use.
PrPixelFormat PremierePixelFormat(PixelFormat format);

// Bytes of guard pattern before and after the pixel block.
constexpr std::size_t LAYER_GUARD_BYTES = 64;

// One pixel in its format's own codes (0 to 255, 0 to 32768, or float),
// whatever order the channels have in memory.
struct PixelValue {
    float alpha = 0.0f;
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;

    bool operator==(const PixelValue &) const = default;
};

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
    // Pixels start at zero. Throws std::invalid_argument for a negative size
    // or a padding that would misalign the pixels.
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

    // Where the layer's pixel (0, 0) lies in layer pixels, as a host places a
    // buffer that holds only part of a layer, or a layer an earlier effect
    // grew to the left or above (so either may be negative). Written to
    // def().origin_x and origin_y; (0, 0) until set.
    void SetOrigin(int left, int top);
    int left() const { return def_.origin_x; }
    int top() const { return def_.origin_y; }
    // The pixels the layer holds, in layer pixels.
    PF_LRect Bounds() const { return {left(), top(), left() + width_, top() + height_}; }
    // Whether the host knows every pixel to be opaque (footage without
    // alpha), as it tells pre-render; a host knows it from the layer's
    // source rather than by reading the pixels of every frame. Off until
    // set: nothing known.
    void SetSolid(bool solid) { solid_ = solid; }
    bool solid() const { return solid_; }

    // Address of pixel (x, y), row 0 being the row `data` points at. Not
    // range-checked.
    void *PixelAddress(int x, int y);
    const void *PixelAddress(int x, int y) const;
    template <class Pixel>
    Pixel &At(int x, int y) {
        return *static_cast<Pixel *>(PixelAddress(x, y));
    }
    template <class Pixel>
    const Pixel &At(int x, int y) const {
        return *static_cast<const Pixel *>(PixelAddress(x, y));
    }

    // Pixel (x, y) read or written in its format's codes; a value written is
    // converted to the channel type as a plain conversion does, so it must
    // lie in the format's range. Not range-checked.
    PixelValue GetPixel(int x, int y) const;
    void PutPixel(int x, int y, const PixelValue &value);

    // False when anything wrote into the guard zones or row padding.
    bool GuardsIntact() const;

private:
    std::size_t RowStride() const;

    struct FreeStorage {
        void operator()(std::uint8_t *bytes) const noexcept { std::free(bytes); }
    };

    PixelFormat format_;
    int width_;
    int height_;
    // Zeroed by calloc, which for a frame-sized block takes fresh pages the
    // system clears as they are first touched: the pixels are not written
    // twice before the effect or the caller writes them.
    std::unique_ptr<std::uint8_t[], FreeStorage> storage_;
    std::size_t storage_bytes_ = 0;
    std::size_t pixels_offset_ = 0;
    PF_LayerDef def_{};
    LayerOptions options_;
    bool solid_ = false;
};

}  // namespace testhost
