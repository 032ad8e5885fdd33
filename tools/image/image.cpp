#include "tools/image/image.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "tools/base/tool_error.h"

namespace zonara_tool {

std::size_t BytesPerSample(SampleKind kind) {
    switch (kind) {
    case SampleKind::INT8:
        return 1;
    case SampleKind::INT16:
        return 2;
    case SampleKind::FLOAT32:
        break;
    }
    return 4;
}

SampleKind KindForStoredFormat(StoredFormat format) {
    switch (format) {
    case StoredFormat::kUint8:
        return SampleKind::INT8;
    case StoredFormat::kUint16:
        return SampleKind::INT16;
    default:
        return SampleKind::FLOAT32;
    }
}

StoredFormat StoredFormatOf(SampleKind kind) {
    switch (kind) {
    case SampleKind::INT8:
        return StoredFormat::kUint8;
    case SampleKind::INT16:
        return StoredFormat::kUint16;
    case SampleKind::FLOAT32:
        break;
    }
    return StoredFormat::kFloat;
}

Image MakeImage(int width, int height, int channels, SampleKind kind) {
    Image image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.kind = kind;
    image.stored_format = StoredFormatOf(kind);
    image.bytes.assign(image.SampleCount() * BytesPerSample(kind), 0);
    static const char *const NAMES[] = {"R", "G", "B", "A"};
    for (int c = 0; c < channels; ++c) {
        image.channel_names.push_back(channels == 1 ? "Y" : c < 4 ? NAMES[c] : "channel" + std::to_string(c));
    }
    image.alpha_channel = channels >= 4 ? 3 : -1;
    return image;
}

Image MakeImageLike(const Image &layout, int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.channels = layout.channels;
    image.kind = layout.kind;
    image.bytes.resize(image.SampleCount() * BytesPerSample(layout.kind));
    image.channel_names = layout.channel_names;
    image.alpha_channel = layout.alpha_channel;
    image.stored_format = layout.stored_format;
    image.channel_storage = layout.channel_storage;
    image.bits_per_sample = layout.bits_per_sample;
    image.format_name = layout.format_name;
    image.alpha_association = layout.alpha_association;
    image.pixel_aspect = layout.pixel_aspect;
    image.attributes = layout.attributes;
    if (width == layout.width && height == layout.height) {
        image.x = layout.x;
        image.y = layout.y;
        image.display_window = layout.display_window;
    }
    return image;
}

void CheckImageLimits(std::int64_t width, std::int64_t height, std::int64_t channels, const std::string &path) {
    if (width < 1 || height < 1 || channels < 1) {
        throw UsageError(path + ": empty image");
    }
    if (width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE || width * height > MAX_IMAGE_PIXELS) {
        throw UsageError(path + ": " + std::to_string(width) + "x" + std::to_string(height) +
                         " is too large (at most " + std::to_string(MAX_IMAGE_SIDE) + " pixels a side and " +
                         std::to_string(MAX_IMAGE_PIXELS) + " pixels in all)");
    }
    if (channels > MAX_IMAGE_CHANNELS) {
        throw UsageError(path + ": " + std::to_string(channels) + " channels (at most " +
                         std::to_string(MAX_IMAGE_CHANNELS) + ")");
    }
}

std::vector<std::uint8_t> SamplesAs8Bit(const Image &image) {
    const std::size_t count = image.SampleCount();
    std::vector<std::uint8_t> out(count);
    if (image.kind == SampleKind::INT8) {
        std::copy_n(image.Samples<std::uint8_t>(), count, out.begin());
        return out;
    }
    auto quantise = [](float unit) {
        const float v = std::isnan(unit) ? 0.0f : std::clamp(unit, 0.0f, 1.0f);
        return static_cast<std::uint8_t>(std::floor(v * 255.0f + 0.5f));
    };
    if (image.kind == SampleKind::INT16) {
        const std::uint16_t *in = image.Samples<std::uint16_t>();
        std::transform(in, in + count, out.begin(), [&](std::uint16_t code) { return quantise(code / 65535.0f); });
    } else {
        const float *in = image.Samples<float>();
        std::transform(in, in + count, out.begin(), quantise);
    }
    return out;
}

namespace {

int ChannelNamed(const Image &image, std::string_view name) {
    const auto found = std::find(image.channel_names.begin(), image.channel_names.end(), name);
    return found == image.channel_names.end() ? -1 : static_cast<int>(found - image.channel_names.begin());
}

std::string ChannelList(const Image &image) {
    std::string list;
    for (const std::string &name : image.channel_names) {
        list += (list.empty() ? "" : ", ") + name;
    }
    return list.empty() ? "none named" : list;
}

}  // namespace

ColourChannels ColourChannelsOf(const Image &image) {
    // Only OpenEXR stores its channels' names; every other format's names
    // are the library's (or the tool's) by position: R, G, B or Y first.
    if (image.format_name != "openexr") {
        return image.channels < 3 ? ColourChannels{0, 0, 0} : ColourChannels{};
    }
    const int red = ChannelNamed(image, "R");
    const int green = ChannelNamed(image, "G");
    const int blue = ChannelNamed(image, "B");
    if (red >= 0 && green >= 0 && blue >= 0) {
        return {red, green, blue};
    }
    // A grey picture: Y alone, or beside its alpha.
    const int grey = ChannelNamed(image, "Y");
    const int others = image.channels - (ChannelNamed(image, "A") >= 0 ? 1 : 0);
    if (red < 0 && green < 0 && blue < 0 && grey >= 0 && others == 1) {
        return {grey, grey, grey};
    }
    throw UsageError("the image's channels (" + ChannelList(image) +
                     ") hold no colour to grade: the effect grades R, G and B (or Y alone, as grey) and "
                     "passes every other channel through");
}

bool HoldsPremultipliedColour(const Image &image) {
    return AlphaChannelOf(image) >= 0 && image.alpha_association == AlphaAssociation::kPremultiplied;
}

int AlphaChannelOf(const Image &image) {
    const int colour_channels = image.channels < 3 ? 1 : 3;
    if (image.alpha_channel >= colour_channels && image.alpha_channel < image.channels) {
        return image.alpha_channel;
    }
    if (image.channels == 2) {
        return 1;  // grey and alpha, whatever the file called them
    }
    return -1;
}

}  // namespace zonara_tool
