#include "tools/image/image_geometry.h"

#include <algorithm>
#include <stdexcept>

#include "tools/image/channel_storage.h"
#include "tools/image/library_image_file.h"

namespace zonara_tool {

Image Resized(const Image &source, int width, int height) {
    if (width == source.width && height == source.height) {
        return source;
    }
    Image resized = ResampleWithLibrary(source, width, height);
    TakeNearestVerbatimSamples(source, resized);
    return resized;
}

Image SideBySide(const Image &left, const Image &right) {
    if (left.width != right.width || left.height != right.height || left.channels != right.channels ||
        left.kind != right.kind) {
        throw std::logic_error("SideBySide: the two images differ in layout");
    }
    Image both = MakeImageLike(left, left.width * 2, left.height);
    const std::size_t row_bytes = left.RowSamples() * BytesPerSample(left.kind);
    for (int y = 0; y < left.height; ++y) {
        const std::size_t from = static_cast<std::size_t>(y) * row_bytes;
        unsigned char *to = both.bytes.data() + 2 * from;
        std::copy_n(left.bytes.data() + from, row_bytes, to);
        std::copy_n(right.bytes.data() + from, row_bytes, to + row_bytes);
    }
    return both;
}

Image Cropped(const Image &source, const PixelWindow &window) {
    if (!PixelWindow{0, 0, source.width, source.height}.Contains(window)) {
        throw std::logic_error("Cropped: the window reaches outside the image");
    }
    Image part = MakeImageLike(source, window.width, window.height);
    part.x = source.x + window.x;
    part.y = source.y + window.y;
    part.display_window = source.DisplayWindow();
    const std::size_t pixel_bytes = static_cast<std::size_t>(source.channels) * BytesPerSample(source.kind);
    const std::size_t source_row = source.RowSamples() * BytesPerSample(source.kind);
    const std::size_t part_row = part.RowSamples() * BytesPerSample(part.kind);
    for (int y = 0; y < window.height; ++y) {
        const unsigned char *from = source.bytes.data() + static_cast<std::size_t>(window.y + y) * source_row +
                                    static_cast<std::size_t>(window.x) * pixel_bytes;
        std::copy_n(from, part_row, part.bytes.data() + static_cast<std::size_t>(y) * part_row);
    }
    return part;
}

}  // namespace zonara_tool
