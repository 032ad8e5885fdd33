#include "tools/image/library/banded_pixel_read.h"

#if ZONARA_HAVE_OIIO
#include <algorithm>
#include <cstdint>
#include <vector>

#include "tools/image/channel_storage.h"
#include "tools/image/library/native_channels.h"

namespace zonara_tool {
namespace {

// About this much of the image is read per call: small beside a frame, large
// enough that the calls cost nothing.
constexpr std::size_t BAND_BYTES = std::size_t{16} << 20;
// Compressed files store rows in chunks of 16, 32 or 256 (OpenEXR) or in
// strips; bands of whole chunks are decoded once each.
constexpr int CHUNK_ROWS[] = {256, 32, 16};

int BandRows(std::size_t row_bytes, int tile_height, int height) {
    int rows = static_cast<int>(
        std::clamp<std::size_t>(BAND_BYTES / std::max<std::size_t>(row_bytes, 1), 1, static_cast<std::size_t>(height)));
    if (tile_height > 0) {
        return std::max(1, rows / tile_height) * tile_height;
    }
    for (const int chunk : CHUNK_ROWS) {
        if (rows >= chunk) {
            return rows / chunk * chunk;
        }
    }
    return rows;
}

// Reads rows [top, bottom) into `band`, for a tiled file a few tiles at a
// time: the library decodes the tiles of one call into a buffer of its own,
// which for a whole row of big tiles would be far larger than the band.
bool ReadBand(OIIO::ImageInput &input, const OIIO::ImageSpec &layout, OIIO::TypeDesc type, std::size_t pixel_bytes,
              int top, int bottom, unsigned char *band) {
    if (layout.tile_width <= 0) {
        return input.read_scanlines(0, 0, layout.y + top, layout.y + bottom, layout.z, 0, layout.nchannels, type, band);
    }
    const std::size_t tile_bytes = static_cast<std::size_t>(layout.tile_width) * layout.tile_height * pixel_bytes;
    const int step =
        std::max<int>(1, static_cast<int>(BAND_BYTES / std::max<std::size_t>(tile_bytes, 1))) * layout.tile_width;
    const OIIO::stride_t row_stride = static_cast<OIIO::stride_t>(layout.width * pixel_bytes);
    for (int left = 0; left < layout.width; left += step) {
        const int right = std::min(layout.width, left + step);
        if (!input.read_tiles(0, 0, layout.x + left, layout.x + right, layout.y + top, layout.y + bottom, layout.z,
                              layout.z + 1, 0, layout.nchannels, type, band + left * pixel_bytes,
                              static_cast<OIIO::stride_t>(pixel_bytes), row_stride)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadPixelsInBands(OIIO::ImageInput &input, const OIIO::ImageSpec &layout, OIIO::TypeDesc type, Image &image) {
    // Channels held verbatim are read in the file's own types, each band
    // into a buffer of its own and moved into the image from there; the
    // library's conversion would scale an integer id into 0..1.
    const bool native = HasVerbatimChannels(image);
    const OIIO::TypeDesc read_type = native ? OIIO::TypeDesc::UNKNOWN : type;
    const std::size_t pixel_bytes =
        native ? layout.pixel_bytes(true) : static_cast<std::size_t>(layout.nchannels) * type.size();
    const std::size_t row_bytes = pixel_bytes * static_cast<std::size_t>(image.width);
    const int rows = BandRows(row_bytes, layout.tile_width > 0 ? layout.tile_height : 0, image.height);
    std::vector<unsigned char> native_band(native ? row_bytes * static_cast<std::size_t>(rows) : 0);
    for (int top = 0; top < image.height; top += rows) {
        const int bottom = std::min(image.height, top + rows);
        unsigned char *band =
            native ? native_band.data() : image.bytes.data() + static_cast<std::size_t>(top) * row_bytes;
        if (!ReadBand(input, layout, read_type, pixel_bytes, top, bottom, band) || input.has_error()) {
            return false;
        }
        if (native) {
            UnpackNativeRows(layout, band, top, bottom - top, image);
        }
    }
    return true;
}

bool DecodesItsLastRows(OIIO::ImageInput &input, const OIIO::ImageSpec &layout) {
    // In the file's own types, each channel's where they differ.
    const std::size_t pixel_bytes = layout.pixel_bytes(true);
    const std::size_t row_bytes = static_cast<std::size_t>(layout.width) * pixel_bytes;
    // A tiled file's last row of tiles, read whole; a scanline file's last
    // row (the reader decodes the block holding it).
    const int top =
        layout.tile_width > 0 ? (layout.height - 1) / layout.tile_height * layout.tile_height : layout.height - 1;
    // Kept by the thread: a sequence's writer checks frame after frame.
    thread_local std::vector<unsigned char> band;
    band.resize(static_cast<std::size_t>(layout.height - top) * row_bytes);
    return ReadBand(input, layout, OIIO::TypeDesc::UNKNOWN, pixel_bytes, top, layout.height, band.data()) &&
           !input.has_error();
}

}  // namespace zonara_tool
#endif
