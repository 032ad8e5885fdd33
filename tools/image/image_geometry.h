// Changing an image's size and placing images side by side, on the tool's
// own image type.
#pragma once

#include "tools/image/image.h"

namespace zonara_tool {

// `source` at width x height, as a host's draft mode shows it: the
// library's default resampling filter, so drafts match what its users see
// (see library_image_file.h; refused in the build without the library).
Image Resized(const Image &source, int width, int height);

// `left` and `right` (of one size and layout) next to each other in one
// image twice as wide, with `left`'s channel names and file details.
Image SideBySide(const Image &left, const Image &right);

}  // namespace zonara_tool
