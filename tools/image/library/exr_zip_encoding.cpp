#include "tools/image/library/exr_zip_encoding.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace zonara_tool {
namespace {

constexpr std::uint32_t EXR_MAGIC = 20000630;
constexpr std::uint32_t EXR_VERSION = 2;
// Version flags: long attribute names change nothing here; single-part
// tiled, deep and multi-part files are left to the library.
constexpr std::uint32_t LONG_NAMES_FLAG = 0x400;
constexpr unsigned char NO_COMPRESSION = 0;
constexpr unsigned char ZIP_COMPRESSION = 3;
constexpr unsigned char INCREASING_Y = 0;
constexpr int ZIP_LINES_PER_BLOCK = 16;
// The DEFLATE effort. On a 4K float frame of grainy footage libdeflate's
// level 1 took a third of the time of the library's own ZIP (zlib at its
// level 4) for a file 0.7% larger; level 4 took half the time for a file a
// little smaller. Speed wins: a sequence's writing waits on it.
constexpr int DEFLATE_LEVEL = 1;

std::uint32_t ReadU32(const unsigned char *p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t ReadI32(const unsigned char *p) { return static_cast<std::int32_t>(ReadU32(p)); }

std::uint64_t ReadU64(const unsigned char *p) {
    return static_cast<std::uint64_t>(ReadU32(p)) | static_cast<std::uint64_t>(ReadU32(p + 4)) << 32;
}

void AppendU32(std::vector<unsigned char> &out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void PutU64(unsigned char *p, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

// What the transcoding needs of the header, and where its compression
// byte lies.
struct ScanlineLayout {
    std::size_t header_end = 0;        // the offset table's start
    std::size_t compression_at = 0;    // the compression attribute's value
    std::int64_t first_y = 0;
    std::int64_t lines = 0;
    std::int64_t bytes_per_line = 0;
};

// The NUL-terminated text at p within [p, end), or nothing.
std::optional<std::string> TextAt(const unsigned char *p, const unsigned char *end) {
    const auto *nul = std::find(p, end, static_cast<unsigned char>(0));
    if (nul == end) return std::nullopt;
    return std::string(reinterpret_cast<const char *>(p), static_cast<std::size_t>(nul - p));
}

// The bytes one scanline of the channel list holds, for a data window
// `width` wide; nothing for a channel the transcoding does not handle.
std::optional<std::int64_t> LineBytes(const unsigned char *p, const unsigned char *end, std::int64_t width) {
    std::int64_t bytes = 0;
    for (;;) {
        const auto name = TextAt(p, end);
        if (!name) return std::nullopt;
        p += name->size() + 1;
        if (name->empty()) return bytes;
        if (end - p < 16) return std::nullopt;
        const std::int32_t pixel_type = ReadI32(p);  // UINT, HALF, FLOAT
        const std::int32_t x_sampling = ReadI32(p + 8);
        const std::int32_t y_sampling = ReadI32(p + 12);
        if (pixel_type < 0 || pixel_type > 2 || x_sampling != 1 || y_sampling != 1) return std::nullopt;
        bytes += width * (pixel_type == 1 ? 2 : 4);
        p += 16;
    }
}

std::optional<ScanlineLayout> ReadLayout(const std::vector<unsigned char> &file) {
    const unsigned char *begin = file.data();
    const unsigned char *end = begin + file.size();
    if (file.size() < 8 || ReadU32(begin) != EXR_MAGIC) return std::nullopt;
    const std::uint32_t version = ReadU32(begin + 4);
    if ((version & 0xFF) != EXR_VERSION || (version & ~(0xFFu | LONG_NAMES_FLAG)) != 0) return std::nullopt;
    ScanlineLayout layout;
    bool compression_seen = false, window_seen = false, increasing = false;
    const unsigned char *channels = nullptr;
    const unsigned char *channels_end = nullptr;
    std::int64_t width = 0;
    const unsigned char *p = begin + 8;
    for (;;) {
        const auto name = TextAt(p, end);
        if (!name) return std::nullopt;
        p += name->size() + 1;
        if (name->empty()) break;
        const auto type = TextAt(p, end);
        if (!type) return std::nullopt;
        p += type->size() + 1;
        if (end - p < 4) return std::nullopt;
        const std::int32_t size = ReadI32(p);
        p += 4;
        if (size < 0 || end - p < size) return std::nullopt;
        if (*name == "compression" && *type == "compression" && size == 1) {
            if (p[0] != NO_COMPRESSION) return std::nullopt;
            layout.compression_at = static_cast<std::size_t>(p - begin);
            compression_seen = true;
        } else if (*name == "dataWindow" && *type == "box2i" && size == 16) {
            const std::int64_t x_min = ReadI32(p), y_min = ReadI32(p + 4);
            const std::int64_t x_max = ReadI32(p + 8), y_max = ReadI32(p + 12);
            if (x_max < x_min || y_max < y_min) return std::nullopt;
            width = x_max - x_min + 1;
            layout.first_y = y_min;
            layout.lines = y_max - y_min + 1;
            window_seen = true;
        } else if (*name == "lineOrder" && *type == "lineOrder" && size == 1) {
            increasing = p[0] == INCREASING_Y;
        } else if (*name == "channels" && *type == "chlist") {
            channels = p;
            channels_end = p + size;
        } else if (*name == "tiles" || *name == "type" || *name == "chunkCount") {
            return std::nullopt;
        }
        p += size;
    }
    if (!compression_seen || !window_seen || !increasing || channels == nullptr) return std::nullopt;
    const auto line_bytes = LineBytes(channels, channels_end, width);
    if (!line_bytes || *line_bytes <= 0) return std::nullopt;
    layout.bytes_per_line = *line_bytes;
    layout.header_end = static_cast<std::size_t>(p - begin);
    return layout;
}

// The format's ZIP preparation of a block of `count` lines: the block's
// bytes split into those at even and at odd positions, then each byte
// replaced by its difference from the one before (offset by 128), so that
// slowly varying values deflate well. Lines hold whole samples of 2 or 4
// bytes, so each line's even and odd bytes are runs of the two halves; both
// loops are plain enough for the compiler to vectorise.
void PredictBlock(const unsigned char *const *line, std::size_t count, std::size_t line_bytes, unsigned char *split,
                  unsigned char *prepared) {
    const std::size_t half_line = line_bytes / 2;
    const std::size_t size = count * line_bytes;
    unsigned char *even = split;
    unsigned char *odd = split + size / 2;
    for (std::size_t k = 0; k < count; ++k) {
        const unsigned char *bytes = line[k];
        for (std::size_t i = 0; i < half_line; ++i) {
            even[k * half_line + i] = bytes[2 * i];
            odd[k * half_line + i] = bytes[2 * i + 1];
        }
    }
    prepared[0] = split[0];
    for (std::size_t i = 1; i < size; ++i) {
        prepared[i] = static_cast<unsigned char>(split[i] - split[i - 1] + 128);
    }
}

struct CompressorFree {
    void operator()(libdeflate_compressor *compressor) const { libdeflate_free_compressor(compressor); }
};

// The chunks of a run of blocks, one after another, with each chunk's start
// within `bytes`; their y fields are filled in later.
struct EncodedBlocks {
    bool ok = false;
    std::vector<unsigned char> bytes;
    std::vector<std::size_t> starts;
};

EncodedBlocks EncodeBlocks(const std::vector<const unsigned char *> &line_data, std::size_t line_bytes,
                           std::size_t first_block, std::size_t end_block, std::size_t lines) {
    EncodedBlocks encoded;
    std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(DEFLATE_LEVEL));
    if (!compressor) return encoded;
    const std::size_t block_bytes = line_bytes * ZIP_LINES_PER_BLOCK;
    std::vector<unsigned char> split(block_bytes), prepared(block_bytes);
    // At most every block stored as it is: room made once (only the pages
    // written are ever touched).
    encoded.bytes.reserve((end_block - first_block) * (block_bytes + 8));
    std::vector<unsigned char> deflated(libdeflate_zlib_compress_bound(compressor.get(), block_bytes));
    for (std::size_t block = first_block; block < end_block; ++block) {
        const std::size_t first = block * ZIP_LINES_PER_BLOCK;
        const std::size_t count = std::min<std::size_t>(ZIP_LINES_PER_BLOCK, lines - first);
        const std::size_t size = count * line_bytes;
        PredictBlock(&line_data[first], count, line_bytes, split.data(), prepared.data());
        const std::size_t packed =
            libdeflate_zlib_compress(compressor.get(), prepared.data(), size, deflated.data(), deflated.size());
        encoded.starts.push_back(encoded.bytes.size());
        encoded.bytes.resize(encoded.bytes.size() + 4);  // y, filled in later
        // A block that does not shrink is stored as it is, which readers
        // tell by its size.
        if (packed != 0 && packed < size) {
            AppendU32(encoded.bytes, static_cast<std::uint32_t>(packed));
            encoded.bytes.insert(encoded.bytes.end(), deflated.data(), deflated.data() + packed);
        } else {
            AppendU32(encoded.bytes, static_cast<std::uint32_t>(size));
            for (std::size_t k = 0; k < count; ++k) {
                encoded.bytes.insert(encoded.bytes.end(), line_data[first + k], line_data[first + k] + line_bytes);
            }
        }
    }
    encoded.ok = true;
    return encoded;
}

}  // namespace

bool WriteZipCompressedExr(const std::vector<unsigned char> &uncompressed, ByteSink &sink) {
    const auto layout = ReadLayout(uncompressed);
    if (!layout) return false;
    const std::size_t line_bytes = static_cast<std::size_t>(layout->bytes_per_line);
    const std::size_t lines = static_cast<std::size_t>(layout->lines);
    // An uncompressed file holds one chunk a line: its offset table, then
    // each chunk's y, size and the line.
    const std::size_t table_end = layout->header_end + 8 * lines;
    if (uncompressed.size() < table_end) return false;
    std::vector<const unsigned char *> line_data(lines, nullptr);
    for (std::size_t i = 0; i < lines; ++i) {
        const std::uint64_t at = ReadU64(uncompressed.data() + layout->header_end + 8 * i);
        if (at < table_end || at > uncompressed.size() || uncompressed.size() - at < 8 + line_bytes) return false;
        const unsigned char *chunk = uncompressed.data() + at;
        const std::int64_t y = ReadI32(chunk);
        if (y < layout->first_y || y >= layout->first_y + layout->lines ||
            ReadI32(chunk + 4) != static_cast<std::int32_t>(line_bytes)) {
            return false;
        }
        line_data[static_cast<std::size_t>(y - layout->first_y)] = chunk + 8;
    }
    if (std::find(line_data.begin(), line_data.end(), nullptr) != line_data.end()) return false;

    // The blocks are deflated apart, on every processor: the sequence's
    // writer would otherwise wait on one.
    const std::size_t blocks = (lines + ZIP_LINES_PER_BLOCK - 1) / ZIP_LINES_PER_BLOCK;
    const std::size_t workers =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, std::max<std::size_t>(blocks / 4, 1));
    std::vector<EncodedBlocks> parts(workers);
    {
        std::vector<std::thread> threads;
        for (std::size_t w = 1; w < workers; ++w) {
            auto encode = [&, w] {
                parts[w] = EncodeBlocks(line_data, line_bytes, blocks * w / workers, blocks * (w + 1) / workers, lines);
            };
            try {
                threads.emplace_back(encode);
            } catch (const std::system_error &) {
                encode();  // no thread to be had: this one does the work
            }
        }
        parts[0] = EncodeBlocks(line_data, line_bytes, 0, blocks / workers, lines);
        for (std::thread &thread : threads) thread.join();
    }
    for (const EncodedBlocks &part : parts) {
        if (!part.ok) return false;
    }

    // The header as it was but for its compression, then the offset table
    // (each block's y filled in on the way), then the blocks.
    std::vector<unsigned char> head(uncompressed.begin(),
                                    uncompressed.begin() + static_cast<std::ptrdiff_t>(layout->header_end));
    head[layout->compression_at] = ZIP_COMPRESSION;
    const std::size_t offsets_at = head.size();
    head.resize(head.size() + 8 * blocks);
    std::uint64_t next = head.size();
    std::size_t block = 0;
    for (EncodedBlocks &part : parts) {
        for (const std::size_t start : part.starts) {
            PutU64(head.data() + offsets_at + 8 * block, next + start);
            const auto y =
                static_cast<std::uint32_t>(layout->first_y + static_cast<std::int64_t>(block * ZIP_LINES_PER_BLOCK));
            for (int i = 0; i < 4; ++i) part.bytes[start + static_cast<std::size_t>(i)] = static_cast<unsigned char>(y >> (8 * i));
            ++block;
        }
        next += part.bytes.size();
    }
    sink.Write(head.data(), head.size());
    for (const EncodedBlocks &part : parts) sink.Write(part.bytes.data(), part.bytes.size());
    return true;
}

}  // namespace zonara_tool
