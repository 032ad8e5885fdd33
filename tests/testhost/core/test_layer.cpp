// Host-allocated buffers: row addressing in both storage orders, padding,
// and the guard zones that catch writes outside the pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "testhost/core/layer.h"

namespace {

using testhost::Layer;
using testhost::LayerOptions;
using testhost::PixelFormat;

struct LayoutCase {
    PixelFormat format;
    int bytes_per_pixel;
    bool deep;
    int padding;
    bool bottom_up;
};

const LayoutCase LAYOUTS[] = {
    {PixelFormat::ARGB8, 4, false, 0, false},   {PixelFormat::ARGB8, 4, false, 12, true},
    {PixelFormat::ARGB16, 8, true, 0, true},    {PixelFormat::ARGB16, 8, true, 6, false},
    {PixelFormat::BGRA8, 4, false, 3, false},   {PixelFormat::BGRA8, 4, false, 0, true},
    {PixelFormat::BGRA32F, 16, false, 8, true}, {PixelFormat::BGRA32F, 16, false, 0, false},
};

std::string Describe(const LayoutCase &c) {
    return "bpp " + std::to_string(c.bytes_per_pixel) + " padding " + std::to_string(c.padding) +
           (c.bottom_up ? " bottom-up" : " top-down");
}

Layer MakeLayer(const LayoutCase &c, int width = 7, int height = 5) {
    LayerOptions options;
    options.row_padding_bytes = c.padding;
    options.bottom_up = c.bottom_up;
    return Layer(c.format, width, height, options);
}

TEST(Layer, DescribesItselfAsTheHostDoes) {
    for (const LayoutCase &c : LAYOUTS) {
        const Layer layer = MakeLayer(c);
        const PF_LayerDef &def = layer.def();
        const A_long stride = 7 * c.bytes_per_pixel + c.padding;
        EXPECT_EQ(def.rowbytes, c.bottom_up ? -stride : stride) << Describe(c);
        EXPECT_EQ(def.width, 7);
        EXPECT_EQ(def.height, 5);
        EXPECT_EQ((def.world_flags & PF_WorldFlag_DEEP) != 0, c.deep) << Describe(c);
        EXPECT_EQ(def.extent_hint.right, 7);
        EXPECT_EQ(def.extent_hint.bottom, 5);
        EXPECT_EQ(testhost::BytesPerPixel(c.format), static_cast<std::size_t>(c.bytes_per_pixel));
        // Row 0 is where data points; each next row is one rowbytes away, so
        // bottom-up storage puts row 0 highest in memory.
        const auto *row0 = static_cast<const std::uint8_t *>(layer.PixelAddress(0, 0));
        EXPECT_EQ(row0, reinterpret_cast<const std::uint8_t *>(def.data));
        EXPECT_EQ(static_cast<const std::uint8_t *>(layer.PixelAddress(2, 3)),
                  row0 + 3 * def.rowbytes + 2 * c.bytes_per_pixel);
        EXPECT_EQ(row0 > static_cast<const std::uint8_t *>(layer.PixelAddress(0, 4)), c.bottom_up) << Describe(c);
    }
}

TEST(Layer, PixelsStartAtZeroAndFillingThemKeepsTheGuards) {
    for (const LayoutCase &c : LAYOUTS) {
        Layer layer = MakeLayer(c);
        for (int y = 0; y < layer.height(); ++y) {
            auto *row = static_cast<std::uint8_t *>(layer.PixelAddress(0, y));
            for (int i = 0; i < 7 * c.bytes_per_pixel; ++i) {
                EXPECT_EQ(row[i], 0) << Describe(c);
            }
            std::memset(row, 0xFF, static_cast<std::size_t>(7 * c.bytes_per_pixel));
        }
        EXPECT_TRUE(layer.GuardsIntact()) << Describe(c);
    }
}

enum class Poke { kBeforeBlock, kAfterBlock, kRowPadding, kFarBefore, kFarAfter };

TEST(Layer, AnyWriteOutsideThePixelsIsCaught) {
    const Poke pokes[] = {Poke::kBeforeBlock, Poke::kAfterBlock, Poke::kRowPadding, Poke::kFarBefore, Poke::kFarAfter};
    for (const LayoutCase &c : LAYOUTS) {
        for (Poke poke : pokes) {
            if (poke == Poke::kRowPadding && c.padding == 0) {
                continue;
            }
            Layer layer = MakeLayer(c);
            const int stride = 7 * c.bytes_per_pixel + c.padding;
            // The lowest-addressed stored row, whichever row number it has.
            auto *lowest = static_cast<std::uint8_t *>(layer.PixelAddress(0, c.bottom_up ? 4 : 0));
            std::uint8_t *target = nullptr;
            switch (poke) {
            case Poke::kBeforeBlock:
                target = lowest - 1;
                break;
            case Poke::kAfterBlock:
                target = lowest + 5 * stride;
                break;
            case Poke::kRowPadding:
                target = static_cast<std::uint8_t *>(layer.PixelAddress(7, 2));
                break;
            case Poke::kFarBefore:
                target = lowest - testhost::LAYER_GUARD_BYTES;
                break;
            case Poke::kFarAfter:
                target = lowest + 5 * stride + testhost::LAYER_GUARD_BYTES - 1;
                break;
            }
            *target = static_cast<std::uint8_t>(*target ^ 0x01);
            EXPECT_FALSE(layer.GuardsIntact()) << Describe(c) << " poke " << static_cast<int>(poke);
        }
    }
}

TEST(Layer, MovingKeepsThePixels) {
    Layer first(PixelFormat::ARGB8, 3, 2);
    first.At<PF_Pixel>(2, 1).green = 77;
    void *data = first.def().data;
    Layer second = std::move(first);
    EXPECT_EQ(second.def().data, data);
    EXPECT_EQ(second.At<PF_Pixel>(2, 1).green, 77);
    EXPECT_TRUE(second.GuardsIntact());
}

TEST(Layer, RefusesSizesThatCannotBeLaidOut) {
    LayerOptions odd_padding;
    odd_padding.row_padding_bytes = 2;
    LayerOptions negative_padding;
    negative_padding.row_padding_bytes = -4;
    EXPECT_THROW(Layer(PixelFormat::ARGB8, -1, 4), std::invalid_argument);
    EXPECT_THROW(Layer(PixelFormat::ARGB8, 4, -1), std::invalid_argument);
    EXPECT_THROW(Layer(PixelFormat::BGRA32F, 4, 4, odd_padding), std::invalid_argument);
    EXPECT_THROW(Layer(PixelFormat::ARGB8, 4, 4, negative_padding), std::invalid_argument);
    EXPECT_NO_THROW(Layer(PixelFormat::ARGB16, 4, 4, odd_padding));
    EXPECT_TRUE(Layer(PixelFormat::ARGB8, 0, 0).GuardsIntact());
}

}  // namespace

namespace {

// A pixel written by value lands in memory in the format's own channel order
// and width, and reads back the same.
TEST(LayerPixels, PutAndGetInEveryFormatsOwnOrder) {
    const testhost::PixelValue value{200, 10, 20, 30};
    struct Case {
        PixelFormat format;
        std::vector<double> memory;  // channels as stored, first to last
    };
    // clang-format off
    const Case cases[] = {
        {PixelFormat::ARGB8, {200, 10, 20, 30}},
        {PixelFormat::ARGB16, {200, 10, 20, 30}},
        {PixelFormat::BGRA8, {30, 20, 10, 200}},
        {PixelFormat::BGRA32F, {30, 20, 10, 200}},
        {PixelFormat::ARGB32F, {200, 10, 20, 30}},
    };
    // clang-format on
    for (const Case &c : cases) {
        Layer layer(c.format, 3, 2, LayerOptions{.row_padding_bytes = 4, .bottom_up = true});
        layer.PutPixel(2, 1, value);
        EXPECT_EQ(layer.GetPixel(2, 1), value);
        EXPECT_EQ(layer.GetPixel(1, 1), testhost::PixelValue{}) << "only that pixel";
        const auto *bytes = static_cast<const std::uint8_t *>(layer.PixelAddress(2, 1));
        for (std::size_t k = 0; k < 4; ++k) {
            double stored = 0;
            switch (c.format) {
            case PixelFormat::ARGB8:
            case PixelFormat::BGRA8:
                stored = bytes[k];
                break;
            case PixelFormat::ARGB16:
                stored = reinterpret_cast<const std::uint16_t *>(bytes)[k];
                break;
            case PixelFormat::BGRA32F:
            case PixelFormat::ARGB32F:
                stored = reinterpret_cast<const float *>(bytes)[k];
                break;
            }
            EXPECT_EQ(stored, c.memory[k]) << "channel " << k;
        }
        EXPECT_TRUE(layer.GuardsIntact());
    }
}

}  // namespace
