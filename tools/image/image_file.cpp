#include "tools/image/image_file.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "tools/base/pending_output.h"
#include "tools/base/system_failure.h"
#include "tools/base/tool_error.h"
#include "tools/image/alpha_association.h"
#include "tools/image/builtin_image_file.h"
#include "tools/image/channel_storage.h"
#include "tools/image/image_description.h"
#include "tools/image/library_image_file.h"
#include "tools/image/sample_range.h"
#include "tools/image/window_placement.h"

namespace zonara_tool {
namespace {

const std::string ONLY_BUILT_IN_FORMATS = "this build reads and writes only PAM (.pam) and PFM (.pfm) images";

// What the output's format can hold of the image's placement and alpha.
// PAM and PFM hold no windows; PAM's alpha is straight, as Netpbm defines it.
OutputTraits TraitsFor(const std::string &path) {
    if (IsBuiltInImagePath(path)) {
        OutputTraits traits;
        const bool pam = BuiltInFormatOf(path) == BuiltInFormat::kPam;
        traits.format_name = pam ? "pam" : "pfm";
        traits.holds_alpha = pam;
        if (pam) {
            traits.only_association = AlphaAssociation::kStraight;
        }
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

// Formats the image library writes that are refused as outputs, and why:
// they hold no picture a render makes, or hold it where no other reader
// finds it.
const std::map<std::string, std::string, std::less<>> REFUSED_OUTPUT_FORMATS = {
    {"null", "the null format writes no file"},
    {"term", "the term format draws on the terminal, not in a file"},
    {"zfile", "ZFile holds one channel of depth, not a picture"},
    {"fits",
     "the image library's FITS writer puts a row of zeros before the pixels, so that every other reader "
     "sees the picture one row off"},
};

// The channel counts a format's writer takes, for formats that take not
// every count: grey goes to them as equal red, green and blue (alpha kept).
// The library's writers refuse the others, its DPX writer ends the process
// on two channels, and its WebP writer crashes in its clean-up after
// refusing one.
const std::map<std::string, std::set<int>, std::less<>> CHANNEL_COUNTS = {
    {"hdr", {3}},     {"webp", {3, 4}},   {"gif", {3, 4}},    {"iff", {3, 4}},
    {"heif", {3, 4}}, {"bmp", {1, 3, 4}}, {"dpx", {1, 3, 4}}, {"jpeg2000", {1, 3, 4}},
};

// The gamma the library's WebP writer decodes colour with before dividing
// it by alpha.
constexpr double WEBP_WRITER_GAMMA = 2.2;

// `image` with the channels `kept` lists, in that order; the first is
// named `names`' first and so on where names are given.
Image WithChannels(const Image &image, const std::vector<int> &kept, const std::vector<std::string> &names = {}) {
    Image result = MakeImageLike(image, image.width, image.height);
    result.channels = static_cast<int>(kept.size());
    result.bytes.resize(result.SampleCount() * BytesPerSample(image.kind));
    result.channel_names.clear();
    result.channel_storage.clear();
    result.alpha_channel = -1;
    for (std::size_t c = 0; c < kept.size(); ++c) {
        const auto from = static_cast<std::size_t>(kept[c]);
        if (from < image.channel_storage.size()) {
            result.channel_storage.push_back(image.channel_storage[from]);
        }
        result.channel_names.push_back(c < names.size()                    ? names[c]
                                       : from < image.channel_names.size() ? image.channel_names[from]
                                                                           : "");
        if (kept[c] == AlphaChannelOf(image)) {
            result.alpha_channel = static_cast<int>(c);
        }
    }
    const std::size_t sample_bytes = BytesPerSample(image.kind);
    const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    const unsigned char *from = image.bytes.data();
    unsigned char *to = result.bytes.data();
    for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
        for (const int channel : kept) {
            std::memcpy(to, from + static_cast<std::size_t>(channel) * sample_bytes, sample_bytes);
            to += sample_bytes;
        }
        from += static_cast<std::size_t>(image.channels) * sample_bytes;
    }
    return result;
}

// `image` without its alpha channel: the colour as it is, as a viewer of a
// format without alpha shows it.
Image WithoutAlpha(const Image &image) {
    const int alpha = AlphaChannelOf(image);
    std::vector<int> kept;
    for (int c = 0; c < image.channels; ++c) {
        if (c != alpha) {
            kept.push_back(c);
        }
    }
    return WithChannels(image, kept);
}

// `image` as the output's format can store it without changing what it
// means: placed in its display window where the format has no windows, its
// alpha dropped where the format has none, its colour converted to the one
// alpha association the format holds, channels held verbatim as values where
// it has one type for all. Returns null when the image can be written as it
// is.
std::unique_ptr<Image> FittedToFormat(const std::string &path, const Image &image) {
    const OutputTraits traits = TraitsFor(path);
    std::unique_ptr<Image> fitted;
    if (!traits.holds_alpha && AlphaChannelOf(image) >= 0) {
        fitted = std::make_unique<Image>(WithoutAlpha(image));
    }
    if (const auto counts = CHANNEL_COUNTS.find(traits.format_name); counts != CHANNEL_COUNTS.end()) {
        const Image &fitting = fitted ? *fitted : image;
        const int alpha = AlphaChannelOf(fitting);
        const ColourChannels colour = ColourChannelsOf(fitting);
        // Grey alone (with alpha or without): a depth or other channel
        // beside it has nowhere to go in these formats.
        const bool only_grey = colour.Grey() && fitting.channels == (alpha >= 0 ? 2 : 1);
        if (only_grey && counts->second.count(fitting.channels) == 0 &&
            counts->second.count(fitting.channels + 2) != 0) {
            fitted = std::make_unique<Image>(
                alpha >= 0 ? WithChannels(fitting, {colour.red, colour.red, colour.red, alpha}, {"R", "G", "B", "A"})
                           : WithChannels(fitting, {colour.red, colour.red, colour.red}, {"R", "G", "B"}));
        }
        // Checked here, before the writer sees them: the library's writers
        // refuse other counts, or worse (DPX's ends the process on two).
        const Image &fitting_now = fitted ? *fitted : image;
        if (counts->second.count(fitting_now.channels) == 0) {
            std::string counts_text;
            for (const int count : counts->second) {
                counts_text += (counts_text.empty() ? "" : " or ") + std::to_string(count);
            }
            throw UsageError(path + ": a " + traits.format_name + " file holds " + counts_text +
                             " channels, not the picture's " + std::to_string(fitting_now.channels) +
                             "; write it to a format that keeps every channel (.exr, .tif)");
        }
    }
    if (image.HasWindows() && !HoldsWindowsOf(traits, image)) {
        // The display window is the picture the file means; with the data
        // inside it, placing the pixels there keeps all of it. (Refused
        // where the data reaches outside it.)
        std::string format_label = traits.format_name;
        std::transform(format_label.begin(), format_label.end(), format_label.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        fitted = std::make_unique<Image>(
            PlaceInDisplayWindow(fitted ? *fitted : image, path, "a " + format_label + " file"));
    }
    if (traits.only_association && AlphaChannelOf(image) >= 0 && image.alpha_association != *traits.only_association) {
        if (!fitted) {
            fitted = std::make_unique<Image>(image);
        }
        ConvertAlphaAssociation(*fitted, *traits.only_association);
    }
    if (!traits.holds_channel_types && HasVerbatimChannels(fitted ? *fitted : image)) {
        if (!fitted) {
            fitted = std::make_unique<Image>(image);
        }
        HoldVerbatimChannelsAsValues(*fitted);
    }
    // The image library's WebP writer takes every image as premultiplied,
    // in light it encodes with a gamma of 2.2, and divides it by alpha
    // (whatever the image says it holds): given straight colour as it is,
    // colour under partial alpha came out brighter (0.8, 0.4, 0.2 at
    // half alpha as 1.0, 0.55, 0.27).
    if (traits.format_name == "webp" && AlphaChannelOf(fitted ? *fitted : image) >= 0) {
        if (!fitted) {
            fitted = std::make_unique<Image>(image);
        }
        PremultiplyForGammaWriter(*fitted, WEBP_WRITER_GAMMA);
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

// A format without alpha (JPEG, HDR, PPM, PFM, ...) gets the image without
// it; said once a run, as every frame of a sequence drops it alike.
void WarnOfDroppedAlpha(const std::string &path, const Image &image) {
    static std::atomic<bool> warned{false};
    if (AlphaChannelOf(image) < 0 || TraitsFor(path).holds_alpha) {
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
        const std::string formats = "(use e.g. .png, .tif, .jpg, .exr, .dpx, .pam, .pfm)";
        if (!LibraryCanWrite(path)) {
            if (LibraryCanRead(path)) {
                throw UsageError(path + ": this format is read, not written " + formats);
            }
            throw UsageError(path + ": no image format for this file name " + formats);
        }
        const auto refused = REFUSED_OUTPUT_FORMATS.find(LibraryOutputTraits(path).format_name);
        if (refused != REFUSED_OUTPUT_FORMATS.end()) {
            throw UsageError(path + ": not written: " + refused->second + " " + formats);
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

std::string WriteImage(const std::string &path, const Image &image) {
    if (!IsBuiltInImagePath(path) && !HAVE_IMAGE_LIBRARY) {
        throw UsageError(path + ": " + ONLY_BUILT_IN_FORMATS);
    }
    WarnOfDroppedAlpha(path, image);
    const std::unique_ptr<Image> fitted = FittedToFormat(path, image);
    const Image &stored = fitted ? *fitted : image;
    PendingOutput pending(path);
    if (const std::optional<BuiltInFormat> format = BuiltInFormatOf(path)) {
        if (format == BuiltInFormat::kPam) {
            WarnOfSamplesOutside(path, "pam", stored, HeldRange{});  // 16-bit codes
        }
        WriteBuiltInImage(path, pending, stored);
        pending.CheckBeforeRename(
            [format, &stored](const std::string &written) { return BuiltInReadBackFailure(written, *format, stored); });
    } else {
        WriteLibraryImage(path, pending, stored);
    }
    pending.Commit();
    return DescribeImage(stored, path, PeekSampleKind(path));
}

}  // namespace zonara_tool
