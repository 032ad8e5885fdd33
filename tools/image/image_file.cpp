#include "tools/image/image_file.h"

#include <filesystem>

#include "tools/image/builtin_image_file.h"
#include "tools/image/library_image_file.h"
#include "tools/image/pending_output.h"
#include "tools/commands/tool_error.h"

namespace zonara_tool {
namespace {

const std::string ONLY_BUILT_IN_FORMATS = "this build reads and writes only PAM (.pam) and PFM (.pfm) images";

// Throws ToolError (usage) unless `folder` (empty: the current one) is a
// folder, saying which part of the path is wrong: a missing folder, or a
// file where a folder should be (out.png/frame.png).
void CheckOutputFolder(const std::string &path, const std::filesystem::path &folder) {
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) {
        return;
    }
    for (std::filesystem::path part = folder; !part.empty(); part = part.parent_path()) {
        const std::filesystem::file_status status = std::filesystem::status(part, error);
        if (std::filesystem::is_directory(status)) {
            break;
        }
        if (std::filesystem::exists(status)) {
            throw UsageError(path + ": " + part.string() + " is not a folder");
        }
        if (part == part.parent_path()) {
            break;  // a root that does not exist
        }
    }
    throw UsageError(path + ": no such folder " + folder.string());
}

}  // namespace

Image ReadImage(const std::string &path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw UsageError(path + ": no such file");
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
    // Where the file really goes: a symbolic link is written through.
    const std::filesystem::path replaced(FileReplacedBy(path));
    CheckOutputFolder(path, replaced.parent_path());
    std::error_code error;
    if (std::filesystem::is_directory(replaced, error)) {
        throw UsageError(path + ": is a folder");
    }
}

void WriteImage(const std::string &path, const Image &image) {
    if (!IsBuiltInImagePath(path) && !HAVE_IMAGE_LIBRARY) {
        throw UsageError(path + ": " + ONLY_BUILT_IN_FORMATS);
    }
    PendingOutput pending(path);
    if (IsBuiltInImagePath(path)) {
        WriteBuiltInImage(path, pending, image);
    } else {
        WriteLibraryImage(path, pending, image);
    }
    pending.Commit();
}

}  // namespace zonara_tool
