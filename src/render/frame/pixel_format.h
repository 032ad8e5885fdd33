// The pixel formats a frame comes in, and what each one is: one row a
// format, read by the plan, the vector lanes, the simulated host and the
// tool alike, so that none of them keeps a list of its own. A new format is
// a row here plus its loads and stores: an integer format's pixel layout in
// the iterate path and the lanes, a float format's in the float row loop.
#pragma once

#include <iterator>
#include <optional>

#include "pf_pixels.h"
#include "pf_smart_render.h"

namespace zonara {

// In the order of PIXEL_FORMATS' rows.
enum class PixelFormat { ARGB8, ARGB16, BGRA8, BGRA32F, ARGB32F };

// Which channel comes first in memory: alpha in the compositing host's
// pixels, blue in the editing host's.
enum class ChannelOrder { ARGB, BGRA };

// How a channel is held: an 8- or 16-bit code or a 32-bit float.
enum class SampleDepth { INT8, INT16, FLOAT32 };

// How a frame of the format is walked: pixel by pixel through the host's
// iterate suites (integer codes, which the grade tables answer), or row by
// row through the effect's own float loop.
enum class FrameWalk { ITERATE_SUITES, FLOAT_ROWS };

struct PixelFormatTraits {
    PixelFormat format;
    const char *name;  // as a plan's description names it
    ChannelOrder order;
    SampleDepth depth;
    int bytes_per_channel;
    // Full scale: 255, 32768 (not 65535), or 1 for float.
    int max_code;
    FrameWalk walk;
    // The editing host's code for the format; 0 where that host has none.
    PrPixelFormat premiere_code;
    // The compositing host's code for it, as its world suite reports a
    // world's format; 0 where that host has none.
    PF_PixelFormat after_effects_code;

    constexpr int bytes_per_pixel() const { return 4 * bytes_per_channel; }
    constexpr bool integer() const { return walk == FrameWalk::ITERATE_SUITES; }
};

inline constexpr PixelFormatTraits PIXEL_FORMATS[] = {
    {PixelFormat::ARGB8, "ARGB 8-bit", ChannelOrder::ARGB, SampleDepth::INT8, 1, PF_MAX_CHAN8,
     FrameWalk::ITERATE_SUITES, 0, PF_PixelFormat_ARGB32},
    {PixelFormat::ARGB16, "ARGB 16-bit", ChannelOrder::ARGB, SampleDepth::INT16, 2, PF_MAX_CHAN16,
     FrameWalk::ITERATE_SUITES, 0, PF_PixelFormat_ARGB64},
    {PixelFormat::BGRA8, "BGRA 8-bit", ChannelOrder::BGRA, SampleDepth::INT8, 1, PF_MAX_CHAN8,
     FrameWalk::ITERATE_SUITES, PrPixelFormat_BGRA_4444_8u, 0},
    {PixelFormat::BGRA32F, "BGRA float", ChannelOrder::BGRA, SampleDepth::FLOAT32, 4, 1, FrameWalk::FLOAT_ROWS,
     PrPixelFormat_BGRA_4444_32f, 0},
    {PixelFormat::ARGB32F, "ARGB float", ChannelOrder::ARGB, SampleDepth::FLOAT32, 4, 1, FrameWalk::FLOAT_ROWS, 0,
     PF_PixelFormat_ARGB128},
};

constexpr const PixelFormatTraits &TraitsOf(PixelFormat format) { return PIXEL_FORMATS[static_cast<int>(format)]; }

constexpr bool RowsFollowTheEnum() {
    for (int i = 0; i < static_cast<int>(std::size(PIXEL_FORMATS)); ++i) {
        if (static_cast<int>(PIXEL_FORMATS[i].format) != i) return false;
    }
    return true;
}
static_assert(RowsFollowTheEnum(), "TraitsOf indexes the rows by the enum");

// The format of this channel order and depth, if there is one.
constexpr std::optional<PixelFormat> FormatWith(ChannelOrder order, SampleDepth depth) {
    for (const PixelFormatTraits &row : PIXEL_FORMATS) {
        if (row.order == order && row.depth == depth) return row.format;
    }
    return std::nullopt;
}

// The format the editing host means by `code`, if it is one of ours.
constexpr std::optional<PixelFormat> FormatOfPremiereCode(PrPixelFormat code) {
    for (const PixelFormatTraits &row : PIXEL_FORMATS) {
        if (row.premiere_code != 0 && row.premiere_code == code) return row.format;
    }
    return std::nullopt;
}

// The format the compositing host means by `code`, if it is one of ours.
constexpr std::optional<PixelFormat> FormatOfAfterEffectsCode(PF_PixelFormat code) {
    for (const PixelFormatTraits &row : PIXEL_FORMATS) {
        if (row.after_effects_code != 0 && row.after_effects_code == code) return row.format;
    }
    return std::nullopt;
}

}  // namespace zonara
