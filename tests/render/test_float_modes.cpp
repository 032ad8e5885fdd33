// A host may call the effect on threads whose floating-point mode is not the
// standard one: flush-to-zero and denormals-are-zero set, or rounding
// upwards or downwards. The built module, in the simulated hosts with the
// command's thread and every worker in such a mode, must render every
// format at every instruction-set level to the bits of the standard mode,
// and hand every thread back in the mode it came in. The colours include
// the values those modes change: subnormals, -0 and the smallest normal.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "render/frame/simd_level.h"
#include "support/layer_bytes.h"
#include "support/levels.h"
#include "support/pixel_formats.h"
#include "support/random_params.h"
#include "support/render_test_support.h"
#include "support/simd_cap.h"
#include "support/test_buffers.h"
#include "testhost/core/host.h"

namespace {

using namespace render_test;
using testhost::HostApp;
using testhost::Layer;
using testhost::PixelFormat;
using testhost::ThreadFloatMode;

using zonara_test::FORMAT_CASES;
using zonara_test::FormatCase;

// Float colours a mode other than the standard one would change: the first
// rows are made of them, the rest stays random.
void PlantSpecialColours(Layer &layer) {
    const float specials[] = {
        FLT_TRUE_MIN, -FLT_TRUE_MIN,      1e-39f, -1e-39f, -0.0f, 0.0f, FLT_MIN, -FLT_MIN, FLT_MIN * 1.5f,
        1e-30f,       0.5f + FLT_EPSILON, 1.0f};
    constexpr int COUNT = sizeof specials / sizeof specials[0];
    for (int y = 0; y < 3 && y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            auto *pixel = static_cast<float *>(layer.PixelAddress(x, y));
            for (int k = 0; k < 3; ++k) pixel[k] = specials[(x + 5 * k + 7 * y) % COUNT];
        }
    }
}

TEST(FloatModes, EveryFormatAndLevelRendersAsInTheStandardMode) {
    std::mt19937 rng(2026);
    for (const FormatCase &f : FORMAT_CASES) {
        auto host = std::make_unique<testhost::Host>(testhost::Module::Load(testhost::DefaultModulePath()), f.app());
        host->frame().layer_width = f.width;
        host->frame().layer_height = f.height;
        ASSERT_EQ(host->GlobalSetup(), PF_Err_NONE);
        ASSERT_EQ(host->ParamsSetup(), PF_Err_NONE);
        if (!f.CarriedBy(host->render_commands())) continue;
        for (int set = 0; set < 3; ++set) {
            Resolution res;
            RandomiseParams(host->params().array(), res, rng, f.width, f.height);
            // Feather bands, gammas on both sides and saturation: every path
            // of the pixel stage, the general and the fixed-exponent powers.
            host->params().at(PARAM_FEATHER).u.fs_d.value = f.width / 3.0;
            host->params().at(PARAM_IN_GAMMA).u.fs_d.value = 1.7 + 0.2 * set;
            host->params().at(PARAM_OUT_GAMMA).u.fs_d.value = 0.6;
            host->params().at(PARAM_IN_SATURATION).u.fs_d.value = 1.3;
            host->params().at(PARAM_MIX).u.fs_d.value = set == 2 ? 0.7 : 1.0;
            Layer src(f.format, f.width, f.height);
            RandomisePixels(f.format, src.def(), rng);
            if (f.format == PixelFormat::BGRA32F) PlantSpecialColours(src);
            for (SimdLevel level : zonara_test::LevelsOfThisMachine()) {
                const SimdCap cap(level);
                std::vector<std::uint8_t> standard;
                for (ThreadFloatMode mode : testhost::ALL_THREAD_FLOAT_MODES) {
                    SCOPED_TRACE(std::string(f.name) + ", " + SimdLevelName(level) + ", " +
                                 testhost::ThreadFloatModeName(mode) + ", set " + std::to_string(set) + ": " +
                                 DescribeParams(host->params().array(), res));
                    host->faults().thread_float_mode = mode;
                    Layer dst(f.format, f.width, f.height);
                    ASSERT_EQ(host->Render(src, dst), PF_Err_NONE);
                    EXPECT_EQ(host->float_mode_changes(), 0);
                    if (mode == ThreadFloatMode::STANDARD) {
                        standard = zonara_test::LayerPixelBytes(dst);
                    } else {
                        // Compared as bytes: a not-a-number's sign and payload
                        // count too.
                        ASSERT_TRUE(zonara_test::LayerPixelBytes(dst) == standard);
                    }
                }
            }
        }
        host->faults().thread_float_mode = ThreadFloatMode::STANDARD;
    }
}

// The other commands compute too (geometry, drawing, dragging): whatever
// they do, the thread comes back in its own mode.
TEST(FloatModes, EveryCommandGivesTheThreadBackInItsMode) {
    for (ThreadFloatMode mode : testhost::ALL_THREAD_FLOAT_MODES) {
        SCOPED_TRACE(testhost::ThreadFloatModeName(mode));
        for (HostApp app : {HostApp::kAfterEffects, HostApp::kPremiere}) {
            testhost::Host host(testhost::Module::Load(testhost::DefaultModulePath()), app);
            host.faults().thread_float_mode = mode;
            ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
            EXPECT_EQ(host.float_mode_changes(), 0);
            ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
            EXPECT_EQ(host.float_mode_changes(), 0);
            ASSERT_EQ(host.About(), PF_Err_NONE);
            EXPECT_EQ(host.float_mode_changes(), 0);
        }
    }
}

}  // namespace
