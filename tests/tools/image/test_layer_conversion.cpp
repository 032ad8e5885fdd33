// The whole-frame conversions between images and host layers against the
// per-sample rules: for every (sample kind, layer format) pair and every
// channel layout, FillLayer must give each pixel what FileSampleToHost gives
// its samples, and StoreLayer must give each sample what HostToFileSample
// gives the host's value, leaving alpha and further channels alone. The
// images are large enough to be split among threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "pf_sdk.h"
#include "support/pixel_formats.h"
#include "tools/image/host_pixels.h"

namespace {

using namespace zonara_tool;
using testhost::PixelFormat;

constexpr int LAYER_WIDTH = 301;
constexpr int LAYER_HEIGHT = 299;

struct HostValues {
    float alpha, red, green, blue;
};

template <class Pixel>
HostValues ValuesOf(const Pixel &p) {
    return {static_cast<float>(p.alpha), static_cast<float>(p.red), static_cast<float>(p.green),
            static_cast<float>(p.blue)};
}

HostValues GetHost(const testhost::Layer &layer, int x, int y) {
    switch (layer.format()) {
    case PixelFormat::ARGB8:
        return ValuesOf(layer.At<PF_Pixel>(x, y));
    case PixelFormat::ARGB16:
        return ValuesOf(layer.At<PF_Pixel16>(x, y));
    case PixelFormat::BGRA8:
        return ValuesOf(layer.At<PF_PixelBGRA8>(x, y));
    case PixelFormat::ARGB32F:
        return ValuesOf(layer.At<PF_PixelFloat>(x, y));
    case PixelFormat::BGRA32F:
        break;
    }
    return ValuesOf(layer.At<PF_PixelBGRA32f>(x, y));
}

template <class Pixel>
void SetPixel(Pixel &p, const HostValues &v) {
    using Channel = decltype(p.red);
    p.alpha = static_cast<Channel>(v.alpha);
    p.red = static_cast<Channel>(v.red);
    p.green = static_cast<Channel>(v.green);
    p.blue = static_cast<Channel>(v.blue);
}

void PutHost(testhost::Layer &layer, int x, int y, const HostValues &v) {
    switch (layer.format()) {
    case PixelFormat::ARGB8:
        return SetPixel(layer.At<PF_Pixel>(x, y), v);
    case PixelFormat::ARGB16:
        return SetPixel(layer.At<PF_Pixel16>(x, y), v);
    case PixelFormat::BGRA8:
        return SetPixel(layer.At<PF_PixelBGRA8>(x, y), v);
    case PixelFormat::BGRA32F:
        return SetPixel(layer.At<PF_PixelBGRA32f>(x, y), v);
    case PixelFormat::ARGB32F:
        return SetPixel(layer.At<PF_PixelFloat>(x, y), v);
    }
}

float GetSample(const Image &image, std::size_t index) {
    switch (image.kind) {
    case SampleKind::INT8:
        return image.Samples<std::uint8_t>()[index];
    case SampleKind::INT16:
        return image.Samples<std::uint16_t>()[index];
    case SampleKind::FLOAT32:
        break;
    }
    return image.Samples<float>()[index];
}

void SetSample(Image &image, std::size_t index, float value) {
    switch (image.kind) {
    case SampleKind::INT8:
        image.Samples<std::uint8_t>()[index] = static_cast<std::uint8_t>(value);
        return;
    case SampleKind::INT16:
        image.Samples<std::uint16_t>()[index] = static_cast<std::uint16_t>(value);
        return;
    case SampleKind::FLOAT32:
        image.Samples<float>()[index] = value;
        return;
    }
}

// Equal as bits, so that NaN matches NaN and -0 differs from +0.
bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// File samples across each kind's whole range; floats include the values a
// float file may hold beyond 0..1.
float RandomSample(SampleKind kind, std::mt19937 &random) {
    switch (kind) {
    case SampleKind::INT8:
        return static_cast<float>(random() % 256);
    case SampleKind::INT16:
        return static_cast<float>(random() % 65536);
    case SampleKind::FLOAT32:
        break;
    }
    static const float SPECIAL[] = {0.0f,
                                    -0.0f,
                                    1.0f,
                                    0.5f,
                                    -1.5f,
                                    2.0f,
                                    std::numeric_limits<float>::quiet_NaN(),
                                    std::numeric_limits<float>::infinity(),
                                    1e-40f,
                                    0.99999994f};
    if (random() % 4 == 0) {
        return SPECIAL[random() % std::size(SPECIAL)];
    }
    return std::uniform_real_distribution<float>(-0.25f, 1.25f)(random);
}

// Host values within each depth's range: 0..255, 0..32768, any float.
float RandomHost(SampleDepth depth, std::mt19937 &random) {
    switch (depth) {
    case SampleDepth::INT8:
        return static_cast<float>(random() % 256);
    case SampleDepth::INT16:
        return static_cast<float>(random() % 32769);
    case SampleDepth::FLOAT32:
        break;
    }
    return RandomSample(SampleKind::FLOAT32, random);
}

// The rule for a grey image: the Rec. 709 luma of the graded colour, the
// grey itself where the three are equal, whole codes at integer depths.
float LumaRule(const HostValues &p, SampleDepth depth) {
    if (p.red == p.green && p.green == p.blue) {
        return p.red;
    }
    const double luma = 0.2126 * p.red + 0.7152 * p.green + 0.0722 * p.blue;
    return depth == SampleDepth::FLOAT32 ? static_cast<float>(luma) : static_cast<float>(std::llround(luma));
}

struct ChannelLayout {
    int channels;
    int alpha_channel;  // as the file names it
    int alpha_used;     // where the conversion takes alpha from; -1: full
};

struct Pair {
    SampleKind kind;
    PixelFormat format;
};

class LayerConversion : public ::testing::TestWithParam<Pair> {};

TEST_P(LayerConversion, FillLayerFollowsThePerSampleRule) {
    const auto [kind, format] = GetParam();
    const SampleDepth depth = DepthOf(format);
    const float full = depth == SampleDepth::INT8 ? 255.0f : depth == SampleDepth::INT16 ? 32768.0f : 1.0f;
    std::mt19937 random(7);
    for (const ChannelLayout layout : {ChannelLayout{1, -1, -1}, ChannelLayout{2, -1, 1}, ChannelLayout{3, -1, -1},
                                       ChannelLayout{4, 3, 3}, ChannelLayout{4, -1, -1}, ChannelLayout{5, 4, 4}}) {
        SCOPED_TRACE("channels " + std::to_string(layout.channels));
        Image image = MakeImage(LAYER_WIDTH, LAYER_HEIGHT, layout.channels, kind);
        image.alpha_channel = layout.alpha_channel;
        for (std::size_t i = 0; i < image.SampleCount(); ++i) {
            SetSample(image, i, RandomSample(kind, random));
        }
        testhost::Layer layer(format, LAYER_WIDTH, LAYER_HEIGHT);
        FillLayer(image, depth, layer);

        auto rule = [&](std::size_t index) { return FileSampleToHost(kind, GetSample(image, index), depth); };
        for (int y = 0; y < LAYER_HEIGHT; ++y) {
            for (int x = 0; x < LAYER_WIDTH; ++x) {
                const std::size_t base = (static_cast<std::size_t>(y) * LAYER_WIDTH + x) * layout.channels;
                const bool grey = layout.channels < 3;
                const HostValues got = GetHost(layer, x, y);
                const HostValues want{layout.alpha_used < 0 ? full : rule(base + layout.alpha_used), rule(base),
                                      rule(base + (grey ? 0 : 1)), rule(base + (grey ? 0 : 2))};
                ASSERT_TRUE(SameBits(got.red, want.red) && SameBits(got.green, want.green) &&
                            SameBits(got.blue, want.blue) && SameBits(got.alpha, want.alpha))
                    << "pixel " << x << "," << y;
            }
        }
    }
}

TEST_P(LayerConversion, StoreLayerFollowsThePerSampleRuleAndKeepsOtherChannels) {
    const auto [kind, format] = GetParam();
    const SampleDepth depth = DepthOf(format);
    std::mt19937 random(11);
    for (const int channels : {1, 2, 3, 4, 6}) {
        SCOPED_TRACE("channels " + std::to_string(channels));
        Image image = MakeImage(LAYER_WIDTH, LAYER_HEIGHT, channels, kind);
        for (std::size_t i = 0; i < image.SampleCount(); ++i) {
            SetSample(image, i, RandomSample(kind, random));
        }
        const Image before = image;
        testhost::Layer layer(format, LAYER_WIDTH, LAYER_HEIGHT);
        for (int y = 0; y < LAYER_HEIGHT; ++y) {
            for (int x = 0; x < LAYER_WIDTH; ++x) {
                // A quarter of the pixels grey, where the luma rule keeps the grey.
                const float red = RandomHost(depth, random);
                const bool grey = random() % 4 == 0;
                PutHost(layer, x, y,
                        {RandomHost(depth, random), red, grey ? red : RandomHost(depth, random),
                         grey ? red : RandomHost(depth, random)});
            }
        }
        StoreLayer(layer, depth, image);

        for (int y = 0; y < LAYER_HEIGHT; ++y) {
            for (int x = 0; x < LAYER_WIDTH; ++x) {
                const std::size_t base = (static_cast<std::size_t>(y) * LAYER_WIDTH + x) * channels;
                const HostValues p = GetHost(layer, x, y);
                const int colour = channels < 3 ? 1 : 3;
                const float want[3] = {channels < 3 ? LumaRule(p, depth) : p.red, p.green, p.blue};
                for (int c = 0; c < channels; ++c) {
                    const float expected =
                        c < colour ? HostToFileSample(want[c], depth, kind) : GetSample(before, base + c);
                    ASSERT_TRUE(SameBits(GetSample(image, base + c), expected))
                        << "pixel " << x << "," << y << " channel " << c << ": " << GetSample(image, base + c) << " vs "
                        << expected;
                }
            }
        }
    }
}

// Premultiplied colour reaches the layer divided by alpha and comes back
// multiplied by it: a clear pixel keeps its stored colour and an opaque one
// follows the straight rules, bit for bit; between them the round trip stays
// within the host's and the file's rounding.
TEST_P(LayerConversion, PremultipliedColourIsStraightInTheLayer) {
    const auto [kind, format] = GetParam();
    const SampleDepth depth = DepthOf(format);
    const float file_full = kind == SampleKind::INT8 ? 255.0f : kind == SampleKind::INT16 ? 65535.0f : 1.0f;
    const float host_full = depth == SampleDepth::INT8 ? 255.0f : depth == SampleDepth::INT16 ? 32768.0f : 1.0f;
    std::mt19937 random(13);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    Image image = MakeImage(LAYER_WIDTH, LAYER_HEIGHT, 4, kind);
    image.alpha_association = AlphaAssociation::kPremultiplied;
    for (std::size_t i = 0; i < image.SampleCount(); i += 4) {
        const float alpha = random() % 3 == 0 ? static_cast<float>(random() % 2) : unit(random);
        const float alpha_sample = kind == SampleKind::FLOAT32 ? alpha : std::round(alpha * file_full);
        for (int c = 0; c < 3; ++c) {
            SetSample(image, i + c,
                      kind == SampleKind::FLOAT32 ? unit(random) * alpha : std::floor(unit(random) * alpha_sample));
        }
        SetSample(image, i + 3, alpha_sample);
    }
    const Image before = image;
    testhost::Layer layer(format, LAYER_WIDTH, LAYER_HEIGHT);
    FillLayer(image, depth, layer);
    StoreLayer(layer, depth, image);  // the identity grade
    for (int y = 0; y < LAYER_HEIGHT; ++y) {
        for (int x = 0; x < LAYER_WIDTH; ++x) {
            const std::size_t base = (static_cast<std::size_t>(y) * LAYER_WIDTH + x) * 4;
            const float alpha = GetSample(before, base + 3) / file_full;
            const HostValues host = GetHost(layer, x, y);
            const float host_colour[3] = {host.red, host.green, host.blue};
            for (std::size_t c = 0; c < 3; ++c) {
                const float stored = GetSample(before, base + c), result = GetSample(image, base + c);
                if (alpha == 0.0f) {
                    ASSERT_TRUE(SameBits(result, stored)) << x << "," << y;
                } else if (alpha == 1.0f) {
                    ASSERT_TRUE(SameBits(host_colour[c], FileSampleToHost(kind, stored, depth))) << x << "," << y;
                    ASSERT_TRUE(SameBits(result, HostToFileSample(host_colour[c], depth, kind))) << x << "," << y;
                } else {
                    ASSERT_TRUE(SameBits(host_colour[c],
                                         FileSampleToHost(SampleKind::FLOAT32, stored / file_full / alpha, depth)))
                        << x << "," << y << " alpha " << alpha;
                    ASSERT_NEAR(result / file_full, stored / file_full,
                                alpha * 0.5f / host_full + 0.5f / file_full + 1e-6f)
                        << x << "," << y << " alpha " << alpha;
                }
            }
        }
    }
}

std::string PairName(const ::testing::TestParamInfo<Pair> &info) {
    static const char *const KINDS[] = {"file8", "file16", "fileFloat"};
    return std::string(KINDS[static_cast<int>(info.param.kind)]) + "_" + zonara_test::CaseOf(info.param.format).name;
}

INSTANTIATE_TEST_SUITE_P(EveryPair, LayerConversion, ::testing::ValuesIn([] {
                             std::vector<Pair> pairs;
                             for (SampleKind kind : {SampleKind::INT8, SampleKind::INT16, SampleKind::FLOAT32}) {
                                 for (const zonara_test::FormatCase &each : zonara_test::FORMAT_CASES) {
                                     pairs.push_back({kind, each.format});
                                 }
                             }
                             return pairs;
                         }()),
                         PairName);

}  // namespace
