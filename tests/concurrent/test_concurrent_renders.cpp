// The effect declares threaded rendering, so a host may send it several
// renders at once while its main thread sends overlay events. The simulated
// hosts do exactly that here with the built module: renders in all four
// pixel formats, each with its own parameter values, size, resolution and
// buffer layout, on four threads whose iterate suites walk on three threads
// each, while draws, clicks and drags go to both hosts on the main thread.
// Every frame must come out bit for bit as the same render sent alone, and
// every suite and pen must be given back. Built with ThreadSanitizer (the
// tsan preset), the same run shows any state that frames share.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "params/param_index.h"
#include "support/layer_bytes.h"
#include "support/pixel_formats.h"
#include "support/random_params.h"
#include "support/test_buffers.h"
#include "testhost/drawing/event_overlay.h"
#include "testhost/threads/render_threads.h"

namespace {

using testhost::Host;
using testhost::HostApp;
using testhost::Layer;
using testhost::PixelFormat;

constexpr int RENDER_THREADS = 4;
constexpr int ITERATE_THREADS = 3;
constexpr int ROUNDS = 6;        // renders of each format
constexpr int EVENT_ROUNDS = 6;  // draws and gestures per host

using zonara_test::FORMAT_CASES;
using zonara_test::FormatCase;

std::unique_ptr<Host> StartHost(const std::shared_ptr<const testhost::Module> &module, HostApp app) {
    auto host = std::make_unique<Host>(module, app);
    EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
    return host;
}

struct Frame {
    std::string what;
    Layer src, dst, expected;
};

// A render of `format` with random values, size and layout: its request
// and the frame it renders, whose expected pixels are rendered alone first.
testhost::RenderJob MakeJob(Host &host, const FormatCase &f, int round, std::mt19937 &rng,
                            std::vector<std::unique_ptr<Frame>> &frames) {
    // Most frames large enough for the per-frame tables, look-ahead runs
    // and float bands, some of a single row or column.
    const int width = round == 0 ? 1 : std::uniform_int_distribution<int>(40, 130)(rng);
    const int height = round == 1 ? 1 : std::uniform_int_distribution<int>(40, 90)(rng);
    testhost::RenderJob job{&host, {}};
    testhost::RenderRequest &request = job.request;
    for (int i = 0; i < host.params().size(); ++i) request.params.push_back(host.params().at(i));
    std::vector<PF_ParamDef *> values;
    for (PF_ParamDef &def : request.params) values.push_back(&def);
    render_test::Resolution res;
    render_test::RandomiseParams(values.data(), res, rng, width, height);
    request.frame.layer_width = width;
    request.frame.layer_height = height;
    request.frame.pixel_aspect_ratio = res.aspect;
    request.frame.downsample_x = res.down_x;
    request.frame.downsample_y = res.down_y;
    request.frame.current_time = round;

    testhost::LayerOptions options;
    options.row_padding_bytes = round % 2 == 0 ? 0 : 16;
    options.bottom_up = round % 3 == 1;
    auto frame = std::make_unique<Frame>(
        Frame{std::string(f.name) + " round " + std::to_string(round) + ", " + std::to_string(width) + "x" +
                  std::to_string(height) + ": " + render_test::DescribeParams(values.data(), res),
              Layer(f.format, width, height, options), Layer(f.format, width, height, options),
              Layer(f.format, width, height, options)});
    render_test::RandomisePixels(f.format, frame->src.def(), rng);

    // The same render sent alone, through the host's own commands.
    for (int i = 1; i < host.params().size(); ++i) host.params().at(i) = request.params[static_cast<std::size_t>(i)];
    host.frame() = request.frame;
    EXPECT_EQ(host.Render(frame->src, frame->expected), PF_Err_NONE) << frame->what;

    request.src = &frame->src;
    request.dst = &frame->dst;
    frames.push_back(std::move(frame));
    return job;
}

// The window upright, 1000 x 600 about the centre of a 1920 x 1080 layer,
// whose bottom-right corner handle the gestures drag out and back.
void PlaceWindowForGestures(Host &host) {
    host.frame() = testhost::FrameSetup{};
    host.params().at(zonara::PARAM_ANGLE).u.ad.value = 0;
    host.params().at(zonara::PARAM_WIDTH).u.fs_d.value = 1000;
    host.params().at(zonara::PARAM_HEIGHT).u.fs_d.value = 600;
    host.params().at(zonara::PARAM_ORIGIN).u.td.x_value = 960 << 16;
    host.params().at(zonara::PARAM_ORIGIN).u.td.y_value = 540 << 16;
}

// Draws, clicks and drags in the composition view, every suite and pen
// given back; returns how many drags the effect asked for.
int SendOverlayEvents(testhost::OverlayEvents &overlay) {
    int drags = 0;
    for (int i = 0; i < EVENT_ROUNDS; ++i) {
        const testhost::DrawOutcome draw = overlay.Draw();
        EXPECT_EQ(draw.result, PF_Err_NONE);
        EXPECT_EQ(draw.unbalanced_suites, std::vector<std::string>{});
        EXPECT_EQ(draw.objects.live(), 0) << "pens and paths not given back";
        EXPECT_GT(draw.objects.strokes, 0);
        EXPECT_EQ(draw.misuse, std::vector<std::string>{});
        const PF_Point corner{1460, 840}, further{1500, 880};
        for (const auto &[from, to] : {std::pair{corner, further}, std::pair{further, corner}}) {
            for (const testhost::EventOutcome &event : overlay.Gesture(from, to, 3)) {
                EXPECT_EQ(event.result, PF_Err_NONE);
                EXPECT_EQ(event.unbalanced_suites, std::vector<std::string>{});
                drags += event.e_type == PF_Event_DRAG ? 1 : 0;
            }
        }
    }
    return drags;
}

TEST(ConcurrentRenders, EveryFrameAsRenderedAloneWhileTheMainThreadSendsEvents) {
    const auto module = testhost::Module::Load(testhost::DefaultModulePath());
    auto after_effects = StartHost(module, HostApp::kAfterEffects);
    auto premiere = StartHost(module, HostApp::kPremiere);
    ASSERT_NE(after_effects->last_out_data().out_flags2 & PF_OutFlag2_SUPPORTS_THREADED_RENDERING, 0);

    std::mt19937 rng(2022);
    std::vector<std::unique_ptr<Frame>> frames;
    std::vector<testhost::RenderJob> jobs;
    // A format's renders one after the other in the list, so that the
    // threads run several of the same format at once, and of two formats
    // where one's renders give way to the next one's.
    for (const FormatCase &f : FORMAT_CASES) {
        if (!f.CarriedBy(after_effects->render_commands())) continue;
        for (int round = 0; round < ROUNDS; ++round) {
            jobs.push_back(MakeJob(f.app() == HostApp::kPremiere ? *premiere : *after_effects, f, round, rng, frames));
        }
    }

    PlaceWindowForGestures(*after_effects);
    PlaceWindowForGestures(*premiere);
    testhost::OverlayEvents ae_overlay(*after_effects, testhost::View{});
    testhost::OverlayEvents premiere_overlay(*premiere, testhost::View{});
    int drags = 0;
    testhost::RenderThreads threads(RENDER_THREADS, ITERATE_THREADS);
    const std::vector<testhost::RenderOutcome> outcomes = threads.Run(jobs, [&] {
        drags += SendOverlayEvents(ae_overlay);
        drags += SendOverlayEvents(premiere_overlay);
    });
    EXPECT_GT(drags, 0) << "the gestures never took the corner";

    ASSERT_EQ(outcomes.size(), jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const Frame &frame = *frames[i];
        SCOPED_TRACE(frame.what);
        EXPECT_EQ(outcomes[i].result, PF_Err_NONE);
        EXPECT_FALSE(outcomes[i].exception_escaped);
        EXPECT_EQ(outcomes[i].unbalanced_suites, std::vector<std::string>{});
        EXPECT_GT(outcomes[i].suites_acquired, 0);
        EXPECT_TRUE(frame.dst.GuardsIntact());
        EXPECT_TRUE(zonara_test::LayerPixelBytes(frame.dst) == zonara_test::LayerPixelBytes(frame.expected))
            << "differs from the render sent alone";
    }
    EXPECT_TRUE(after_effects->suites().BalancedSinceLastCommand());
    EXPECT_TRUE(premiere->suites().BalancedSinceLastCommand());
}

// A host sends renders alongside each other only to an effect that declared
// it can take them.
TEST(ConcurrentRenders, RefusedToAnEffectThatDidNotDeclareThreadedRendering) {
    Host host(testhost::EffectFunction(
                  [](PF_Cmd, PF_InData *, PF_OutData *, PF_ParamDef **, PF_LayerDef *, void *) { return PF_Err_NONE; }),
              HostApp::kAfterEffects);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    Layer src(PixelFormat::ARGB8, 4, 4), dst(PixelFormat::ARGB8, 4, 4);
    testhost::RenderRequest request{&src, &dst, std::vector<PF_ParamDef>(1), {}};
    testhost::WorkerPool pool(0);
    EXPECT_THROW(host.RenderAlongside(request, pool), std::logic_error);
}

}  // namespace
