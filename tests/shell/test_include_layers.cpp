// The floors the code stands on (see support/include_layers.h), and what the
// simulated host and the tool may take from the effect and from each other.
#include <gtest/gtest.h>

#include "support/include_layers.h"

namespace {

using zonara_test::IncludeSearch;
using zonara_test::Layers;

IncludeSearch ThisRepository() { return {std::filesystem::path(ZONARA_SOURCE_DIR)}; }

struct LayeredTree {
    Layers layers;
    int at_least_files;  // so that a moved tree is not checked empty
};

// The effect: common, host, params, then render and overlay side by side,
// then shell. Inside render: the frame's record at the bottom, the formula
// on it, the accelerators' tables and memos, the vector lanes, the plan
// choosing among them, the drivers walking the frame, and the entry
// (render's own files) on top. The tool: a ground floor (errors, host
// names, the context every command shares, the safe output), then
// parameters, image files (which show values), scenes, the commands, and
// the program's main on top.
const LayeredTree LAYERED_TREES[] = {
    {{"src", {{"common", 0}, {"host", 1}, {"params", 2}, {"render", 3}, {"overlay", 3}, {"shell", 4}}, {}}, 50},
    {{"src/render", {{"frame", 0}, {"formula", 1}, {"accelerators", 2}, {"lanes", 3}, {"plan", 4}, {"drivers", 5}}, 6},
     30},
    {{"tools", {{"base", 0}, {"params", 1}, {"image", 2}, {"scene", 3}, {"commands", 4}}, 5}, 50},
};

TEST(IncludeLayers, NoIncludeClimbsOrCrossesBetweenNeighbours) {
    for (const LayeredTree &tree : LAYERED_TREES) {
        SCOPED_TRACE(tree.layers.tree.string());
        const auto check = zonara_test::CheckIncludeLayers(ThisRepository(), tree.layers);
        EXPECT_TRUE(check.unknown_folders.empty()) << "a folder with no layer: " << check.unknown_folders.front();
        EXPECT_GE(check.files, tree.at_least_files);
        EXPECT_TRUE(check.climbs.empty())
            << check.climbs.size() << " climbing includes, the first: " << check.climbs.front();
    }
}

struct Boundary {
    const char *tree;
    const char *into;
    std::set<std::string> allowed;  // below `into`
};

// The simulated host stands on the interface alone and loads the effect as
// a host does, so it may know of the effect only its entry point and the
// list of pixel formats, which a host and the effect share. The tool
// also reads the effect's parameter table, geometry and property list, and
// its benchmark reports what the module keeps to itself (the frame's plan,
// its instruction-set level, the powers the lanes handed back); any other
// header it wants is a decision, made here. What the tool builds is
// shipped: it never stands on the tests nor on the benchmarks.
const Boundary BOUNDARIES[] = {
    // The effect is what a host loads: it stands on the interface alone.
    {"src", "testhost", {}},
    {"src", "tools", {}},
    {"src", "tests", {}},
    {"src", "bench", {}},
    {"testhost", "src", {"shell/entry_point.h", "render/frame/pixel_format.h"}},
    {"testhost", "tools", {}},
    {"testhost", "tests", {}},
    {"testhost", "bench", {}},
    {"tools",
     "src",
     {"common/fixed_point.h", "common/fixed_scale.h", "params/grade_params.h", "params/param_index.h",
      "params/param_keys.h", "overlay/handle_points.h", "overlay/overlay_types.h", "shell/entry_point.h",
      "shell/property_list.h", "render/frame/pixel_format.h", "render/frame/window_render_params.h",
      "render/frame/simd_level.h", "render/plan/frame_plan.h", "render/lanes/power_fallback_tally.h",
      "render/drivers/iterate_float_rows.h", "render/drivers/render_float_frame.h"}},
    {"tools", "tests", {}},
    {"tools", "bench", {}},
};

TEST(IncludeLayers, EachTreeTakesOnlyWhatItMayFromTheOthers) {
    for (const Boundary &boundary : BOUNDARIES) {
        SCOPED_TRACE(std::string(boundary.tree) + " -> " + boundary.into);
        const auto outside =
            zonara_test::IncludesOutside(ThisRepository(), boundary.tree, boundary.into, boundary.allowed);
        EXPECT_TRUE(outside.empty()) << outside.size() << " includes not allowed, the first: " << outside.front();
    }
}

}  // namespace
