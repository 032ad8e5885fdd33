// The effect's version and global capability flags. The property list and
// GlobalSetup both take them from here, because a host that finds the two
// out of step refuses to load or mis-describes the effect.
#pragma once

#include <cstdint>

#include "pf_effect.h"

namespace zonara {

// Host packing: version from bit 19, subversion bits 15-18, patch level bits
// 11-14, stage bits 9-10, build bits 0-8. Reads 1.2, patch 0, stage 0, build 1.
inline constexpr std::uint32_t EFFECT_VERSION = 0x00090001u;
inline constexpr int EFFECT_MAJOR_VERSION = static_cast<int>(EFFECT_VERSION >> 19);
inline constexpr int EFFECT_MINOR_VERSION = static_cast<int>((EFFECT_VERSION >> 15) & 0xFu);

static_assert(EFFECT_MAJOR_VERSION == 1 && EFFECT_MINOR_VERSION == 2);

// Pixels are graded independently of their neighbours, the overlay is drawn
// by the effect, 16-bit layers are rendered, and the host is asked to send
// parameter-UI updates.
inline constexpr std::int32_t EFFECT_OUT_FLAGS =
    PF_OutFlag_PIX_INDEPENDENT | PF_OutFlag_CUSTOM_UI | PF_OutFlag_DEEP_COLOR_AWARE | PF_OutFlag_SEND_UPDATE_PARAMS_UI;

static_assert(EFFECT_OUT_FLAGS == 0x06008400);

// The effect may be rendered on several threads at once: it keeps nothing
// between calls and nothing in global memory, so frames share no state (the
// concurrent and ThreadSanitizer tests and the module's data check hold it to
// that). Without it a multi-frame host enters the effect one frame at a time.
// It answers the smart commands, through which a host asks for part of a
// frame, and renders 32-bit float there: a compositing host sends float
// frames through those commands only, and only to an effect that says so.
inline constexpr std::int32_t EFFECT_OUT_FLAGS2 =
    PF_OutFlag2_SUPPORTS_THREADED_RENDERING | PF_OutFlag2_SUPPORTS_SMART_RENDER | PF_OutFlag2_FLOAT_COLOR_AWARE;

static_assert(EFFECT_OUT_FLAGS2 == 0x08001400);

}  // namespace zonara
