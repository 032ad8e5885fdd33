// Integer frames rendered in look-ahead runs must be the plain per-pixel
// result whatever order the host calls the pixels in: in order, in shuffled
// stretches, with pixels left out, or with the source changed under the walk
// after a run was made from it. Every instruction-set level this processor
// has, the three integer formats, windows with feather bands.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "reference/reference_render.h"
#include "render/frame/simd_level.h"
#include "support/host_render.h"
#include "support/pixel_formats.h"
#include "support/random_params.h"
#include "support/render_test_support.h"
#include "support/simd_cap.h"
#include "support/test_buffers.h"

namespace {

using namespace render_test;
using testhost::PixelWalk;

const char *WalkName(PixelWalk walk) {
    switch (walk) {
    case PixelWalk::IN_ORDER:
        return "in order";
    case PixelWalk::SHUFFLED:
        return "shuffled";
    case PixelWalk::SKIPPING:
        return "skipping";
    case PixelWalk::SOURCE_CHANGED_AHEAD:
        return "source changed ahead";
    }
    return "?";
}

TEST(LookAheadRuns, EveryWalkGetsThePlainResultAtEveryLevel) {
    std::mt19937 rng(1207);
    for (const zonara_test::FormatCase &f : zonara_test::FORMAT_CASES) {
        // Runs are the integer formats' only.
        if (!TraitsOf(f.format).integer()) continue;
        for (int set = 0; set < (f.format == PixelFormat::ARGB16 ? 2 : 6); ++set) {
            ParamSet params;
            Resolution unused;
            RandomiseParams(params.array(), unused, rng, f.width, f.height);
            // Runs serve frames whose weight matters: a feathered window
            // with both sides graded and saturated.
            params.Slider(PARAM_MIX, set % 3 == 0 ? 0.6 : 1.0)
                .Slider(PARAM_FEATHER, f.width / 4.0)
                .Slider(PARAM_IN_SATURATION, 1.4)
                .Slider(PARAM_OUT_SATURATION, 0.6 + 0.1 * set)
                .Popup(PARAM_COLOR_MODEL, COLOR_MODEL_CHOICES[set % ChoiceCount(COLOR_MODEL_CHOICES)].value);
            Buffer src(f.format, f.width, f.height, 8);
            src.Randomise(rng);
            Buffer start(f.format, f.width, f.height, 8);
            start.Randomise(rng);
            for (PixelWalk walk :
                 {PixelWalk::IN_ORDER, PixelWalk::SHUFFLED, PixelWalk::SKIPPING, PixelWalk::SOURCE_CHANGED_AHEAD}) {
                for (int level = 0; level <= static_cast<int>(DetectedSimdLevel()); ++level) {
                    SCOPED_TRACE(std::string(WalkName(walk)) + ", " + SimdLevelName(static_cast<SimdLevel>(level)) +
                                 ", set " + std::to_string(set) + ": " + DescribeParams(params.array(), unused));
                    Buffer walked_src(src), rendered(start), expected(start);
                    {
                        SimdCap cap(static_cast<SimdLevel>(level));
                        ASSERT_EQ(RenderThroughHost(params, walked_src, rendered, Resolution{}, walk), PF_Err_NONE);
                    }
                    // Each pixel is rendered from the source as it was at its
                    // call: the walk changes a pixel only before calling it.
                    InData in;
                    params.Input(walked_src.def);
                    reference::RenderFrame(in.in_data, params.array(), f.format, walked_src.def, expected.def,
                                           expected.def.height);
                    if (walk == PixelWalk::SKIPPING) {
                        for (int y = 0; y < f.height; ++y) {
                            for (int x = 0; x < f.width; ++x) {
                                if ((x + y) % 3 == 0) {
                                    std::memcpy(expected.Pixel(x, y), start.Pixel(x, y),
                                                reference::PixelBytes(f.format));
                                }
                            }
                        }
                    }
                    ASSERT_TRUE(rendered.SameBytes(expected)) << rendered.FirstDifference(expected);
                }
            }
        }
    }
}

}  // namespace
