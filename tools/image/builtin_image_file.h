// Image formats the tool reads and writes by itself, in every build: PAM
// (8- or 16-bit integer samples, any channel count up to the limit) and PFM
// (32-bit float, grey or RGB). They store samples exactly, so outputs of two
// builds of the tool can be compared byte for byte, and they are what the
// build without OpenImageIO (Windows) works with.
#pragma once

#include <istream>
#include <optional>
#include <string>

#include "tools/base/byte_sink.h"
#include "tools/image/image.h"

namespace zonara_tool {

enum class BuiltInFormat { kPam, kPfm };

// PAM or PFM by the name's extension, in any letter case; nullopt for others.
std::optional<BuiltInFormat> BuiltInFormatOf(const std::string &path);
bool IsBuiltInImagePath(const std::string &path);

// Decodes a whole file's bytes from `in`; `name` is used in messages. The
// header's size is checked against the limits and against the bytes left
// before any pixel block is allocated. Header lines may end in LF or CR LF
// (a header written on Windows); a CR LF file whose pixel data is longer
// than declared was converted as text, which changed its pixels as well, and
// is refused. Throws ToolError (usage) for a malformed, truncated or
// oversized file.
Image DecodeBuiltInImage(BuiltInFormat format, std::istream &in, const std::string &name);

// Throws ToolError (usage) as above, or when the file cannot be opened.
Image ReadBuiltInImage(const std::string &path);
std::optional<SampleKind> PeekBuiltInSampleKind(const std::string &path);

// Writes `image` to `out` in the format `format_path`'s extension names.
// PAM keeps 8-bit samples and stores every other kind in 16 bits; PFM stores
// float and takes one or three channels. Throws ToolError (usage) for an
// image the format cannot hold, or from `out` when a write fails.
void WriteBuiltInImage(const std::string &format_path, ByteSink &out, const Image &image);

// Why the file at `written`, just written from `image` in `format`, does not
// read back: a header that is not the format's, another size or channel
// count, or pixel data of another length than the header declares. Empty
// when it reads back whole; the samples need no decoding, so only the header
// is read.
std::string BuiltInReadBackFailure(const std::string &written, BuiltInFormat format, const Image &image);

}  // namespace zonara_tool
