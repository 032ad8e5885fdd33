// Changing an image's size, cutting a part out of it and placing images
// side by side, on the tool's own image type.
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

// The part of `source` in `window` (x and y counted from its first pixel),
// placed where it lay: its data window moves by the window's corner and its
// display window stays the source's, so a format with windows shows the
// part in its frame. The window must lie within the source.
Image Cropped(const Image &source, const PixelWindow &window);

}  // namespace zonara_tool
