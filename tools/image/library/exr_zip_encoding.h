// OpenEXR's ZIP compression done by a faster DEFLATE encoder than the
// library's. The library writes the picture uncompressed; its scanlines are
// then grouped 16 to a block, each block predicted and deflated as the
// format's ZIP compression defines (the same stream any reader inflates),
// and the header marked ZIP. On this footage zlib's compression was most of
// a float sequence's processor time; libdeflate takes about half as long
// for files no larger.
#pragma once

#include <optional>
#include <vector>

namespace zonara_tool {

// The ZIP-compressed file of an uncompressed single-part scanline OpenEXR
// file, or nothing when `uncompressed` is anything else (tiled, multi-part,
// deep, already compressed, subsampled channels, or not well formed), in
// which case the caller lets the library compress.
std::optional<std::vector<unsigned char>> ZipCompressedExr(const std::vector<unsigned char> &uncompressed);

}  // namespace zonara_tool
