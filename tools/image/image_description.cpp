#include "tools/image/image_description.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace zonara_tool {
namespace {

// Whether the file at `path` is of the format the image was read from, as
// the writers decide whether to keep its odd depth.
bool OfImagesOwnFormat(const Image &image, const std::string &path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return !extension.empty() &&
           (extension.substr(1) == image.format_name || (image.format_name == "tiff" && extension == ".tif"));
}

std::string DepthText(const Image &image, const std::string &path, SampleKind kind) {
    switch (kind) {
    case SampleKind::INT8:
        return "8-bit";
    case SampleKind::INT16:
        return image.bits_per_sample != 0 && image.kind == SampleKind::INT16 && OfImagesOwnFormat(image, path)
                   ? std::to_string(image.bits_per_sample) + "-bit"
                   : "16-bit";
    case SampleKind::FLOAT32:
        break;
    }
    return image.kind == SampleKind::FLOAT32 && image.stored_format == StoredFormat::kHalf ? "half-float" : "float";
}

// "RGBA" where every channel has a one-letter name, else "5 channels".
std::string ChannelText(const Image &image) {
    std::string letters;
    for (const std::string &name : image.channel_names) {
        if (name.size() != 1) {
            letters.clear();
            break;
        }
        letters += name;
    }
    if (!letters.empty() && static_cast<int>(letters.size()) == image.channels) {
        return letters;
    }
    return std::to_string(image.channels) + (image.channels == 1 ? " channel" : " channels");
}

}  // namespace

std::string DescribeImage(const Image &image, const std::string &path, std::optional<SampleKind> stored_kind) {
    return std::to_string(image.width) + "x" + std::to_string(image.height) + ", " +
           DepthText(image, path, stored_kind.value_or(image.kind)) + " " + ChannelText(image);
}

}  // namespace zonara_tool
