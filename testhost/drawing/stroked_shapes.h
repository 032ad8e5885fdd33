// A reading of one draw event's call record as the shapes a viewer saw: each
// stroke with the operations that built its path and the pen that drew it,
// and whether every pen and path made was handed back. Tests state what an
// overlay draws in these terms rather than call by call.
#pragma once

#include <string>
#include <vector>

#include "testhost/drawing/drawing_calls.h"

namespace testhost {

// One operation on a path: MoveTo and LineTo carry (x, y), AddArc (centre x,
// centre y, radius, start angle, sweep), Close nothing.
struct PathStep {
    DrawOp op;
    std::vector<float> values;
};

struct StrokedShape {
    DrawOp stroke;     // kThemeStrokePath or kStrokePath
    std::string path;  // the host's name of the path, "path#2"
    std::string pen;   // kStrokePath only
    // kStrokePath: the pen's red, green, blue, alpha and size.
    std::vector<float> pen_values;
    std::vector<PathStep> steps;  // every operation on the path, in order
    bool shadow = false;          // kThemeStrokePath: the shadow was asked for
};

// The strokes in order, failed ones included (a stroke's result is in the
// call record).
std::vector<StrokedShape> StrokedShapes(const std::vector<DrawCall> &calls);

int CountCalls(const std::vector<DrawCall> &calls, DrawOp op);

// The pens and paths made, counted from the calls that handed one out.
int ObjectsMade(const std::vector<DrawCall> &calls);

// Every pen and path made was passed to ReleaseObject exactly once, and
// nothing else was. A release the host refused still counts as the effect's
// one attempt: what is checked is the effect's side of the bargain.
bool EveryObjectReleasedOnce(const std::vector<DrawCall> &calls);

}  // namespace testhost
