#include "tools/image/image_description.h"

namespace zonara_tool {
namespace {

std::string DepthText(const Image &image, SampleKind kind) {
    switch (kind) {
    case SampleKind::k8:
        return "8-bit";
    case SampleKind::k16:
        return image.bits_per_sample != 0 && image.kind == SampleKind::k16
                   ? std::to_string(image.bits_per_sample) + "-bit"
                   : "16-bit";
    case SampleKind::kFloat:
        break;
    }
    return image.kind == SampleKind::kFloat && image.stored_format == StoredFormat::kHalf ? "half-float" : "float";
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

std::string DescribeImage(const Image &image, std::optional<SampleKind> stored_kind) {
    return std::to_string(image.width) + "x" + std::to_string(image.height) + ", " +
           DepthText(image, stored_kind.value_or(image.kind)) + " " + ChannelText(image);
}

}  // namespace zonara_tool
