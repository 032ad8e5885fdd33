// Where images' sample blocks come from. A sequence's frames are mostly of
// one size, and each frame's block is freed as the next is read: the big
// blocks freed are kept a while and handed to the next image of the same
// size, whose pages are then already mapped, instead of the system clearing
// fresh pages for every frame and unmapping them again after it.
#pragma once

#include <cstddef>

namespace zonara_tool {

// Blocks this large or larger are kept; smaller ones go straight back to
// the allocator, which reuses them itself.
constexpr std::size_t MIN_KEPT_BLOCK_BYTES = std::size_t{1} << 20;
// At most this many freed blocks are kept. A request of a size none of them
// has frees them all first, so that a change of size never holds more
// memory than the frames under way.
constexpr std::size_t MAX_KEPT_BLOCKS = 4;

// A block of `bytes` bytes, its contents unspecified (a kept block holds an
// earlier image's samples). Throws std::bad_alloc.
void *TakeSampleBlock(std::size_t bytes);
// Gives back a block TakeSampleBlock returned, of the same size.
void GiveBackSampleBlock(void *block, std::size_t bytes) noexcept;

// The image library module allocates its images' blocks through the
// tool's functions, so that a block the tool frees is reused by the module's
// next read, and the other way round.
struct SampleBlockFunctions {
    void *(*take)(std::size_t bytes);
    void (*give_back)(void *block, std::size_t bytes) noexcept;
};
SampleBlockFunctions OwnSampleBlockFunctions();
void UseSampleBlockFunctions(const SampleBlockFunctions &functions);

}  // namespace zonara_tool
