#include "testhost/drawing/stroked_shapes.h"

#include <map>
#include <variant>

namespace testhost {
namespace {

const DrawArg *FindArg(const DrawCall &call, const std::string &name) {
    for (const DrawArg &arg : call.args) {
        if (arg.name == name) {
            return &arg;
        }
    }
    return nullptr;
}

std::string ObjectArg(const DrawCall &call, const std::string &name) {
    const DrawArg *arg = FindArg(call, name);
    return arg != nullptr && std::holds_alternative<std::string>(arg->value) ? std::get<std::string>(arg->value)
                                                                             : std::string();
}

std::vector<float> NumberArgs(const DrawCall &call) {
    std::vector<float> values;
    for (const DrawArg &arg : call.args) {
        if (std::holds_alternative<double>(arg.value)) {
            values.push_back(static_cast<float>(std::get<double>(arg.value)));
        }
    }
    return values;
}

// The object a NewPen or NewPath call handed out, or "" (failed, or another call).
std::string MadeObject(const DrawCall &call) {
    std::string made;
    if (call.op == DrawOp::kNewPen) {
        made = ObjectArg(call, "out_pen");
    } else if (call.op == DrawOp::kNewPath) {
        made = ObjectArg(call, "out_path");
    }
    return made == "null" ? std::string() : made;
}

}  // namespace

std::vector<StrokedShape> StrokedShapes(const std::vector<DrawCall> &calls) {
    std::vector<StrokedShape> shapes;
    std::map<std::string, std::vector<PathStep>> path_steps;
    std::map<std::string, std::vector<float>> pens;
    for (const DrawCall &call : calls) {
        switch (call.op) {
        case DrawOp::kNewPen:
            if (const std::string pen = MadeObject(call); !pen.empty()) {
                pens[pen] = NumberArgs(call);
            }
            break;
        case DrawOp::kMoveTo:
        case DrawOp::kLineTo:
        case DrawOp::kAddArc:
        case DrawOp::kClose:
            path_steps[ObjectArg(call, "path")].push_back({call.op, NumberArgs(call)});
            break;
        case DrawOp::kThemeStrokePath:
        case DrawOp::kStrokePath: {
            StrokedShape shape;
            shape.stroke = call.op;
            shape.path = ObjectArg(call, "path");
            shape.steps = path_steps[shape.path];
            if (call.op == DrawOp::kStrokePath) {
                shape.pen = ObjectArg(call, "pen");
                shape.pen_values = pens[shape.pen];
            } else {
                const DrawArg *shadow = FindArg(call, "draw_shadow");
                shape.shadow = shadow != nullptr && std::get<double>(shadow->value) != 0.0;
            }
            shapes.push_back(std::move(shape));
            break;
        }
        default:
            break;
        }
    }
    return shapes;
}

int CountCalls(const std::vector<DrawCall> &calls, DrawOp op) {
    int count = 0;
    for (const DrawCall &call : calls) {
        count += call.op == op ? 1 : 0;
    }
    return count;
}

int ObjectsMade(const std::vector<DrawCall> &calls) {
    int made = 0;
    for (const DrawCall &call : calls) {
        made += MadeObject(call).empty() ? 0 : 1;
    }
    return made;
}

bool EveryObjectReleasedOnce(const std::vector<DrawCall> &calls) {
    std::map<std::string, int> releases;  // object -> ReleaseObject calls
    for (const DrawCall &call : calls) {
        if (const std::string made = MadeObject(call); !made.empty()) {
            releases.emplace(made, 0);
        } else if (call.op == DrawOp::kReleaseObject) {
            auto found = releases.find(ObjectArg(call, "object"));
            if (found == releases.end()) {
                return false;  // never made here
            }
            ++found->second;
        }
    }
    for (const auto &[object, count] : releases) {
        if (count != 1) {
            return false;
        }
    }
    return true;
}

}  // namespace testhost
