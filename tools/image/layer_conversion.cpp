// FillLayer and StoreLayer: the rules of host_pixels.h applied to whole
// frames. Every (sample kind, layer format, grey or colour, alpha or none)
// has its own loop, chosen once per image, so that nothing is decided per
// sample and the compiler sees plain integer and float arithmetic on known
// types; the rows are shared among the cores.
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <type_traits>

#include "pf_sdk.h"
#include "tools/image/host_pixels.h"
#include "tools/image/row_bands.h"

namespace zonara_tool {
namespace {

template <class Pixel>
constexpr HostDepth DEPTH_OF = std::is_same_v<Pixel, PF_Pixel16>        ? HostDepth::k16
                               : std::is_same_v<Pixel, PF_PixelBGRA32f> ? HostDepth::kFloat
                                                                         : HostDepth::k8;

template <class Pixel>
using Channel = decltype(Pixel::red);

// (numerator / denominator) rounded to nearest, halves up, for
// non-negative values.
constexpr std::int64_t RoundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}

// A float on an integer scale: not-a-number and values at or below 0 give
// 0, values at or above 1 full scale, others the nearest code.
inline std::int64_t Quantized(float value, std::int64_t full_scale) {
    if (!(value > 0.0f)) {
        return 0;
    }
    if (value >= 1.0f) {
        return full_scale;
    }
    return std::llround(static_cast<double>(value) * static_cast<double>(full_scale));
}

template <class Pixel>
constexpr Channel<Pixel> FULL_ALPHA = DEPTH_OF<Pixel> == HostDepth::k8    ? Channel<Pixel>(PF_MAX_CHAN8)
                                      : DEPTH_OF<Pixel> == HostDepth::k16 ? Channel<Pixel>(PF_MAX_CHAN16)
                                                                          : Channel<Pixel>(1);

// One file sample as the host's channel value.
template <class Pixel, class Sample>
inline Channel<Pixel> ToHost(Sample sample) {
    using Out = Channel<Pixel>;
    constexpr HostDepth DEPTH = DEPTH_OF<Pixel>;
    if constexpr (DEPTH == HostDepth::k8) {
        if constexpr (std::is_same_v<Sample, std::uint8_t>) {
            return sample;
        } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
            return static_cast<Out>(RoundedQuotient(std::int64_t{sample} * 255, 65535));
        } else {
            return static_cast<Out>(Quantized(sample, PF_MAX_CHAN8));
        }
    } else if constexpr (DEPTH == HostDepth::k16) {
        if constexpr (std::is_same_v<Sample, std::uint8_t>) {
            return static_cast<Out>(RoundedQuotient(std::int64_t{sample} * 32768, 255));
        } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
            return static_cast<Out>(RoundedQuotient(std::int64_t{sample} * 32768, 65535));
        } else {
            return static_cast<Out>(Quantized(sample, PF_MAX_CHAN16));
        }
    } else {
        if constexpr (std::is_same_v<Sample, std::uint8_t>) {
            return static_cast<float>(sample) / 255.0f;
        } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
            return static_cast<float>(sample) / 65535.0f;
        } else {
            return sample;
        }
    }
}

// One host channel value as a file sample.
template <class Sample, class Pixel>
inline Sample ToFile(Channel<Pixel> value) {
    constexpr HostDepth DEPTH = DEPTH_OF<Pixel>;
    if constexpr (std::is_same_v<Sample, std::uint8_t>) {
        if constexpr (DEPTH == HostDepth::k8) {
            return value;
        } else if constexpr (DEPTH == HostDepth::k16) {
            return static_cast<Sample>(RoundedQuotient(std::int64_t{value} * 255, 32768));
        } else {
            return static_cast<Sample>(Quantized(value, 255));
        }
    } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
        if constexpr (DEPTH == HostDepth::k8) {
            return static_cast<Sample>(value * 257);
        } else if constexpr (DEPTH == HostDepth::k16) {
            return static_cast<Sample>(RoundedQuotient(std::int64_t{value} * 65535, 32768));
        } else {
            return static_cast<Sample>(Quantized(value, 65535));
        }
    } else {
        if constexpr (DEPTH == HostDepth::k8) {
            return static_cast<float>(value) / 255.0f;
        } else if constexpr (DEPTH == HostDepth::k16) {
            return static_cast<float>(value) / 32768.0f;
        } else {
            return value;
        }
    }
}

// The Rec. 709 luma of a host colour, on the host's scale: the grey itself
// where the three are equal, else rounded to a whole code at integer depths.
template <class Pixel>
inline Channel<Pixel> Luma(const Pixel &p) {
    if (p.red == p.green && p.green == p.blue) {
        return p.red;
    }
    const double luma = 0.2126 * static_cast<double>(p.red) + 0.7152 * static_cast<double>(p.green) +
                        0.0722 * static_cast<double>(p.blue);
    if constexpr (DEPTH_OF<Pixel> == HostDepth::kFloat) {
        return static_cast<float>(luma);
    } else {
        return static_cast<Channel<Pixel>>(std::llround(luma));
    }
}

template <class Pixel>
Pixel *RowOf(testhost::Layer &layer, int y) {
    return static_cast<Pixel *>(layer.PixelAddress(0, y));
}
template <class Pixel>
const Pixel *RowOf(const testhost::Layer &layer, int y) {
    return static_cast<const Pixel *>(layer.PixelAddress(0, y));
}

template <class Sample, class Pixel, bool GREY, bool HAS_ALPHA>
void FillRows(const Image &image, ColourChannels colour, int alpha, testhost::Layer &layer, int first_row,
              int end_row) {
    const std::size_t channels = static_cast<std::size_t>(image.channels);
    for (int y = first_row; y < end_row; ++y) {
        const Sample *in = image.Samples<Sample>() + static_cast<std::size_t>(y) * image.RowSamples();
        Pixel *out = RowOf<Pixel>(layer, y);
        for (int x = 0; x < image.width; ++x, in += channels) {
            Pixel &p = out[x];
            p.red = ToHost<Pixel>(in[colour.red]);
            if constexpr (GREY) {
                p.green = p.red;
                p.blue = p.red;
            } else {
                p.green = ToHost<Pixel>(in[colour.green]);
                p.blue = ToHost<Pixel>(in[colour.blue]);
            }
            if constexpr (HAS_ALPHA) {
                p.alpha = ToHost<Pixel>(in[alpha]);
            } else {
                p.alpha = FULL_ALPHA<Pixel>;
            }
        }
    }
}

template <class Sample, class Pixel, bool GREY>
void StoreRows(const testhost::Layer &layer, ColourChannels colour, Image &image, int first_row, int end_row) {
    const std::size_t channels = static_cast<std::size_t>(image.channels);
    for (int y = first_row; y < end_row; ++y) {
        Sample *out = image.Samples<Sample>() + static_cast<std::size_t>(y) * image.RowSamples();
        const Pixel *in = RowOf<Pixel>(layer, y);
        for (int x = 0; x < image.width; ++x, out += channels) {
            const Pixel &p = in[x];
            if constexpr (GREY) {
                out[colour.red] = ToFile<Sample, Pixel>(Luma(p));
            } else {
                out[colour.red] = ToFile<Sample, Pixel>(p.red);
                out[colour.green] = ToFile<Sample, Pixel>(p.green);
                out[colour.blue] = ToFile<Sample, Pixel>(p.blue);
            }
        }
    }
}

// Calls `visit` with a value of the C++ type of the image's samples.
template <class Visit>
void WithSampleType(SampleKind kind, Visit visit) {
    switch (kind) {
    case SampleKind::k8:
        return visit(std::uint8_t{});
    case SampleKind::k16:
        return visit(std::uint16_t{});
    case SampleKind::kFloat:
        return visit(float{});
    }
}

// Calls `visit` with a value of the layer's pixel type.
template <class Visit>
void WithPixelType(testhost::PixelFormat format, Visit visit) {
    switch (format) {
    case testhost::PixelFormat::kArgb8:
        return visit(PF_Pixel{});
    case testhost::PixelFormat::kArgb16:
        return visit(PF_Pixel16{});
    case testhost::PixelFormat::kBgra8:
        return visit(PF_PixelBGRA8{});
    case testhost::PixelFormat::kBgra32f:
        return visit(PF_PixelBGRA32f{});
    }
}

template <class Visit>
void WithFlag(bool flag, Visit visit) {
    if (flag) {
        visit(std::true_type{});
    } else {
        visit(std::false_type{});
    }
}

void RequireMatchingLayer(const Image &image, HostDepth depth, const testhost::Layer &layer) {
    if (layer.width() != image.width || layer.height() != image.height || DepthOf(layer.format()) != depth ||
        image.channels < 1) {
        throw std::logic_error("the layer does not match the image it is converted with");
    }
}

}  // namespace

void FillLayer(const Image &image, HostDepth depth, testhost::Layer &layer) {
    RequireMatchingLayer(image, depth, layer);
    const ColourChannels colour = ColourChannelsOf(image);
    const int alpha = AlphaChannelOf(image);
    WithSampleType(image.kind, [&](auto sample) {
        WithPixelType(layer.format(), [&](auto pixel) {
            WithFlag(colour.Grey(), [&](auto grey) {
                WithFlag(alpha >= 0, [&](auto has_alpha) {
                    using Sample = decltype(sample);
                    using Pixel = decltype(pixel);
                    ForEachRowBand(image.height, static_cast<long long>(image.RowSamples()), [&](int first, int end) {
                        FillRows<Sample, Pixel, grey.value, has_alpha.value>(image, colour, alpha, layer, first, end);
                    });
                });
            });
        });
    });
}

void StoreLayer(const testhost::Layer &layer, HostDepth depth, Image &image) {
    RequireMatchingLayer(image, depth, layer);
    const ColourChannels colour = ColourChannelsOf(image);
    WithSampleType(image.kind, [&](auto sample) {
        WithPixelType(layer.format(), [&](auto pixel) {
            WithFlag(colour.Grey(), [&](auto grey) {
                using Sample = decltype(sample);
                using Pixel = decltype(pixel);
                ForEachRowBand(image.height, static_cast<long long>(image.RowSamples()), [&](int first, int end) {
                    StoreRows<Sample, Pixel, grey.value>(layer, colour, image, first, end);
                });
            });
        });
    });
}

}  // namespace zonara_tool
