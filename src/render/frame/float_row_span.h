// The part of two float buffers a row loop may visit. Its own header, on the
// frame's floor, because the row drivers build it and the vector kernel
// walks it, and the kernel must not stand on the drivers above it.
#pragma once

#include <cstdint>

namespace zonara {

// Rows first to end and columns 0 to columns, at these row starts and
// signed row distances.
struct FloatRowSpan {
    std::int64_t first = 0;
    std::int64_t end = 0;
    std::int64_t columns = 0;
    std::uint8_t *source_base = nullptr;
    std::uint8_t *destination_base = nullptr;
    std::int64_t source_rowbytes = 0;
    std::int64_t destination_rowbytes = 0;
};

}  // namespace zonara
