// The file formats OpenImageIO reads and writes (PNG, TIFF, JPEG, OpenEXR,
// DPX, ...), for the build that has the library, and its draft-size
// resampling. The library is used only inside a module of its own
// (tools/image/library), loaded on the first call here. In the build
// without the library every function refuses.
#pragma once

#include <optional>
#include <string>

#include "tools/image/image.h"

namespace zonara_tool {

class PendingOutput;

constexpr bool HAVE_IMAGE_LIBRARY = ZONARA_HAVE_OIIO != 0;

// Throws ToolError (usage) for a file that cannot be read whole.
Image ReadLibraryImage(const std::string &path);
std::optional<SampleKind> PeekLibrarySampleKind(const std::string &path);

// Whether the library knows a format for this file name.
bool LibraryCanWrite(const std::string &path);
// Whether the library has a reader for the format this file name chooses
// (some, such as Cineon and Photoshop, it reads but does not write).
bool LibraryCanRead(const std::string &path);

// What the format a file name chooses can hold of an image's meaning.
struct OutputTraits {
    std::string format_name;  // "png", "openexr", ...
    bool holds_origin = false;
    bool holds_negative_origin = false;
    bool holds_display_window = false;
    bool holds_alpha = false;
    // Whether each channel may have a type of its own (OpenEXR).
    bool holds_channel_types = false;
    // The one association the format stores alpha in; unset where the file
    // says which (TIFF) or where it stores no alpha at all.
    std::optional<AlphaAssociation> only_association;
};
OutputTraits LibraryOutputTraits(const std::string &path);
// Writes `image` to `file` in the format `format_path`'s extension names,
// samples stored as the source file stored them where the format allows
// (else in its deepest type), with the image's windows and alpha marking and
// those of the source file's attributes that still hold for the output. The
// caller has made the image fit the format (OutputTraits).
// Throws ToolError (usage) when the file cannot be written.
void WriteLibraryImage(const std::string &format_path, PendingOutput &file, const Image &image);

// `source` resampled to width x height with the library's default filter,
// as hosts' draft modes are previewed. Throws ToolError (usage) where the
// library is missing.
Image ResampleWithLibrary(const Image &source, int width, int height);

}  // namespace zonara_tool
