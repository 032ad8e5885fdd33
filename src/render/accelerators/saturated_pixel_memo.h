// A memo of finished 8-bit pixels for the sides of a frame whose saturation
// mixes the channels. There the result depends on all three codes together,
// so no per-channel table can hold it, and a table of every colour (16 MB a
// side) is far too large; but a picture repeats its colours, neighbouring
// pixels most of all, so a small cache of recent colours answers most pixels
// without the HSV arithmetic. Entries hold the exact result computed for
// their colour, so a pixel read from the memo is the pixel computed afresh.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "render/formula/hot_inline.h"

namespace zonara {

class SaturatedPixelMemo {
public:
    // 2^18 entries of 4 bytes: 1 MB a frame.
    static constexpr int INDEX_BITS = 18;
    static constexpr std::uint32_t ENTRY_COUNT = 1u << INDEX_BITS;

    // Makes the (empty) entries; may throw std::bad_alloc.
    void Allocate();
    bool allocated() const { return entries_ != nullptr; }

    // The entry of a colour on a side (SIDE_INSIDE or SIDE_OUTSIDE): its
    // slot and the word the slot holds when it has the colour's result.
    struct Key {
        std::uint32_t slot;
        std::uint32_t tag;  // valid bit and the key bits the slot does not give
    };
    ZONARA_HOT_INLINE static Key KeyOf(int side, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
        // The key (side, red, green, blue) is split into the 18 bits of the
        // slot and 7 bits kept in the entry; mixing the kept bits into the
        // slot spreads colours that differ only there. Both parts together
        // give the key back, so a matching entry is the colour's own.
        const std::uint32_t kept = (red >> 2) | (static_cast<std::uint32_t>(side) << 6);
        const std::uint32_t low = ((red & 3u) << 16) | (green << 8) | blue;
        const std::uint32_t slot = (low ^ (kept * 0x9E3779B1u >> (32 - INDEX_BITS))) & (ENTRY_COUNT - 1);
        return {slot, VALID | (kept << 24)};
    }

    // The three output codes packed as red << 16 | green << 8 | blue, if the
    // entry holds them.
    ZONARA_HOT_INLINE bool Find(const Key &key, std::uint32_t &codes) const {
        // Relaxed: every word ever stored is a complete, correct entry, so
        // a thread may see another's entry or an older one, never a torn or
        // a wrong one.
        const std::uint32_t entry = entries_[key.slot].load(std::memory_order_relaxed);
        codes = entry & CODES_MASK;
        return (entry & ~CODES_MASK) == key.tag;
    }

    ZONARA_HOT_INLINE void Store(const Key &key, std::uint32_t codes) const {
        entries_[key.slot].store(key.tag | codes, std::memory_order_relaxed);
    }

private:
    static constexpr std::uint32_t VALID = 0x80000000u;
    static constexpr std::uint32_t CODES_MASK = 0x00FFFFFFu;

    std::unique_ptr<std::atomic<std::uint32_t>[]> entries_;
};

}  // namespace zonara
