// The production render (frame record, lookup tables, pixel callbacks, row
// loop, RenderFrame) against the plain reference, bit for bit, over many
// random parameter sets and images in all four formats.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "reference/reference_render.h"
#include "render/accelerators/grade_tables.h"
#include "render/drivers/iterate_float_rows.h"
#include "render/drivers/pixel_callbacks.h"
#include "render/drivers/render_float_frame.h"
#include "render/frame/pixel_stage.h"
#include "render/frame/window_render_params.h"
#include "render/render_frame.h"
#include "support/host_render.h"
#include "support/pixel_formats.h"
#include "support/random_params.h"
#include "support/render_test_support.h"
#include "support/test_buffers.h"
#include "testhost/core/host.h"

namespace {

using namespace render_test;

using zonara_test::FORMAT_CASES;
using zonara_test::FormatCase;

const char *FormatName(PixelFormat f) { return zonara_test::CaseOf(f).name; }

void RenderReference(const PF_InData &in_data, ParamSet &params, const Buffer &src, Buffer &dst) {
    reference::RenderFrame(
        in_data, params.array(), src.format, src.def, dst.def,
        TraitsOf(src.format).integer() ? dst.def.height : dst.def.extent_hint.bottom - dst.def.extent_hint.top);
}

// The callbacks with the frame's tables always built, whatever the size.
void RenderWithForcedTables(const PF_InData &in_data, ParamSet &params, Buffer &src, Buffer &dst) {
    const WindowRenderParams record = MakeWindowRenderParams(in_data, params.array());
    GradeTables tables;
    if (src.format == PixelFormat::ARGB16) BuildGradeTables16(record, tables);
    else BuildGradeTables8(record, tables);
    // The memo too, whatever the size; a no-op where it does not apply.
    AttachSaturationMemo(MEMO_WORTH_CLEARING_FROM_PIXELS, tables);
    PixelStage stage;
    stage.record = &record;
    stage.tables = &tables;
    if (src.format == PixelFormat::BGRA32F) {
        IterateFloatRows(0, dst.def.height, &src.def, &stage, RenderPixelBgra32f, &dst.def);
        return;
    }
    if (src.format == PixelFormat::ARGB32F) {
        stage.float_order = ChannelOrder::ARGB;
        RenderFloatFrame(stage, nullptr, FloatRowsToVisit(0, dst.def.height, &src.def, &dst.def));
        return;
    }
    for (int y = 0; y < dst.def.height; ++y) {
        for (int x = 0; x < dst.def.width; ++x) {
            void *in = src.Pixel(x, y);
            void *out = dst.Pixel(x, y);
            switch (src.format) {
            case PixelFormat::ARGB8:
                RenderPixelArgb8(&stage, x, y, static_cast<PF_Pixel *>(in), static_cast<PF_Pixel *>(out));
                break;
            case PixelFormat::BGRA8:
                RenderPixelBgra8(&stage, x, y, static_cast<PF_Pixel *>(in), static_cast<PF_Pixel *>(out));
                break;
            case PixelFormat::ARGB16:
                RenderPixelArgb16(&stage, x, y, static_cast<PF_Pixel16 *>(in), static_cast<PF_Pixel16 *>(out));
                break;
            case PixelFormat::BGRA32F:
            case PixelFormat::ARGB32F:
                break;
            }
        }
    }
}

// The frame rendered three ways, each into a copy of `start`: by the
// reference, through RenderFrame in the host, and (unless left out) through
// the pixel callbacks with the tables forced; passes when all agree to the
// bit.
::testing::AssertionResult EveryWayMatchesTheReference(ParamSet &params, const Resolution &res, Buffer &src,
                                                       const Buffer &start, bool with_forced_tables = true) {
    Buffer expected(start), through_frame(start), forced_tables(start);
    InData in;
    in.in_data.pixel_aspect_ratio = res.aspect;
    in.in_data.downsample_x = res.down_x;
    in.in_data.downsample_y = res.down_y;
    params.Input(src.def);
    RenderReference(in.in_data, params, src, expected);
    const PF_Err err = RenderThroughHost(params, src, through_frame, res);
    if (err != PF_Err_NONE) return ::testing::AssertionFailure() << "RenderFrame returned " << err;
    if (!through_frame.SameBytes(expected)) {
        return ::testing::AssertionFailure() << "through RenderFrame, " << through_frame.FirstDifference(expected);
    }
    if (with_forced_tables) {
        RenderWithForcedTables(in.in_data, params, src, forced_tables);
        if (!forced_tables.SameBytes(expected)) {
            return ::testing::AssertionFailure() << "with forced tables, " << forced_tables.FirstDifference(expected);
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(RenderExactness, RandomParametersMatchTheReferenceBitForBit) {
    std::mt19937 rng(20261207);
    constexpr int SETS = 60;
    for (int set = 0; set < SETS; ++set) {
        for (const FormatCase &each : FORMAT_CASES) {
            const PixelFormat format = each.format;
            // Wide enough for the 8-bit tables to be built through RenderFrame.
            const int width = 71, height = 43;
            ParamSet params;
            Resolution res;
            RandomiseParams(params.array(), res, rng, width, height);
            SCOPED_TRACE(std::string(FormatName(format)) + " set " + std::to_string(set) + ": " +
                         DescribeParams(params.array(), res));
            Buffer src(format, width, height, 12);
            src.Randomise(rng);
            Buffer start(format, width, height, 12);
            start.Randomise(rng);
            ASSERT_TRUE(EveryWayMatchesTheReference(params, res, src, start));
        }
    }
}

TEST(RenderExactness, SixteenBitFrameLargeEnoughForTables) {
    std::mt19937 rng(7);
    for (int set = 0; set < 3; ++set) {
        const int width = 520, height = 510;
        ParamSet params;
        Resolution res;
        RandomiseParams(params.array(), res, rng, width, height);
        params.Popup(PARAM_COLOR_MODEL, COLOR_MODEL_CHOICES[set % ChoiceCount(COLOR_MODEL_CHOICES)].value)
            .Slider(PARAM_MIX, 1);
        SCOPED_TRACE(DescribeParams(params.array(), res));
        Buffer src(PixelFormat::ARGB16, width, height);
        src.Randomise(rng);
        const Buffer start(PixelFormat::ARGB16, width, height);
        ASSERT_TRUE(EveryWayMatchesTheReference(params, res, src, start, false));
    }
}

// Frames whose result does not depend on the window are walked with lighter
// callbacks (a copy, or one table look-up a channel); codes beyond full
// scale, which damaged 16-bit buffers hold, must still be limited as the
// whole pixel stage limits them.
TEST(RenderExactness, FramesIndependentOfTheWindowMatchTheReference) {
    struct Case {
        const char *name;
        void (*apply)(ParamSet &);
        // clang-format off
    } cases[] = {
        {"default parameters", [](ParamSet &) {}},
        {"Mix 0 over a grade", [](ParamSet &p) { p.Slider(PARAM_MIX, 0).InsideMaster(0.1, 2, 1.5, 0.5); }},
        {"unknown colour model, Mix 0.3", [](ParamSet &p) { p.Popup(PARAM_COLOR_MODEL, OnePastLastChoice(COLOR_MODEL_CHOICES)).Slider(PARAM_MIX, 0.3); }},
        {"unknown colour model, clamps", [](ParamSet &p) { p.Popup(PARAM_COLOR_MODEL, COLOR_MODEL_LEGACY - 1).Checkbox(PARAM_CLAMP_OUT_BLACK, true).Checkbox(PARAM_CLAMP_OUT_WHITE, true).Slider(PARAM_MIX, 0.7); }},
    };
    // clang-format on
    std::mt19937 rng(99);
    for (const auto &c : cases) {
        for (const FormatCase &each : FORMAT_CASES) {
            const PixelFormat format = each.format;
            SCOPED_TRACE(std::string(c.name) + " " + FormatName(format));
            // Large enough for tables in every integer format.
            const int width = 520, height = 510;
            ParamSet params;
            c.apply(params);
            Buffer src(format, width, height);
            src.Randomise(rng);
            const Buffer start(format, width, height);
            ASSERT_TRUE(EveryWayMatchesTheReference(params, Resolution{}, src, start, false));
        }
    }
}

// Pictures repeat their colours, and 8-bit frames whose saturation changes
// answer repeated colours from a memo: a few colours over a whole frame make
// most pixels memo hits, colliding colours included, and the frame must still
// be the reference's to the bit.
TEST(RenderExactness, EightBitFramesOfFewColoursMatchThroughTheMemo) {
    std::mt19937 rng(4242);
    for (int set = 0; set < 12; ++set) {
        for (PixelFormat format : {PixelFormat::ARGB8, PixelFormat::BGRA8}) {
            const int width = 256, height = 256;  // large enough for the memo in RenderFrame
            ParamSet params;
            Resolution res;
            RandomiseParams(params.array(), res, rng, width, height);
            params.Slider(PARAM_IN_SATURATION, 0.3 + 0.1 * set).Slider(PARAM_OUT_SATURATION, 1.9 - 0.1 * set);
            SCOPED_TRACE(std::string(FormatName(format)) + " set " + std::to_string(set) + ": " +
                         DescribeParams(params.array(), res));
            Buffer palette(format, 40, 1);
            palette.Randomise(rng);
            Buffer src(format, width, height);
            std::uniform_int_distribution<int> pick(0, 39);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) std::memcpy(src.Pixel(x, y), palette.Pixel(pick(rng), 0), 4);
            }
            const Buffer start(format, width, height);
            ASSERT_TRUE(EveryWayMatchesTheReference(params, res, src, start));
        }
    }
}

// Settings nobody should choose but anyone can type or a damaged project can
// hold: each must render IEEE results (the reference's), never a fault.
TEST(RenderExactness, DegenerateSettingsMatchTheReference) {
    struct Case {
        const char *name;
        void (*apply)(ParamSet &);
        // clang-format off
    } cases[] = {
        {"gamma 0 everywhere", [](ParamSet &p) { p.InsideMaster(0, 0, 1).OutsideMaster(0.1, 0, 2); }},
        {"zero width and height", [](ParamSet &p) { p.Slider(PARAM_WIDTH, 0).Slider(PARAM_HEIGHT, 0).InsideMaster(0, 2, 1); }},
        {"zero height ellipse", [](ParamSet &p) { p.Slider(PARAM_HEIGHT, 0).InsideMaster(0.2, 1, 1); }},
        {"zero-size rectangle", [](ParamSet &p) { p.Popup(PARAM_WINDOW_TYPE, WINDOW_TYPE_RECTANGLE).Slider(PARAM_WIDTH, 0).Slider(PARAM_HEIGHT, 0).InsideMaster(0.2, 1, 1); }},
        {"feather beyond half the width", [](ParamSet &p) { p.Slider(PARAM_WIDTH, 30).Slider(PARAM_FEATHER, 500).InsideMaster(0, 1, 2); }},
        {"huge window", [](ParamSet &p) { p.Slider(PARAM_WIDTH, 1e30).Slider(PARAM_HEIGHT, 1e30).Slider(PARAM_FEATHER, 1e29).InsideMaster(0, 1.5, 1); }},
        {"not-a-number sliders", [](ParamSet &p) { p.Slider(PARAM_WIDTH, std::nan("")).Slider(PARAM_IN_GAIN, std::nan("")).Slider(PARAM_OUT_SATURATION, std::nan("")); }},
        {"infinite gain and offset", [](ParamSet &p) { p.InsideMaster(INFINITY, 1, INFINITY).OutsideMaster(-INFINITY, 1, 1); }},
        {"popups out of range", [](ParamSet &p) { p.Popup(PARAM_WINDOW_TYPE, -1).Popup(PARAM_FALLOFF, OnePastLastChoice(FALLOFF_CHOICES)).Popup(PARAM_COLOR_MODEL, COLOR_MODEL_LEGACY - 1).InsideMaster(0.1, 2, 1); }},
        {"negative and not-a-number Mix", [](ParamSet &p) { p.Slider(PARAM_MIX, -1).InsideMaster(0.1, 2, 1); }},
        {"huge saturation", [](ParamSet &p) { p.InsideMaster(0, 1, 1, 1e30).OutsideMaster(0, 1, 1, -5); }},
        {"huge angle and far origin", [](ParamSet &p) { p.Angle(30000).Point(-30000, 30000).InsideMaster(0, 2, 1); }},
    };
    // clang-format on
    std::mt19937 rng(11);
    for (const auto &c : cases) {
        for (const FormatCase &each : FORMAT_CASES) {
            const PixelFormat format = each.format;
            SCOPED_TRACE(std::string(c.name) + " " + FormatName(format));
            ParamSet params;
            params.Point(10, 8).Slider(PARAM_WIDTH, 16).Slider(PARAM_HEIGHT, 12).Slider(PARAM_FEATHER, 4);
            c.apply(params);
            Buffer src(format, 21, 17);
            src.Randomise(rng);
            const Buffer start(format, 21, 17);
            EXPECT_TRUE(EveryWayMatchesTheReference(params, Resolution{}, src, start));
        }
    }
}

}  // namespace
