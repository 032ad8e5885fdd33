// What the host keeps of every drawing call an overlay makes during a draw
// event (suite, operation, arguments, result), and the drawing faults it can
// be told to produce.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "pf_sdk.h"

namespace testhost {

// Every drawing operation the host offers, across the six suites an overlay
// draws with.
enum class DrawOp {
    kGetDrawingReference,  // "PF Effect Custom UI Suite"
    kThemeStrokePath,      // "PF Effect Custom UI Overlay Theme Suite" PF_StrokePath
    kGetSupplier,          // "DRAWBOT Draw Suite"
    kGetSurface,
    kNewPen,  // "DRAWBOT Supplier Suite"
    kNewPath,
    kReleaseObject,
    kStrokePath,  // "DRAWBOT Surface Suite"
    kMoveTo,      // "DRAWBOT Path Suite"
    kLineTo,
    kAddArc,
    kClose,
};

// The suite's host name and the operation's name, as the interface spells them.
const char *SuiteNameOf(DrawOp op);
const char *OperationNameOf(DrawOp op);
// The operation by its name ("NewPen", "PF_StrokePath", ...); false if unknown.
bool ParseDrawOp(const std::string &name, DrawOp *op);

// One argument: a number, or an object named the way the host names it
// ("pen#3", "path#2", "draw#1", "null").
struct DrawArg {
    std::string name;
    std::variant<double, std::string> value;
};

struct DrawCall {
    DrawOp op;
    std::vector<DrawArg> args;  // inputs, then what the call handed out ("out_...")
    SPErr result = kSPNoError;
};

// A call that fails with `code` instead of doing its work: every call of the
// operation, or only its n-th call in the draw event (1-based).
struct DrawFault {
    DrawOp op;
    SPErr code;
    int on_call = 0;  // 0: every call
};

struct DrawingFaults {
    std::vector<DrawFault> failures;
    // PF_GetDrawingReference succeeds but hands out no reference, as for a
    // view that cannot be drawn into.
    bool null_drawing_reference = false;
};

}  // namespace testhost
