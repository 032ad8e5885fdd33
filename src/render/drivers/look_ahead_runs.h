// Integer frames through the vector kernels while the host's iterate suite
// still calls the effect once per pixel. When a call follows the one before
// it on the same row, the callback renders a run of the row's next pixels at
// once from the source, keeps the results for the calling thread, and hands
// each over when its own call comes, after checking that the call is the one
// the run was made for: the same row, position and source address, and the
// same source pixel bits. Any other call (a host that walks out of order,
// skips pixels, or changes the source under the walk) takes the plain path.
// Runs never read past the end of the source row the pixel lies in.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>

#include "pf_sdk.h"
#include "render/frame/pixel_stage.h"
#include "render/frame/simd_level.h"
#include "render/lanes/lane_kernels.h"

namespace zonara {

// One thread's run: the source pixels it was made from, bit for bit, and
// the rendered pixels, in the buffer's own layout. Each slot has lines of
// its own, so that threads never write into each other's cache lines.
struct alignas(64) RunSlot {
    std::atomic<std::thread::id> owner{};

    // The run: pixels (x0 + i, y) at address first + i x pixel size,
    // i < count.
    std::int64_t x0 = 0;
    std::int64_t y = 0;
    std::uintptr_t first = 0;
    std::uint64_t count = 0;
    // The address of the pixel after the thread's previous call's.
    std::uintptr_t next_in = 0;

    // Up to 8 bytes a pixel.
    alignas(64) unsigned char source[CODE_RUN_PIXELS * 8] = {};
    alignas(64) unsigned char rendered[CODE_RUN_PIXELS * 8] = {};
};

class LookAheadFrame {
public:
    // The frame's stage must have its tables; source is the layer the host
    // walks, whose pixels are pixel_bytes wide.
    LookAheadFrame(const PixelStage &stage, PixelRunKernel kernel, const PF_LayerDef &source, std::size_t pixel_bytes);
    ~LookAheadFrame();
    LookAheadFrame(const LookAheadFrame &) = delete;
    LookAheadFrame &operator=(const LookAheadFrame &) = delete;

    const PixelStage &stage() const { return stage_; }
    PixelRunKernel kernel() const { return kernel_; }

    // The calling thread's slot, claimed on its first call; null when every
    // slot is taken by other threads (that thread then renders plainly).
    RunSlot *SlotOfThisThread() {
        const std::thread::id me = std::this_thread::get_id();
        RunSlot &home = slots_[HomeSlotOf(me)];
        if (home.owner.load(std::memory_order_acquire) == me) return &home;
        return ClaimSlot(me);
    }

    // How many pixels of its source row lie from `pixel` on (itself
    // included), or 0 when `pixel` is not a pixel of the source layer.
    std::int64_t PixelsLeftInRow(const void *pixel) const;

private:
    // Enough for the hosts' worker pools; a thread beyond them renders
    // plainly.
    static constexpr unsigned SLOT_BITS = 6;
    static constexpr std::size_t SLOT_COUNT = std::size_t{1} << SLOT_BITS;

    static std::uint64_t HomeSlotOf(std::thread::id thread) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &thread, sizeof thread < sizeof bits ? sizeof thread : sizeof bits);
        return (bits * 0x9E3779B97F4A7C15ull) >> (64 - SLOT_BITS);
    }
    RunSlot *ClaimSlot(std::thread::id me);

    const PixelStage &stage_;
    PixelRunKernel kernel_;
    std::uintptr_t source_base_ = 0;
    std::int64_t source_rowbytes_ = 0;
    std::int64_t source_width_ = 0;
    std::int64_t source_height_ = 0;
    std::int64_t pixel_bytes_ = 0;
    std::unique_ptr<RunSlot[]> slots_;
};

// The integer callbacks with look-ahead; refcon is the frame's
// LookAheadFrame.
PF_Err RenderArgb8InRuns(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out);
PF_Err RenderArgb16InRuns(void *refcon, A_long x, A_long y, PF_Pixel16 *in, PF_Pixel16 *out);
PF_Err RenderBgra8InRuns(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out);

}  // namespace zonara
