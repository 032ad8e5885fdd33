#include "testhost/drawing/drawing_calls.h"

#include <array>

namespace testhost {
namespace {

struct OpNames {
    DrawOp op;
    const char *suite;
    const char *operation;
};

constexpr std::array<OpNames, 12> OP_NAMES{{
    {DrawOp::kGetDrawingReference, kPFEffectCustomUISuite, "PF_GetDrawingReference"},
    {DrawOp::kThemeStrokePath, kPFEffectCustomUIOverlayThemeSuite, "PF_StrokePath"},
    {DrawOp::kGetSupplier, kDRAWBOT_DrawSuite, "GetSupplier"},
    {DrawOp::kGetSurface, kDRAWBOT_DrawSuite, "GetSurface"},
    {DrawOp::kNewPen, kDRAWBOT_SupplierSuite, "NewPen"},
    {DrawOp::kNewPath, kDRAWBOT_SupplierSuite, "NewPath"},
    {DrawOp::kReleaseObject, kDRAWBOT_SupplierSuite, "ReleaseObject"},
    {DrawOp::kStrokePath, kDRAWBOT_SurfaceSuite, "StrokePath"},
    {DrawOp::kMoveTo, kDRAWBOT_PathSuite, "MoveTo"},
    {DrawOp::kLineTo, kDRAWBOT_PathSuite, "LineTo"},
    {DrawOp::kAddArc, kDRAWBOT_PathSuite, "AddArc"},
    {DrawOp::kClose, kDRAWBOT_PathSuite, "Close"},
}};

const OpNames &NamesOf(DrawOp op) {
    for (const OpNames &names : OP_NAMES) {
        if (names.op == op) {
            return names;
        }
    }
    return OP_NAMES[0];  // unreachable: every enumerator is listed
}

}  // namespace

const char *SuiteNameOf(DrawOp op) { return NamesOf(op).suite; }

const char *OperationNameOf(DrawOp op) { return NamesOf(op).operation; }

bool ParseDrawOp(const std::string &name, DrawOp *op) {
    for (const OpNames &names : OP_NAMES) {
        if (name == names.operation) {
            *op = names.op;
            return true;
        }
    }
    return false;
}

}  // namespace testhost
