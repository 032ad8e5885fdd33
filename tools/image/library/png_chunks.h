// A PNG's own statements about its picture, kept from source to output
// chunk for chunk: the image library reads a gAMA of 0.7 as "gamma 1.4"
// and writes 0.71429, drops cHRM, drops eXIf (and with it the orientation),
// and adds to every PNG it writes the sRGB, gAMA and cHRM chunks of its
// default colour space, an oFFs at 0,0 and a tEXt naming that colour space.
// The encoded output is edited here so that it says what the input said,
// no more, no less.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zonara_tool {

struct PngChunk {
    std::string type;  // four letters
    std::string data;
};

// What a source said that a PNG output may repeat.
struct PngStatements {
    // The source PNG's gAMA, cHRM, sRGB, eXIf and oFFs chunks, as they were.
    std::vector<PngChunk> chunks;
    // The keywords of its text chunks (tEXt, zTXt, iTXt).
    std::vector<std::string> text_keywords;
    // The EXIF orientation the source stated (1 to 8), whatever its format.
    std::optional<int> orientation;
    bool source_is_png = false;
};

// The chunks above of the PNG file at `path`; empty where it cannot be read
// (the library's reader reports that).
PngStatements ReadPngStatements(const std::string &path);

// Edits an encoded PNG in place: the library's own colour space chunks and
// text, and an oFFs at 0,0, are dropped unless the source said them; a PNG
// source's gAMA, cHRM, sRGB and eXIf are written as they were; any other
// source's orientation goes into an eXIf of its own. A buffer that is not a
// whole PNG is left as it is.
void RestatePng(std::vector<unsigned char> &png, const PngStatements &source);

}  // namespace zonara_tool
