// The image library module: the file formats OpenImageIO reads and writes,
// built as a module of its own that the tool loads the first time a file
// needs it. OpenImageIO brings some 250 shared libraries whose loading and
// relocation would weigh on every start; a run on PAM or PFM files, or
// on the built-in chart, and every command that reads no image, go without.
#pragma once

#include "tools/image/library_image_file.h"
#include "tools/image/sample_blocks.h"

#define ZONARA_IMAGE_LIBRARY_EXPORT __attribute__((visibility("default")))
// The one symbol the module exports.
#define ZONARA_IMAGE_LIBRARY_ENTRY "ZonaraImageLibraryTable"

namespace zonara_tool {

// Raised whenever an entry changes its meaning, so that a stale module
// beside a newer tool is refused rather than called wrongly.
constexpr int IMAGE_LIBRARY_TABLE_VERSION = 4;

// The functions of library_image_file.h, as the module implements them.
struct ImageLibraryTable {
    int version;
    Image (*read)(const std::string &path);
    std::optional<SampleKind> (*peek_sample_kind)(const std::string &path);
    bool (*can_write)(const std::string &path);
    OutputTraits (*output_traits)(const std::string &path);
    void (*write)(const std::string &format_path, PendingOutput &file, const Image &image);
    Image (*resample)(const Image &source, int width, int height);
    bool (*can_read)(const std::string &path);
    // Called once, before any other entry: the module's images take their
    // blocks from the tool's.
    void (*use_sample_blocks)(const SampleBlockFunctions &functions);
};

}  // namespace zonara_tool

extern "C" ZONARA_IMAGE_LIBRARY_EXPORT const zonara_tool::ImageLibraryTable *ZonaraImageLibraryTable();
