// The pieces of zonara render that carry arithmetic or parsing of their own:
// the 16-bit conversions, the host and depth choice, frame patterns and the
// reading of parameter values against declared ranges.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "params/param_index.h"
#include "tools/base/tool_error.h"
#include "tools/commands/frame_pattern.h"
#include "tools/image/host_pixels.h"
#include "tools/params/param_values.h"
#include "tools/scene/frame_renderer.h"

namespace {

using namespace zonara_tool;

// Every host 16-bit value survives the trip through a 16-bit file, so a
// render read back and rendered again sees the same pixels.
TEST(Host16Conversion, EveryHostValueSurvivesTheFile) {
    for (std::int32_t v = 0; v <= 32768; ++v) {
        ASSERT_EQ(FileCode16ToHost16(Host16ToFileCode16(v)), v) << v;
    }
}

TEST(Host16Conversion, RoundsToNearestHalvesUp) {
    const struct {
        std::int32_t file, host;
    } cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {65535, 32768}, {65534, 32767}, {32767, 16384}};
    for (const auto &c : cases) {
        EXPECT_EQ(FileCode16ToHost16(c.file), c.host) << c.file;
    }
    EXPECT_EQ(Host16ToFileCode16(1), 2);          // 1.99997 rounds up
    EXPECT_EQ(Host16ToFileCode16(16384), 32768);  // 32767.5: the half goes up
}

TEST(SampleConversion, OtherDepthsMapOntoTheHostScale) {
    const struct {
        SampleKind kind;
        float sample;
        SampleDepth depth;
        float host;
        // clang-format off
    } cases[] = {
        {SampleKind::INT8, 255, SampleDepth::INT16, 32768},   {SampleKind::INT8, 1, SampleDepth::INT16, 129},
        {SampleKind::INT16, 65535, SampleDepth::INT8, 255},   {SampleKind::FLOAT32, 1.5f, SampleDepth::INT8, 255},
        {SampleKind::FLOAT32, -0.5f, SampleDepth::INT16, 0}, {SampleKind::FLOAT32, NAN, SampleDepth::INT8, 0},
        {SampleKind::FLOAT32, 0.5f, SampleDepth::INT16, 16384}, {SampleKind::INT8, 51, SampleDepth::FLOAT32, 0.2f},
    };
    // clang-format on
    for (const auto &c : cases) {
        EXPECT_EQ(FileSampleToHost(c.kind, c.sample, c.depth), c.host) << c.sample;
    }
    // Float results beyond 0..1 reach a float file as they are.
    EXPECT_EQ(HostToFileSample(-0.25f, SampleDepth::FLOAT32, SampleKind::FLOAT32), -0.25f);
    EXPECT_EQ(HostToFileSample(32768, SampleDepth::INT16, SampleKind::INT8), 255);
    EXPECT_EQ(HostToFileSample(255, SampleDepth::INT8, SampleKind::INT16), 65535);
}

TEST(ChooseHostFormat, FollowsTheInputAndRefusesWhatTheEffectCannotRender) {
    using testhost::HostApp;
    const auto ae = HostApp::kAfterEffects;
    const auto pr = HostApp::kPremiere;
    const struct {
        std::optional<HostApp> app;
        std::optional<SampleDepth> depth;
        SampleKind kind;
        bool refused;
        HostApp want_app;
        SampleDepth want_depth;
        // clang-format off
    } cases[] = {
        {{}, {}, SampleKind::INT8, false, ae, SampleDepth::INT8},
        {{}, {}, SampleKind::INT16, false, ae, SampleDepth::INT16},
        {{}, {}, SampleKind::FLOAT32, false, pr, SampleDepth::FLOAT32},
        {pr, {}, SampleKind::INT16, false, pr, SampleDepth::FLOAT32},
        {ae, {}, SampleKind::FLOAT32, false, ae, SampleDepth::FLOAT32},
        {{}, SampleDepth::INT8, SampleKind::FLOAT32, false, pr, SampleDepth::INT8},
        {{}, SampleDepth::INT16, SampleKind::FLOAT32, false, ae, SampleDepth::INT16},
        {ae, SampleDepth::FLOAT32, SampleKind::INT8, false, ae, SampleDepth::FLOAT32},
        {pr, SampleDepth::INT16, SampleKind::INT16, true, ae, SampleDepth::INT8},
    };
    // clang-format on
    for (const auto &c : cases) {
        FormatRequest request{c.app, c.depth};
        if (c.refused) {
            EXPECT_THROW(ChooseHostFormat(request, c.kind), ToolError);
            continue;
        }
        const HostFormat format = ChooseHostFormat(request, c.kind);
        EXPECT_EQ(format.app, c.want_app);
        EXPECT_EQ(format.depth, c.want_depth);
    }
}

TEST(FramePattern, ExpandsOnlyFrameNumbers) {
    const struct {
        const char *path;
        bool sequence;
        const char *frame_7;
        // clang-format off
    } cases[] = {
        {"shot.%04d.exr", true, "shot.0007.exr"}, {"a%db.png", true, "a7b.png"},
        {"100%%_%03d.png", true, "100%_007.png"}, {"plain.png", false, ""},
        {"50%.png", false, ""},                   {"100%_a.png", false, ""},
        {"w%012d.png", true, "w000000000007.png"}, {"50% off.png", false, ""},
    };
    // clang-format on
    for (const auto &c : cases) {
        const auto pattern = FramePattern::Parse(c.path);
        ASSERT_EQ(pattern.has_value(), c.sequence) << c.path;
        if (pattern) {
            EXPECT_EQ(pattern->Format(7), c.frame_7);
        }
    }
    EXPECT_EQ(FramePattern::Parse("w%04d.png")->Format(123456), "w123456.png");
    // Any other conversion would name other files in every other tool.
    for (const char *other : {"a%d_%d.png", "%s%n.png", "o.%013d.pam", "o.%4d.pam", "o.%00d.pam", "o.%x.pam",
                              "o.%-4d.pam", "o.%.3d.pam", "o.%ld.pam"}) {
        EXPECT_THROW(FramePattern::Parse(other), ToolError) << other;
    }
    EXPECT_EQ(UnescapePercent("100%%.png"), "100%.png");
}

TEST(FrameRange, ReadsFirstToLast) {
    EXPECT_EQ(ParseFrameRange("1001-1048").first, 1001);
    EXPECT_EQ(ParseFrameRange("1001-1048").last, 1048);
    EXPECT_EQ(ParseFrameRange("5").last, 5);
    for (const char *bad : {"", "a-b", "3-", "-3", "5-2", "1-2-3", "1.5-2"}) {
        EXPECT_THROW(ParseFrameRange(bad), ToolError) << bad;
    }
}

TEST(FrameRange, ListsAsSequenceToolsWriteThem) {
    const struct {
        const char *text;
        std::vector<int> frames;  // empty: refused
        // clang-format off
    } cases[] = {
        {"1-10x3", {1, 4, 7, 10}},
        {"1-9x3", {1, 4, 7}},
        {"1,3,5-7", {1, 3, 5, 6, 7}},
        {"9,2", {9, 2}},
        {"2147483640-2147483647x5", {2147483640, 2147483645}},
        {"5-5x2147483647", {5}},
        {"1-3,2", {}},  // a frame twice would be written twice at once
        {"1-10x0", {}},
        {"1-10x", {}},
        {"5x2", {}},
        {"1,,3", {}},
        {"1,", {}},
        {"0-999999,1000000", {}},  // a million and one in all
        {"0-2000000x2", {}},       // the same by its step (0-1999998x2 is a million)
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        if (c.frames.empty()) {
            EXPECT_THROW(ParseFrameList(c.text), ToolError);
        } else {
            EXPECT_EQ(ParseFrameList(c.text), c.frames);
        }
    }
}

// A small declaration list of every settable kind, as the effect declares
// them, so value parsing is checked apart from the module.
std::vector<PF_ParamDef> Declared() {
    std::vector<PF_ParamDef> declared(zonara::PARAM_COUNT - 1);
    for (PF_ParamDef &def : declared) {
        def.param_type = PF_Param_GROUP_START;
    }
    auto at = [&](int index) -> PF_ParamDef & { return declared[static_cast<std::size_t>(index) - 1]; };
    at(zonara::PARAM_WINDOW_TYPE).param_type = PF_Param_POPUP;
    at(zonara::PARAM_WINDOW_TYPE).u.pd = {1, 2, 1, "Ellipse|Rectangle|"};
    at(zonara::PARAM_COLOR_MODEL).param_type = PF_Param_POPUP;
    at(zonara::PARAM_COLOR_MODEL).u.pd = {2, 2, 2, "Legacy|CDL compliant"};
    at(zonara::PARAM_WIDTH).param_type = PF_Param_FLOAT_SLIDER;
    at(zonara::PARAM_WIDTH).u.fs_d.valid_min = 0;
    at(zonara::PARAM_WIDTH).u.fs_d.valid_max = 15000;
    at(zonara::PARAM_IN_OFFSET).param_type = PF_Param_FLOAT_SLIDER;
    at(zonara::PARAM_IN_OFFSET).u.fs_d.valid_min = -5;
    at(zonara::PARAM_IN_OFFSET).u.fs_d.valid_max = 5;
    at(zonara::PARAM_INVERT).param_type = PF_Param_CHECKBOX;
    at(zonara::PARAM_ORIGIN).param_type = PF_Param_POINT;
    at(zonara::PARAM_ANGLE).param_type = PF_Param_ANGLE;
    return declared;
}

TEST(ParamValues, TextIsReadAgainstTheDeclaredRange) {
    const ParamCatalog catalog(Declared());
    const struct {
        const char *text;
        bool accepted;
        double number;
        int choice;
        // clang-format off
    } cases[] = {
        {"width=15000", true, 15000, 0},    {"width=0", true, 0, 0},
        {"width=15000.01", false, 0, 0},    {"width= 640 ", true, 640, 0},
        {"width=1e3", true, 1000, 0},       {"width=inf", false, 0, 0},
        {"width=12px", false, 0, 0},        {"width=", false, 0, 0},
        {"in_offset=-5", true, -5, 0},      {"in_offset=-5.5", false, 0, 0},
        {"window_type=RECTANGLE", true, 0, 2}, {"window_type=2", true, 0, 2},
        {"window_type=0", false, 0, 0},     {"window_type=1.5", false, 0, 0},
        {"window_type=", false, 0, 0},      {"color_model=cdl compliant", true, 0, 2},
        {"angle=-720.5", true, -720.5, 0},  {"angle=40000", false, 0, 0},
        {"Width=5", false, 0, 0},           {" width =5", true, 5, 0},
        {"width=0x10", false, 0, 0},        {"width=1e-400", false, 0, 0},
        {"width=1e400", false, 0, 0},       {"width=.5", true, 0.5, 0},
        {"width=+2.5E1", true, 25, 0},      {"width=1_000", false, 0, 0},
        {"window_type=0x2", false, 0, 0},   {"width=true", false, 0, 0},
    };
    // clang-format on
    for (const auto &c : cases) {
        if (!c.accepted) {
            EXPECT_THROW(catalog.ParseAssignment(c.text), ToolError) << c.text;
            continue;
        }
        const ParamValue value = catalog.ParseAssignment(c.text);
        EXPECT_EQ(value.number, c.number) << c.text;
        EXPECT_EQ(value.choice, c.choice) << c.text;
    }
    const ParamValue origin = catalog.ParseAssignment("origin=-10.5, 20");
    EXPECT_EQ(origin.x, -10.5);
    EXPECT_EQ(origin.y, 20);
    EXPECT_TRUE(catalog.ParseAssignment("invert=ON").on);
    EXPECT_FALSE(catalog.ParseAssignment("invert=0").on);
}

TEST(ParamValues, JsonTakesThePresetForms) {
    const ParamCatalog catalog(Declared());
    EXPECT_EQ(catalog.ParseJson("width", nlohmann::json(0.1)).number, 0.1);  // no loss through text
    EXPECT_EQ(catalog.ParseJson("window_type", nlohmann::json("Rectangle")).choice, 2);
    EXPECT_EQ(catalog.ParseJson("window_type", nlohmann::json(2)).choice, 2);
    EXPECT_TRUE(catalog.ParseJson("invert", nlohmann::json(true)).on);
    EXPECT_EQ(catalog.ParseJson("origin", nlohmann::json::array({3.25, 4})).x, 3.25);
    EXPECT_THROW(catalog.ParseJson("origin", nlohmann::json::array({1, 2, 3})), ToolError);
    EXPECT_THROW(catalog.ParseJson("width", nlohmann::json(nullptr)), ToolError);
    EXPECT_THROW(catalog.ParseJson("width", nlohmann::json(16000)), ToolError);
    EXPECT_THROW(catalog.ParseJson("width", nlohmann::json(true)), ToolError);  // not "on"
}

// Why a number is refused, for --set, presets and the numeric options alike.
TEST(ParamValues, RefusedNumbersSayWhy) {
    const ParamCatalog catalog(Declared());
    const struct {
        const char *text;
        const char *message;
        // clang-format off
    } cases[] = {
        {"width=0x10", "width=0x10: not a number (valid: 0 to 15000)"},
        {"width=inf", "width=inf: not a finite number"},
        {"width=-NaN", "width=-NaN: not a finite number"},
        {"width=1e-400", "width=1e-400: out of range (valid: 0 to 15000)"},
        {"width=1e400", "width=1e400: out of range"},
        {"origin=1e400,2", "origin=1e400,2: out of range"},
        {"window_type=inf", "window_type=inf: no such choice"},
        {"window_group_start=1", "window_group_start is a group heading, not a value"},
    };
    // clang-format on
    for (const auto &c : cases) {
        try {
            catalog.ParseAssignment(c.text);
            ADD_FAILURE() << c.text << " accepted";
        } catch (const ToolError &error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST(ParamValues, UnknownKeysSuggestTheNearest) {
    const ParamCatalog catalog(Declared());
    EXPECT_EQ(catalog.NearestKeys("widht"), std::vector<std::string>{"width"});
    EXPECT_EQ(catalog.NearestKeys("colour_model"), std::vector<std::string>{"color_model"});
    EXPECT_TRUE(catalog.NearestKeys("zzzzzzzzzz").empty());
    EXPECT_TRUE(catalog.NearestKeys(std::string(1 << 20, 'w')).empty());  // no quadratic search
    try {
        catalog.ParseAssignment("widht=3");
        FAIL();
    } catch (const ToolError &error) {
        EXPECT_EQ(error.exit_status(), EXIT_USAGE);
        EXPECT_NE(std::string(error.what()).find("did you mean width?"), std::string::npos) << error.what();
    }
}

}  // namespace
