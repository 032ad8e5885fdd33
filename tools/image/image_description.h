// An image's layout in a few words, for the line that says what a command
// wrote: "1920x1080, 8-bit RGBA".
#pragma once

#include <optional>
#include <string>

#include "tools/image/image.h"

namespace zonara_tool {

// `stored_kind`: how the file holds the samples where it differs from
// the image (a JPEG of a 16-bit picture is 8-bit); unset: as the image.
// `path`: the file written, whose format keeps an odd depth (10-bit DPX)
// only where it is the image's own.
std::string DescribeImage(const Image &image, const std::string &path,
                          std::optional<SampleKind> stored_kind = std::nullopt);

}  // namespace zonara_tool
