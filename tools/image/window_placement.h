// Writing a picture whose pixels are placed in a frame of their own (an
// OpenEXR data window inside its display window) to a format that stores
// only a plain grid of pixels.
#pragma once

#include <string>

#include "tools/image/image.h"

namespace zonara_tool {

// The image as a format without windows can hold it: its display window,
// with the data window's pixels at their place and every other sample zero
// (what the data window means outside itself: no colour, no coverage).
// Nothing is lost that way. A data window reaching outside the display
// window (overscan) would lose the pixels outside, so it is refused with
// ToolError (usage) naming both windows and `format_label`.
Image PlaceInDisplayWindow(const Image &image, const std::string &path, const std::string &format_label);

}  // namespace zonara_tool
