// zonara bench takes a look as render does: a preset and each --set reach the
// frames it times, later sources over earlier ones, and a value render would
// refuse is refused the same way before anything is timed. The frame's plan
// line shows which sides the look grades.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/tool_runner.h"

namespace {

using tool_test::RunTool;
using tool_test::ScratchDir;

struct BenchCase {
    const char *name;
    std::vector<std::string> look;
    int exit_status;
    const char *expected;  // part of the plan line, or of stderr when refused
};

class BenchLook : public ::testing::TestWithParam<BenchCase> {};

TEST_P(BenchLook, ReachesTheFramesOrIsRefused) {
    const BenchCase &c = GetParam();
    ScratchDir dir;
    std::ofstream(dir / "inside.json") << R"({"in_gamma": 1.2})";
    std::ofstream(dir / "outside.json") << R"({"out_gamma": 1.2})";
    // Every inside control the soft grade moves, back at identity.
    std::ofstream(dir / "plain-inside.json") << R"({"in_offset": 0, "in_saturation": 1, "in_red_gamma": 1,
        "in_red_gain": 1, "in_green_gamma": 1, "in_blue_gamma": 1})";
    std::vector<std::string> args = {"bench", "--size", "64x32", "--frames", "1"};
    args.insert(args.end(), c.look.begin(), c.look.end());

    const tool_test::ToolResult result = RunTool(dir, args);
    EXPECT_EQ(result.exit_status, c.exit_status) << result.err;
    const std::string &where = c.exit_status == 0 ? result.out : result.err;
    EXPECT_NE(where.find(c.expected), std::string::npos) << where;
}

INSTANTIATE_TEST_SUITE_P(
    Looks, BenchLook,
    ::testing::Values(
        BenchCase{"set_grades_inside", {"--set", "in_gamma=1.2"}, 0, "inside output codes, outside codes unchanged"},
        BenchCase{
            "preset_grades_outside", {"--preset", "outside.json"}, 0, "inside codes unchanged, outside output codes"},
        BenchCase{"set_after_preset",
                  {"--preset", "inside.json", "--set", "in_gamma=1"},
                  0,
                  "inside codes unchanged, outside codes unchanged"},
        BenchCase{"preset_after_grade",
                  {"--grade", "soft", "--preset", "plain-inside.json"},
                  0,
                  "inside codes unchanged, outside graded values"},
        BenchCase{"region_against_whole", {"--region", "32x16+16+8"}, 0, "region 32x16+16+8: "},
        BenchCase{"region_outside_frame", {"--region", "32x16+48+0"}, 2, "reaches outside the 64x32 frame"},
        BenchCase{"unknown_key", {"--set", "widht=10"}, 2, "did you mean width"},
        BenchCase{"out_of_range", {"--set", "in_gamma=10.5"}, 2, "in_gamma=10.5: out of range (valid: 0 to 10)"},
        BenchCase{"missing_preset", {"--preset", "none.json"}, 2, "cannot read preset none.json"}),
    [](const ::testing::TestParamInfo<BenchCase> &info) { return std::string(info.param.name); });

}  // namespace
