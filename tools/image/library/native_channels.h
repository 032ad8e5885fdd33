// Samples between a file's own pixels, each channel in its own type
// (OpenImageIO's channelformats), and the image's block: channels held as
// values are converted (to the image's kind, and back rounded once),
// channels held verbatim are copied bit for bit.
#pragma once

#include <OpenImageIO/imageio.h>

#include "tools/image/image.h"

namespace zonara_tool {

// `rows` rows of pixels laid out as `layout`'s channel types into the
// image's rows from `top`, and back.
void UnpackNativeRows(const OIIO::ImageSpec &layout, const unsigned char *native, int top, int rows, Image &image);
void PackNativeRows(const OIIO::ImageSpec &layout, const Image &image, int top, int rows, unsigned char *native);

// Writes the image into the opened `output` in `layout`'s channel types, a
// band of rows at a time: a whole frame in them would be one more copy of
// it. False when the writer fails; its reason is left in `output`.
bool WriteNativePixelsInBands(OIIO::ImageOutput &output, const OIIO::ImageSpec &layout, const Image &image);

}  // namespace zonara_tool
