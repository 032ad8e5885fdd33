#include "tools/image/library/read_checks.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "tools/base/tool_error.h"

namespace zonara_tool {
namespace {

// Where the DPX fields the size depends on lie (a fixed-layout header; the
// byte order is the one its magic number is written in).
constexpr std::uint32_t DPX_MAGIC = 0x53445058u;  // "SDPX" in the file's byte order
constexpr std::size_t DPX_IMAGE_OFFSET_AT = 4;
constexpr std::size_t DPX_ELEMENT_COUNT_AT = 770;
constexpr std::size_t DPX_PIXELS_PER_LINE_AT = 772;
constexpr std::size_t DPX_LINES_AT = 776;
constexpr std::size_t DPX_ELEMENTS_AT = 780;
constexpr std::size_t DPX_ELEMENT_SIZE = 72;
constexpr std::size_t DPX_MAX_ELEMENTS = 8;
// Within an image element's record.
constexpr std::size_t DPX_DESCRIPTOR_AT = 20;
constexpr std::size_t DPX_BIT_SIZE_AT = 23;
constexpr std::size_t DPX_PACKING_AT = 24;
constexpr std::size_t DPX_DATA_OFFSET_AT = 28;
constexpr std::size_t DPX_LINE_PADDING_AT = 32;
constexpr std::uint32_t DPX_UNDEFINED = 0xFFFFFFFFu;
// Past this many pixels a side the tool's limits have refused the file
// already; a field above it is garbage, not a size to multiply.
constexpr std::uint32_t DPX_MAX_SIDE = 1u << 24;
// Where the Cineon fields the size depends on lie (big-endian as a rule;
// the magic number tells).
constexpr std::uint32_t CINEON_MAGIC = 0x802A5FD7u;
constexpr std::size_t CINEON_IMAGE_OFFSET_AT = 4;
constexpr std::size_t CINEON_CHANNELS_AT = 193;
constexpr std::size_t CINEON_BITS_AT = 198;  // the first channel's; all share it
constexpr std::size_t CINEON_PIXELS_PER_LINE_AT = 200;
constexpr std::size_t CINEON_LINES_AT = 204;
constexpr std::size_t CINEON_PACKING_AT = 681;
constexpr std::size_t CINEON_LINE_PADDING_AT = 684;
constexpr std::size_t CINEON_HEADER_READ = 688;
// Three 10-bit samples to a 32-bit word, left- or right-justified: what
// nearly every 10-bit Cineon file holds.
constexpr std::uint32_t CINEON_PACKED_LONGWORDS = 5;
constexpr std::uint32_t CINEON_PACKED_LONGWORDS_RIGHT = 6;
// Likewise for a PNM header's numbers: reading stops past this.
constexpr std::uint64_t PNM_MAX_NUMBER = std::uint64_t{1} << 24;

// The first bytes of a file with fixed-offset header fields, read in the
// byte order its magic number shows.
class FixedHeader {
public:
    // False when `in` starts with neither byte order of `magic`.
    bool Read(std::istream &in, std::uint32_t magic) {
        in.read(reinterpret_cast<char *>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        size_ = static_cast<std::size_t>(in.gcount());
        big_endian_ = true;
        if (U32(0) == magic) {
            return true;
        }
        big_endian_ = false;
        return U32(0) == magic;
    }
    // The field at `at`, or nullopt past the bytes read.
    std::optional<std::uint32_t> U32(std::size_t at) const { return Field(at, 4); }
    std::optional<std::uint32_t> U16(std::size_t at) const { return Field(at, 2); }
    std::optional<std::uint32_t> U8(std::size_t at) const { return Field(at, 1); }

private:
    std::optional<std::uint32_t> Field(std::size_t at, std::size_t width) const {
        if (at + width > size_) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t byte = big_endian_ ? at + i : at + width - 1 - i;
            value = value << 8 | bytes_[byte];
        }
        return value;
    }

    std::array<unsigned char, std::max(DPX_ELEMENTS_AT + DPX_ELEMENT_SIZE * DPX_MAX_ELEMENTS, CINEON_HEADER_READ)>
        bytes_{};
    std::size_t size_ = 0;
    bool big_endian_ = false;
};

// Samples per pixel of an image element, by its descriptor; 0 for one not
// known here.
std::uint64_t DpxSamplesPerPixel(std::uint32_t descriptor) {
    switch (descriptor) {
    case 1:
    case 2:
    case 3:
    case 4:  // one of red, green, blue, alpha
    case 6:  // luma
    case 7:  // depth
    case 8:  // composite video
        return 1;
    case 100:  // CbYCrY 4:2:2: two samples a pixel
        return 2;
    case 50:   // RGB
    case 101:  // CbYACrYA 4:2:2:4
    case 102:  // CbYCr 4:4:4
        return 3;
    case 51:   // RGBA
    case 52:   // ABGR
    case 103:  // CbYCrA 4:4:4:4
        return 4;
    default:
        break;
    }
    if (descriptor >= 150 && descriptor <= 156) {  // user-defined, 2 to 8 samples
        return descriptor - 148;
    }
    return 0;
}

// The bytes of one row of `samples` samples; 0 for a layout not known here.
std::uint64_t DpxRowBytes(std::uint64_t samples, std::uint32_t bits, std::uint32_t packing) {
    const bool filled = packing == 1 || packing == 2;
    if (bits == 10 && filled) {
        return (samples + 2) / 3 * 4;  // three samples to a 32-bit word
    }
    if (bits == 12 && filled) {
        return samples * 2;  // each sample in 16 bits
    }
    if (bits == 8 || bits == 16 || bits == 32 || bits == 64) {
        return samples * bits / 8;
    }
    if (bits == 1 || bits == 10 || bits == 12) {
        return (samples * bits + 31) / 32 * 4;  // packed, the row padded to 32 bits
    }
    return 0;
}

std::uint64_t FileSize(const std::string &path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::uint64_t>(size);
}

// The next number of a PNM header, past whitespace and # comments;
// nullopt at anything else.
std::optional<std::uint64_t> PnmNumber(std::istream &in) {
    int c = in.get();
    while (c == '#' || std::isspace(c)) {
        if (c == '#') {
            while (c != '\n' && c != '\r' && c != std::char_traits<char>::eof()) {
                c = in.get();
            }
        }
        c = in.get();
    }
    if (!std::isdigit(c)) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    while (std::isdigit(c) && value <= PNM_MAX_NUMBER) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        c = in.get();
    }
    // One whitespace character ends the header's last number.
    return std::isspace(c) ? std::optional<std::uint64_t>(value) : std::nullopt;
}

// Bytes of a stream one at a time, from a buffer refilled in large reads.
class ByteReader {
public:
    explicit ByteReader(std::istream &in) : in_(in) {}
    // The next byte, or -1 at the end.
    int Next() {
        if (at_ == size_) {
            in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
            size_ = static_cast<std::size_t>(in_.gcount());
            at_ = 0;
            if (size_ == 0) {
                return -1;
            }
        }
        return static_cast<unsigned char>(buffer_[at_++]);
    }
    // Passes `count` bytes; false when the stream ends first.
    bool Skip(std::uint64_t count) {
        for (; count > 0; --count) {
            if (Next() < 0) {
                return false;
            }
        }
        return true;
    }

private:
    std::istream &in_;
    std::array<char, 1 << 16> buffer_{};
    std::size_t size_ = 0;
    std::size_t at_ = 0;
};

// JPEG markers that stand alone, without a length: start of image, the
// restart markers within a scan, and TEM.
bool StandaloneJpegMarker(int marker) { return marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

// What the library's readers say, in any letter case, of a file that ends
// before the data its header or its own structure calls for.
constexpr const char *END_OF_FILE_PHRASES[] = {"end of file", "hit eof", "unexpected end", "outside of file bounds",
                                               "asked for"};

constexpr int JPEG_START_OF_SCAN = 0xDA;
constexpr int JPEG_END_OF_IMAGE = 0xD9;

}  // namespace

bool JpegReachesItsEnd(std::istream &in) {
    ByteReader bytes(in);
    if (bytes.Next() != 0xFF || bytes.Next() != 0xD8) {
        return true;
    }
    int marker = -1;  // the next marker, when a scan's data ended at it
    for (;;) {
        if (marker < 0) {
            int c = bytes.Next();
            if (c != 0xFF) {
                return c >= 0;  // damaged rather than cut: the reader says what
            }
            while (c == 0xFF) {  // fill bytes
                c = bytes.Next();
            }
            marker = c;
        }
        if (marker < 0) {
            return false;
        }
        if (marker == JPEG_END_OF_IMAGE) {
            return true;
        }
        const int current = marker;
        marker = -1;
        if (StandaloneJpegMarker(current)) {
            continue;
        }
        const int high = bytes.Next();
        const int low = bytes.Next();
        if (low < 0 || !bytes.Skip(static_cast<std::uint64_t>(std::max(0, (high << 8 | low) - 2)))) {
            return false;
        }
        if (current != JPEG_START_OF_SCAN) {
            continue;
        }
        // The scan's entropy-coded data: an FF in it is followed by a
        // stuffed 00 or a restart marker; anything else is the next marker.
        for (;;) {
            int c = bytes.Next();
            if (c < 0) {
                return false;
            }
            if (c != 0xFF) {
                continue;
            }
            while (c == 0xFF) {
                c = bytes.Next();
            }
            if (c < 0) {
                return false;
            }
            if (c != 0x00 && !(c >= 0xD0 && c <= 0xD7)) {
                marker = c;
                break;
            }
        }
    }
}

std::optional<std::uint64_t> PnmDeclaredBytes(std::istream &in) {
    char magic[2] = {};
    if (!in.read(magic, 2) || magic[0] != 'P' || (magic[1] != '4' && magic[1] != '5' && magic[1] != '6')) {
        return std::nullopt;  // the text variants and others: the library checks those
    }
    const auto width = PnmNumber(in);
    const auto height = PnmNumber(in);
    if (!width || !height) {
        return std::nullopt;
    }
    std::uint64_t row = (*width + 7) / 8;  // P4: one bit a pixel, rows padded to bytes
    if (magic[1] != '4') {
        const auto maxval = PnmNumber(in);
        if (!maxval) {
            return std::nullopt;
        }
        row = *width * (magic[1] == '6' ? 3 : 1) * (*maxval > 255 ? 2 : 1);
    }
    const std::streamoff header = in.tellg();
    if (header < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(header) + row * *height;
}

std::optional<std::uint64_t> DpxDeclaredBytes(std::istream &in) {
    FixedHeader header;
    if (!header.Read(in, DPX_MAGIC)) {
        return std::nullopt;
    }
    const auto elements = header.U16(DPX_ELEMENT_COUNT_AT);
    const auto width = header.U32(DPX_PIXELS_PER_LINE_AT);
    const auto height = header.U32(DPX_LINES_AT);
    const auto image_offset = header.U32(DPX_IMAGE_OFFSET_AT);
    if (!elements || !width || !height || !image_offset || *width > DPX_MAX_SIDE || *height > DPX_MAX_SIDE) {
        return std::nullopt;
    }
    std::optional<std::uint64_t> needed;
    for (std::size_t e = 0; e < std::min<std::size_t>(*elements, DPX_MAX_ELEMENTS); ++e) {
        const std::size_t at = DPX_ELEMENTS_AT + e * DPX_ELEMENT_SIZE;
        const auto descriptor = header.U8(at + DPX_DESCRIPTOR_AT);
        const auto bits = header.U8(at + DPX_BIT_SIZE_AT);
        const auto packing = header.U16(at + DPX_PACKING_AT);
        auto offset = header.U32(at + DPX_DATA_OFFSET_AT);
        auto padding = header.U32(at + DPX_LINE_PADDING_AT);
        if (!descriptor || !bits || !packing || !offset || !padding) {
            // The header itself is cut inside the element table.
            return std::max<std::uint64_t>(needed.value_or(0), at + DPX_ELEMENT_SIZE);
        }
        const std::uint64_t row = DpxRowBytes(*width * DpxSamplesPerPixel(*descriptor), *bits, *packing);
        if (row == 0) {
            continue;
        }
        if (*offset == 0 || *offset == DPX_UNDEFINED) {
            offset = *image_offset;
        }
        if (*padding == DPX_UNDEFINED) {
            padding = 0;
        }
        const std::uint64_t end = *offset + *height * row + (*height > 0 ? (*height - 1) * std::uint64_t{*padding} : 0);
        needed = std::max(needed.value_or(0), end);
    }
    return needed;
}

std::optional<std::uint64_t> CineonDeclaredBytes(std::istream &in) {
    FixedHeader header;
    if (!header.Read(in, CINEON_MAGIC)) {
        return std::nullopt;
    }
    const auto offset = header.U32(CINEON_IMAGE_OFFSET_AT);
    const auto channels = header.U8(CINEON_CHANNELS_AT);
    const auto bits = header.U8(CINEON_BITS_AT);
    const auto width = header.U32(CINEON_PIXELS_PER_LINE_AT);
    const auto height = header.U32(CINEON_LINES_AT);
    const auto packing = header.U8(CINEON_PACKING_AT);
    auto padding = header.U32(CINEON_LINE_PADDING_AT);
    if (!offset || !channels || !bits || !width || !height || !packing || !padding) {
        return CINEON_HEADER_READ;  // the header itself is cut short
    }
    if (*width > DPX_MAX_SIDE || *height > DPX_MAX_SIDE || *channels == 0 || *bits == 0) {
        return std::nullopt;
    }
    const std::uint64_t samples = std::uint64_t{*width} * *channels;
    if (*bits == 10 && (*packing == CINEON_PACKED_LONGWORDS || *packing == CINEON_PACKED_LONGWORDS_RIGHT)) {
        if (*padding == DPX_UNDEFINED) {
            padding = 0;
        }
        return *offset + *height * ((samples + 2) / 3 * 4) + (*height - 1) * std::uint64_t{*padding};
    }
    // Another packing: at the least every sample's bits, end to end.
    return *offset + (samples * *height * *bits + 7) / 8;
}

void CheckFileHoldsDeclaredPixels(const std::string &path, const std::string &format_name) {
    if (format_name == "jpeg") {
        std::ifstream in(path, std::ios::binary);
        if (!JpegReachesItsEnd(in)) {
            throw UsageError(path + ": the file ends before the JPEG's end-of-image marker (" +
                             std::to_string(FileSize(path)) + " bytes): it was cut short");
        }
        return;
    }
    std::optional<std::uint64_t> (*declared)(std::istream &) = nullptr;
    if (format_name == "dpx") {
        declared = DpxDeclaredBytes;
    } else if (format_name == "cineon") {
        declared = CineonDeclaredBytes;
    } else if (format_name == "pnm") {
        declared = PnmDeclaredBytes;
    } else {
        return;
    }
    std::ifstream in(path, std::ios::binary);
    const std::optional<std::uint64_t> needed = declared(in);
    const std::uint64_t size = FileSize(path);
    if (needed && size < *needed) {
        throw UsageError(path + ": the file is shorter than its header declares (" + std::to_string(size) +
                         " bytes; its pixels need " + std::to_string(*needed) + "): it was cut short");
    }
}

void CheckTileSize(std::int64_t tile_width, std::int64_t tile_height, std::int64_t channels,
                   std::size_t bytes_per_sample, const std::string &path) {
    if (tile_width <= 0 || tile_height <= 0) {
        return;
    }
    // The sides come straight from the header (each below 2^31): their
    // product fits 64 bits, and past the limit it is not multiplied further.
    const std::uint64_t pixels = static_cast<std::uint64_t>(tile_width) * static_cast<std::uint64_t>(tile_height);
    const std::uint64_t bytes =
        pixels > MAX_TILE_BYTES ? pixels : pixels * static_cast<std::uint64_t>(channels) * bytes_per_sample;
    if (bytes > MAX_TILE_BYTES) {
        throw UsageError(path + ": its tiles of " + std::to_string(tile_width) + "x" + std::to_string(tile_height) +
                         " pixels need more than " + std::to_string(MAX_TILE_BYTES >> 20) +
                         " MB each to decode, past what the tool sets aside; the header is likely damaged");
    }
}

std::string ReadFailureReason(const std::string &library_reason) {
    // The library's text may run to several lines, each layer of a decoder
    // repeating the one below it in its own words ("Read error: hit end of
    // file", "PNG read error: IDAT: Read error: hit end of file", "PNG
    // library error"). A file that ends too soon is said so in the tool's
    // words; any other reason is one line, its distinct parts joined.
    std::string lowered = library_reason;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char *phrase : END_OF_FILE_PHRASES) {
        if (lowered.find(phrase) != std::string::npos) {
            return "the file ends early";
        }
    }
    std::string line;
    std::size_t start = 0;
    while (start <= library_reason.size()) {
        const std::size_t end = std::min(library_reason.find('\n', start), library_reason.size());
        std::string part = library_reason.substr(start, end - start);
        const auto not_space = [](unsigned char c) { return !std::isspace(c); };
        part.erase(part.begin(), std::find_if(part.begin(), part.end(), not_space));
        part.erase(std::find_if(part.rbegin(), part.rend(), not_space).base(), part.end());
        if (!part.empty() && line.find(part) == std::string::npos) {
            line += (line.empty() ? "" : "; ") + part;
        }
        start = end + 1;
    }
    if (!line.empty()) {
        return line;
    }
    return "the image library gave no reason; the file is likely damaged or cut short";
}

}  // namespace zonara_tool
