// zonara about and zonara params, run as a user runs them: what they print
// and the exit status scripts rely on.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/tool_runner.h"

namespace {

using nlohmann::json;
using tool_test::RunTool;
using tool_test::ScratchDir;

constexpr int USAGE = 2;

TEST(ToolAbout, PrintsTheAboutTextAsTheEffectWritesIt) {
    ScratchDir dir;
    const tool_test::ToolResult result = RunTool(dir, {"about"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    // Name, version, a carriage return, the description; then the tool's
    // own newline.
    EXPECT_EQ(result.out.rfind("Zonara v1.2\rZonara plugin for After Effects and Premiere Pro.", 0), 0u) << result.out;
    ASSERT_FALSE(result.out.empty());
    EXPECT_EQ(result.out.back(), '\n');
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1);
    EXPECT_LT(result.out.size(), 257u);
    EXPECT_EQ(result.err, "");
}

// On a terminal a bare carriage return would draw the description over the
// name: there the lines end in line feeds (which the terminal shows as CR
// LF). `script` gives the tool a terminal.
TEST(ToolAbout, OnATerminalEachLineEndsInALineFeed) {
    ScratchDir dir;
    const std::string command = "cd " + tool_test::Quote(dir.path().string()) + " && script -qec " +
                                tool_test::Quote(tool_test::Quote(ZONARA_TOOL_PATH) + " about") +
                                " /dev/null >out.txt 2>&1 </dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string out = tool_test::ReadText(dir / "out.txt");
    EXPECT_EQ(out.rfind("Zonara v1.2\r\nZonara plugin for After Effects and Premiere Pro.", 0), 0u) << out;
}

TEST(ToolParams, JsonListsEveryDeclaredParameter) {
    ScratchDir dir;
    const tool_test::ToolResult result = RunTool(dir, {"params", "--json"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const json params = json::parse(result.out);
    ASSERT_EQ(params.size(), 47u);
    std::set<int> disk_ids;
    std::map<std::string, json> by_key;
    for (const json &param : params) {
        disk_ids.insert(param.at("disk_id").get<int>());
        by_key[param.at("key").get<std::string>()] = param;
    }
    EXPECT_EQ(disk_ids.size(), 47u);
    EXPECT_EQ(disk_ids.count(7) + disk_ids.count(47), 0u);

    struct Expectation {
        std::string key;
        std::string field;
        json value;
    };
    const Expectation expectations[] = {
        {"window_type", "index", 1},
        {"window_type", "choices", {"Ellipse", "Rectangle"}},
        {"window_type", "default", "Ellipse"},
        {"window_type", "animatable", false},
        {"origin", "default", {960.0, 540.0}},
        {"origin", "default_percent", {50.0, 50.0}},
        {"origin", "group", "Window controls"},
        {"width", "valid_max", 15000.0},
        {"width", "default", 1920.0},
        {"in_red_gamma", "slider_max", 2.0},
        {"in_red_gamma", "valid_max", 10.0},
        {"in_red_gamma", "group", "Inside RGB Controls"},
        {"in_offset", "group", ""},
        {"out_blue_offset", "valid_min", -5.0},
        {"invert", "label", "Invert mask"},
        {"clamp_in_black", "disk_id", 48},
        {"mix", "disk_id", 46},
        {"color_model", "default", "CDL compliant"},
        {"angle", "type", "angle"},
        {"window_group_end", "type", "group_end"},
    };
    for (const Expectation &e : expectations) {
        ASSERT_EQ(by_key.count(e.key), 1u) << e.key;
        EXPECT_EQ(by_key[e.key].value(e.field, json()), e.value) << e.key << "." << e.field;
    }
}

TEST(ToolParams, ValuesAreTheDefaultsInPresetForm) {
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"params", "--values"}, std::vector<std::string>{"params", "--json", "--values"}}) {
        ScratchDir dir;
        const tool_test::ToolResult result = RunTool(dir, args);
        ASSERT_EQ(result.exit_status, 0) << result.err;
        const json values = json::parse(result.out);
        ASSERT_TRUE(values.is_object());
        EXPECT_EQ(values.size(), 39u);  // 47 declared less the 8 group markers
        EXPECT_FALSE(values.contains("window_group_start"));
        EXPECT_FALSE(values.contains("input"));
        const std::map<std::string, json> expected{
            {"window_type", "Ellipse"},
            {"origin", {"50%", "50%"}},
            {"width", 1920.0},
            {"height", 1080.0},
            {"angle", 0.0},
            {"feather", 100.0},
            {"falloff", "Linear"},
            {"invert", false},
            {"in_offset", 0.0},
            {"out_saturation", 1.0},
            {"clamp_out_black", true},
            {"clamp_out_white", false},
            {"clamp_in_black", true},
            {"mix", 1.0},
            {"color_model", "CDL compliant"},
        };
        for (const auto &[key, value] : expected) {
            EXPECT_EQ(values.value(key, json()), value) << key;
        }
        // In declaration order, as a preset file is read top to bottom.
        EXPECT_EQ(nlohmann::ordered_json::parse(result.out).begin().key(), "window_type");
    }
}

TEST(ToolParams, TableShowsOneLinePerParameter) {
    ScratchDir dir;
    const tool_test::ToolResult result = RunTool(dir, {"params"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = result.out.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(result.out.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 48u);
    EXPECT_EQ(lines[0].rfind("#", 0), 0u);
    for (const char *text : {"KEY", "NAME", "GROUP", "TYPE", "VALID", "SLIDER", "DEFAULT", "ID", "ANIMATABLE"}) {
        EXPECT_NE(lines[0].find(text), std::string::npos) << text;
    }
    EXPECT_EQ(lines[3].rfind("3   origin", 0), 0u) << lines[3];
    EXPECT_NE(lines[3].find("50%, 50%"), std::string::npos);
    EXPECT_NE(lines[12].find("0 .. 10"), std::string::npos) << lines[12];
    EXPECT_NE(lines[12].find("0 .. 2"), std::string::npos) << lines[12];
}

TEST(ToolUsage, MistakesExitWithStatusTwoAndAUsageMessage) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"frobnicate"}, "frobnicate"},
        {{}, "subcommand is required"},
        {{"params", "--bogus"}, "--bogus"},
        {{"about", "extra"}, "extra"},
        {{"--module", "/nonexistent/Quorv_Zonara.so", "about"}, "/nonexistent/Quorv_Zonara.so"},
        {{"--module", "/nonexistent/Quorv_Zonara.so", "params", "--json"}, "cannot load"},
    };
    for (const Case &c : cases) {
        ScratchDir dir;
        const tool_test::ToolResult result = RunTool(dir, c.args);
        const std::string what = c.args.empty() ? "(no arguments)" : c.args[0];
        EXPECT_EQ(result.exit_status, USAGE) << what;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << what << ": " << result.err;
        EXPECT_EQ(result.out, "") << what;
        // The mistake and where the help is, not the help itself.
        EXPECT_LE(std::count(result.err.begin(), result.err.end(), '\n'), 2) << what << ": " << result.err;
    }
    EXPECT_NE(RunTool(ScratchDir(), {"params", "--bogus"}).err.find("run 'zonara params --help' for the options"),
              std::string::npos);
}

TEST(ToolUsage, VersionNamesTheToolAndTheEffect) {
    const tool_test::ToolResult result = RunTool(ScratchDir(), {"--version"});
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("zonara 1.", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\neffect: Zonara v1."), std::string::npos) << result.out;
}

TEST(ToolUsage, HelpIsNotAMistake) {
    ScratchDir dir;
    const tool_test::ToolResult result = RunTool(dir, {"params", "--help"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_NE(result.out.find("--values"), std::string::npos);
}

}  // namespace
