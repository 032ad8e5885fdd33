// Reading a file's pixels through the image library a band of rows at a
// time, stopping at the first band that fails. A damaged file whose header
// declares a large frame is then refused having touched only the rows it
// really held (the library's whole-image read goes on in large chunks and
// reports the failure only at the end), and memory grows with the pixels
// decoded, not with the size declared.
#pragma once

#include "tools/image/image.h"

#if ZONARA_HAVE_OIIO
#include <OpenImageIO/imageio.h>

namespace zonara_tool {

// Reads subimage 0, level 0 of `input`, laid out as `layout`, into `image`, whose size, channels
// and kind are set and whose block is allocated (and not yet touched), as
// `type` samples. False when a band fails or the library reports an error
// beside a read it calls successful (a reader filling a damaged file's
// missing part); the reason is left in `input`.
bool ReadPixelsInBands(OIIO::ImageInput &input, const OIIO::ImageSpec &layout, OIIO::TypeDesc type, Image &image);

// Decodes the last row of subimage 0, level 0 of `input`, laid out as
// `layout` (a tiled file's last row of tiles), in its own sample type:
// whether the file holds its pixels to the end. A format read in order
// (PNG, JPEG, ...) decodes every row before it on the way, a row at a time;
// one read in blocks (OpenEXR, DPX, TIFF) decodes only the last block. False
// as ReadPixelsInBands.
bool DecodesItsLastRows(OIIO::ImageInput &input, const OIIO::ImageSpec &layout);

}  // namespace zonara_tool
#endif
