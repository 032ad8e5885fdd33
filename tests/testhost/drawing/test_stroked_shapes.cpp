// The shapes read off a draw event's call record: which path and pen each
// stroke used, the steps that built it, and the one-release-each check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testhost/drawing/stroked_shapes.h"

namespace {

using testhost::DrawArg;
using testhost::DrawCall;
using testhost::DrawOp;

DrawCall Call(DrawOp op, std::vector<DrawArg> args, SPErr result = kSPNoError) { return {op, std::move(args), result}; }

// Two pens, two paths: a themed quad-ish path and a pen-stroked arc, with a
// step that failed and a path that is remade.
std::vector<DrawCall> Record() {
    return {
        Call(DrawOp::kNewPath, {{"supplier", std::string("supplier#1")}, {"out_path", std::string("path#1")}}),
        Call(DrawOp::kMoveTo, {{"path", std::string("path#1")}, {"x", 1.0}, {"y", 2.0}}),
        Call(DrawOp::kLineTo, {{"path", std::string("path#1")}, {"x", 3.5}, {"y", 2.0}}, 7),
        Call(DrawOp::kClose, {{"path", std::string("path#1")}}),
        Call(DrawOp::kThemeStrokePath,
             {{"draw_ref", std::string("draw#1")}, {"path", std::string("path#1")}, {"draw_shadow", 1.0}}),
        Call(DrawOp::kNewPen, {{"supplier", std::string("supplier#1")},
                               {"red", 0.5},
                               {"green", 0.25},
                               {"blue", 0.0},
                               {"alpha", 1.0},
                               {"size", 2.0},
                               {"out_pen", std::string("pen#1")}}),
        Call(DrawOp::kNewPen,
             {{"supplier", std::string("supplier#1")},
              {"red", 1.0},
              {"green", 1.0},
              {"blue", 1.0},
              {"alpha", 1.0},
              {"size", 1.0},
              {"out_pen", std::string("null")}},
             3),
        Call(DrawOp::kNewPath, {{"supplier", std::string("supplier#1")}, {"out_path", std::string("path#2")}}),
        Call(DrawOp::kAddArc, {{"path", std::string("path#2")},
                               {"center_x", 5.0},
                               {"center_y", 6.0},
                               {"radius", 4.0},
                               {"start_angle", 0.0},
                               {"sweep", 360.0}}),
        Call(DrawOp::kStrokePath,
             {{"surface", std::string("surface#1")}, {"pen", std::string("pen#1")}, {"path", std::string("path#2")}}),
        Call(DrawOp::kReleaseObject, {{"object", std::string("path#2")}}),
        Call(DrawOp::kReleaseObject, {{"object", std::string("pen#1")}}, 9),  // refused, still the one attempt
        Call(DrawOp::kReleaseObject, {{"object", std::string("path#1")}}),
    };
}

TEST(StrokedShapes, EachStrokeWithItsPathStepsAndPen) {
    const std::vector<testhost::StrokedShape> shapes = testhost::StrokedShapes(Record());
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].stroke, DrawOp::kThemeStrokePath);
    EXPECT_EQ(shapes[0].path, "path#1");
    EXPECT_TRUE(shapes[0].shadow);
    ASSERT_EQ(shapes[0].steps.size(), 3u);
    EXPECT_EQ(shapes[0].steps[0].op, DrawOp::kMoveTo);
    EXPECT_EQ(shapes[0].steps[1].values, (std::vector<float>{3.5f, 2.0f})) << "failed steps are kept";
    EXPECT_EQ(shapes[0].steps[2].op, DrawOp::kClose);
    EXPECT_TRUE(shapes[0].pen_values.empty());

    EXPECT_EQ(shapes[1].stroke, DrawOp::kStrokePath);
    EXPECT_EQ(shapes[1].pen, "pen#1");
    EXPECT_EQ(shapes[1].pen_values, (std::vector<float>{0.5f, 0.25f, 0.0f, 1.0f, 2.0f}));
    ASSERT_EQ(shapes[1].steps.size(), 1u);
    EXPECT_EQ(shapes[1].steps[0].values, (std::vector<float>{5, 6, 4, 0, 360}));
}

TEST(StrokedShapes, CountsAndTheOneReleaseEachCheck) {
    const std::vector<DrawCall> calls = Record();
    EXPECT_EQ(testhost::CountCalls(calls, DrawOp::kNewPen), 2);
    EXPECT_EQ(testhost::ObjectsMade(calls), 3) << "the refused pen was not made";
    EXPECT_TRUE(testhost::EveryObjectReleasedOnce(calls));

    std::vector<DrawCall> twice = calls;
    twice.push_back(Call(DrawOp::kReleaseObject, {{"object", std::string("path#1")}}));
    EXPECT_FALSE(testhost::EveryObjectReleasedOnce(twice));

    std::vector<DrawCall> kept = calls;
    kept.pop_back();
    EXPECT_FALSE(testhost::EveryObjectReleasedOnce(kept));

    std::vector<DrawCall> stranger = calls;
    stranger.push_back(Call(DrawOp::kReleaseObject, {{"object", std::string("supplier#1")}}));
    EXPECT_FALSE(testhost::EveryObjectReleasedOnce(stranger));
}

}  // namespace
