// Checks made on an input file through the image library's view of its
// header, before any pixel memory is set aside: that the file holds every
// pixel its header declares (the library's DPX reader returns black or
// garbage rows for a 10- or 12-bit file cut short, and no reason for an 8-
// or 16-bit one; Cineon alike; nor for a short binary PNM), and that decoding one of its tiles needs no more memory
// than a large frame would. No library types here: the caller hands
// over the numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>

namespace zonara_tool {

// The library decodes each tile whole, in a buffer of its own; a tile
// needing more than this is refused rather than allocated. Twice a 4K RGBA
// float frame, which a writer storing a frame as one tile can reach: far
// past any other tiling.
constexpr std::uint64_t MAX_TILE_BYTES = std::uint64_t{256} << 20;

// The bytes a DPX file needs, from its first byte, to hold every pixel of
// every image element its header declares, as the library reads them
// (10-bit filled three to a 32-bit word, 12-bit filled one to 16 bits,
// packed rows padded to 32 bits, 8, 16, 32 and 64 bits as they are).
// nullopt when `header` is not a DPX header or declares a layout this
// cannot size (an unknown descriptor or depth), which is left to the
// library.
std::optional<std::uint64_t> DpxDeclaredBytes(std::istream &header);

// The bytes a Cineon file needs for every pixel its header declares: 10-bit
// samples three to a 32-bit word, rows padded to a word; other packings at
// least their samples' bits end to end. nullopt when not Cineon.
std::optional<std::uint64_t> CineonDeclaredBytes(std::istream &header);

// The bytes a binary PNM file (P4, P5, P6) needs for every pixel its header
// declares; nullopt for another file or a header this cannot read. The
// library reports a short one without a reason.
std::optional<std::uint64_t> PnmDeclaredBytes(std::istream &header);

// Whether a JPEG stream reaches its end-of-image marker, its segments and
// scans walked in order. A progressive JPEG cut short still decodes, from
// the scans it has, into a blurred or banded picture, with only a warning
// the library never passes on; a cut baseline one comes back grey below the
// cut. True for a stream that is not a JPEG: that is for its reader to say.
bool JpegReachesItsEnd(std::istream &in);

// Throws ToolError (usage) when the file at `path`, which the library
// opened as `format_name`, is shorter than its header declares. Formats
// whose reader reports a short file itself are not examined.
void CheckFileHoldsDeclaredPixels(const std::string &path, const std::string &format_name);

// Throws ToolError (usage) when one tile held at `bytes_per_sample` passes
// MAX_TILE_BYTES. A tile size of zero means the file is not tiled.
void CheckTileSize(std::int64_t tile_width, std::int64_t tile_height, std::int64_t channels,
                   std::size_t bytes_per_sample, const std::string &path);

// The library's reason for a failed read as one line: "the file ends
// early" where it says so in any of its readers' words, else its distinct
// lines joined; when it gives none, what the tool can say instead, so that
// a message never ends in "()".
std::string ReadFailureReason(const std::string &library_reason);

}  // namespace zonara_tool
