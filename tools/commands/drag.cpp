// zonara drag: a mouse gesture in the host's view, as a user makes it: a
// click at --from, then drag events along the straight line to --to, the
// last one marked as the last. Prints the handle the click took (or that
// none was) and every parameter the gesture changed, with its value before
// and the value the host kept (within the parameter's range), and those the
// effect touched but left as they were; -o draws the view afterwards.
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/fixed_scale.h"
#include "tools/base/pending_output.h"
#include "tools/commands/commands.h"
#include "tools/params/number_option.h"
#include "tools/params/value_text.h"
#include "tools/scene/overlay_scene.h"
#include "tools/scene/view_options.h"

namespace zonara_tool {
namespace {

using OrderedJson = nlohmann::ordered_json;

// A gesture of more events than this is no longer a mouse drag.
constexpr int MAX_STEPS = 10000;

struct DragOptions {
    ViewOptions view;
    std::string from;
    std::string to;
    int steps = 10;
    bool json = false;
    std::string output;
};

// The value again as a --set would give it, to render the result.
std::optional<ParamValue> AsParamValue(int index, const PF_ParamDef &def) {
    ParamValue value;
    value.index = index;
    switch (def.param_type) {
    case PF_Param_FLOAT_SLIDER:
        value.kind = ValueKind::kSlider;
        value.number = def.u.fs_d.value;
        return value;
    case PF_Param_ANGLE:
        value.kind = ValueKind::kAngle;
        value.number = zonara::FixedToDouble(def.u.ad.value);
        return value;
    case PF_Param_POINT:
        value.kind = ValueKind::kPoint;
        value.x = zonara::FixedToDouble(def.u.td.x_value);
        value.y = zonara::FixedToDouble(def.u.td.y_value);
        return value;
    case PF_Param_POPUP:
        value.kind = ValueKind::kPopup;
        value.choice = def.u.pd.value;
        return value;
    case PF_Param_CHECKBOX:
        value.kind = ValueKind::kCheckbox;
        value.on = def.u.bd.value != 0;
        return value;
    default:
        return std::nullopt;
    }
}

std::string Text(const OrderedJson &value) {
    return value.is_number_float() ? FormatNumber(value.get<double>()) : value.dump();
}

void RunDrag(ToolContext &context, const DragOptions &options) {
    const PF_Point from = ParsePixelPoint(options.from, "--from");
    const PF_Point to = ParsePixelPoint(options.to, "--to");
    if (options.steps < 1 || options.steps > MAX_STEPS) {
        throw UsageError("--steps must lie between 1 and " + std::to_string(MAX_STEPS));
    }
    if (!options.output.empty()) {
        InstallInterruptCleanup();
        CheckOutputPath(options.output);
    }
    OverlayScene scene = OpenOverlayScene(context, options.view, !options.output.empty());

    testhost::ParamStore &store = scene.host->params();
    std::vector<PF_ParamDef> before;
    for (int i = 0; i < store.size(); ++i) {
        before.push_back(store.at(i));
    }
    const std::vector<testhost::EventOutcome> outcomes = scene.events->Gesture(from, to, options.steps);
    std::set<int> touched;  // what the effect marked changed in any event
    for (const testhost::EventOutcome &outcome : outcomes) {
        if (outcome.result != PF_Err_NONE) {
            throw ToolError(EXIT_EFFECT_FAILED,
                            "the effect failed a mouse event with code " + std::to_string(outcome.result));
        }
        if (!outcome.unbalanced_suites.empty()) {
            throw ToolError(EXIT_EFFECT_FAILED, "the effect did not give back a suite in a mouse event: " +
                                                    outcome.unbalanced_suites.front());
        }
        touched.insert(outcome.changed.begin(), outcome.changed.end());
    }

    const A_intptr_t taken = scene.events->taken_refcon();
    OrderedJson handle = nullptr;
    if (taken != 0) {
        const std::string name = HandleName(taken);
        handle = name.empty() ? OrderedJson(taken) : OrderedJson(name);
    }
    // The effect marks what a handle controls even where the gesture left
    // it as it was (a click without a move): those are reported apart.
    const ParamCatalog catalog(scene.host->declared_params());
    OrderedJson values = OrderedJson::object();
    OrderedJson unchanged = OrderedJson::object();
    std::vector<ParamValue> new_values;
    for (int index : touched) {
        if (index < 1 || index > static_cast<int>(catalog.rows().size())) {
            continue;  // the input layer, or a position the effect never declared
        }
        const ParamCatalog::Entry &row = catalog.rows()[static_cast<std::size_t>(index) - 1];
        const OrderedJson old_value = ValueJson(row, before[static_cast<std::size_t>(index)]);
        const OrderedJson kept = ValueJson(row, store.at(index));
        if (kept == old_value) {
            unchanged[row.key] = kept;
            continue;
        }
        values[row.key] = {{"old", old_value}, {"new", kept}};
        if (const std::optional<ParamValue> value = AsParamValue(index, store.at(index))) {
            new_values.push_back(*value);
        }
    }

    if (!options.output.empty()) {
        testhost::DrawOutcome drawn;
        WriteImage(options.output, PictureOfView(context, scene, new_values, &drawn));
        RequireCleanDraw(drawn);
    }

    if (options.json) {
        std::cout << OrderedJson{{"handle", handle}, {"changed", values}, {"unchanged", unchanged}}.dump(2) << "\n";
        return;
    }
    std::cout << "handle: "
              << (handle.is_null()     ? "none"
                  : handle.is_string() ? handle.get<std::string>()
                                       : handle.dump())
              << "\n";
    if (values.empty()) {
        std::cout << "no parameter changed\n";
    }
    for (const auto &[key, change] : values.items()) {
        std::cout << key << ": " << Text(change["old"]) << " -> " << Text(change["new"]) << "\n";
    }
    for (const auto &[key, value] : unchanged.items()) {
        std::cout << key << ": " << Text(value) << " (unchanged)\n";
    }
}

}  // namespace

void AddDragCommand(CLI::App &app, ToolContext &context) {
    auto options = std::make_shared<DragOptions>();
    CLI::App *command = app.add_subcommand(
        "drag", "Drag the mouse in the view from one frame pixel to another; print what the gesture changed");
    AddViewOptions(*command, options->view);
    command->add_option("--from", options->from, "X,Y: where the mouse button goes down, in frame pixels")->required();
    command->add_option("--to", options->to, "X,Y: where it is let go, in frame pixels")->required();
    command->add_option("--steps", options->steps, "Drag events along the way, the last at --to (default 10)")
        ->transform(WholeNumber("1 to " + std::to_string(MAX_STEPS)));
    command->add_flag("--json", options->json,
                      "Print one object: {\"handle\": NAME or null, \"changed\": {KEY: {\"old\": V, \"new\": V}}, "
                      "\"unchanged\": {KEY: V}}");
    command->add_option("-o,--output", options->output, "Also draw the view after the gesture into this picture");
    command->callback([&context, options] { context.Run([&] { RunDrag(context, *options); }); });
}

}  // namespace zonara_tool
