// Reading and writing image files: PAM and PFM by the tool itself in every
// build, every other format through OpenImageIO where the build has it.
#pragma once

#include <optional>
#include <string>

#include "tools/image/image.h"
#include "tools/image/library_image_file.h"

namespace zonara_tool {

// The formats this build reads and writes, as help texts name them: the
// build without the image library has only its own two.
inline constexpr const char *IMAGE_FORMATS_TEXT =
    HAVE_IMAGE_LIBRARY ? "PNG, TIFF, JPEG, OpenEXR, DPX, PAM, PFM, ..." : "PAM or PFM";

// Throws ToolError (usage) for a missing, unreadable or oversized file.
Image ReadImage(const std::string &path);
// The kind a file's samples would be held in, without reading its pixels;
// nullopt when the file cannot be opened as an image.
std::optional<SampleKind> PeekSampleKind(const std::string &path);

// Throws ToolError (usage) when no file of this name can be written: unknown
// extension or missing folder. Checked before any work is done.
void CheckOutputPath(const std::string &path);

// Writes the image in the format the extension names, samples stored as the
// source file stored them where that format allows. The file appears
// complete or not at all. Returns what the file holds in a few words
// ("1920x1080, 8-bit RGB"): the picture as fitted to the format (alpha
// dropped, grey as RGB) at the depth the file stores.
std::string WriteImage(const std::string &path, const Image &image);

}  // namespace zonara_tool
