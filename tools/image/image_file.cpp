#include "tools/image/image_file.h"

#include <filesystem>

#include "tools/image/builtin_image_file.h"
#include "tools/image/library_image_file.h"
#include "tools/image/pending_output.h"
#include "tools/commands/tool_error.h"

namespace zonara_tool {
namespace {

const std::string ONLY_BUILT_IN_FORMATS = "this build reads and writes only PAM (.pam) and PFM (.pfm) images";

}  // namespace

Image ReadImage(const std::string &path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw UsageError(path + ": is a folder, not an image file");
    }
    if (!std::filesystem::exists(path, error)) {
        throw UsageError(path + ": no such file");
    }
    if (!std::filesystem::is_regular_file(path, error)) {
        throw UsageError(path + ": not a regular file (a device, pipe or socket cannot be read as an image)");
    }
    if (IsBuiltInImagePath(path)) {
        return ReadBuiltInImage(path);
    }
    if (!HAVE_IMAGE_LIBRARY) {
        throw UsageError(path + ": " + ONLY_BUILT_IN_FORMATS);
    }
    return ReadLibraryImage(path);
}

std::optional<SampleKind> PeekSampleKind(const std::string &path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    if (IsBuiltInImagePath(path)) {
        return PeekBuiltInSampleKind(path);
    }
    if (!HAVE_IMAGE_LIBRARY) {
        return std::nullopt;
    }
    return PeekLibrarySampleKind(path);
}

void CheckOutputPath(const std::string &path) {
    if (!IsBuiltInImagePath(path)) {
        if (!HAVE_IMAGE_LIBRARY) {
            throw UsageError(path + ": " + ONLY_BUILT_IN_FORMATS);
        }
        if (!LibraryCanWrite(path)) {
            throw UsageError(path +
                             ": no image format for this file name (use e.g. .png, .tif, .jpg, .exr, .dpx, .pam, .pfm)");
        }
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        throw UsageError(path + ": no such folder " + folder.string());
    }
    if (std::filesystem::is_directory(path, error)) {
        throw UsageError(path + ": is a folder");
    }
}

void WriteImage(const std::string &path, const Image &image) {
    if (!IsBuiltInImagePath(path) && !HAVE_IMAGE_LIBRARY) {
        throw UsageError(path + ": " + ONLY_BUILT_IN_FORMATS);
    }
    PendingOutput pending(path);
    if (IsBuiltInImagePath(path)) {
        WriteBuiltInImage(path, pending.temp_path(), image);
    } else {
        WriteLibraryImage(path, pending.temp_path(), image);
    }
    pending.Commit();
}

}  // namespace zonara_tool
