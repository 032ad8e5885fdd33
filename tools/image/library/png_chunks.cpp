#include "tools/image/library/png_chunks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace zonara_tool {
namespace {

constexpr std::array<unsigned char, 8> PNG_SIGNATURE = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The chunks a source's own are carried in and the library's own dropped.
constexpr std::array<const char *, 3> COLOUR_CHUNKS = {"gAMA", "cHRM", "sRGB"};
constexpr std::array<const char *, 3> TEXT_CHUNKS = {"tEXt", "zTXt", "iTXt"};
constexpr std::uint32_t MAX_KEPT_CHUNK = 1u << 20;  // a statement, not pixels
constexpr std::uint16_t EXIF_ORIENTATION_TAG = 0x0112;

bool IsOneOf(const std::string &type, const auto &types) {
    return std::any_of(types.begin(), types.end(), [&](const char *t) { return type == t; });
}

std::uint32_t BigEndian32(const unsigned char *bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

void AppendBigEndian32(std::vector<unsigned char> &out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

// The CRC-32 a PNG chunk ends with (ISO 3309, the reflected 0xEDB88320
// polynomial), bit by bit: chunks carried this way are a few bytes each.
std::uint32_t Crc32(const unsigned char *bytes, std::size_t count) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

void AppendChunk(std::vector<unsigned char> &out, const PngChunk &chunk) {
    AppendBigEndian32(out, static_cast<std::uint32_t>(chunk.data.size()));
    const std::size_t typed_at = out.size();
    out.insert(out.end(), chunk.type.begin(), chunk.type.end());
    out.insert(out.end(), chunk.data.begin(), chunk.data.end());
    AppendBigEndian32(out, Crc32(out.data() + typed_at, out.size() - typed_at));
}

// The keyword of a text chunk: its bytes up to the first zero.
std::string TextKeyword(const std::string &data) { return data.substr(0, data.find('\0')); }

// An EXIF block holding the orientation alone: a little-endian TIFF header
// and one directory of one entry.
std::string OrientationExif(int orientation) {
    const unsigned char bytes[] = {'I',
                                   'I',
                                   42,
                                   0,
                                   8,
                                   0,
                                   0,
                                   0,  // header, directory at 8
                                   1,
                                   0,  // one entry
                                   EXIF_ORIENTATION_TAG & 0xFF,
                                   EXIF_ORIENTATION_TAG >> 8,
                                   3,
                                   0,  // SHORT
                                   1,
                                   0,
                                   0,
                                   0,  // one value
                                   static_cast<unsigned char>(orientation),
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0};  // no next directory
    return std::string(reinterpret_cast<const char *>(bytes), sizeof bytes);
}

// An oFFs chunk placing the picture at 0,0 says nothing.
bool ZeroOffset(const PngChunk &chunk) {
    return chunk.type == "oFFs" && chunk.data.size() == 9 &&
           std::all_of(chunk.data.begin(), chunk.data.begin() + 8, [](char c) { return c == 0; });
}

}  // namespace

PngStatements ReadPngStatements(const std::string &path) {
    PngStatements statements;
    statements.source_is_png = true;
    std::ifstream in(path, std::ios::binary);
    std::array<unsigned char, 8> signature{};
    if (!in.read(reinterpret_cast<char *>(signature.data()), signature.size()) || signature != PNG_SIGNATURE) {
        return statements;
    }
    std::array<unsigned char, 8> head{};
    while (in.read(reinterpret_cast<char *>(head.data()), head.size())) {
        const std::uint32_t length = BigEndian32(head.data());
        const std::string type(reinterpret_cast<const char *>(head.data() + 4), 4);
        const bool kept = IsOneOf(type, COLOUR_CHUNKS) || type == "eXIf" || type == "oFFs";
        const bool text = IsOneOf(type, TEXT_CHUNKS);
        if ((kept || text) && length <= MAX_KEPT_CHUNK) {
            std::string data(length, '\0');
            if (!in.read(data.data(), length)) {
                break;
            }
            if (kept) {
                statements.chunks.push_back({type, data});
            } else {
                statements.text_keywords.push_back(TextKeyword(data));
            }
            in.seekg(4, std::ios::cur);  // the CRC
        } else {
            in.seekg(static_cast<std::streamoff>(length) + 4, std::ios::cur);
        }
        if (type == "IEND") {
            break;
        }
    }
    return statements;
}

void RestatePng(std::vector<unsigned char> &png, const PngStatements &source) {
    if (png.size() < PNG_SIGNATURE.size() || !std::equal(PNG_SIGNATURE.begin(), PNG_SIGNATURE.end(), png.begin())) {
        return;
    }
    std::vector<PngChunk> chunks;
    for (std::size_t at = PNG_SIGNATURE.size(); at + 12 <= png.size();) {
        const std::uint32_t length = BigEndian32(&png[at]);
        if (length > png.size() - at - 12) {
            return;  // not whole: written as the library made it
        }
        chunks.push_back({std::string(reinterpret_cast<const char *>(&png[at + 4]), 4),
                          std::string(reinterpret_cast<const char *>(&png[at + 8]), length)});
        at += 12 + length;
    }
    if (chunks.empty() || chunks.front().type != "IHDR" || chunks.back().type != "IEND") {
        return;
    }
    const auto source_has = [&](const std::string &type) {
        return std::any_of(source.chunks.begin(), source.chunks.end(),
                           [&](const PngChunk &chunk) { return chunk.type == type; });
    };
    const auto said_by_source = [&](const PngChunk &chunk) {
        if (IsOneOf(chunk.type, TEXT_CHUNKS)) {
            const std::string keyword = TextKeyword(chunk.data);
            return keyword.rfind("oiio:", 0) != 0 || std::find(source.text_keywords.begin(), source.text_keywords.end(),
                                                               keyword) != source.text_keywords.end();
        }
        if (ZeroOffset(chunk)) {
            return source_has("oFFs");
        }
        if (IsOneOf(chunk.type, COLOUR_CHUNKS) || chunk.type == "eXIf") {
            return !source.source_is_png;  // a PNG's own are put back below
        }
        return true;
    };
    const bool has_exif = std::any_of(chunks.begin(), chunks.end(), [&](const PngChunk &chunk) {
        return chunk.type == "eXIf" && said_by_source(chunk);
    });
    // Right after the header: colour chunks must come before the palette
    // and the pixels.
    std::vector<PngChunk> restated;
    if (source.source_is_png) {
        for (const PngChunk &chunk : source.chunks) {
            if (IsOneOf(chunk.type, COLOUR_CHUNKS) || chunk.type == "eXIf") {
                restated.push_back(chunk);
            }
        }
    } else if (source.orientation && !has_exif) {
        restated.push_back({"eXIf", OrientationExif(*source.orientation)});
    }
    std::vector<unsigned char> out(PNG_SIGNATURE.begin(), PNG_SIGNATURE.end());
    out.reserve(png.size() + 256);
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        if (i == 0 || said_by_source(chunks[i])) {
            AppendChunk(out, chunks[i]);
        }
        if (i == 0) {
            for (const PngChunk &chunk : restated) {
                AppendChunk(out, chunk);
            }
        }
    }
    png.swap(out);
}

}  // namespace zonara_tool
