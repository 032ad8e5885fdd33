#include "tools/image/alpha_association.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>

namespace zonara_tool {
namespace {

template <class Sample>
constexpr double FULL_SCALE = std::is_same_v<Sample, std::uint8_t>    ? 255.0
                              : std::is_same_v<Sample, std::uint16_t> ? 65535.0
                                                                      : 1.0;

template <class Sample>
Sample FromUnit(double value) {
    if constexpr (std::is_floating_point_v<Sample>) {
        return static_cast<Sample>(value);
    } else {
        const double code = std::clamp(std::floor(value * FULL_SCALE<Sample> + 0.5), 0.0, FULL_SCALE<Sample>);
        return static_cast<Sample>(code);
    }
}

template <class Sample>
void Convert(Image &image, int alpha, int colour_channels, AlphaAssociation to) {
    Sample *sample = image.Samples<Sample>();
    const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    for (std::size_t p = 0; p < pixels; ++p, sample += image.channels) {
        const double a = static_cast<double>(sample[alpha]) / FULL_SCALE<Sample>;
        if (to == AlphaAssociation::kStraight && a == 0.0) {
            continue;
        }
        for (int c = 0; c < colour_channels; ++c) {
            const double colour = static_cast<double>(sample[c]) / FULL_SCALE<Sample>;
            sample[c] = FromUnit<Sample>(to == AlphaAssociation::kStraight ? colour / a : colour * a);
        }
    }
}

template <class Sample>
void MultiplyByAlphaPower(Image &image, int alpha, int colour_channels, double power) {
    Sample *sample = image.Samples<Sample>();
    const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    for (std::size_t p = 0; p < pixels; ++p, sample += image.channels) {
        const double factor = std::pow(std::max(0.0, static_cast<double>(sample[alpha]) / FULL_SCALE<Sample>), power);
        for (int c = 0; c < colour_channels; ++c) {
            sample[c] = FromUnit<Sample>(static_cast<double>(sample[c]) / FULL_SCALE<Sample> * factor);
        }
    }
}

}  // namespace

void PremultiplyForGammaWriter(Image &image, double gamma) {
    const int alpha = AlphaChannelOf(image);
    if (alpha < 0) {
        return;
    }
    const int colour_channels = std::min(alpha, image.channels < 3 ? 1 : 3);
    switch (image.kind) {
    case SampleKind::INT8:
        MultiplyByAlphaPower<std::uint8_t>(image, alpha, colour_channels, 1.0 / gamma);
        break;
    case SampleKind::INT16:
        MultiplyByAlphaPower<std::uint16_t>(image, alpha, colour_channels, 1.0 / gamma);
        break;
    case SampleKind::FLOAT32:
        MultiplyByAlphaPower<float>(image, alpha, colour_channels, 1.0 / gamma);
        break;
    }
}

void ConvertAlphaAssociation(Image &image, AlphaAssociation to) {
    const int alpha = AlphaChannelOf(image);
    if (alpha >= 0 && image.alpha_association != to) {
        const int colour_channels = std::min(alpha, image.channels < 3 ? 1 : 3);
        switch (image.kind) {
        case SampleKind::INT8:
            Convert<std::uint8_t>(image, alpha, colour_channels, to);
            break;
        case SampleKind::INT16:
            Convert<std::uint16_t>(image, alpha, colour_channels, to);
            break;
        case SampleKind::FLOAT32:
            Convert<float>(image, alpha, colour_channels, to);
            break;
        }
    }
    image.alpha_association = to;
}

}  // namespace zonara_tool
