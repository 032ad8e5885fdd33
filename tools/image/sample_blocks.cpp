#include "tools/image/sample_blocks.h"

#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace zonara_tool {
namespace {

class KeptBlocks {
public:
    void *Take(std::size_t bytes) {
        std::vector<std::pair<void *, std::size_t>> stale;
        {
            std::lock_guard lock(mutex_);
            for (auto kept = blocks_.begin(); kept != blocks_.end(); ++kept) {
                if (kept->second == bytes) {
                    void *block = kept->first;
                    blocks_.erase(kept);
                    return block;
                }
            }
            stale.swap(blocks_);
        }
        for (const auto &[block, size] : stale) {
            ::operator delete(block);
        }
        return ::operator new(bytes);
    }

    void GiveBack(void *block, std::size_t bytes) noexcept {
        std::pair<void *, std::size_t> oldest{nullptr, 0};
        {
            std::lock_guard lock(mutex_);
            if (blocks_.size() == MAX_KEPT_BLOCKS) {
                oldest = blocks_.front();
                blocks_.erase(blocks_.begin());
            }
            // Never reallocates: the capacity is reserved below.
            blocks_.emplace_back(block, bytes);
        }
        if (oldest.first != nullptr) {
            ::operator delete(oldest.first);
        }
    }

    KeptBlocks() { blocks_.reserve(MAX_KEPT_BLOCKS); }

private:
    std::mutex mutex_;
    std::vector<std::pair<void *, std::size_t>> blocks_;  // oldest first
};

// Never destroyed: an image freed during the program's exit still gives its
// block back.
KeptBlocks &Kept() {
    static KeptBlocks *const kept = new KeptBlocks;
    return *kept;
}

void *TakeKept(std::size_t bytes) { return Kept().Take(bytes); }
void GiveBackKept(void *block, std::size_t bytes) noexcept { Kept().GiveBack(block, bytes); }

SampleBlockFunctions functions_in_use{TakeKept, GiveBackKept};

}  // namespace

void *TakeSampleBlock(std::size_t bytes) {
    if (bytes < MIN_KEPT_BLOCK_BYTES) {
        return ::operator new(bytes);
    }
    return functions_in_use.take(bytes);
}

void GiveBackSampleBlock(void *block, std::size_t bytes) noexcept {
    if (bytes < MIN_KEPT_BLOCK_BYTES) {
        ::operator delete(block);
        return;
    }
    functions_in_use.give_back(block, bytes);
}

SampleBlockFunctions OwnSampleBlockFunctions() { return {TakeKept, GiveBackKept}; }

void UseSampleBlockFunctions(const SampleBlockFunctions &functions) { functions_in_use = functions; }

}  // namespace zonara_tool
