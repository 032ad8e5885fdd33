// The built module through the smart commands, as the simulated host sends
// them: the same bits as PF_Cmd_RENDER, the protocol's answers, and the
// host's faults, with every checkout, suite and world accounted for.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "support/layer_bytes.h"
#include "support/pixel_formats.h"
#include "support/random_params.h"
#include "support/test_buffers.h"
#include "testhost/core/host.h"

namespace {

using testhost::Host;
using testhost::HostApp;
using testhost::Layer;
using testhost::RenderCommands;
using zonara_test::FORMAT_CASES;

std::unique_ptr<Host> StartHost(HostApp app, int width, int height) {
    auto host = std::make_unique<Host>(testhost::Module::Load(testhost::DefaultModulePath()), app);
    host->frame().layer_width = width;
    host->frame().layer_height = height;
    EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
    // Whatever this program's run asks of the host by default.
    host->SetRenderCommands(RenderCommands::SMART);
    return host;
}

void ExpectBooksBalanced(const Host &host) {
    EXPECT_TRUE(host.suites().BalancedSinceLastCommand());
    EXPECT_EQ(host.UnbalancedCheckouts(), std::vector<std::string>{});
    EXPECT_FALSE(host.exception_escaped());
}

// Every format the legacy path renders, graded with random settings, in
// plain and in padded bottom-up buffers: the smart commands give its bits.
TEST(SmartCommands, GiveTheBitsOfTheLegacyRender) {
    std::mt19937 rng(23);
    const int width = 41, height = 29;
    for (const auto &f : FORMAT_CASES) {
        const bool legacy_renders = zonara::TraitsOf(f.format).integer() || f.app() == HostApp::kPremiere;
        if (!legacy_renders) continue;
        for (const testhost::LayerOptions &options :
             {testhost::LayerOptions{}, testhost::LayerOptions{.row_padding_bytes = 48, .bottom_up = true}}) {
            SCOPED_TRACE(std::string(f.name) + (options.bottom_up ? " padded bottom-up" : " plain"));
            auto host = StartHost(f.app(), width, height);
            ASSERT_EQ(host->render_commands(), RenderCommands::SMART);
            render_test::Resolution res;
            render_test::RandomiseParams(host->params().array(), res, rng, width, height);
            host->frame().pixel_aspect_ratio = res.aspect;
            Layer src(f.format, width, height, options), legacy(f.format, width, height, options),
                smart(f.format, width, height, options);
            render_test::RandomisePixels(f.format, src.def(), rng);
            host->SetRenderCommands(RenderCommands::LEGACY);
            ASSERT_EQ(host->Render(src, legacy), PF_Err_NONE);
            host->SetRenderCommands(RenderCommands::SMART);
            ASSERT_EQ(host->Render(src, smart), PF_Err_NONE);
            ExpectBooksBalanced(*host);
            EXPECT_EQ(host->last_pre_renders().size(), f.app() == HostApp::kPremiere ? 2u : 1u);
            EXPECT_TRUE(zonara_test::LayerPixelBytes(smart) == zonara_test::LayerPixelBytes(legacy));
            EXPECT_TRUE(smart.GuardsIntact());
        }
    }
}

// Pre-render's answers: the part of the request the layer holds, the whole
// layer as the most, the layer's solidity; a record hung for render each
// time, freed by the host whether render follows or not.
TEST(SmartCommands, PreRenderAnswersThePartOfTheRequestTheLayerHolds) {
    struct Case {
        const char *what;
        PF_LRect layer;  // where src lies
        bool opaque;
        PF_LRect request;
        int times;
        PF_LRect expected;
    };
    const Case cases[] = {
        {"inside", {0, 0, 20, 10}, true, {2, 3, 12, 8}, 1, {2, 3, 12, 8}},
        {"reaching outside", {0, 0, 20, 10}, false, {-5, 4, 30, 40}, 1, {0, 4, 20, 10}},
        {"negative layer origin", {-7, -4, 13, 6}, true, {-10, -10, 0, 0}, 1, {-7, -4, 0, 0}},
        {"empty request: the bounds only", {0, 0, 20, 10}, true, {5, 5, 5, 9}, 1, {0, 0, 0, 0}},
        {"twice before any render", {0, 0, 20, 10}, true, {1, 1, 4, 4}, 2, {1, 1, 4, 4}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto host = StartHost(HostApp::kAfterEffects, 20, 10);
        Layer src(PixelFormat::ARGB8, c.layer.right - c.layer.left, c.layer.bottom - c.layer.top);
        src.SetOrigin(c.layer.left, c.layer.top);
        src.SetSolid(c.opaque);
        const auto answers = host->PreRenderOnly(src, c.request, c.times);
        ASSERT_EQ(answers.size(), static_cast<std::size_t>(c.times));
        for (const testhost::PreRenderAnswer &a : answers) {
            EXPECT_EQ(a.result, PF_Err_NONE);
            EXPECT_EQ(std::memcmp(&a.result_rect, &c.expected, sizeof c.expected), 0);
            EXPECT_EQ(std::memcmp(&a.max_result_rect, &c.layer, sizeof c.layer), 0);
            EXPECT_EQ(a.solid, c.opaque);
            EXPECT_TRUE(a.data_hung);
        }
        ExpectBooksBalanced(*host);
    }
}

// A part of the frame: the output world is that part of dst, graded as the
// same pixels of the whole frame; what lies outside the layer is left alone.
TEST(SmartCommands, RegionsAreGradedAsTheWholeFrameGradesThem) {
    struct Case {
        const char *what;
        PF_LRect layer;
        PF_LRect dst;      // where dst lies, and the request unless given
        PF_LRect request;  // empty: dst's rectangle
    };
    const Case cases[] = {
        {"top-left part", {0, 0, 30, 20}, {0, 0, 11, 7}, {}},
        {"inner part", {0, 0, 30, 20}, {9, 5, 25, 17}, {}},
        {"reaching outside the layer", {0, 0, 30, 20}, {20, 12, 40, 26}, {}},
        {"layer grown left and up", {-6, -3, 24, 17}, {-6, -3, 10, 8}, {}},
        // The input then reaches left of and above the output.
        {"asked for more than dst holds", {0, 0, 30, 20}, {9, 5, 25, 17}, {4, 2, 25, 17}},
    };
    std::mt19937 rng(5);
    for (const auto &f : FORMAT_CASES) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(f.name) + ": " + c.what);
            auto host = StartHost(f.app(), 30, 20);
            host->params().at(zonara::PARAM_IN_GAIN).u.fs_d.value = 1.7;
            host->params().at(zonara::PARAM_OUT_SATURATION).u.fs_d.value = 0.3;
            const int w = c.layer.right - c.layer.left, h = c.layer.bottom - c.layer.top;
            Layer src(f.format, w, h), whole(f.format, w, h);
            src.SetOrigin(c.layer.left, c.layer.top);
            whole.SetOrigin(c.layer.left, c.layer.top);
            render_test::RandomisePixels(f.format, src.def(), rng);
            ASSERT_EQ(host->Render(src, whole), PF_Err_NONE);
            Layer part(f.format, c.dst.right - c.dst.left, c.dst.bottom - c.dst.top, {.row_padding_bytes = 16});
            part.SetOrigin(c.dst.left, c.dst.top);
            const bool own_request = c.request.right > c.request.left;
            ASSERT_EQ(own_request ? host->RenderRegion(src, part, c.request) : host->Render(src, part), PF_Err_NONE);
            ExpectBooksBalanced(*host);
            EXPECT_TRUE(part.GuardsIntact());
            const std::size_t bytes = testhost::BytesPerPixel(f.format);
            for (int y = c.dst.top; y < c.dst.bottom; ++y)
                for (int x = c.dst.left; x < c.dst.right; ++x) {
                    const void *got = part.PixelAddress(x - c.dst.left, y - c.dst.top);
                    const bool in_layer =
                        x >= c.layer.left && x < c.layer.right && y >= c.layer.top && y < c.layer.bottom;
                    const std::vector<std::uint8_t> zero(bytes, 0);
                    const void *want = in_layer ? whole.PixelAddress(x - c.layer.left, y - c.layer.top) : zero.data();
                    ASSERT_EQ(std::memcmp(got, want, bytes), 0) << "layer pixel " << x << ", " << y;
                }
        }
    }
}

// The host's faults: an error code, nothing written, everything given back.
TEST(SmartCommands, HostFaultsAreAnsweredWithAnErrorAndLeaveTheOutput) {
    constexpr PF_Err REFUSED = PF_Err_OUT_OF_MEMORY;
    struct Case {
        const char *what;
        void (*inject)(Host &);
        PF_Err expected;
    };
    const Case cases[] = {
        {"input checkout refused", [](Host &h) { h.faults().checkout_layer_fail_code = REFUSED; }, REFUSED},
        {"input pixels refused", [](Host &h) { h.faults().checkout_layer_pixels_fail_code = REFUSED; }, REFUSED},
        {"output refused", [](Host &h) { h.faults().checkout_output_fail_code = REFUSED; }, REFUSED},
        {"no output world", [](Host &h) { h.faults().null_output_world = true; }, PF_Err_BAD_CALLBACK_PARAM},
        {"no world suite", [](Host &h) { h.suites().Refuse(kPFWorldSuite); }, PF_Err_BAD_CALLBACK_PARAM},
        {"unknown world format", [](Host &h) { h.faults().reported_world_format = 0x41424344; },
         PF_Err_UNRECOGNIZED_PARAM_TYPE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto host = StartHost(HostApp::kAfterEffects, 16, 8);
        host->params().at(zonara::PARAM_IN_GAIN).u.fs_d.value = 2;
        c.inject(*host);
        Layer src(PixelFormat::ARGB8, 16, 8), dst(PixelFormat::ARGB8, 16, 8);
        std::mt19937 rng(3);
        render_test::RandomisePixels(PixelFormat::ARGB8, src.def(), rng);
        render_test::RandomisePixels(PixelFormat::ARGB8, dst.def(), rng);
        const auto before = zonara_test::LayerPixelBytes(dst);
        EXPECT_EQ(host->Render(src, dst), c.expected);
        EXPECT_TRUE(zonara_test::LayerPixelBytes(dst) == before);
        EXPECT_TRUE(dst.GuardsIntact());
        ExpectBooksBalanced(*host);
    }
}

// The host's books catch an effect that keeps what it checked out.
TEST(SmartCommands, HostBooksCatchWhatAnEffectKeeps) {
    using Effect = PF_Err (*)(PF_Cmd, PF_InData *, PF_ParamDef **, void *);
    static int datum = 0;
    struct Case {
        const char *what;
        Effect effect;
        std::string problem;
    };
    const Case cases[] = {
        {"a value kept",
         [](PF_Cmd cmd, PF_InData *in, PF_ParamDef **, void *) -> PF_Err {
             PF_ParamDef def;
             if (cmd != PF_Cmd_SMART_PRE_RENDER) return PF_Err_NONE;
             return in->inter.checkout_param(in->effect_ref, 0, in->current_time, in->time_step, in->time_scale, &def);
         },
         "pre-render: 1 parameter values not checked in"},
        {"a value for another time",
         [](PF_Cmd cmd, PF_InData *in, PF_ParamDef **, void *) -> PF_Err {
             PF_ParamDef def;
             if (cmd != PF_Cmd_SMART_PRE_RENDER) return PF_Err_NONE;
             in->inter.checkout_param(in->effect_ref, 0, in->current_time + 1, in->time_step, in->time_scale, &def);
             return in->inter.checkin_param(in->effect_ref, &def);
         },
         "parameter 0 checked out at another time than the command's"},
        {"input pixels kept",
         [](PF_Cmd cmd, PF_InData *in, PF_ParamDef **params, void *extra) -> PF_Err {
             // The smart commands come without the parameter array.
             if (cmd == PF_Cmd_SMART_PRE_RENDER || cmd == PF_Cmd_SMART_RENDER) {
                 if (params != nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;
             }
             if (cmd == PF_Cmd_SMART_PRE_RENDER) {
                 auto *pre = static_cast<PF_PreRenderExtra *>(extra);
                 PF_CheckoutResult result{};
                 pre->cb->checkout_layer(in->effect_ref, 0, 7, &pre->input->output_request, in->current_time,
                                         in->time_step, in->time_scale, &result);
                 pre->output->result_rect = result.result_rect;
                 return PF_Err_NONE;
             }
             if (cmd != PF_Cmd_SMART_RENDER) return PF_Err_NONE;
             PF_EffectWorld *world = nullptr;
             return static_cast<PF_SmartRenderExtra *>(extra)->cb->checkout_layer_pixels(in->effect_ref, 7, &world);
         },
         "render: input pixels not checked in"},
        {"data without a way to free it",
         [](PF_Cmd cmd, PF_InData *, PF_ParamDef **, void *extra) -> PF_Err {
             if (cmd == PF_Cmd_SMART_PRE_RENDER)
                 static_cast<PF_PreRenderExtra *>(extra)->output->pre_render_data = &datum;
             return PF_Err_NONE;
         },
         "pre-render data hung without a function to free it"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const Effect effect = c.effect;
        Host host([effect](PF_Cmd cmd, PF_InData *in, PF_OutData *, PF_ParamDef **params, PF_LayerDef *,
                           void *extra) { return effect(cmd, in, params, extra); },
                  HostApp::kAfterEffects);
        host.ParamsSetup();
        host.SetRenderCommands(RenderCommands::SMART);
        Layer src(PixelFormat::ARGB8, 4, 4), dst(PixelFormat::ARGB8, 4, 4);
        EXPECT_EQ(host.Render(src, dst), PF_Err_NONE);
        EXPECT_EQ(host.UnbalancedCheckouts(), std::vector<std::string>{c.problem});
    }
}

}  // namespace
