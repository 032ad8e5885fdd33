// A frame's samples as bytes, in one block from sample_blocks.h. Growing it
// leaves the new bytes uninitialised: a frame's block is always filled by a
// read or a conversion straight away, and zeroing it first would touch every
// page twice. A standard vector with a do-nothing construct would do the
// same when optimised, but constructs byte by byte in unoptimised and
// sanitizer builds, where a header declaring a huge frame would then stall.
#pragma once

#include <cstddef>
#include <cstring>
#include <utility>

#include "tools/image/sample_blocks.h"

namespace zonara_tool {

class SampleBytes {
public:
    SampleBytes() = default;
    SampleBytes(const SampleBytes &other) { CopyFrom(other); }
    SampleBytes(SampleBytes &&other) noexcept
        : block_(std::exchange(other.block_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    SampleBytes &operator=(const SampleBytes &other) {
        if (this != &other) {
            SampleBytes copy(other);
            Swap(copy);
        }
        return *this;
    }
    SampleBytes &operator=(SampleBytes &&other) noexcept {
        SampleBytes taken(std::move(other));
        Swap(taken);
        return *this;
    }
    ~SampleBytes() { clear(); }

    unsigned char *data() noexcept { return block_; }
    const unsigned char *data() const noexcept { return block_; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    unsigned char *begin() noexcept { return block_; }
    unsigned char *end() noexcept { return block_ + size_; }
    const unsigned char *begin() const noexcept { return block_; }
    const unsigned char *end() const noexcept { return block_ + size_; }
    unsigned char &operator[](std::size_t i) noexcept { return block_[i]; }
    const unsigned char &operator[](std::size_t i) const noexcept { return block_[i]; }

    // Keeps the first bytes that both sizes hold; any further bytes are
    // uninitialised. Throws std::bad_alloc, leaving the bytes as they were.
    void resize(std::size_t size) {
        if (size == size_) {
            return;
        }
        SampleBytes grown;
        if (size != 0) {
            grown.block_ = static_cast<unsigned char *>(TakeSampleBlock(size));
            grown.size_ = size;
            if (size_ != 0) {
                std::memcpy(grown.block_, block_, size < size_ ? size : size_);
            }
        }
        Swap(grown);
    }
    // `size` bytes, each `value`.
    void assign(std::size_t size, unsigned char value) {
        SampleBytes filled;
        filled.resize(size);
        if (size != 0) {
            std::memset(filled.block_, value, size);
        }
        Swap(filled);
    }
    void clear() noexcept {
        if (block_ != nullptr) {
            GiveBackSampleBlock(block_, size_);
        }
        block_ = nullptr;
        size_ = 0;
    }

    friend bool operator==(const SampleBytes &a, const SampleBytes &b) noexcept {
        return a.size_ == b.size_ && (a.size_ == 0 || std::memcmp(a.block_, b.block_, a.size_) == 0);
    }

private:
    void Swap(SampleBytes &other) noexcept {
        std::swap(block_, other.block_);
        std::swap(size_, other.size_);
    }
    void CopyFrom(const SampleBytes &other) {
        resize(other.size_);
        if (size_ != 0) {
            std::memcpy(block_, other.block_, size_);
        }
    }

    unsigned char *block_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace zonara_tool
