#include "tools/image/library/native_channels.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/image/library/library_types.h"

namespace zonara_tool {
namespace {

// About this much of the frame is packed per write: small beside a frame.
constexpr std::size_t BAND_BYTES = std::size_t{16} << 20;

OIIO::TypeDesc ChannelType(const OIIO::ImageSpec &layout, int channel) {
    return layout.channelformats.empty() ? layout.format : layout.channelformats[static_cast<std::size_t>(channel)];
}

bool Verbatim(const Image &image, int channel) {
    return static_cast<std::size_t>(channel) < image.channel_storage.size() &&
           image.channel_storage[static_cast<std::size_t>(channel)].verbatim;
}

// Where each channel, and its rows, lie in the file's pixels and in the
// image's block; `to_image` says which way the samples go.
void MoveRows(const OIIO::ImageSpec &layout, unsigned char *native, int top, int rows, unsigned char *image_bytes,
              const Image &image, bool to_image) {
    const std::size_t native_pixel = layout.pixel_bytes(true);
    const std::size_t native_row = native_pixel * static_cast<std::size_t>(image.width);
    const std::size_t slot = BytesPerSample(image.kind);
    const std::size_t image_pixel = slot * static_cast<std::size_t>(image.channels);
    const std::size_t image_row = image_pixel * static_cast<std::size_t>(image.width);
    unsigned char *image_band = image_bytes + static_cast<std::size_t>(top) * image_row;
    const std::size_t pixels = static_cast<std::size_t>(rows) * static_cast<std::size_t>(image.width);
    std::size_t offset = 0;
    for (int c = 0; c < image.channels; ++c) {
        const OIIO::TypeDesc type = ChannelType(layout, c);
        unsigned char *file_sample = native + offset;
        unsigned char *image_sample = image_band + static_cast<std::size_t>(c) * slot;
        if (Verbatim(image, c)) {
            const std::size_t bytes = std::min(type.size(), slot);
            for (std::size_t p = 0; p < pixels; ++p, file_sample += native_pixel, image_sample += image_pixel) {
                if (to_image) {
                    std::memset(image_sample, 0, slot);
                    std::memcpy(image_sample, file_sample, bytes);
                } else {
                    std::memcpy(file_sample, image_sample, bytes);
                }
            }
        } else if (to_image) {
            OIIO::convert_image(1, image.width, rows, 1, file_sample, type, static_cast<OIIO::stride_t>(native_pixel),
                                static_cast<OIIO::stride_t>(native_row), OIIO::AutoStride, image_sample,
                                TypeOf(image.kind), static_cast<OIIO::stride_t>(image_pixel),
                                static_cast<OIIO::stride_t>(image_row), OIIO::AutoStride);
        } else {
            OIIO::convert_image(1, image.width, rows, 1, image_sample, TypeOf(image.kind),
                                static_cast<OIIO::stride_t>(image_pixel), static_cast<OIIO::stride_t>(image_row),
                                OIIO::AutoStride, file_sample, type, static_cast<OIIO::stride_t>(native_pixel),
                                static_cast<OIIO::stride_t>(native_row), OIIO::AutoStride);
        }
        offset += type.size();
    }
}

}  // namespace

void UnpackNativeRows(const OIIO::ImageSpec &layout, const unsigned char *native, int top, int rows, Image &image) {
    MoveRows(layout, const_cast<unsigned char *>(native), top, rows, image.bytes.data(), image, true);
}

void PackNativeRows(const OIIO::ImageSpec &layout, const Image &image, int top, int rows, unsigned char *native) {
    MoveRows(layout, native, top, rows, const_cast<unsigned char *>(image.bytes.data()), image, false);
}

bool WriteNativePixelsInBands(OIIO::ImageOutput &output, const OIIO::ImageSpec &layout, const Image &image) {
    const std::size_t row_bytes = layout.pixel_bytes(true) * static_cast<std::size_t>(image.width);
    int rows = static_cast<int>(std::clamp<std::size_t>(BAND_BYTES / std::max<std::size_t>(row_bytes, 1), 1,
                                                        static_cast<std::size_t>(image.height)));
    const bool tiled = layout.tile_width > 0;
    if (tiled) {
        // Whole rows of tiles, each encoded once.
        rows = std::max(1, rows / layout.tile_height) * layout.tile_height;
    }
    std::vector<unsigned char> band(row_bytes * static_cast<std::size_t>(std::min(rows, image.height)));
    for (int top = 0; top < image.height; top += rows) {
        const int bottom = std::min(image.height, top + rows);
        PackNativeRows(layout, image, top, bottom - top, band.data());
        const bool written =
            tiled ? output.write_tiles(layout.x, layout.x + layout.width, layout.y + top, layout.y + bottom, layout.z,
                                       layout.z + 1, OIIO::TypeDesc::UNKNOWN, band.data())
                  : output.write_scanlines(layout.y + top, layout.y + bottom, layout.z, OIIO::TypeDesc::UNKNOWN,
                                           band.data());
        if (!written) {
            return false;
        }
    }
    return true;
}

}  // namespace zonara_tool
