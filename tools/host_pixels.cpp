#include "tools/host_pixels.h"

#include <cmath>

#include "pf_sdk.h"
#include "tools/image_layout.h"

namespace zonara_tool {
namespace {

// (numerator / denominator) rounded to nearest, halves up, for
// non-negative values.
std::int32_t RoundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    return static_cast<std::int32_t>((2 * numerator + denominator) / (2 * denominator));
}

// A float value on an integer scale: not-a-number and values at or below 0
// give 0, values at or above 1 give full scale.
float Quantize(float value, std::int32_t full_scale) {
    if (!(value > 0.0f)) {
        return 0.0f;
    }
    if (value >= 1.0f) {
        return static_cast<float>(full_scale);
    }
    return static_cast<float>(std::llround(static_cast<double>(value) * full_scale));
}

std::int32_t Code(float sample) { return static_cast<std::int32_t>(sample); }

float FullAlpha(HostDepth depth) {
    switch (depth) {
    case HostDepth::k8:
        return PF_MAX_CHAN8;
    case HostDepth::k16:
        return PF_MAX_CHAN16;
    case HostDepth::kFloat:
        break;
    }
    return 1.0f;
}

struct HostPixel {
    float alpha, red, green, blue;
};

// The image's alpha channel, if it has one where alpha can be: after the
// grey channel or after red, green and blue.
int AlphaChannel(const OIIO::ImageSpec &layout) {
    const int colour_channels = layout.nchannels < 3 ? 1 : 3;
    if (layout.alpha_channel >= colour_channels && layout.alpha_channel < layout.nchannels) {
        return layout.alpha_channel;
    }
    if (layout.nchannels == 2) {
        return 1;  // grey and alpha, whatever the file called them
    }
    return -1;
}

float ReadSample(const Image &image, std::size_t offset) {
    const void *data = image.pixels.localpixels();
    switch (image.kind) {
    case SampleKind::k8:
        return reinterpret_cast<const std::uint8_t *>(data)[offset];
    case SampleKind::k16:
        return static_cast<const std::uint16_t *>(data)[offset];
    case SampleKind::kFloat:
        break;
    }
    return static_cast<const float *>(data)[offset];
}

void WriteSample(Image &image, std::size_t offset, float sample) {
    void *data = image.pixels.localpixels();
    switch (image.kind) {
    case SampleKind::k8:
        reinterpret_cast<std::uint8_t *>(data)[offset] = static_cast<std::uint8_t>(sample);
        return;
    case SampleKind::k16:
        static_cast<std::uint16_t *>(data)[offset] = static_cast<std::uint16_t>(sample);
        return;
    case SampleKind::kFloat:
        static_cast<float *>(data)[offset] = sample;
        return;
    }
}

void PutPixel(testhost::Layer &layer, int x, int y, const HostPixel &p) {
    switch (layer.format()) {
    case testhost::PixelFormat::kArgb8: {
        auto &out = layer.At<PF_Pixel>(x, y);
        out = {static_cast<A_u_char>(p.alpha), static_cast<A_u_char>(p.red), static_cast<A_u_char>(p.green),
               static_cast<A_u_char>(p.blue)};
        return;
    }
    case testhost::PixelFormat::kArgb16: {
        auto &out = layer.At<PF_Pixel16>(x, y);
        out = {static_cast<A_u_short>(p.alpha), static_cast<A_u_short>(p.red), static_cast<A_u_short>(p.green),
               static_cast<A_u_short>(p.blue)};
        return;
    }
    case testhost::PixelFormat::kBgra8: {
        auto &out = layer.At<PF_PixelBGRA8>(x, y);
        out = {static_cast<A_u_char>(p.blue), static_cast<A_u_char>(p.green), static_cast<A_u_char>(p.red),
               static_cast<A_u_char>(p.alpha)};
        return;
    }
    case testhost::PixelFormat::kBgra32f:
        layer.At<PF_PixelBGRA32f>(x, y) = {p.blue, p.green, p.red, p.alpha};
        return;
    }
}

HostPixel GetPixel(const testhost::Layer &layer, int x, int y) {
    switch (layer.format()) {
    case testhost::PixelFormat::kArgb8: {
        const auto &in = layer.At<PF_Pixel>(x, y);
        return {float(in.alpha), float(in.red), float(in.green), float(in.blue)};
    }
    case testhost::PixelFormat::kArgb16: {
        const auto &in = layer.At<PF_Pixel16>(x, y);
        return {float(in.alpha), float(in.red), float(in.green), float(in.blue)};
    }
    case testhost::PixelFormat::kBgra8: {
        const auto &in = layer.At<PF_PixelBGRA8>(x, y);
        return {float(in.alpha), float(in.red), float(in.green), float(in.blue)};
    }
    case testhost::PixelFormat::kBgra32f:
        break;
    }
    const auto &in = layer.At<PF_PixelBGRA32f>(x, y);
    return {in.alpha, in.red, in.green, in.blue};
}

float Luma(const HostPixel &p, HostDepth depth) {
    if (p.red == p.green && p.green == p.blue) {
        return p.red;
    }
    const double luma = 0.2126 * p.red + 0.7152 * p.green + 0.0722 * p.blue;
    if (depth == HostDepth::kFloat) {
        return static_cast<float>(luma);
    }
    return static_cast<float>(std::llround(luma));
}

}  // namespace

testhost::PixelFormat LayerFormatFor(const HostFormat &format) {
    if (format.app == testhost::HostApp::kPremiere) {
        return format.depth == HostDepth::kFloat ? testhost::PixelFormat::kBgra32f : testhost::PixelFormat::kBgra8;
    }
    return format.depth == HostDepth::k16 ? testhost::PixelFormat::kArgb16 : testhost::PixelFormat::kArgb8;
}

std::int32_t FileCode16ToHost16(std::int32_t code) { return RoundedQuotient(std::int64_t{code} * 32768, 65535); }

std::int32_t Host16ToFileCode16(std::int32_t value) { return RoundedQuotient(std::int64_t{value} * 65535, 32768); }

float FileSampleToHost(SampleKind kind, float sample, HostDepth depth) {
    switch (depth) {
    case HostDepth::k8:
        if (kind == SampleKind::k8) {
            return sample;
        }
        if (kind == SampleKind::k16) {
            return static_cast<float>(RoundedQuotient(std::int64_t{Code(sample)} * 255, 65535));
        }
        return Quantize(sample, PF_MAX_CHAN8);
    case HostDepth::k16:
        if (kind == SampleKind::k8) {
            return static_cast<float>(RoundedQuotient(std::int64_t{Code(sample)} * 32768, 255));
        }
        if (kind == SampleKind::k16) {
            return static_cast<float>(FileCode16ToHost16(Code(sample)));
        }
        return Quantize(sample, PF_MAX_CHAN16);
    case HostDepth::kFloat:
        break;
    }
    if (kind == SampleKind::k8) {
        return sample / 255.0f;
    }
    if (kind == SampleKind::k16) {
        return sample / 65535.0f;
    }
    return sample;
}

float HostToFileSample(float value, HostDepth depth, SampleKind kind) {
    switch (kind) {
    case SampleKind::k8:
        if (depth == HostDepth::k8) {
            return value;
        }
        if (depth == HostDepth::k16) {
            return static_cast<float>(RoundedQuotient(std::int64_t{Code(value)} * 255, 32768));
        }
        return Quantize(value, 255);
    case SampleKind::k16:
        if (depth == HostDepth::k8) {
            return value * 257.0f;
        }
        if (depth == HostDepth::k16) {
            return static_cast<float>(Host16ToFileCode16(Code(value)));
        }
        return Quantize(value, 65535);
    case SampleKind::kFloat:
        break;
    }
    if (depth == HostDepth::k8) {
        return value / 255.0f;
    }
    if (depth == HostDepth::k16) {
        return value / 32768.0f;
    }
    return value;
}

void FillLayer(const Image &image, HostDepth depth, testhost::Layer &layer) {
    const OIIO::ImageSpec &layout = LayoutOf(image.pixels);
    const int channels = layout.nchannels;
    const bool grey = channels < 3;
    const int alpha = AlphaChannel(layout);
    for (int y = 0; y < layout.height; ++y) {
        for (int x = 0; x < layout.width; ++x) {
            const std::size_t base = (static_cast<std::size_t>(y) * layout.width + x) * channels;
            auto host = [&](int channel) { return FileSampleToHost(image.kind, ReadSample(image, base + channel), depth); };
            HostPixel p{};
            p.red = host(0);
            p.green = grey ? p.red : host(1);
            p.blue = grey ? p.red : host(2);
            p.alpha = alpha < 0 ? FullAlpha(depth) : host(alpha);
            PutPixel(layer, x, y, p);
        }
    }
}

void StoreLayer(const testhost::Layer &layer, HostDepth depth, Image &image) {
    const OIIO::ImageSpec &layout = LayoutOf(image.pixels);
    const int channels = layout.nchannels;
    for (int y = 0; y < layout.height; ++y) {
        for (int x = 0; x < layout.width; ++x) {
            const std::size_t base = (static_cast<std::size_t>(y) * layout.width + x) * channels;
            const HostPixel p = GetPixel(layer, x, y);
            if (channels < 3) {
                WriteSample(image, base, HostToFileSample(Luma(p, depth), depth, image.kind));
                continue;
            }
            WriteSample(image, base + 0, HostToFileSample(p.red, depth, image.kind));
            WriteSample(image, base + 1, HostToFileSample(p.green, depth, image.kind));
            WriteSample(image, base + 2, HostToFileSample(p.blue, depth, image.kind));
        }
    }
}

}  // namespace zonara_tool
