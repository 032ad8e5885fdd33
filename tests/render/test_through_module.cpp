// The built module in the simulated hosts (After Effects and Premiere Pro,
// the host's own threaded iterate suites): random parameter sets against the
// reference, the editing host's unknown format, and guard zones intact.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "reference/reference_render.h"
#include "support/layer_bytes.h"
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

using zonara_test::FORMAT_CASES;

std::unique_ptr<testhost::Host> StartHost(HostApp app, int width, int height) {
    auto host = std::make_unique<testhost::Host>(testhost::Module::Load(testhost::DefaultModulePath()), app);
    host->frame().layer_width = width;
    host->frame().layer_height = height;
    EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
    return host;
}

std::vector<std::uint8_t> Pixels(const Layer &layer, PixelFormat format) {
    std::vector<std::uint8_t> bytes = zonara_test::LayerPixelBytes(layer);
    if (!zonara::TraitsOf(format).integer()) {
        // Colour NaNs compare by being NaN; see CanonicaliseColourNaNs. The
        // colours follow alpha in the alpha-first order, precede it in the
        // other.
        const int first_colour = zonara::TraitsOf(format).order == zonara::ChannelOrder::ARGB ? 1 : 0;
        for (std::size_t i = 0; i + 16 <= bytes.size(); i += 16) {
            for (int k = first_colour; k < first_colour + 3; ++k) {
                float v;
                std::memcpy(&v, &bytes[i + 4 * k], 4);
                if (std::isnan(v)) {
                    v = std::numeric_limits<float>::quiet_NaN();
                    std::memcpy(&bytes[i + 4 * k], &v, 4);
                }
            }
        }
    }
    return bytes;
}

TEST(ThroughModule, RandomParametersMatchTheReferenceInBothHosts) {
    std::mt19937 rng(99);
    const int width = 83, height = 61;
    for (const auto &f : FORMAT_CASES) {
        auto host = StartHost(f.app(), width, height);
        if (!f.CarriedBy(host->render_commands())) continue;
        for (int set = 0; set < 12; ++set) {
            Resolution res;
            RandomiseParams(host->params().array(), res, rng, width, height);
            host->frame().pixel_aspect_ratio = res.aspect;
            host->frame().downsample_x = res.down_x;
            host->frame().downsample_y = res.down_y;
            SCOPED_TRACE(std::string(f.name) + " set " + std::to_string(set) + ": " +
                         DescribeParams(host->params().array(), res));
            testhost::LayerOptions options;
            options.row_padding_bytes = 16;
            options.bottom_up = set % 3 == 1;
            Layer src(f.format, width, height, options);
            Layer dst(f.format, width, height, options);
            Layer expected(f.format, width, height, options);
            RandomisePixels(f.format, src.def(), rng);
            ASSERT_EQ(host->Render(src, dst), PF_Err_NONE);
            EXPECT_TRUE(dst.GuardsIntact());

            InData in;
            in.in_data.pixel_aspect_ratio = res.aspect;
            in.in_data.downsample_x = res.down_x;
            in.in_data.downsample_y = res.down_y;
            host->params().at(0).u.ld = src.def();
            reference::RenderFrame(in.in_data, host->params().array(), f.format, src.def(), expected.def(), height);
            ASSERT_TRUE(Pixels(dst, f.format) == Pixels(expected, f.format));
        }
        EXPECT_FALSE(host->exception_escaped());
    }
}

// The editing host's float frames are cut into bands of rows that the host's
// generic iteration renders on its threads. However the host treats those
// calls (all of them, none, some twice and others never, on one thread) and
// even without the suite, every pixel is rendered exactly once.
TEST(ThroughModule, FloatBandsRenderEveryRowOnceWhateverTheHostDoes) {
    struct HostBehaviour {
        const char *what;
        PF_Err generic_fails;
        bool erratic;
        int worker_threads;
        bool iterate8_refused;
        std::size_t expected_generic_calls;
    };
    constexpr HostBehaviour BEHAVIOURS[] = {
        {"every band on the host's threads", PF_Err_NONE, false, 0, false, 1},
        {"one thread", PF_Err_NONE, false, 1, false, 1},
        {"the generic iteration fails", PF_Err_OUT_OF_MEMORY, false, 0, false, 1},
        {"odd bands skipped, even bands called twice", PF_Err_NONE, true, 0, false, 1},
        {"no 8-bit iterate suite", PF_Err_NONE, false, 0, true, 0},
    };
    std::mt19937 rng(41);
    const int width = 37, height = 70;  // five bands of rows, the last one short
    for (const HostBehaviour &b : BEHAVIOURS) {
        SCOPED_TRACE(b.what);
        auto host = StartHost(HostApp::kPremiere, width, height);
        host->faults().iterate_fail_code = b.generic_fails;
        host->faults().generic_iteration_erratic = b.erratic;
        host->SetWorkerThreads(b.worker_threads);
        if (b.iterate8_refused) host->suites().Refuse(kPFIterate8Suite);
        Resolution res;
        RandomiseParams(host->params().array(), res, rng, width, height);
        // Rendered in place, as a host may: a band graded twice would show.
        Layer src(PixelFormat::BGRA32F, width, height), dst(PixelFormat::BGRA32F, width, height);
        Layer expected(PixelFormat::BGRA32F, width, height);
        std::mt19937 same_pixels = rng;
        RandomisePixels(PixelFormat::BGRA32F, src.def(), rng);
        RandomisePixels(PixelFormat::BGRA32F, dst.def(), same_pixels);
        host->frame().pixel_aspect_ratio = res.aspect;
        host->frame().downsample_x = res.down_x;
        host->frame().downsample_y = res.down_y;
        ASSERT_EQ(host->Render(dst, dst), PF_Err_NONE);
        EXPECT_TRUE(host->suites().BalancedSinceLastCommand());
        EXPECT_FALSE(host->exception_escaped());
        ASSERT_EQ(host->generic_iterations().size(), b.expected_generic_calls);
        if (b.expected_generic_calls != 0) {
            EXPECT_EQ(host->generic_iterations()[0], 5);
        }

        InData in;
        in.in_data.pixel_aspect_ratio = res.aspect;
        in.in_data.downsample_x = res.down_x;
        in.in_data.downsample_y = res.down_y;
        host->params().at(0).u.ld = src.def();
        reference::RenderFrame(in.in_data, host->params().array(), PixelFormat::BGRA32F, src.def(), expected.def(),
                               height);
        ASSERT_TRUE(Pixels(dst, PixelFormat::BGRA32F) == Pixels(expected, PixelFormat::BGRA32F));
    }
}

// Every bit, at every instruction-set level: a frame that grades nothing
// joins no two colours, so even a not-a-number keeps its sign and payload.
TEST(ThroughModule, DefaultsLeaveEveryPixelAsItWas) {
    std::mt19937 rng(5);
    const std::uint32_t nans[] = {0x7fc00123u, 0xffc00000u, 0x7f800001u};
    for (const auto &f : FORMAT_CASES) {
        auto host = StartHost(f.app(), 64, 48);
        if (!f.CarriedBy(host->render_commands())) continue;
        // Clamps off too, so that float values beyond 0..1 survive.
        host->params().at(zonara::PARAM_CLAMP_OUT_BLACK).u.bd.value = 0;
        host->params().at(zonara::PARAM_CLAMP_IN_BLACK).u.bd.value = 0;
        Layer src(f.format, 64, 48);
        RandomisePixels(f.format, src.def(), rng);
        if (f.format == PixelFormat::ARGB16) {
            // Only codes up to full scale are valid 16-bit input.
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x) {
                    auto &p = src.At<PF_Pixel16>(x, y);
                    for (A_u_short *c : {&p.alpha, &p.red, &p.green, &p.blue}) *c = std::min<A_u_short>(*c, 32768);
                }
        }
        if (f.format == PixelFormat::BGRA32F) {
            for (int x = 0; x < 64; x += 5) std::memcpy(&src.At<PF_PixelBGRA32f>(x, x % 48), &nans[x % 3], 4);
        }
        for (int level = 0; level <= static_cast<int>(DetectedSimdLevel()); ++level) {
            SCOPED_TRACE(std::string(f.name) + " at " + SimdLevelName(static_cast<SimdLevel>(level)));
            const SimdCap cap(static_cast<SimdLevel>(level));
            Layer dst(f.format, 64, 48);
            ASSERT_EQ(host->Render(src, dst), PF_Err_NONE);
            for (int y = 0; y < 48; ++y) {
                ASSERT_EQ(
                    std::memcmp(src.PixelAddress(0, y), dst.PixelAddress(0, y), 64 * reference::PixelBytes(f.format)),
                    0)
                    << "row " << y;
            }
        }
    }
}

TEST(ThroughModule, PremiereUnknownFormatReturns514AndLeavesTheOutput) {
    auto host = StartHost(HostApp::kPremiere, 16, 8);
    host->faults().reported_pixel_format = 0x41424344;
    Layer src(PixelFormat::BGRA8, 16, 8), dst(PixelFormat::BGRA8, 16, 8);
    std::mt19937 rng(1);
    RandomisePixels(PixelFormat::BGRA8, src.def(), rng);
    RandomisePixels(PixelFormat::BGRA8, dst.def(), rng);
    const auto before = Pixels(dst, PixelFormat::BGRA8);
    host->params().at(zonara::PARAM_IN_GAIN).u.fs_d.value = 2;
    EXPECT_EQ(host->Render(src, dst), PF_Err_UNRECOGNIZED_PARAM_TYPE);
    EXPECT_EQ(Pixels(dst, PixelFormat::BGRA8), before);
    EXPECT_TRUE(host->suites().BalancedSinceLastCommand());
}

TEST(ThroughModule, IterateFailureIsTheCommandsResult) {
    auto host = StartHost(HostApp::kAfterEffects, 16, 8);
    // The iterate suite walks PF_Cmd_RENDER's frames; the smart commands'
    // the effect walks itself.
    host->SetRenderCommands(testhost::RenderCommands::LEGACY);
    host->faults().iterate_fail_code = PF_Err_OUT_OF_MEMORY;
    Layer src(PixelFormat::ARGB8, 16, 8), dst(PixelFormat::ARGB8, 16, 8);
    EXPECT_EQ(host->Render(src, dst), PF_Err_OUT_OF_MEMORY);
    EXPECT_TRUE(host->suites().BalancedSinceLastCommand());
}

}  // namespace
