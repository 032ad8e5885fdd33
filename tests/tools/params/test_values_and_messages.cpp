// Values as a user gives and gets them back: frame ranges up to the largest
// frame number, presets whose origin means the same place on any plate,
// drags that leave only values the effect controls accept, and refusals
// that say what is really wrong, with exit status 2 and nothing written.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/tool_runner.h"
#include "tools/base/tool_error.h"
#include "tools/commands/frame_pattern.h"
#include "tools/scene/view_options.h"

namespace {

using nlohmann::json;
using tool_test::LayoutOf;
using tool_test::RunTool;
using tool_test::ScratchDir;

using zonara_test::WriteText;

using tool_test::Join;

// Every refusal runs in a folder holding in.png (16x8), plate.png (300x200),
// the presets below and a folder; it must leave exactly these.
struct Refusal {
    const char *what;
    std::vector<std::string> args;
    const char *message;  // part of what stderr must say
};

TEST(ValuesAndMessages, RefusalsSayWhatIsWrongAndWriteNothing) {
    // Where the refusal is of a value, the chart is rendered to a PAM: the
    // tool then loads no image library, the slowest part of a short run.
    const std::vector<Refusal> cases{
        {"a range past what a frame number holds wraps nothing",
         {"render", "in.png", "-o", "out.%04d.png", "--frames", "0-2147483647"},
         "--frames '0-2147483647': 2147483648 frames; one run renders at most 1000000"},
        {"a frame number past an int",
         {"render", "in.png", "-o", "out.%04d.png", "--frames", "1-2147483648"},
         "frame numbers go up to 2147483647"},
        {"a negative first frame",
         {"render", "in.png", "-o", "out.%04d.png", "--frames", "-5-3"},
         "--frames '-5-3': negative frame numbers are not supported"},
        {"a negative last frame",
         {"render", "in.png", "-o", "out.%04d.png", "--frames", "5--3"},
         "negative frame numbers are not supported"},
        {"a preset number the JSON reader cannot hold names file and key",
         {"render", "-o", "out.pam", "--preset", "huge.json"},
         "huge.json: mix=1e400: out of range (valid: 0 to 1)"},
        {"the same inside a point",
         {"render", "-o", "out.pam", "--preset", "huge_origin.json"},
         "huge_origin.json: origin=-1e400: out of range"},
        {"a number too small for a double",
         {"render", "-o", "out.pam", "--preset", "tiny.json"},
         "tiny.json: in_gain=1.0e-400: out of range (valid: 0 to 10)"},
        {"a preset's true for a slider",
         {"render", "-o", "out.pam", "--preset", "true.json"},
         "true.json: in_gain=true: not a number"},
        {"a preset nested without end",
         {"render", "-o", "out.pam", "--preset", "deep.json"},
         "deep.json: nested deeper than 64 levels"},
        {"a nested value is quoted short",
         {"render", "-o", "out.pam", "--preset", "nested.json"},
         "]]]]'... (120 bytes): unusable value (valid: 0 to 1)"},
        {"a device never ends",
         {"render", "-o", "out.pam", "--preset", "/dev/zero"},
         "preset /dev/zero: not a regular file"},
        {"a preset beyond any look",
         {"render", "-o", "out.pam", "--preset", "big.json"},
         "preset big.json: 16777217 bytes, larger than 16 MiB"},
        {"a preset key with spaces is the key",
         {"render", "-o", "out.pam", "--preset", "spaced.json"},
         "spaced.json: the key 'mix' is given more than once"},
        {"a long unknown name is quoted short",
         {"render", "-o", "out.pam", "--set", std::string(100000, 'k') + "=1"},
         "unknown parameter 'kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk'... (100000 bytes) ("},
        {"hex is no number", {"overlay", "-o", "view.png", "--zoom", "0x10"}, "--zoom: '0x10' is not a number"},
        {"an option's overflow names its range",
         {"render", "-o", "out.pam", "--downsample", "1e10"},
         "--downsample: '1e10' is out of range (valid: 1 to 64)"},
        {"bench holds sizes to render's limits",
         {"bench", "--size", "16385x16385"},
         "--size: 16385x16385 is too large (at most 32768 pixels a side and 268435456 pixels in all)"},
        {"an unsupported frame number width",
         {"render", "-o", "o.%013d.pam", "--frames", "1-2"},
         "'o.%013d.pam': '%013d' is not a frame number this tool writes; it takes %d, %0Nd"},
        {"a frame named twice", {"render", "-o", "o.%04d.pam", "--frames", "1-5,3"}, "frame 3 is named more than once"},
        {"a folder given as a preset",
         {"render", "-o", "out.pam", "--preset", "looks"},
         "preset looks is a folder, not a file"},
        {"a point per cent beyond what the host holds on this plate",
         {"render", "plate.png", "-o", "out.png", "--set", "origin=50%,20000%"},
         "origin: 20000% of a layer 200 pixels high is 40000 pixels, beyond the 32767 a point can hold"},
        {"a per cent that is no number",
         {"render", "-o", "out.pam", "--set", "origin=half%,50%"},
         "origin=half%,50%: not X,Y"},
        {"--set without a name",
         {"render", "-o", "out.pam", "--set", "=5"},
         "--set '=5': a parameter name is missing before '='"},
        {"a zoom too large for the view",
         {"overlay", "-o", "view.png", "--zoom", "6"},
         "--zoom 6 is too large for the view of this 1920x1080 layer: its picture would be 11520x6480, more than "
         "67108864 pixels in all; the largest zoom for it is 5.68"},
        {"the same for a drag's picture",
         {"drag", "--from", "1,1", "--to", "2,2", "-o", "after.png", "--zoom", "6"},
         "the largest zoom for it is 5.68"},
        {"no frame readable says why the first is not",
         {"render", "f.%04d.png", "-o", "out.%04d.png", "--frames", "1-3"},
         "none of the 3 input frames can be read (f.%04d.png): the first, f.0001.png: no such file"},
        {"a device given as a CDL file",
         {"render", "-o", "out.pam", "--cdl-inside", "/dev/null"},
         "/dev/null: not a regular file"},
        {"a folder given as a CDL file", {"render", "-o", "out.pam", "--cdl-outside", "looks"}, "looks: is a folder"},
        {"Cineon is read, not written", {"render", "in.png", "-o", "x.cin"}, "x.cin: this format is read, not written"},
        {"Photoshop is read, not written",
         {"render", "in.png", "-o", "x.psd"},
         "x.psd: this format is read, not written"},
        {"an unknown format is none", {"render", "in.png", "-o", "x.zzz"}, "x.zzz: no image format for this file name"},
        {"a depth format holds no picture",
         {"render", "in.png", "-o", "x.zfile"},
         "x.zfile: not written: ZFile holds one channel of depth, not a picture"},
        {"the library's null format writes nothing",
         {"render", "in.png", "-o", "x.null"},
         "x.null: not written: the null format writes no file"},
        {"the library's terminal format writes no file",
         {"render", "in.png", "-o", "x.term"},
         "x.term: not written: the term format draws on the terminal"},
        {"FITS as the library writes it is one row off",
         {"render", "in.png", "-o", "x.fits"},
         "x.fits: not written: the image library's FITS writer puts a row of zeros before the pixels"},
        {"a key given twice in a preset",
         {"render", "-o", "out.pam", "--preset", "twice.json"},
         "twice.json: the key 'mix' is given more than once"},
        // An empty value is an unset shell variable, never the chart or the default.
        {"an empty INPUT", {"render", "", "-o", "out.pam"}, "INPUT: is empty"},
        {"an empty output", {"render", "in.png", "-o", ""}, "--output: is empty"},
        {"an empty preset", {"render", "-o", "out.pam", "--preset", ""}, "--preset: is empty"},
        {"an empty CDL file", {"render", "-o", "out.pam", "--cdl-inside", ""}, "--cdl-inside: is empty"},
        {"an empty id", {"cdl", "export", "--side", "inside", "--id", "", "-o", "x.cc"}, "--id: is empty"},
        {"an empty trace", {"overlay", "-o", "view.png", "--trace", ""}, "--trace: is empty"},
        {"a loop of links as the input",
         {"render", "loop.png", "-o", "out.png"},
         "loop.png: Too many levels of symbolic links"},
    };
    for (const Refusal &c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        tool_test::WriteFile(tool_test::MakePattern(16, 8, 3, OIIO::TypeDesc::UINT8), dir / "in.png",
                             OIIO::TypeDesc::UINT8);
        tool_test::WriteFile(tool_test::MakePattern(300, 200, 3, OIIO::TypeDesc::UINT8), dir / "plate.png",
                             OIIO::TypeDesc::UINT8);
        WriteText(dir / "huge.json", R"({"width": 100, "mix": 1e400})");
        WriteText(dir / "huge_origin.json", R"({"origin": [-1e400, 3]})");
        WriteText(dir / "twice.json", R"({"mix": 0.5, "width": 100, "mix": 1})");
        WriteText(dir / "tiny.json", R"({"in_gain": 1.0e-400})");
        WriteText(dir / "true.json", R"({"in_gain": true})");
        WriteText(dir / "deep.json", "{\"mix\": " + std::string(100000, '[') + std::string(100000, ']') + "}");
        WriteText(dir / "nested.json", "{\"mix\": " + std::string(60, '[') + std::string(60, ']') + "}");
        WriteText(dir / "spaced.json", R"({"mix": 0.5, " mix ": 1})");
        WriteText(dir / "big.json", "{}");
        std::filesystem::resize_file(dir / "big.json", (16u << 20) + 1);  // sparse: no time spent writing
        std::filesystem::create_directory(dir / "looks");
        std::filesystem::create_symlink("loop.png", dir / "loop.png");
        const std::vector<std::string> before = dir.Files();

        const tool_test::ToolResult result = RunTool(dir, c.args);
        EXPECT_EQ(result.exit_status, 2) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(dir.Files(), before);
    }
}

// A long run's failures: each reported as it happens, then one short line
// of counts and the first runs of frames, however many failed.
TEST(FrameRanges, ManyFailedFramesAreSummarised) {
    ScratchDir dir;
    for (int frame = 1; frame <= 25; frame += 2) {
        char name[32];
        std::snprintf(name, sizeof name, "f.%04d.png", frame);
        tool_test::WriteFile(tool_test::MakePattern(4, 2, 3, OIIO::TypeDesc::UINT8), dir / name, OIIO::TypeDesc::UINT8);
    }
    const tool_test::ToolResult result =
        RunTool(dir, {"render", "f.%04d.png", "-o", "out.%04d.png", "--frames", "1-20000"});
    EXPECT_EQ(result.exit_status, 2);
    const std::size_t last_line = result.err.rfind('\n', result.err.size() - 2);
    const std::string summary = result.err.substr(last_line + 1);
    EXPECT_EQ(summary, "zonara: 19987 of 20000 frames failed: 2, 4, 6, 8, 10, 12, 14, 16, 18, 20 and 19977 more\n");
}

TEST(FrameRanges, FrameListsAreShortRuns) {
    struct Case {
        std::vector<int> frames;
        const char *text;
    };
    // clang-format off
    const Case cases[] = {
        {{}, ""},
        {{7}, "7"},
        {{1, 2, 3, 5, 8, 9}, "1-3, 5 and 2 more"},
        {{2147483646, 2147483647}, "2147483646-2147483647"},
        {{1, 3, 5, 7}, "1, 3 and 2 more"},
        {{1, 2, 3, 4, 10, 11}, "1-4, 10-11"},
    };
    // clang-format on
    for (const Case &c : cases) {
        EXPECT_EQ(zonara_tool::FrameListText(c.frames, 2), c.text);
    }
}

// An RGBA picture written to a format without alpha loses the channel:
// said once, not silently.
TEST(OutputAlpha, AFormatWithoutAlphaSaysItDropsIt) {
    ScratchDir dir;
    tool_test::WriteFile(tool_test::MakePattern(16, 8, 4, OIIO::TypeDesc::UINT8), dir / "rgba.png",
                         OIIO::TypeDesc::UINT8);
    tool_test::WriteFile(tool_test::MakePattern(16, 8, 3, OIIO::TypeDesc::UINT8), dir / "rgb.png",
                         OIIO::TypeDesc::UINT8);
    const tool_test::ToolResult rgba = RunTool(dir, {"render", "rgba.png", "-o", "rgba.jpg"});
    EXPECT_EQ(rgba.exit_status, 0) << rgba.err;
    EXPECT_NE(rgba.err.find("rgba.jpg: the jpeg format stores no alpha; the image's alpha channel is dropped"),
              std::string::npos)
        << rgba.err;
    const tool_test::ToolResult rgb = RunTool(dir, {"render", "rgb.png", "-o", "rgb.jpg"});
    EXPECT_EQ(rgb.exit_status, 0) << rgb.err;
    EXPECT_EQ(rgb.err, "zonara: wrote rgb.jpg: 16x8, 8-bit RGB\n");
    const tool_test::ToolResult kept = RunTool(dir, {"render", "rgba.png", "-o", "rgba.tif"});
    EXPECT_EQ(kept.exit_status, 0) << kept.err;
    EXPECT_EQ(kept.err, "zonara: wrote rgba.tif: 16x8, 8-bit RGBA\n");
}

// A file the user may not read is refused in the system's words, whatever
// its format. The superuser reads anything, so it runs the tool as nobody.
TEST(InputMessages, AnUnreadableFileSaysPermissionDenied) {
    ScratchDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    for (const char *name : {"locked.png", "locked.pam"}) {
        SCOPED_TRACE(name);
        if (std::string(name).find(".png") != std::string::npos) {
            tool_test::WriteFile(tool_test::MakePattern(4, 2, 3, OIIO::TypeDesc::UINT8), dir / name,
                                 OIIO::TypeDesc::UINT8);
        } else {
            WriteText(dir / name, "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\nabc");
        }
        std::filesystem::permissions(dir / name, std::filesystem::perms::owner_write);
        const std::string as_user = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        const std::string command = "cd " + tool_test::Quote(dir.path().string()) + " && " + as_user +
                                    tool_test::Quote(ZONARA_TOOL_PATH) + " render " + name +
                                    " -o out.png 2>err.txt </dev/null";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 2);
        const std::string err = tool_test::ReadText(dir / "err.txt");
        EXPECT_NE(err.find(std::string(name) + ": cannot open (Permission denied)"), std::string::npos) << err;
        std::filesystem::remove(dir / "err.txt");
    }
}

TEST(FrameRanges, BoundsOfWhatOneRunTakes) {
    struct Case {
        const char *text;
        std::int64_t count;  // 0: refused
        const char *message;
    };
    // clang-format off
    const Case cases[] = {
        {"2147483647", 1, ""},
        {"2147483646-2147483647", 2, ""},
        {"0-999999", 1000000, ""},
        {"1-1000000", 1000000, ""},
        {"-0", 1, ""},
        {"0-1000000", 0, "1000001 frames"},
        {"0-2147483647", 0, "2147483648 frames"},
        {"2147483648", 0, "go up to 2147483647"},
        {"99999999999999999999", 0, "go up to 2147483647"},
        {"-1", 0, "negative frame numbers"},
        {"-99999999999999999999-1", 0, "negative frame numbers"},
        {"1-2-3", 0, "expected FIRST-LAST"},
        {"--3", 0, "expected FIRST-LAST"},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        if (c.count != 0) {
            EXPECT_EQ(zonara_tool::ParseFrameRange(c.text).count(), c.count);
            continue;
        }
        try {
            zonara_tool::ParseFrameRange(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const zonara_tool::ToolError &error) {
            EXPECT_EQ(error.exit_status(), zonara_tool::EXIT_USAGE);
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

// Counting up to the largest int used to wrap and never end.
TEST(FrameRanges, TheLastFrameNumbersRender) {
    ScratchDir dir;
    tool_test::WriteFile(tool_test::MakePattern(8, 4, 3, OIIO::TypeDesc::UINT8), dir / "in.png", OIIO::TypeDesc::UINT8);
    const tool_test::ToolResult result =
        RunTool(dir, {"render", "in.png", "-o", "out.%04d.png", "--frames", "2147483646-2147483647"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(dir.Files(), (std::vector<std::string>{"in.png", "out.2147483646.png", "out.2147483647.png"}));
}

bool SameSamples(const std::string &a, const std::string &b) {
    const OIIO::ImageBuf first = tool_test::ReadFile(a, OIIO::TypeDesc::UINT8);
    const OIIO::ImageBuf second = tool_test::ReadFile(b, OIIO::TypeDesc::UINT8);
    return LayoutOf(first).image_bytes() == LayoutOf(second).image_bytes() &&
           std::memcmp(first.localpixels(), second.localpixels(), LayoutOf(first).image_bytes()) == 0;
}

// The default origin is the layer's centre: a preset made by `params
// --values` on the tool's 1920x1080 layer must put it there on an 80x40
// plate too, as must the per cent forms; the old pixel form keeps meaning
// pixels.
TEST(PresetOrigin, MeansTheSamePlaceOnAnyPlate) {
    ScratchDir dir;
    tool_test::WriteFile(tool_test::MakePattern(80, 40, 3, OIIO::TypeDesc::UINT8), dir / "plate.png",
                         OIIO::TypeDesc::UINT8);
    // A small hard-edged window that darkens what it covers, so that where
    // it sits shows in the pixels.
    const std::vector<std::string> window{"--set", "width=40",  "--set", "height=20",
                                          "--set", "feather=0", "--set", "in_gain=0.5"};
    const tool_test::ToolResult listed = RunTool(dir, {"params", "--values"});
    ASSERT_EQ(listed.exit_status, 0) << listed.err;
    EXPECT_EQ(json::parse(listed.out)["origin"], json::array({"50%", "50%"}));
    WriteText(dir / "listed.json", listed.out);
    ASSERT_EQ(RunTool(dir, Join({"render", "plate.png", "-o", "default.png"}, window)).exit_status, 0);

    struct Case {
        const char *what;
        std::vector<std::string> args;
        bool centred;
    };
    WriteText(dir / "pixels.json", R"({"origin": [40, 20]})");
    WriteText(dir / "mixed.json", R"({"origin": ["50%", 20]})");
    WriteText(dir / "full_hd.json", R"({"origin": [960, 540]})");
    const std::vector<Case> cases{
        {"the preset params --values wrote", {"--preset", "listed.json"}, true},
        {"--set in per cent", {"--set", "origin=50%,50%"}, true},
        {"an old preset in pixels of this plate", {"--preset", "pixels.json"}, true},
        {"per cent and pixels mixed", {"--preset", "mixed.json"}, true},
        {"the full-HD centre in pixels is off this plate", {"--preset", "full_hd.json"}, false},
        {"per cent taken of each side of the plate", {"--set", "origin=50%,25%"}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const tool_test::ToolResult result =
            RunTool(dir, Join(Join({"render", "plate.png", "-o", "result.png"}, c.args), window));
        ASSERT_EQ(result.exit_status, 0) << result.err;
        EXPECT_EQ(SameSamples(dir / "default.png", dir / "result.png"), c.centred);
    }
}

// SIMPLE_WINDOW on the 1920x1080 chart: centred, 800 x 400, its
// bottom-right corner handle at (1360, 740), the mix knob at (920, 540).
const std::vector<std::string> SIMPLE_WINDOW{"--set", "width=800",  "--set", "height=400",
                                             "--set", "feather=50", "--set", "mix=0.5"};

TEST(DragValues, KeptWithinTheDeclaredRangesAndUnchangedSaidSo) {
    struct Case {
        const char *what;
        std::vector<std::string> args;
        json changed;
        json unchanged;
    };
    const std::vector<Case> cases{
        {"the mix knob far above its top",
         {"--from", "920,540", "--to", "920,100"},
         {{"mix", {{"old", 0.5}, {"new", 1.0}}}},
         json::object()},
        {"a corner dragged far past the widest window",
         {"--from", "1360,740", "--to", "9000,740"},
         {{"width", {{"old", 800.0}, {"new", 15000.0}}}},
         {{"height", 400.0}}},
        {"a click on a corner without a move",
         {"--from", "1360,740", "--to", "1360,740"},
         json::object(),
         {{"width", 800.0}, {"height", 400.0}}},
    };
    ScratchDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const tool_test::ToolResult result = RunTool(dir, Join(Join({"drag", "--json"}, SIMPLE_WINDOW), c.args));
        ASSERT_EQ(result.exit_status, 0) << result.err;
        const json out = json::parse(result.out);
        EXPECT_EQ(out["changed"], c.changed) << out.dump();
        EXPECT_EQ(out["unchanged"], c.unchanged) << out.dump();
    }
    EXPECT_TRUE(dir.Files().empty());

    // In words, with the picture drawn from the kept values (which --set,
    // and so render, accept).
    const tool_test::ToolResult text =
        RunTool(dir, Join({"drag", "--from", "1360,740", "--to", "9000,740", "-o", "after.png"}, SIMPLE_WINDOW));
    ASSERT_EQ(text.exit_status, 0) << text.err;
    EXPECT_EQ(text.out, "handle: corner_bottom_right\nwidth: 800 -> 15000\nheight: 400 (unchanged)\n");
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"after.png"});
    const tool_test::ToolResult still =
        RunTool(dir, Join({"drag", "--from", "1360,740", "--to", "1360,740"}, SIMPLE_WINDOW));
    ASSERT_EQ(still.exit_status, 0) << still.err;
    EXPECT_EQ(still.out,
              "handle: corner_bottom_right\nno parameter changed\nwidth: 800 (unchanged)\nheight: 400 (unchanged)\n");
}

TEST(ViewZoom, LargestDrawnIsDrawnAndTheNextIsRefused) {
    struct Case {
        int width;
        int height;
        double largest;
    };
    // clang-format off
    const Case cases[] = {
        {1920, 1080, 5.68},  // the pixel count binds
        {1000, 1000, 8.19},  // 8190 x 8190: 8.2 would pass the count
        {16384, 1, 1.0},     // the side binds
        {32768, 8192, 0.5},  // the largest layer the tool reads
        {1, 1, 8192.0},      // the count exactly; the view options refuse past 64 before this
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const double largest = zonara_tool::LargestZoomToDraw(c.width, c.height);
        EXPECT_DOUBLE_EQ(largest, c.largest);
        EXPECT_NO_THROW(zonara_tool::RequireDrawableZoom(largest, c.width, c.height));
        EXPECT_THROW(zonara_tool::RequireDrawableZoom(largest + 0.01, c.width, c.height), zonara_tool::ToolError);
    }
}

}  // namespace
