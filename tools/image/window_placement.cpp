#include "tools/image/window_placement.h"

#include <algorithm>

#include "tools/base/tool_error.h"

namespace zonara_tool {
namespace {

std::string Describe(const PixelWindow &window) {
    return std::to_string(window.width) + "x" + std::to_string(window.height) + " at (" + std::to_string(window.x) +
           "," + std::to_string(window.y) + ")";
}

}  // namespace

Image PlaceInDisplayWindow(const Image &image, const std::string &path, const std::string &format_label) {
    const PixelWindow data = image.DataWindow();
    const PixelWindow display = image.DisplayWindow();
    if (!display.Contains(data)) {
        throw UsageError(path + ": the pixels (data window " + Describe(data) +
                         ") reach outside the frame (display window " + Describe(display) + "); " + format_label +
                         " holds no windows, so they would be lost: write OpenEXR (.exr) to keep both");
    }
    Image placed = MakeImageLike(image, display.width, display.height);
    placed.x = 0;
    placed.y = 0;
    placed.display_window.reset();
    std::fill(placed.bytes.begin(), placed.bytes.end(), 0);
    const std::size_t sample_bytes = BytesPerSample(image.kind);
    const std::size_t row_bytes = image.RowSamples() * sample_bytes;
    const std::size_t left = static_cast<std::size_t>(data.x - display.x) * image.channels * sample_bytes;
    for (int row = 0; row < image.height; ++row) {
        const std::size_t to_row = static_cast<std::size_t>(row + data.y - display.y);
        std::copy_n(image.bytes.data() + row * row_bytes, row_bytes,
                    placed.bytes.data() + to_row * placed.RowSamples() * sample_bytes + left);
    }
    return placed;
}

}  // namespace zonara_tool
