#include "render/drivers/look_ahead_runs.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <thread>
#include <type_traits>

#include "common/standard_float_mode.h"
#include "render/accelerators/grade_tables.h"
#include "render/drivers/integer_pixel_path.h"

namespace zonara {

namespace {

using namespace integer_pixels;

// Hands the call its pixel from the thread's run, if the run was made for
// exactly this call.
template <class Layout>
ZONARA_HOT_INLINE bool HandOver(RunSlot &slot, A_long x, A_long y, const typename Layout::Pixel *in,
                                typename Layout::Pixel *out) {
    using Bits = std::conditional_t<sizeof(typename Layout::Pixel) == 8, std::uint64_t, std::uint32_t>;
    static_assert(sizeof(Bits) == sizeof(typename Layout::Pixel), "pixels of 4 or 8 bytes");
    const std::uint64_t i = static_cast<std::uint64_t>(static_cast<std::int64_t>(x) - slot.x0);
    const auto address = reinterpret_cast<std::uintptr_t>(in);
    if (y != slot.y || i >= slot.count || address != slot.first + i * sizeof(Bits)) return false;
    Bits now, then;
    std::memcpy(&now, in, sizeof now);
    std::memcpy(&then, slot.source + i * sizeof(Bits), sizeof then);
    if (now != then) return false;
    std::memcpy(out, slot.rendered + i * sizeof(Bits), sizeof(Bits));
    slot.next_in = address + sizeof(Bits);
    return true;
}

// Renders the run that starts at this call's pixel; false when the row has
// too little left for a run to pay.
template <class Layout>
bool StartRun(LookAheadFrame &frame, RunSlot &slot, A_long x, A_long y, const typename Layout::Pixel *in) {
    using Pixel = typename Layout::Pixel;
    // Positions stay within the host's 32-bit coordinates.
    const std::int64_t room = std::min(frame.PixelsLeftInRow(in), std::int64_t{INT_MAX} - x + 1);
    if (room < 2) return false;
    const int count = static_cast<int>(std::min<std::int64_t>(room, CODE_RUN_PIXELS));
    // Called on the host's threads, whose floating-point mode may be another.
    const StandardFloatMode standard_mode;

    // A whole run's copy has a size the compiler knows, and becomes a few
    // vector moves.
    if (count == CODE_RUN_PIXELS) {
        std::memcpy(slot.source, in, CODE_RUN_PIXELS * sizeof(Pixel));
    } else {
        std::memcpy(slot.source, in, static_cast<std::size_t>(count) * sizeof(Pixel));
    }
    const PixelStage &stage = frame.stage();
    // The kernel weights layer positions; the run is kept by world positions,
    // which the host's calls name.
    std::uint32_t plain =
        frame.kernel()(*stage.record, *stage.tables, Layout::CODE_LAYOUT, std::int64_t{stage.origin.left} + x,
                       std::int64_t{stage.origin.top} + y, count, slot.source, slot.rendered);
    for (; plain != 0; plain &= plain - 1) {
        const int i = __builtin_ctz(plain);
        Pixel source;
        std::memcpy(&source, slot.source + i * sizeof(Pixel), sizeof source);
        Pixel rendered;
        Layout::Write(RenderCodes<typename Layout::Codec>(stage, static_cast<A_long>(x + i), y, Layout::Read(&source)),
                      &rendered);
        std::memcpy(slot.rendered + i * sizeof(Pixel), &rendered, sizeof rendered);
    }
    slot.x0 = x;
    slot.y = y;
    slot.first = reinterpret_cast<std::uintptr_t>(in);
    slot.count = static_cast<std::uint64_t>(count);
    return true;
}

template <class Layout>
PF_Err RenderInRuns(void *refcon, A_long x, A_long y, typename Layout::Pixel *in, typename Layout::Pixel *out) {
    if (in == nullptr || out == nullptr) return PF_Err_NONE;
    auto &frame = *static_cast<LookAheadFrame *>(refcon);
    if (RunSlot *slot = frame.SlotOfThisThread()) {
        if (HandOver<Layout>(*slot, x, y, in, out)) return PF_Err_NONE;
        // A run is started only by a call that takes the pixel after the
        // previous call's: a host walking some other way would see most of
        // its runs thrown away.
        const auto address = reinterpret_cast<std::uintptr_t>(in);
        const bool follows = address == slot->next_in;
        slot->next_in = address + sizeof(*in);
        if (follows && StartRun<Layout>(frame, *slot, x, y, in) && HandOver<Layout>(*slot, x, y, in, out)) {
            return PF_Err_NONE;
        }
    }
    const StandardFloatMode standard_mode;
    Layout::Write(RenderCodes<typename Layout::Codec>(frame.stage(), x, y, Layout::Read(in)), out);
    return PF_Err_NONE;
}

}  // namespace

LookAheadFrame::LookAheadFrame(const PixelStage &stage, PixelRunKernel kernel, const PF_LayerDef &source,
                               std::size_t pixel_bytes)
    : stage_(stage), kernel_(kernel), slots_(new RunSlot[SLOT_COUNT]) {
    const std::int64_t width = source.width;
    const std::int64_t rowbytes = source.rowbytes;
    pixel_bytes_ = static_cast<std::int64_t>(pixel_bytes);
    // Runs read rows forward from a pixel's address, which needs rows laid
    // out top-down and apart; other layouts are walked plainly.
    if (source.data != nullptr && width > 0 && source.height > 0 && rowbytes >= width * pixel_bytes_) {
        source_base_ = reinterpret_cast<std::uintptr_t>(source.data);
        source_rowbytes_ = rowbytes;
        source_width_ = width;
        source_height_ = source.height;
    }
}

LookAheadFrame::~LookAheadFrame() = default;

RunSlot *LookAheadFrame::ClaimSlot(std::thread::id me) {
    const std::uint64_t start = HomeSlotOf(me);
    for (std::size_t probe = 0; probe < SLOT_COUNT; ++probe) {
        RunSlot &slot = slots_[(start + probe) & (SLOT_COUNT - 1)];
        std::thread::id owner = slot.owner.load(std::memory_order_acquire);
        if (owner == me) return &slot;
        if (owner == std::thread::id{} && slot.owner.compare_exchange_strong(owner, me, std::memory_order_acq_rel)) {
            return &slot;
        }
    }
    return nullptr;
}

std::int64_t LookAheadFrame::PixelsLeftInRow(const void *pixel) const {
    const auto address = reinterpret_cast<std::uintptr_t>(pixel);
    if (source_width_ == 0 || address < source_base_) return 0;
    const std::uint64_t offset = address - source_base_;
    const std::uint64_t row = offset / static_cast<std::uint64_t>(source_rowbytes_);
    const std::uint64_t within = offset % static_cast<std::uint64_t>(source_rowbytes_);
    if (row >= static_cast<std::uint64_t>(source_height_) || within % static_cast<std::uint64_t>(pixel_bytes_) != 0) {
        return 0;
    }
    const auto column = static_cast<std::int64_t>(within / static_cast<std::uint64_t>(pixel_bytes_));
    return column < source_width_ ? source_width_ - column : 0;
}

PF_Err RenderArgb8InRuns(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out) {
    return RenderInRuns<Argb8Layout>(refcon, x, y, in, out);
}

PF_Err RenderArgb16InRuns(void *refcon, A_long x, A_long y, PF_Pixel16 *in, PF_Pixel16 *out) {
    return RenderInRuns<Argb16Layout>(refcon, x, y, in, out);
}

PF_Err RenderBgra8InRuns(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out) {
    return RenderInRuns<Bgra8Layout>(refcon, x, y, in, out);
}

}  // namespace zonara
