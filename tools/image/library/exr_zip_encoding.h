// OpenEXR's ZIP compression done by a faster DEFLATE encoder than the
// library's. The library writes the picture uncompressed; its scanlines are
// then grouped 16 to a block, each block predicted and deflated as the
// format's ZIP compression defines (the same stream any reader inflates),
// and the header marked ZIP. zlib's compression was most of a float
// sequence's processor time; libdeflate, its blocks shared out over the
// processors, takes a third of it.
#pragma once

#include <vector>

#include "tools/base/byte_sink.h"

namespace zonara_tool {

// Writes to `sink` the ZIP-compressed file of an uncompressed single-part
// scanline OpenEXR file and returns true; or writes nothing and returns
// false when `uncompressed` is anything else (tiled, multi-part, deep,
// already compressed, subsampled channels, or not well formed) or the
// encoder cannot be had, in which case the caller lets the library
// compress.
bool WriteZipCompressedExr(const std::vector<unsigned char> &uncompressed, ByteSink &sink);

}  // namespace zonara_tool
