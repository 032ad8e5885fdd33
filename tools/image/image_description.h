// An image's layout in a few words, for the line that says what a command
// wrote: "1920x1080, 8-bit RGBA".
#pragma once

#include <optional>
#include <string>

#include "tools/image/image.h"

namespace zonara_tool {

// `stored_kind`: how the file holds the samples where it differs from
// the image (a JPEG of a 16-bit picture is 8-bit); unset: as the image.
std::string DescribeImage(const Image &image, std::optional<SampleKind> stored_kind = std::nullopt);

}  // namespace zonara_tool
