// RenderFrame's routes and failures: which suites it takes and gives back,
// what it returns when the host lets it down, and that degenerate or
// inconsistent buffers never lead outside them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/drivers/iterate_float_rows.h"
#include "render/render_frame.h"
#include "support/linked_effect.h"
#include "support/pixel_formats.h"
#include "support/render_test_support.h"
#include "support/test_buffers.h"
#include "testhost/core/host.h"

namespace {

using namespace render_test;
using testhost::HostApp;

// The linked entry point in the simulated host, sent the render command with
// the test's own parameter array and buffers (null where a test says so).
struct Frame {
    testhost::Host host;
    ParamSet params;
    Buffer src;
    Buffer dst;

    Frame(HostApp app, PixelFormat format, int width = 8, int height = 6)
        : host(testhost::EffectFunction(EntryPointFunc), app), src(format, width, height), dst(format, width, height) {
        // The buffers are the test's, not layers of the host's own, so the
        // editing host is told which format to report for them.
        if (app == HostApp::kPremiere) host.faults().reported_pixel_format = testhost::PremierePixelFormat(format);
        std::mt19937 rng(3);
        src.Randomise(rng);
        params.InsideMaster(0.1, 1.5, 1.2)
            .Point(width / 2.0, height / 2.0)
            .Slider(PARAM_WIDTH, width)
            .Slider(PARAM_HEIGHT, height)
            .Slider(PARAM_FEATHER, 1);
    }
    PF_Err Render() {
        params.Input(src.def);
        return RenderWith(params.array(), &dst.def);
    }
    PF_Err RenderWith(PF_ParamDef **param_array, PF_LayerDef *output) {
        auto with_these_records = [param_array](PF_Cmd cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **,
                                                PF_LayerDef *layer, void *extra) {
            return EntryPointFunc(cmd, in_data, out_data, param_array, layer, extra);
        };
        return host.SendTo(with_these_records, PF_Cmd_RENDER, output);
    }
    bool SuitesBalanced() const { return host.suites().BalancedSinceLastCommand(); }
};

TEST(RenderFrame, TakesTheSuiteOfTheFormatAndGivesEverythingBack) {
    struct Case {
        const char *name;
        HostApp app;
        PixelFormat format;
        std::vector<std::string> expect_acquired;
    } cases[] = {
        {"After Effects 8-bit", HostApp::kAfterEffects, PixelFormat::ARGB8, {kPFIterate8Suite}},
        {"After Effects 16-bit", HostApp::kAfterEffects, PixelFormat::ARGB16, {kPFIterate16Suite}},
        {"Premiere Pro 8-bit", HostApp::kPremiere, PixelFormat::BGRA8, {kPFPixelFormatSuite, kPFIterate8Suite}},
        // The float rows are shared out by the 8-bit suite's generic iteration.
        {"Premiere Pro float", HostApp::kPremiere, PixelFormat::BGRA32F, {kPFPixelFormatSuite, kPFIterate8Suite}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Frame frame(c.app, c.format);
        const Buffer before(frame.dst);
        EXPECT_EQ(frame.Render(), PF_Err_NONE);
        EXPECT_FALSE(frame.dst.SameBytes(before));  // the grade reached the pixels
        std::vector<std::string> acquired;
        for (const auto &call : frame.host.suites().calls_of_last_command()) {
            if (call.kind != testhost::SuiteCall::Kind::kReleased) acquired.push_back(call.name);
        }
        EXPECT_EQ(acquired, c.expect_acquired);
        EXPECT_TRUE(frame.SuitesBalanced());
    }
}

TEST(RenderFrame, HostFailures) {
    struct Case {
        const char *name;
        HostApp app;
        PixelFormat format;
        const char *refused;  // or null
        bool no_basic_suite;
        PrPixelFormat reported_format;
        PF_Err expect;
        bool expect_message;
    } cases[] = {
        {"no basic suite", HostApp::kAfterEffects, PixelFormat::ARGB8, nullptr, true, 0, 516, false},
        {"no 8-bit iterate suite", HostApp::kAfterEffects, PixelFormat::ARGB8, kPFIterate8Suite, false, 0, 516, false},
        {"no 16-bit iterate suite", HostApp::kAfterEffects, PixelFormat::ARGB16, kPFIterate16Suite, false, 0, 516,
         false},
        {"no pixel format suite", HostApp::kPremiere, PixelFormat::BGRA8, kPFPixelFormatSuite, false, 0, 516, true},
        {"Premiere without 8-bit iterate", HostApp::kPremiere, PixelFormat::BGRA8, kPFIterate8Suite, false, 0, 516,
         false},
        {"unknown pixel format", HostApp::kPremiere, PixelFormat::BGRA8, nullptr, false, 0x12345678, 514, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Frame frame(c.app, c.format);
        if (c.refused) frame.host.suites().Refuse(c.refused);
        frame.host.faults().no_basic_suite = c.no_basic_suite;
        if (c.reported_format != 0) frame.host.faults().reported_pixel_format = c.reported_format;
        const Buffer before(frame.dst);
        EXPECT_EQ(frame.Render(), c.expect);
        EXPECT_TRUE(frame.dst.SameBytes(before));
        EXPECT_TRUE(frame.SuitesBalanced());
        const PF_OutData &out_data = frame.host.last_out_data();
        EXPECT_EQ((out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0, c.expect_message);
        if (c.expect_message) {
            EXPECT_STREQ(out_data.return_msg, "Not able to acquire AEFX Suite.");
        }
    }
}

TEST(RenderFrame, MissingRecordsAreRefusedNotDereferenced) {
    Frame frame(HostApp::kAfterEffects, PixelFormat::ARGB8);
    frame.params.Input(frame.src.def);
    EXPECT_NE(frame.RenderWith(nullptr, &frame.dst.def), PF_Err_NONE);
    EXPECT_TRUE(frame.SuitesBalanced());
    EXPECT_NE(frame.RenderWith(frame.params.array(), nullptr), PF_Err_NONE);
    EXPECT_TRUE(frame.SuitesBalanced());
    frame.params.array()[PARAM_MIX] = nullptr;
    EXPECT_NE(frame.Render(), PF_Err_NONE);
    EXPECT_TRUE(frame.SuitesBalanced());
}

TEST(RenderFrame, DegenerateBuffersRenderNothingAndEmptySourcesAreReported) {
    struct Case {
        const char *name;
        int width, height;
        bool null_source, null_destination;
    } cases[] = {
        {"zero width", 0, 5, false, false},      {"zero height", 5, 0, false, false},
        {"negative width", -4, 5, false, false}, {"negative height", 5, -3, false, false},
        {"null source data", 5, 5, true, false}, {"null destination data", 5, 5, false, true},
    };
    for (const auto &c : cases) {
        for (const zonara_test::FormatCase &each : zonara_test::FORMAT_CASES) {
            SCOPED_TRACE(std::string(c.name) + " " + each.name);
            const PixelFormat format = each.format;
            const bool premiere = each.app() == HostApp::kPremiere;
            Frame frame(each.app(), format, 5, 5);
            frame.src.def.width = frame.dst.def.width = c.width;
            frame.src.def.height = frame.dst.def.height = c.height;
            frame.dst.def.extent_hint = {0, 0, c.width, c.height};
            if (c.null_source) frame.src.def.data = nullptr;
            if (c.null_destination) frame.dst.def.data = nullptr;
            // Only a compositing-host frame with an output to fill and no
            // source to fill it from is an error; the editing host ignores
            // the walk's result.
            const bool damaged = !premiere && c.null_source && c.width > 0 && c.height > 0;
            EXPECT_EQ(frame.Render(), damaged ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_NONE);
            EXPECT_TRUE(frame.SuitesBalanced());
        }
    }
}

// Each case lays out two float buffers and an extent hint; the loop must
// visit exactly the pixels both buffers hold within the hint's rows.
TEST(IterateFloatRows, StaysWithinBothBuffers) {
    struct Case {
        const char *name;
        int src_width, src_height, dst_width, dst_height;
        int rows;
        bool bottom_up;
        int expect_visits;
    } cases[] = {
        {"same size", 6, 4, 6, 4, 4, false, 24},
        {"source narrower than destination", 3, 4, 6, 4, 4, false, 12},
        {"source shorter than destination", 6, 2, 6, 4, 4, false, 12},
        {"extent hint taller than the buffers", 6, 4, 6, 4, 400, false, 24},
        {"extent hint shorter", 6, 4, 6, 4, 2, false, 12},
        {"negative extent", 6, 4, 6, 4, -3, false, 0},
        {"bottom-up buffers", 6, 4, 6, 4, 4, true, 24},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Buffer src(PixelFormat::BGRA32F, c.src_width, c.src_height, 0, c.bottom_up);
        Buffer dst(PixelFormat::BGRA32F, c.dst_width, c.dst_height, 0, c.bottom_up);
        int visits = 0;
        auto count = [](void *refcon, A_long, A_long, PF_PixelBGRA32f *in, PF_PixelBGRA32f *out) -> PF_Err {
            ++*static_cast<int *>(refcon);
            *out = *in;  // touches both, so AddressSanitizer sees every access
            return PF_Err_NONE;
        };
        EXPECT_EQ(zonara::IterateFloatRows(0, c.rows, &src.def, &visits, count, &dst.def), PF_Err_NONE);
        EXPECT_EQ(visits, c.expect_visits);
    }
}

TEST(IterateFloatRows, VisitsPositionsFromTheFirstRowOfData) {
    Buffer src(PixelFormat::BGRA32F, 3, 2, 8, true), dst(PixelFormat::BGRA32F, 3, 2, 8, true);
    std::vector<std::pair<int, int>> seen;
    auto record = [](void *refcon, A_long x, A_long y, PF_PixelBGRA32f *, PF_PixelBGRA32f *) -> PF_Err {
        static_cast<std::vector<std::pair<int, int>> *>(refcon)->emplace_back(x, y);
        return 1;  // results are not examined
    };
    EXPECT_EQ(zonara::IterateFloatRows(0, 2, &src.def, &seen, record, &dst.def), PF_Err_NONE);
    const std::vector<std::pair<int, int>> expect = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
    EXPECT_EQ(seen, expect);
}

TEST(RenderFrame, PremiereFloatWithAnExtentHintTallerThanTheBuffer) {
    {
        Frame frame(HostApp::kPremiere, PixelFormat::BGRA32F, 7, 5);
        frame.dst.def.extent_hint = {0, -100, 7, 1000};
        EXPECT_EQ(frame.Render(), PF_Err_NONE);
    }
    Frame narrow(HostApp::kPremiere, PixelFormat::BGRA32F, 7, 5);
    narrow.src.def.width = 3;
    narrow.src.def.height = 2;
    const Buffer before(narrow.dst);
    EXPECT_EQ(narrow.Render(), PF_Err_NONE);
    // Pixels beyond the source are left as they were.
    EXPECT_EQ(std::memcmp(narrow.dst.Pixel(3, 0), before.bytes.data() + 3 * 16, 16), 0);
}

// The render tests' comparison sees every bit: a not-a-number whose sign
// or payload differs is a different result.
TEST(SameBytes, NotANumberSignAndPayloadCount) {
    const std::uint32_t nans[] = {0x7fc00000u, 0x7fc00001u, 0xffc00000u};
    for (const std::uint32_t a : nans) {
        for (const std::uint32_t b : nans) {
            Buffer first(PixelFormat::BGRA32F, 2, 1);
            Buffer second(PixelFormat::BGRA32F, 2, 1);
            std::memcpy(first.Pixel(1, 0), &a, 4);
            std::memcpy(second.Pixel(1, 0), &b, 4);
            EXPECT_EQ(first.SameBytes(second), a == b) << std::hex << a << " " << b;
        }
    }
}

}  // namespace
