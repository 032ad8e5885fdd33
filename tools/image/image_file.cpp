#include "tools/image/image_file.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <filesystem>
#include <memory>

#include "tools/image/alpha_association.h"
#include "tools/image/builtin_image_file.h"
#include "tools/image/channel_storage.h"
#include "tools/image/library_image_file.h"
#include "tools/base/pending_output.h"
#include "tools/base/system_failure.h"
#include "tools/image/window_placement.h"
#include "tools/base/tool_error.h"

namespace zonara_tool {
namespace {

const std::string ONLY_BUILT_IN_FORMATS = "this build reads and writes only PAM (.pam) and PFM (.pfm) images";

// What the output's format can hold of the image's placement and alpha.
// PAM and PFM hold no windows; PAM's alpha is straight, as Netpbm defines it.
OutputTraits TraitsFor(const std::string &path) {
    if (IsBuiltInImagePath(path)) {
        OutputTraits traits;
        traits.format_name = BuiltInFormatOf(path) == BuiltInFormat::kPam ? "pam" : "pfm";
        traits.only_association = AlphaAssociation::kStraight;
        return traits;
    }
    return LibraryOutputTraits(path);
}

// A format with an origin but no display window (TIFF) is read back with
// the frame at (0, 0), so it does not hold even a moved frame.
bool HoldsWindowsOf(const OutputTraits &traits, const Image &image) {
    const bool negative = image.x < 0 || image.y < 0;
    return traits.holds_display_window && traits.holds_origin && (!negative || traits.holds_negative_origin);
}

// `image` as the output's format can store it without changing what it
// means: placed in its display window where the format has no windows, its
// colour converted to the one alpha association the format holds, channels
// held verbatim as values where it has one type for all. Returns
// null when the image can be written as it is.
std::unique_ptr<Image> FittedToFormat(const std::string &path, const Image &image) {
    const OutputTraits traits = TraitsFor(path);
    std::unique_ptr<Image> fitted;
    if (image.HasWindows() && !HoldsWindowsOf(traits, image)) {
        // The display window is the picture the file means; with the data
        // inside it, placing the pixels there keeps all of it. (Refused
        // where the data reaches outside it.)
        std::string format_label = traits.format_name;
        std::transform(format_label.begin(), format_label.end(), format_label.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        fitted = std::make_unique<Image>(PlaceInDisplayWindow(image, path, "a " + format_label + " file"));
    }
    if (traits.only_association && AlphaChannelOf(image) >= 0 && image.alpha_association != *traits.only_association) {
        if (!fitted) {
            fitted = std::make_unique<Image>(image);
        }
        ConvertAlphaAssociation(*fitted, *traits.only_association);
    }
    if (!traits.holds_channel_types && HasVerbatimChannels(image)) {
        if (!fitted) {
            fitted = std::make_unique<Image>(image);
        }
        HoldVerbatimChannelsAsValues(*fitted);
    }
    return fitted;
}

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
        if (error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory) {
            // A loop of links, say: the system's reason, not "no such folder".
            throw UsageError(path + ": " + part.string() + ": " + error.message());
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

// A format without alpha (JPEG, ...) drops the channel as it writes; said
// once a run, as every frame of a sequence drops it alike.
void WarnOfDroppedAlpha(const std::string &path, const Image &image) {
    static std::atomic<bool> warned{false};
    if (AlphaChannelOf(image) < 0 || IsBuiltInImagePath(path) || TraitsFor(path).holds_alpha) {
        return;
    }
    if (!warned.exchange(true)) {
        std::cerr << "zonara: warning: " << path << ": the " << TraitsFor(path).format_name
                  << " format stores no alpha; the image's alpha channel is dropped\n";
    }
}

}  // namespace

Image ReadImage(const std::string &path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw UsageError(path + ": is a folder, not an image file");
    }
    if (!std::filesystem::exists(path, error)) {
        // A loop of links, a folder on the way that may not be searched:
        // the system's reason, since the file may well be there.
        throw UsageError(path + ": " + (error ? error.message() : std::string("no such file")));
    }
    if (!std::filesystem::is_regular_file(path, error)) {
        throw UsageError(path + ": not a regular file (a device, pipe or socket cannot be read as an image)");
    }
    // Said here, in the system's words, for every format: some format
    // readers report a file they may not open as one they do not know.
    if (std::FILE *file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
    } else {
        const int reason = errno;
        // An I/O error or too many open files is the machine's, not the file's.
        throw ToolError(ExitStatusFor(reason), path + ": cannot open (" + std::strerror(reason) + ")");
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
            const std::string formats = "(use e.g. .png, .tif, .jpg, .exr, .dpx, .pam, .pfm)";
            if (LibraryCanRead(path)) {
                throw UsageError(path + ": this format is read, not written " + formats);
            }
            throw UsageError(path + ": no image format for this file name " + formats);
        }
    }
    // Where the file really goes: a symbolic link is written through.
    const std::filesystem::path replaced(FileReplacedBy(path));
    CheckOutputFolder(path, replaced.parent_path());
    std::error_code error;
    if (std::filesystem::is_directory(replaced, error)) {
        throw UsageError(path + ": is a folder");
    }
    CheckReplaceable(path);
}

void WriteImage(const std::string &path, const Image &image) {
    if (!IsBuiltInImagePath(path) && !HAVE_IMAGE_LIBRARY) {
        throw UsageError(path + ": " + ONLY_BUILT_IN_FORMATS);
    }
    const std::unique_ptr<Image> fitted = FittedToFormat(path, image);
    const Image &stored = fitted ? *fitted : image;
    WarnOfDroppedAlpha(path, stored);
    PendingOutput pending(path);
    if (IsBuiltInImagePath(path)) {
        WriteBuiltInImage(path, pending, stored);
    } else {
        WriteLibraryImage(path, pending, stored);
    }
    pending.Commit();
}

}  // namespace zonara_tool
