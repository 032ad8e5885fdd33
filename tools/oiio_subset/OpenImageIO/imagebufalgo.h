// The two image operations the tool uses, for the build without OpenImageIO
// (see typedesc.h). Resampling is OpenImageIO's own filter and is not
// reproduced: without the library, draft-size renders are refused.
#pragma once

#include <cstring>

#include "OpenImageIO/imagebuf.h"

namespace OIIO::ImageBufAlgo {

inline bool resize(ImageBuf &dst, const ImageBuf &src) {
    (void)src;
    dst.error("this build has no resampling (it is built without OpenImageIO); render at full size");
    return false;
}

// Copies all of `src` into `dst` with its top-left corner at (x, y); both of
// the same sample type and channel count, as the tool uses it.
inline bool paste(ImageBuf &dst, int x, int y, int /*z*/, int /*channel*/, const ImageBuf &src) {
    const ImageSpec &to = dst.layout();
    const ImageSpec &from = src.layout();
    if (to.format.basetype != from.format.basetype || to.nchannels != from.nchannels || x < 0 || y < 0 ||
        x + from.width > to.width || y + from.height > to.height) {
        return false;
    }
    const std::size_t row = static_cast<std::size_t>(from.width) * from.pixel_bytes();
    for (int r = 0; r < from.height; ++r) {
        std::memcpy(static_cast<unsigned char *>(dst.localpixels()) +
                        (static_cast<std::size_t>(y + r) * to.width + x) * to.pixel_bytes(),
                    static_cast<const unsigned char *>(src.localpixels()) + static_cast<std::size_t>(r) * row, row);
    }
    return true;
}

}  // namespace OIIO::ImageBufAlgo
