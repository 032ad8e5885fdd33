// zonara.exe with the Windows module, run under Wine, gives the same bytes
// as the native tool with the native module: renders in every host and
// depth with several parameter sets, overlay drawing traces, handle
// positions, drags, the about text, the parameter list and the property list
// (read there from the module file's resource), and the instruction-set
// level each build detects under every cap. Results are defined to the bit,
// so any difference is a fault of the Windows build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "support/levels.h"
#include "windows/windows_build.h"

namespace {

using windows_test::ReadBytes;
using windows_test::RunNative;
using windows_test::RunUnderWine;
using windows_test::ScratchDir;

constexpr int PATTERN_WIDTH = 320;
constexpr int PATTERN_HEIGHT = 200;

using windows_test::WriteFile;

// Noise over the whole range, so that every part of every conversion and of
// the window's falloff is met.
std::string PamPattern(int channels, bool wide, unsigned seed) {
    static const char *const TUPLTYPES[] = {"", "GRAYSCALE", "GRAYSCALE_ALPHA", "RGB", "RGB_ALPHA"};
    std::string bytes = "P7\nWIDTH " + std::to_string(PATTERN_WIDTH) + "\nHEIGHT " + std::to_string(PATTERN_HEIGHT) +
                        "\nDEPTH " + std::to_string(channels) + "\nMAXVAL " + (wide ? "65535" : "255") + "\nTUPLTYPE " +
                        TUPLTYPES[channels] + "\nENDHDR\n";
    std::mt19937 random(seed);
    const std::size_t count = std::size_t{PATTERN_WIDTH} * PATTERN_HEIGHT * channels * (wide ? 2 : 1);
    for (std::size_t i = 0; i < count; ++i) {
        bytes += static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

// Float RGB with values beyond 0..1 and below 0, as float footage has.
std::string PfmPattern(unsigned seed) {
    std::string bytes = "PF\n" + std::to_string(PATTERN_WIDTH) + " " + std::to_string(PATTERN_HEIGHT) + "\n-1.0\n";
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-0.25f, 1.5f);
    for (int i = 0; i < PATTERN_WIDTH * PATTERN_HEIGHT * 3; ++i) {
        const float v = value(random);
        char b[4];
        std::memcpy(b, &v, 4);
        bytes.append(b, 4);
    }
    return bytes;
}

class WineMatchesNative : public ::testing::Test {
protected:
    void SetUp() override {
#if defined(ZONARA_SANITIZED_BUILD)
        GTEST_SKIP() << "compared once, in the optimised build";
#endif
        if (const std::string why = windows_test::WhyWindowsChecksCannotRun(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        WriteFile(dir_ / "rgba8.pam", PamPattern(4, false, 11));
        WriteFile(dir_ / "rgb16.pam", PamPattern(3, true, 12));
        WriteFile(dir_ / "grey16.pam", PamPattern(1, true, 13));
        WriteFile(dir_ / "rgbf.pfm", PfmPattern(14));
    }

    // Runs both tools with the same arguments; they must both succeed and
    // print the same, and write the same bytes into each of `outputs`.
    void ExpectSameResults(const std::vector<std::string> &args, const std::vector<std::string> &outputs,
                           bool compare_stdout = true) {
        const windows_test::Run native = RunNative(dir_.path(), args);
        ASSERT_EQ(native.exit_status, 0) << native.err;
        std::vector<std::vector<std::uint8_t>> native_files;
        for (const std::string &output : outputs) {
            native_files.push_back(ReadBytes(dir_ / output));
            std::filesystem::rename(dir_ / output, dir_ / ("native-" + output));
        }
        const windows_test::Run wine = RunUnderWine(dir_.path(), args);
        ASSERT_EQ(wine.exit_status, 0) << wine.err;
        if (compare_stdout) {
            EXPECT_EQ(wine.out, native.out);
        }
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            SCOPED_TRACE(outputs[i]);
            std::vector<std::uint8_t> windows_file = ReadBytes(dir_ / outputs[i]);
            if (outputs[i].ends_with(".json")) {
                const std::string text = windows_test::WithoutCarriageReturnsBeforeNewlines(
                    std::string(windows_file.begin(), windows_file.end()));
                windows_file.assign(text.begin(), text.end());
            }
            ASSERT_FALSE(native_files[i].empty());
            ASSERT_EQ(windows_file.size(), native_files[i].size());
            EXPECT_TRUE(windows_file == native_files[i])
                << "first difference at byte "
                << std::distance(
                       windows_file.begin(),
                       std::mismatch(windows_file.begin(), windows_file.end(), native_files[i].begin()).first);
        }
    }

    ScratchDir dir_{"wine"};
};

struct RenderCase {
    const char *name;
    std::vector<std::string> args;  // after "render"
    const char *output;
};

std::vector<std::string> Sets(std::initializer_list<const char *> pairs) {
    std::vector<std::string> args;
    for (const char *pair : pairs) {
        args.push_back("--set");
        args.push_back(pair);
    }
    return args;
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> SOFT_WARM_WINDOW =
    Sets({"width=200", "height=120", "feather=60", "falloff=gaussian", "in_red_gain=1.3", "in_blue_gain=0.75",
          "out_gain=0.5", "out_saturation=0.1"});
const std::vector<std::string> ROTATED_CDL_RECTANGLE =
    Sets({"window_type=rectangle", "origin=100,80", "width=180", "height=90", "angle=33", "feather=40",
          "falloff=exponential", "invert=on", "color_model=CDL compliant", "in_gamma=1.7", "in_offset=0.05",
          "out_red_gamma=0.6", "out_green_offset=-0.1", "mix=0.8", "clamp_out_white=on"});
const std::vector<std::string> LEGACY_EXTREMES =
    Sets({"width=300", "height=40", "feather=150", "falloff=gamma 2.2", "color_model=legacy", "in_gamma=0",
          "in_saturation=3.5", "out_gamma=9", "out_blue_gain=4", "clamp_in_black=off", "clamp_out_black=off"});
const std::vector<std::string> CUBIC_ELLIPSE =
    Sets({"width=140", "height=160", "angle=-70", "feather=80", "falloff=cubic", "out_offset=0.2", "in_saturation=0"});

const std::vector<RenderCase> RENDER_CASES = {
    {"chart_defaults_ae8", {"-o", "out.pam"}, "out.pam"},
    {"chart_soft_window_premiere8",
     Concat({"--host", "premiere", "--depth", "8", "-o", "out.pam"},
            Sets({"feather=320", "falloff=quadratic", "in_red_gain=1.3"})),
     "out.pam"},
    {"rgba8_rotated_rectangle_ae8", Concat({"rgba8.pam", "-o", "out.pam"}, ROTATED_CDL_RECTANGLE), "out.pam"},
    {"rgba8_soft_window_premiere8", Concat({"rgba8.pam", "--host", "premiere", "-o", "out.pam"}, SOFT_WARM_WINDOW),
     "out.pam"},
    {"rgb16_soft_window_ae16", Concat({"rgb16.pam", "-o", "out.pam"}, SOFT_WARM_WINDOW), "out.pam"},
    {"rgb16_legacy_extremes_ae16_wide_pixels", Concat({"rgb16.pam", "--par", "2/1", "-o", "out.pam"}, LEGACY_EXTREMES),
     "out.pam"},
    {"grey16_cubic_ellipse_ae16", Concat({"grey16.pam", "-o", "out.pam"}, CUBIC_ELLIPSE), "out.pam"},
    {"float_rotated_rectangle_premiere", Concat({"rgbf.pfm", "-o", "out.pfm"}, ROTATED_CDL_RECTANGLE), "out.pfm"},
    {"float_legacy_extremes_premiere", Concat({"rgbf.pfm", "-o", "out.pfm"}, LEGACY_EXTREMES), "out.pfm"},
    {"float_cubic_side_by_side_premiere", Concat({"rgbf.pfm", "--side-by-side", "-o", "out.pfm"}, CUBIC_ELLIPSE),
     "out.pfm"},
    {"float_in_premiere8", Concat({"rgbf.pfm", "--depth", "8", "-o", "out.pfm"}, SOFT_WARM_WINDOW), "out.pfm"},
};

TEST_F(WineMatchesNative, Renders) {
    for (const RenderCase &c : RENDER_CASES) {
        SCOPED_TRACE(c.name);
        ExpectSameResults(Concat({"render"}, c.args), {c.output}, false);
    }
}

// The host's threads in another floating-point mode than the standard one
// (flush-to-zero and denormals-are-zero, a directed rounding): both tools
// give the standard mode's bytes, integer and float frames alike.
TEST_F(WineMatchesNative, RendersInEveryHostFloatMode) {
    const std::vector<RenderCase> cases = {
        {"float_legacy_extremes", Concat({"rgbf.pfm", "-o", "out.pfm"}, LEGACY_EXTREMES), "out.pfm"},
        {"rgb16_soft_window", Concat({"rgb16.pam", "-o", "out.pam"}, SOFT_WARM_WINDOW), "out.pam"},
    };
    for (const RenderCase &c : cases) {
        SCOPED_TRACE(c.name);
        const windows_test::Run standard = RunNative(dir_.path(), Concat({"render"}, c.args));
        ASSERT_EQ(standard.exit_status, 0) << standard.err;
        const std::vector<std::uint8_t> expected = ReadBytes(dir_ / c.output);
        for (const char *mode : {"daz-ftz", "daz", "round-up", "round-down"}) {
            SCOPED_TRACE(mode);
            setenv("ZONARA_HOST_FLOAT_MODE", mode, 1);
            ExpectSameResults(Concat({"render"}, c.args), {c.output}, false);
            unsetenv("ZONARA_HOST_FLOAT_MODE");
            EXPECT_TRUE(ReadBytes(dir_ / c.output) == expected);
        }
    }
}

struct OverlayCase {
    const char *name;
    std::vector<std::string> args;  // after "overlay"
};

const std::vector<OverlayCase> OVERLAY_CASES = {
    {"ae_comp_defaults", {}},
    {"ae_comp_zoomed_rotated", Concat({"--zoom", "0.5", "--pan", "40,30"}, Sets({"angle=30", "feather=200"}))},
    {"ae_layer_rectangle", Concat({"--view", "layer", "--zoom", "0.25"}, Sets({"window_type=rectangle", "angle=-45"}))},
    {"ae_comp_moved_scaled_layer",
     Concat({"--layer-offset", "100,-50", "--layer-scale", "0.75"}, Sets({"origin=400,300", "mix=0.3"}))},
    {"premiere_comp", Concat({"--host", "premiere", "--zoom", "0.5"}, Sets({"angle=123", "width=500"}))},
    {"premiere_layer_pattern", Concat({"rgba8.pam", "--host", "premiere", "--view", "layer", "--zoom", "2"},
                                      Sets({"width=150", "height=100", "feather=30"}))},
};

// The traces must match; the pictures differ by design, the Windows host
// having no rasteriser (it draws no overlay pixels).
TEST_F(WineMatchesNative, OverlayTraces) {
    for (const OverlayCase &c : OVERLAY_CASES) {
        SCOPED_TRACE(c.name);
        ExpectSameResults(Concat({"overlay", "-o", "view.pam", "--trace", "trace.json"}, c.args), {"trace.json"});
    }
}

TEST_F(WineMatchesNative, HandlesAndDrags) {
    const std::vector<std::vector<std::string>> commands = {
        Concat({"handles", "--json", "--zoom", "0.5"}, Sets({"angle=30"})),
        Concat({"handles", "--host", "premiere", "--view", "layer"}, Sets({"window_type=rectangle", "angle=200"})),
        {"drag", "--json", "--zoom", "0.5", "--from", "1440,810", "--to", "1500,900"},
        Concat({"drag", "--json", "--host", "premiere", "--from", "960,540", "--to", "900,500", "--steps", "3"},
               Sets({"angle=45"})),
    };
    for (const auto &command : commands) {
        SCOPED_TRACE(command[0]);
        ExpectSameResults(command, {});
    }
}

TEST_F(WineMatchesNative, AboutParametersAndPropertyList) {
    for (const std::vector<std::string> &command : std::vector<std::vector<std::string>>{
             {"about"}, {"params", "--json"}, {"params", "--json", "--values"}, {"pipl"}, {"abi", "--json"}}) {
        SCOPED_TRACE(command[0]);
        ExpectSameResults(command, {});
    }
}

// The level after "level " in `zonara bench`'s output; empty if none.
std::string BenchLevel(const std::string &out) {
    const std::size_t at = out.find("\nlevel ");
    return at == std::string::npos ? "" : out.substr(at + 7, out.find_first_of(",\r\n", at + 7) - (at + 7));
}

// The level comes from the compiler's runtime in both builds (libgcc's
// processor and system checks, also under Wine): both find the same, and
// ZONARA_SIMD lowers it alike, never raising it.
TEST_F(WineMatchesNative, InstructionSetLevelAtEveryCap) {
    const std::vector<std::string> levels = zonara_test::LevelNames();
    const std::vector<std::string> bench = {"bench", "--size", "64x32", "--frames", "1"};
    std::ptrdiff_t detected = -1;
    std::vector<std::string> caps{""};  // unset first, then from the highest down
    caps.insert(caps.end(), levels.rbegin(), levels.rend());
    for (const std::string &cap : caps) {
        SCOPED_TRACE(cap.empty() ? "unset" : cap);
        const std::vector<std::string> environment = cap.empty()
                                                         ? std::vector<std::string>{"env", "-u", "ZONARA_SIMD"}
                                                         : std::vector<std::string>{"env", "ZONARA_SIMD=" + cap};
        const windows_test::Run native =
            windows_test::RunIn(dir_.path(), Concat(environment, {ZONARA_TOOL_PATH}), bench, "native");
        const windows_test::Run wine = windows_test::RunInWine(
            dir_.path(), Concat(environment, {windows_test::WineRunner(), windows_test::WindowsTool().string()}), bench,
            "wine");
        ASSERT_EQ(native.exit_status, 0) << native.err;
        ASSERT_EQ(wine.exit_status, 0) << wine.err;
        const std::string level = BenchLevel(native.out);
        EXPECT_EQ(BenchLevel(wine.out), level);
        const auto found = std::find(levels.begin(), levels.end(), level);
        ASSERT_NE(found, levels.end()) << native.out;
        if (cap.empty()) {
            detected = found - levels.begin();
            EXPECT_GE(detected, 1) << "every x86-64 processor has the baseline";
        } else {
            const std::ptrdiff_t wanted = std::find(levels.begin(), levels.end(), cap) - levels.begin();
            EXPECT_EQ(found - levels.begin(), std::min(wanted, detected));
        }
    }
}

// The Windows tool's help offers only what that build has: no CDL files,
// no draft resampling, no formats beyond PAM and PFM; what it lacks is still
// refused with its reason where given.
TEST_F(WineMatchesNative, HelpOffersOnlyWhatTheBuildHas) {
    for (const std::vector<std::string> &command : std::vector<std::vector<std::string>>{
             {"--help"}, {"render", "--help"}, {"overlay", "--help"}, {"params", "--help"}, {"handles", "--help"}}) {
        SCOPED_TRACE(command[0] + (command.size() > 1 ? " " + command[1] : ""));
        const windows_test::Run wine = RunUnderWine(dir_.path(), command);
        EXPECT_EQ(wine.exit_status, 0) << wine.err;
        for (const char *absent : {"cdl", "--downsample", "PNG", "OpenEXR", "TIFF"}) {
            EXPECT_EQ(wine.out.find(absent), std::string::npos) << absent << " in:\n" << wine.out;
        }
    }
    const windows_test::Run native = RunNative(dir_.path(), {"render", "--help"});
    for (const char *present : {"--cdl-inside", "--downsample", "PNG"}) {
        EXPECT_NE(native.out.find(present), std::string::npos) << present << " in:\n" << native.out;
    }
    const windows_test::Run downsample =
        RunUnderWine(dir_.path(), {"render", "rgba8.pam", "-o", "x.pam", "--downsample", "2"});
    EXPECT_EQ(downsample.exit_status, 2);
    EXPECT_NE(downsample.err.find("no resampling"), std::string::npos) << downsample.err;
}

}  // namespace
