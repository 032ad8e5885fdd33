#include "render/accelerators/saturated_pixel_memo.h"

namespace zonara {

void SaturatedPixelMemo::Allocate() {
    // Value-initialised: every entry 0, which no valid entry can be.
    entries_ = std::make_unique<std::atomic<std::uint32_t>[]>(ENTRY_COUNT);
}

}  // namespace zonara
