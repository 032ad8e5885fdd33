// zonara handles, drag and overlay, run as a user runs them: handle
// positions worked out by hand, drags that move each kind of handle the way
// a user expects, the picture and trace of the view, and usage mistakes
// answered with exit status 2.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <OpenImageIO/imagebuf.h>
#include <nlohmann/json.hpp>

#include "support/tool_runner.h"

namespace {

using nlohmann::json;
using tool_test::LayoutOf;
using tool_test::RunTool;
using tool_test::ScratchDir;

// A window easy to follow by hand on the 1920x1080 chart: centred at
// (960, 540), 800 x 400, feather 50 (insets of 50 across and 25 down, as the
// window is twice as wide as high), mix 0.5, angle 0.
const std::vector<std::string> SIMPLE_WINDOW{"--set", "width=800",  "--set", "height=400",
                                             "--set", "feather=50", "--set", "mix=0.5"};

using tool_test::Join;

using Positions = std::map<std::string, std::pair<int, int>>;

TEST(HandlesCommand, PositionsWorkedOutByHand) {
    struct Case {
        const char *what;
        std::vector<std::string> args;
        Positions expected;  // the handles checked
    };
    const std::vector<Case> cases{
        {"composition view at zoom 1",
         SIMPLE_WINDOW,
         {{"corner_top_left", {560, 340}},
          {"corner_top_right", {1360, 340}},
          {"corner_bottom_left", {560, 740}},
          {"corner_bottom_right", {1360, 740}},
          {"angle", {960, 324}},  // height / 5 = 216 above the centre
          {"feather_left", {610, 540}},
          {"feather_right", {1310, 540}},
          {"feather_top", {960, 365}},
          {"feather_bottom", {960, 715}},
          {"mix", {920, 540}}}},  // 40 left; level with the centre at mix 0.5
        {"composition view, layer moved by 100,50, zoom 2, pan 10,20",
         Join(SIMPLE_WINDOW, {"--zoom", "2", "--pan", "10,20", "--layer-offset", "100,50"}),
         {{"corner_top_left", {1330, 800}},
          {"corner_bottom_right", {2930, 1600}},
          {"angle", {2130, 768}},
          {"feather_left", {1430, 1200}},
          {"feather_top", {2130, 850}},
          {"mix", {2090, 1200}}}},  // the slider keeps its size in frame pixels
        {"layer view at zoom 0.5 (the composition offset plays no part)",
         Join(SIMPLE_WINDOW, {"--view", "layer", "--zoom", "0.5", "--layer-offset", "300,300"}),
         {{"corner_top_left", {280, 170}},
          {"corner_bottom_right", {680, 370}},
          {"angle", {480, 162}},
          {"feather_top", {480, 182}},  // 182.5 and 357.5: whole pixels toward minus infinity
          {"feather_bottom", {480, 357}},
          {"mix", {440, 270}}}},
        {"layer at half size in the composition, moved by 100,50",
         Join(SIMPLE_WINDOW, {"--layer-scale", "0.5", "--layer-offset", "100,50"}),
         {{"corner_top_left", {380, 220}},
          {"corner_bottom_right", {780, 420}},
          {"angle", {580, 212}},
          {"mix", {540, 320}}}},
        {"angle 90 in the editing host: the angle handle lies right of the centre",
         Join(SIMPLE_WINDOW, {"--set", "angle=90", "--host", "premiere"}),
         {{"angle", {1176, 540}}}},
        {"mix 1 puts the slider's knob 50 above the centre", {"--set", "mix=1"}, {{"mix", {920, 490}}}},
        {"zoom 16: every handle within the 16.16 range, though two edges' sum is not",
         {"--zoom", "16", "--set", "width=1000", "--set", "height=600"},
         {{"corner_top_right", {23360, 3840}}, {"feather_right", {21760, 8640}}, {"feather_bottom", {15360, 12480}}}},
        {"zoom 32: positions beyond the 16.16 range stay at its end, off the view where they belong",
         {"--zoom", "32", "--set", "width=1000", "--set", "height=600"},
         {{"corner_top_left", {14720, 7680}},
          {"corner_top_right", {32767, 7680}},
          {"corner_bottom_right", {32767, 26880}},
          {"feather_right", {32767, 17280}},
          // Its edge's middle, though the host held the right-hand end.
          {"feather_top", {30720, 9600}},
          {"feather_bottom", {30720, 24960}},
          {"angle", {30720, 10368}}}},
        {"zoom 32 turned a quarter: a corner turned beyond the range stays at its end",
         {"--zoom", "32", "--set", "width=1000", "--set", "height=600", "--set", "angle=90"},
         {{"corner_top_left", {32767, 1280}},
          // The left edge's middle, though the turn took its top end beyond the range.
          {"feather_left", {30720, 4479}},
          {"feather_bottom", {23040, 17279}}}},
        {"zoom 32 turned a quarter in the editing host, which turns in single precision",
         {"--zoom", "32", "--set", "width=1000", "--set", "height=600", "--set", "angle=90", "--host", "premiere"},
         {{"feather_left", {30720, 4480}}, {"feather_bottom", {23040, 17280}}}},
    };
    ScratchDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const tool_test::ToolResult result = RunTool(dir, Join({"handles", "--json"}, c.args));
        ASSERT_EQ(result.exit_status, 0) << result.err;
        const json handles = json::parse(result.out);
        EXPECT_EQ(handles.size(), 10u);
        for (const auto &[name, position] : c.expected) {
            SCOPED_TRACE(name);
            ASSERT_TRUE(handles.contains(name));
            EXPECT_EQ(handles[name]["x"].get<int>(), position.first);
            EXPECT_EQ(handles[name]["y"].get<int>(), position.second);
        }
    }
}

TEST(DragCommand, MovesEachKindOfHandleAsAUserExpects) {
    struct Case {
        const char *what;
        std::vector<std::string> args;
        json handle;                                               // name or null
        std::map<std::string, std::pair<double, double>> changed;  // key: old, new
    };
    const std::vector<Case> cases{
        {"bottom-right corner +100,+50 at zoom 1",
         Join(SIMPLE_WINDOW, {"--from", "1360,740", "--to", "1460,790"}),
         "corner_bottom_right",
         {{"width", {800, 1000}}, {"height", {400, 500}}}},
        {"top-left corner -100,-50 grows the window alike",
         Join(SIMPLE_WINDOW, {"--from", "560,340", "--to", "460,290", "--steps", "3"}),
         "corner_top_left",
         {{"width", {800, 1000}}, {"height", {400, 500}}}},
        {"bottom-right corner +100,+50 at zoom 2 is half as far in the layer",
         Join(SIMPLE_WINDOW, {"--from", "2930,1600", "--to", "3030,1650", "--zoom", "2", "--pan", "10,20",
                              "--layer-offset", "100,50"}),
         "corner_bottom_right",
         {{"width", {800, 900}}, {"height", {400, 450}}}},
        {"bottom-right corner in the layer view of the editing host",
         Join(SIMPLE_WINDOW, {"--from", "1360,740", "--to", "1460,790", "--view", "layer", "--host", "premiere"}),
         "corner_bottom_right",
         {{"width", {800, 1000}}, {"height", {400, 500}}}},
        {"angle handle to the right of the centre",
         Join(SIMPLE_WINDOW, {"--from", "960,324", "--to", "1176,540"}),
         "angle",
         {{"angle", {0, 90}}}},
        {"angle handle straight below the centre",
         Join(SIMPLE_WINDOW, {"--from", "960,324", "--to", "960,700"}),
         "angle",
         {{"angle", {0, 180}}}},
        {"left feather handle 30 outwards",
         Join(SIMPLE_WINDOW, {"--from", "610,540", "--to", "580,540"}),
         "feather_left",
         {{"feather", {50, 20}}}},
        {"top feather handle 15 inwards (a vertical inset is half the feather)",
         Join(SIMPLE_WINDOW, {"--from", "960,365", "--to", "960,380"}),
         "feather_top",
         {{"feather", {50, 80}}}},
        {"mix knob 50 up", Join(SIMPLE_WINDOW, {"--from", "920,540", "--to", "920,490"}), "mix", {{"mix", {0.5, 1}}}},
        {"a click away from every handle", Join(SIMPLE_WINDOW, {"--from", "100,100", "--to", "300,300"}), nullptr, {}},
    };
    ScratchDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const tool_test::ToolResult result = RunTool(dir, Join({"drag", "--json"}, c.args));
        ASSERT_EQ(result.exit_status, 0) << result.err;
        const json out = json::parse(result.out);
        EXPECT_EQ(out["handle"], c.handle);
        ASSERT_EQ(out["changed"].size(), c.changed.size()) << out.dump();
        for (const auto &[key, values] : c.changed) {
            SCOPED_TRACE(key);
            ASSERT_TRUE(out["changed"].contains(key));
            EXPECT_DOUBLE_EQ(out["changed"][key]["old"].get<double>(), values.first);
            EXPECT_DOUBLE_EQ(out["changed"][key]["new"].get<double>(), values.second);
        }
    }
}

TEST(DragCommand, PlainTextAndPictureOfTheResult) {
    ScratchDir dir;
    const tool_test::ToolResult result =
        RunTool(dir, Join({"drag", "--from", "1360,740", "--to", "1460,790", "-o", "after.png"}, SIMPLE_WINDOW));
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.out, "handle: corner_bottom_right\nwidth: 800 -> 1000\nheight: 400 -> 500\n");
    const OIIO::ImageBuf picture = tool_test::ReadFile(dir / "after.png", OIIO::TypeDesc::UINT8);
    EXPECT_EQ(LayoutOf(picture).width, 1920);
    EXPECT_EQ(LayoutOf(picture).height, 1080);
}

TEST(OverlayCommand, WritesTheViewAndEveryDrawingCall) {
    struct Case {
        const char *what;
        std::vector<std::string> args;
        int width;
        int height;
        bool pens;  // the editing host strokes with its own pens
    };
    const std::vector<Case> cases{
        {"compositing host, composition view at zoom 0.5",
         {"--zoom", "0.5", "--layer-offset", "100,50"},
         960,
         540,
         false},
        {"editing host, layer view at zoom 0.25",
         {"--host", "premiere", "--view", "layer", "--zoom", "0.25"},
         480,
         270,
         true},
    };
    ScratchDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const tool_test::ToolResult result =
            RunTool(dir, Join({"overlay", "-o", "view.png", "--trace", "trace.json", "--set", "angle=30"}, c.args));
        ASSERT_EQ(result.exit_status, 0) << result.err;
        const OIIO::ImageBuf picture = tool_test::ReadFile(dir / "view.png", OIIO::TypeDesc::UINT8);
        EXPECT_EQ(LayoutOf(picture).width, c.width);
        EXPECT_EQ(LayoutOf(picture).height, c.height);

        const json trace = json::parse(tool_test::ReadText(dir / "trace.json"));
        const json &objects = trace["objects"];
        EXPECT_EQ(objects["paths_made"], objects["paths_released"]);
        EXPECT_EQ(objects["pens_made"], objects["pens_released"]);
        EXPECT_EQ(objects["pens_made"].get<int>() > 0, c.pens);
        EXPECT_GT(objects["strokes"].get<int>(), 8);
        const json &first = trace["calls"].front();
        EXPECT_EQ(first["suite"], "PF Effect Custom UI Suite");
        EXPECT_EQ(first["operation"], "PF_GetDrawingReference");
        for (const json &call : trace["calls"]) {
            EXPECT_EQ(call["result"], 0) << call.dump();
        }
    }
}

TEST(OverlayCommands, UsageMistakesExitWithStatus2) {
    const std::vector<std::vector<std::string>> cases{
        {"drag", "--to", "5,5"},
        {"drag", "--from", "1,2,3", "--to", "5,5"},
        {"drag", "--from", "1.5,2", "--to", "5,5"},
        {"drag", "--from", "1,2", "--to", "5,5", "--steps", "0"},
        {"handles", "--zoom", "0"},
        {"handles", "--zoom", "nan"},
        {"handles", "--view", "effect"},
        {"handles", "--pan", "ten,twenty"},
        {"handles", "--layer-offset", "1e9,0"},
        {"handles", "--layer-scale", "0"},
        {"handles", "--host", "resolve"},
        {"handles", "--set", "no_such_key=1"},
        {"handles", "--preset", "no-such-look.json"},
        {"handles", "missing-input.png"},
        {"overlay"},
        {"overlay", "-o", "view.unknown-format"},
        {"overlay", "-o", "view.png", "--trace", "no/such/folder/trace.json"},
        {"overlay", "-o", "view.png", "--zoom", "64"},  // far too large a picture
    };
    ScratchDir dir;
    for (const std::vector<std::string> &args : cases) {
        std::string line;
        for (const std::string &arg : args) {
            line += arg + " ";
        }
        SCOPED_TRACE(line);
        const tool_test::ToolResult result = RunTool(dir, args);
        EXPECT_EQ(result.exit_status, 2) << result.err;
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_TRUE(dir.Files().empty());  // nothing half-written was left
}

// A saved look applies to the overlay commands as to render: before the
// --set options, so a --set adjusts it.
TEST(OverlayCommands, PresetAppliesBeforeSet) {
    ScratchDir dir;
    {
        std::ofstream look(dir / "look.json");
        look << R"({"width": 800, "height": 999, "feather": 50, "window_type": "Rectangle"})";
    }
    const std::vector<std::string> views[] = {{"handles", "--json"},
                                              {"drag", "--json", "--from", "1360,740", "--to", "1460,790"}};
    for (const std::vector<std::string> &view : views) {
        SCOPED_TRACE(view[0]);
        const tool_test::ToolResult from_preset =
            RunTool(dir, Join(view, {"--preset", dir / "look.json", "--set", "height=400", "--set", "mix=0.5"}));
        const tool_test::ToolResult from_sets =
            RunTool(dir, Join(view, Join(SIMPLE_WINDOW, {"--set", "window_type=rectangle"})));
        ASSERT_EQ(from_preset.exit_status, 0) << from_preset.err;
        ASSERT_EQ(from_sets.exit_status, 0) << from_sets.err;
        EXPECT_EQ(json::parse(from_preset.out), json::parse(from_sets.out));
    }
}

}  // namespace
