// Worlds handed over for a part of a frame, and the compositing host's float
// frames: each against the whole frame and the editing host's float frames,
// bit for bit, at every level.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "reference/reference_render.h"
#include "support/host_render.h"
#include "support/levels.h"
#include "support/pixel_formats.h"
#include "support/simd_cap.h"

namespace {

using namespace render_test;

// A part of `whole` as a world of its own: rows as far apart as the whole's.
void NarrowTo(Buffer &whole, int x, int y, int width, int height) {
    whole.def.data = reinterpret_cast<PF_PixelPtr>(whole.Pixel(x, y));
    whole.def.width = width;
    whole.def.height = height;
    whole.def.extent_hint = {0, 0, width, height};
}

// The whole layer's frame starts at (left, top); the part at (x, y) in it.
struct PartCase {
    const char *name;
    int left, top, x, y;
    testhost::PixelWalk walk;
    zonara::IntegerWalk integer_walk = zonara::IntegerWalk::HOST_ITERATE;
};
constexpr PartCase PART_CASES[] = {
    {"the layer's corner", 0, 0, 0, 0, testhost::PixelWalk::IN_ORDER},
    {"inside the layer", 0, 0, 11, 7, testhost::PixelWalk::IN_ORDER},
    {"inside, walked shuffled", 0, 0, 5, 9, testhost::PixelWalk::SHUFFLED},
    {"a layer grown left and up", -19, -13, 0, 0, testhost::PixelWalk::IN_ORDER},
    {"across the layer's corner", -19, -13, 8, 6, testhost::PixelWalk::IN_ORDER},
    {"inside, the effect's own rows", 0, 0, 11, 7, testhost::PixelWalk::IN_ORDER, zonara::IntegerWalk::OWN_ROWS},
    {"across the corner, own rows", -19, -13, 8, 6, testhost::PixelWalk::IN_ORDER, zonara::IntegerWalk::OWN_ROWS},
};

TEST(RenderWorlds, APartWithItsOriginGivesThatPartOfTheWholeFrame) {
    std::mt19937 rng(3107);
    for (const zonara_test::FormatCase &f : zonara_test::FORMAT_CASES) {
        for (const PartCase &c : PART_CASES) {
            const int width = f.width + 19, height = f.height + 13;
            ParamSet params;
            Resolution res;
            RandomiseParams(params.array(), res, rng, width, height);
            params.Slider(PARAM_FEATHER, width / 3.0);
            SCOPED_TRACE(std::string(f.name) + ", " + c.name + ": " + DescribeParams(params.array(), res));
            Buffer src(f.format, width, height, 16), start(f.format, width, height, 16);
            src.Randomise(rng);
            start.Randomise(rng);
            InData in;
            in.in_data.pixel_aspect_ratio = res.aspect;
            in.in_data.downsample_x = res.down_x;
            in.in_data.downsample_y = res.down_y;
            Buffer expected(start), want(start);
            reference::RenderFrame(in.in_data, params.Input(src.def).array(), f.format, src.def, expected.def, height,
                                   c.left, c.top);
            const int pixel = reference::PixelBytes(f.format);
            for (int y = c.y; y < c.y + f.height; ++y)
                std::memcpy(want.Pixel(c.x, y), expected.Pixel(c.x, y), f.width * pixel);
            for (zonara::SimdLevel level : zonara_test::LevelsOfThisMachine()) {
                SCOPED_TRACE(zonara::SimdLevelName(level));
                const SimdCap cap(level);
                Buffer whole(start), part(start), part_src(src);
                ASSERT_EQ(RenderThroughHost(params, src, whole, res, c.walk, zonara::WorldOrigin{c.left, c.top},
                                            c.integer_walk),
                          PF_Err_NONE);
                ASSERT_TRUE(whole.SameBytes(expected)) << "the whole frame, " << whole.FirstDifference(expected);
                NarrowTo(part_src, c.x, c.y, f.width, f.height);
                NarrowTo(part, c.x, c.y, f.width, f.height);
                ASSERT_EQ(RenderThroughHost(params, part_src, part, res, c.walk,
                                            zonara::WorldOrigin{c.left + c.x, c.top + c.y}, c.integer_walk),
                          PF_Err_NONE);
                ASSERT_TRUE(part.SameBytes(want)) << "the part, " << part.FirstDifference(want);
            }
        }
    }
}

// The same values in both float orders: beyond 0..1, infinite and not a
// number (the random pixels), clamps on and off, a feather band over most
// rows and a width that leaves each level's last group short.
TEST(RenderWorlds, ArgbFloatGivesTheBgraFloatBitsChannelForChannel) {
    // Both buffers laid out alike, padding a whole pixel: ARGB's channel k
    // is BGRA's 3 - k.
    const auto to_argb = [](const Buffer &bgra, Buffer &argb) {
        for (std::size_t i = 0; i < bgra.bytes.size(); i += 4) {
            std::memcpy(&argb.bytes[i], &bgra.bytes[i - i % 16 + 12 - i % 16], 4);
        }
    };
    std::mt19937 rng(77);
    const int width = 37, height = 70;
    for (int set = 0; set < 6; ++set) {
        ParamSet params;
        Resolution res;
        RandomiseParams(params.array(), res, rng, width, height);
        params.Slider(PARAM_FEATHER, set * 9.0)
            .Checkbox(PARAM_CLAMP_IN_BLACK, set % 2)
            .Checkbox(PARAM_CLAMP_OUT_BLACK, set % 3 == 0);
        SCOPED_TRACE("set " + std::to_string(set) + ": " + DescribeParams(params.array(), res));
        Buffer bgra_src(PixelFormat::BGRA32F, width, height, 16 * (set % 2), set % 3 == 1);
        Buffer argb_src(PixelFormat::ARGB32F, width, height, 16 * (set % 2), set % 3 == 1);
        bgra_src.Randomise(rng);
        to_argb(bgra_src, argb_src);
        for (zonara::SimdLevel level : zonara_test::LevelsOfThisMachine()) {
            SCOPED_TRACE(zonara::SimdLevelName(level));
            const SimdCap cap(level);
            Buffer bgra(bgra_src), argb(argb_src), bgra_as_argb(argb_src);
            const zonara::WorldOrigin origin{-3 * set, 5 - set};
            ASSERT_EQ(RenderThroughHost(params, bgra_src, bgra, res, testhost::PixelWalk::IN_ORDER, origin),
                      PF_Err_NONE);
            ASSERT_EQ(RenderThroughHost(params, argb_src, argb, res, testhost::PixelWalk::IN_ORDER, origin),
                      PF_Err_NONE);
            to_argb(bgra, bgra_as_argb);
            ASSERT_TRUE(argb.SameBytes(bgra_as_argb)) << argb.FirstDifference(bgra_as_argb);
        }
    }
}

}  // namespace
