// FillLayer and StoreLayer: the rules of host_pixels.h applied to whole
// frames. Every (sample kind, layer format, grey or colour, alpha or none,
// premultiplied or straight, packed R, G, B (, A) or not)
// has its own loop, chosen once per image, so that nothing is decided per
// sample and the compiler sees plain integer and float arithmetic on known
// types; the rows are shared among the cores.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <type_traits>

#include "pf_sdk.h"
#include "tools/image/host_pixels.h"
#include "tools/image/row_bands.h"

namespace zonara_tool {
namespace {

template <class Pixel>
constexpr SampleDepth DEPTH_OF =
    std::is_same_v<Pixel, PF_Pixel16>                                                ? SampleDepth::INT16
    : std::is_same_v<Pixel, PF_PixelBGRA32f> || std::is_same_v<Pixel, PF_PixelFloat> ? SampleDepth::FLOAT32
                                                                                     : SampleDepth::INT8;

template <class Pixel>
using Channel = decltype(Pixel::red);

template <class Pixel>
constexpr Channel<Pixel> FULL_ALPHA = DEPTH_OF<Pixel> == SampleDepth::INT8    ? Channel<Pixel>(PF_MAX_CHAN8)
                                      : DEPTH_OF<Pixel> == SampleDepth::INT16 ? Channel<Pixel>(PF_MAX_CHAN16)
                                                                              : Channel<Pixel>(1);

// A sample, or a host channel value, on the 0..1 scale; and back to a
// sample, rounded once. For colour divided or multiplied by alpha.
template <class Sample>
inline float UnitOf(Sample sample) {
    if constexpr (std::is_same_v<Sample, std::uint8_t>) {
        return static_cast<float>(sample) / 255.0f;
    } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
        return static_cast<float>(sample) / 65535.0f;
    } else {
        return sample;
    }
}
template <class Pixel>
inline float HostUnitOf(Channel<Pixel> value) {
    constexpr SampleDepth DEPTH = DEPTH_OF<Pixel>;
    if constexpr (DEPTH == SampleDepth::INT8) {
        return static_cast<float>(value) / 255.0f;
    } else if constexpr (DEPTH == SampleDepth::INT16) {
        return static_cast<float>(value) / 32768.0f;
    } else {
        return value;
    }
}
template <class Sample>
inline Sample SampleOfUnit(float unit) {
    if constexpr (std::is_same_v<Sample, std::uint8_t>) {
        return static_cast<Sample>(QuantizedCode(unit, 255));
    } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
        return static_cast<Sample>(QuantizedCode(unit, 65535));
    } else {
        return unit;
    }
}

// One file sample as the host's channel value.
template <class Pixel, class Sample>
inline Channel<Pixel> ToHost(Sample sample) {
    using Out = Channel<Pixel>;
    constexpr SampleDepth DEPTH = DEPTH_OF<Pixel>;
    if constexpr (DEPTH == SampleDepth::INT8) {
        if constexpr (std::is_same_v<Sample, std::uint8_t>) {
            return sample;
        } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
            return static_cast<Out>(RoundedQuotient(std::int64_t{sample} * 255, 65535));
        } else {
            return static_cast<Out>(QuantizedCode(sample, PF_MAX_CHAN8));
        }
    } else if constexpr (DEPTH == SampleDepth::INT16) {
        if constexpr (std::is_same_v<Sample, std::uint8_t>) {
            return static_cast<Out>(RoundedQuotient(std::int64_t{sample} * 32768, 255));
        } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
            return static_cast<Out>(RoundedQuotient(std::int64_t{sample} * 32768, 65535));
        } else {
            return static_cast<Out>(QuantizedCode(sample, PF_MAX_CHAN16));
        }
    } else {
        return UnitOf(sample);
    }
}

// One host channel value as a file sample.
template <class Sample, class Pixel>
inline Sample ToFile(Channel<Pixel> value) {
    constexpr SampleDepth DEPTH = DEPTH_OF<Pixel>;
    if constexpr (std::is_same_v<Sample, std::uint8_t>) {
        if constexpr (DEPTH == SampleDepth::INT8) {
            return value;
        } else if constexpr (DEPTH == SampleDepth::INT16) {
            return static_cast<Sample>(RoundedQuotient(std::int64_t{value} * 255, 32768));
        } else {
            return static_cast<Sample>(QuantizedCode(value, 255));
        }
    } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
        if constexpr (DEPTH == SampleDepth::INT8) {
            return static_cast<Sample>(value * 257);
        } else if constexpr (DEPTH == SampleDepth::INT16) {
            return static_cast<Sample>(RoundedQuotient(std::int64_t{value} * 65535, 32768));
        } else {
            return static_cast<Sample>(QuantizedCode(value, 65535));
        }
    } else {
        return HostUnitOf<Pixel>(value);
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
    if constexpr (DEPTH_OF<Pixel> == SampleDepth::FLOAT32) {
        return static_cast<float>(luma);
    } else {
        return static_cast<Channel<Pixel>>(std::llround(luma));
    }
}

// Whether premultiplied colour at this alpha is divided for the effect and
// multiplied after it: not where alpha is 0 (or below, or not a number),
// whose colour cannot be recovered and is kept as stored, nor where it is 1,
// whose colour no arithmetic may touch.
inline bool Associates(float alpha) { return alpha > 0.0f && alpha != 1.0f; }

template <class Pixel>
Pixel *RowOf(testhost::Layer &layer, int y) {
    return static_cast<Pixel *>(layer.PixelAddress(0, y));
}
template <class Pixel>
const Pixel *RowOf(const testhost::Layer &layer, int y) {
    return static_cast<const Pixel *>(layer.PixelAddress(0, y));
}

// Where a pixel's samples lie in the image. PACKED is 0 where the positions
// are read from the image, or 3 or 4 for the common R, G, B (, A) in that
// order, known when compiling: a row's loop then reads no positions per
// pixel, and 8-bit rows move whole pixels at once.
template <int PACKED>
struct SampleLayout {
    std::size_t channels;
    int red, green, blue, alpha;

    SampleLayout(const Image &image, ColourChannels colour, int alpha_channel)
        : channels(PACKED != 0 ? PACKED : static_cast<std::size_t>(image.channels)),
          red(PACKED != 0 ? 0 : colour.red),
          green(PACKED != 0 ? 1 : colour.green),
          blue(PACKED != 0 ? 2 : colour.blue),
          alpha(PACKED == 4 ? 3 : alpha_channel) {}
};

// Whether the image's samples are R, G, B in that order, with A after them
// (4) or nothing (3); 0 otherwise.
int PackedChannels(const Image &image, ColourChannels colour, int alpha) {
    if (colour.red != 0 || colour.green != 1 || colour.blue != 2) {
        return 0;
    }
    if (image.channels == 4 && alpha == 3) {
        return 4;
    }
    return image.channels == 3 && alpha < 0 ? 3 : 0;
}

// Four 8-bit samples R, G, B, A in memory order, as one little-endian word.
inline std::uint32_t LoadWord(const void *bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}
inline void StoreWord(void *bytes, std::uint32_t word) { std::memcpy(bytes, &word, sizeof word); }

// R, G, B, A as the host's 8-bit pixel, and back: the same bytes in the
// pixel's own order.
template <class Pixel>
inline std::uint32_t RgbaToPixelWord(std::uint32_t rgba) {
    if constexpr (std::is_same_v<Pixel, PF_Pixel>) {
        return rgba << 8 | rgba >> 24;  // A, R, G, B
    } else {
        return (rgba & 0xFF00FF00u) | (rgba >> 16 & 0xFFu) | (rgba & 0xFFu) << 16;  // B, G, R, A
    }
}
template <class Pixel>
inline std::uint32_t PixelWordToRgba(std::uint32_t pixel) {
    if constexpr (std::is_same_v<Pixel, PF_Pixel>) {
        return pixel >> 8 | pixel << 24;
    } else {
        return RgbaToPixelWord<Pixel>(pixel);  // swapping red and blue undoes itself
    }
}

template <class Sample, class Pixel, int PACKED>
constexpr bool MOVES_WORDS = PACKED == 4 && std::is_same_v<Sample, std::uint8_t> &&DEPTH_OF<Pixel> == SampleDepth::INT8;

template <class Sample, class Pixel, bool GREY, bool HAS_ALPHA, bool PREMULTIPLIED, int PACKED>
void FillRows(const Image &image, const SampleLayout<PACKED> layout, testhost::Layer &layer, int first_row,
              int end_row) {
    for (int y = first_row; y < end_row; ++y) {
        const Sample *in = image.Samples<Sample>() + static_cast<std::size_t>(y) * image.RowSamples();
        Pixel *out = RowOf<Pixel>(layer, y);
        if constexpr (MOVES_WORDS<Sample, Pixel, PACKED> && !PREMULTIPLIED) {
            for (int x = 0; x < image.width; ++x) {
                StoreWord(out + x, RgbaToPixelWord<Pixel>(LoadWord(in + 4 * static_cast<std::size_t>(x))));
            }
            continue;
        }
        for (int x = 0; x < image.width; ++x, in += layout.channels) {
            Pixel &p = out[x];
            p.red = ToHost<Pixel>(in[layout.red]);
            if constexpr (GREY) {
                p.green = p.red;
                p.blue = p.red;
            } else {
                p.green = ToHost<Pixel>(in[layout.green]);
                p.blue = ToHost<Pixel>(in[layout.blue]);
            }
            if constexpr (HAS_ALPHA) {
                p.alpha = ToHost<Pixel>(in[layout.alpha]);
                // The effect sees straight colour, as a host hands it.
                if constexpr (PREMULTIPLIED) {
                    const float alpha = UnitOf(in[layout.alpha]);
                    if (Associates(alpha)) {
                        p.red = ToHost<Pixel>(UnitOf(in[layout.red]) / alpha);
                        p.green = GREY ? p.red : ToHost<Pixel>(UnitOf(in[layout.green]) / alpha);
                        p.blue = GREY ? p.red : ToHost<Pixel>(UnitOf(in[layout.blue]) / alpha);
                    }
                }
            } else {
                p.alpha = FULL_ALPHA<Pixel>;
            }
        }
    }
}

template <class Sample, class Pixel, bool GREY, bool PREMULTIPLIED, int PACKED>
void StoreRows(const testhost::Layer &layer, const SampleLayout<PACKED> layout, Image &image, int first_row,
               int end_row) {
    for (int y = first_row; y < end_row; ++y) {
        Sample *out = image.Samples<Sample>() + static_cast<std::size_t>(y) * image.RowSamples();
        const Pixel *in = RowOf<Pixel>(layer, y);
        if constexpr (MOVES_WORDS<Sample, Pixel, PACKED> && !PREMULTIPLIED) {
            // The colour from the layer, the image's own alpha kept.
            for (int x = 0; x < image.width; ++x) {
                Sample *rgba = out + 4 * static_cast<std::size_t>(x);
                StoreWord(rgba,
                          (PixelWordToRgba<Pixel>(LoadWord(in + x)) & 0x00FFFFFFu) | (LoadWord(rgba) & 0xFF000000u));
            }
            continue;
        }
        for (int x = 0; x < image.width; ++x, out += layout.channels) {
            const Pixel &p = in[x];
            if constexpr (PREMULTIPLIED) {
                // Multiplied back by the image's own alpha, rounded once;
                // a clear pixel keeps the colour it had.
                const float alpha = UnitOf(out[layout.alpha]);
                if (!(alpha > 0.0f)) {
                    continue;
                }
                if (Associates(alpha)) {
                    if constexpr (GREY) {
                        out[layout.red] = SampleOfUnit<Sample>(HostUnitOf<Pixel>(Luma(p)) * alpha);
                    } else {
                        out[layout.red] = SampleOfUnit<Sample>(HostUnitOf<Pixel>(p.red) * alpha);
                        out[layout.green] = SampleOfUnit<Sample>(HostUnitOf<Pixel>(p.green) * alpha);
                        out[layout.blue] = SampleOfUnit<Sample>(HostUnitOf<Pixel>(p.blue) * alpha);
                    }
                    continue;
                }
            }
            if constexpr (GREY) {
                out[layout.red] = ToFile<Sample, Pixel>(Luma(p));
            } else {
                out[layout.red] = ToFile<Sample, Pixel>(p.red);
                out[layout.green] = ToFile<Sample, Pixel>(p.green);
                out[layout.blue] = ToFile<Sample, Pixel>(p.blue);
            }
        }
    }
}

// Calls `visit` with the packing as a compile-time constant.
template <class Visit>
void WithPacking(int packed, Visit visit) {
    switch (packed) {
    case 3:
        return visit(std::integral_constant<int, 3>{});
    case 4:
        return visit(std::integral_constant<int, 4>{});
    default:
        return visit(std::integral_constant<int, 0>{});
    }
}

// Calls `visit` with a value of the C++ type of the image's samples.
template <class Visit>
void WithSampleType(SampleKind kind, Visit visit) {
    switch (kind) {
    case SampleKind::INT8:
        return visit(std::uint8_t{});
    case SampleKind::INT16:
        return visit(std::uint16_t{});
    case SampleKind::FLOAT32:
        return visit(float{});
    }
}

// Calls `visit` with a value of the layer's pixel type.
template <class Visit>
void WithPixelType(testhost::PixelFormat format, Visit visit) {
    switch (format) {
    case testhost::PixelFormat::ARGB8:
        return visit(PF_Pixel{});
    case testhost::PixelFormat::ARGB16:
        return visit(PF_Pixel16{});
    case testhost::PixelFormat::BGRA8:
        return visit(PF_PixelBGRA8{});
    case testhost::PixelFormat::BGRA32F:
        return visit(PF_PixelBGRA32f{});
    case testhost::PixelFormat::ARGB32F:
        return visit(PF_PixelFloat{});
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

void RequireMatchingLayer(const Image &image, SampleDepth depth, const testhost::Layer &layer) {
    if (layer.width() != image.width || layer.height() != image.height || DepthOf(layer.format()) != depth ||
        image.channels < 1) {
        throw std::logic_error("the layer does not match the image it is converted with");
    }
}

}  // namespace

void FillLayer(const Image &image, SampleDepth depth, testhost::Layer &layer) {
    RequireMatchingLayer(image, depth, layer);
    const ColourChannels colour = ColourChannelsOf(image);
    const int alpha = AlphaChannelOf(image);
    WithSampleType(image.kind, [&](auto sample) {
        WithPixelType(layer.format(), [&](auto pixel) {
            WithFlag(colour.Grey(), [&](auto grey) {
                WithFlag(alpha >= 0, [&](auto has_alpha) {
                    WithFlag(HoldsPremultipliedColour(image), [&](auto premultiplied) {
                        WithPacking(PackedChannels(image, colour, alpha), [&](auto packed) {
                            using Sample = decltype(sample);
                            using Pixel = decltype(pixel);
                            // A packed layout has no grey, and alpha exactly
                            // where it has four channels; only colour beside
                            // an alpha is premultiplied.
                            if constexpr ((packed.value == 0 ||
                                           (!grey.value && has_alpha.value == (packed.value == 4))) &&
                                          (has_alpha.value || !premultiplied.value)) {
                                const SampleLayout<packed.value> layout(image, colour, alpha);
                                ForEachRowBand(
                                    image.height, static_cast<long long>(image.RowSamples()), [&](int first, int end) {
                                        FillRows<Sample, Pixel, grey.value, has_alpha.value, premultiplied.value>(
                                            image, layout, layer, first, end);
                                    });
                            }
                        });
                    });
                });
            });
        });
    });
}

void StoreLayer(const testhost::Layer &layer, SampleDepth depth, Image &image) {
    RequireMatchingLayer(image, depth, layer);
    const ColourChannels colour = ColourChannelsOf(image);
    const int alpha = AlphaChannelOf(image);
    WithSampleType(image.kind, [&](auto sample) {
        WithPixelType(layer.format(), [&](auto pixel) {
            WithFlag(colour.Grey(), [&](auto grey) {
                WithFlag(HoldsPremultipliedColour(image), [&](auto premultiplied) {
                    WithPacking(PackedChannels(image, colour, alpha), [&](auto packed) {
                        using Sample = decltype(sample);
                        using Pixel = decltype(pixel);
                        if constexpr (packed.value == 0 || !grey.value) {
                            const SampleLayout<packed.value> layout(image, colour, alpha);
                            ForEachRowBand(image.height, static_cast<long long>(image.RowSamples()),
                                           [&](int first, int end) {
                                               StoreRows<Sample, Pixel, grey.value, premultiplied.value>(
                                                   layer, layout, image, first, end);
                                           });
                        }
                    });
                });
            });
        });
    });
}

}  // namespace zonara_tool
