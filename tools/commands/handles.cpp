// zonara handles: where the overlay's ten handles lie in the view, in frame
// pixels, by name: the places a click takes them.
//
// A host cannot ask an effect where its handles are; the module answers only
// draw, click and drag events. So the positions are computed by the effect's
// own ComputeHandlePoints, the very function its hit test uses, linked into
// the tool and run through the host exactly like an event: the same in-data,
// parameter array, view context and conversion callbacks, and the same suite
// bookkeeping. What is printed is therefore where a click finds each handle,
// not where the drawing happens to put its marks (those round differently).
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "overlay/handle_points.h"
#include "tools/commands/commands.h"
#include "tools/scene/overlay_scene.h"
#include "tools/scene/view_options.h"

namespace zonara_tool {
namespace {

using OrderedJson = nlohmann::ordered_json;

struct HandlesOptions {
    ViewOptions view;
    bool json = false;
};

zonara::HandlePoints AskHandlePoints(OverlayScene &scene) {
    testhost::ViewContext &view = scene.events->context();
    PF_EventExtra extra{};
    extra.contextH = view.handle();
    extra.e_type = PF_Event_DO_CLICK;
    extra.cbs = view.callbacks();

    zonara::HandlePoints points{};
    const testhost::EffectFunction ask = [&points](PF_Cmd, PF_InData *in_data, PF_OutData *, PF_ParamDef *params[],
                                                   PF_LayerDef *, void *event) -> PF_Err {
        try {
            points = zonara::ComputeHandlePoints(in_data, params, static_cast<PF_EventExtra *>(event));
        } catch (A_long code) {
            return code;  // a host suite the geometry needs was refused
        }
        return PF_Err_NONE;
    };
    const PF_Err err = scene.host->SendTo(ask, PF_Cmd_EVENT, nullptr, &extra);
    if (err != PF_Err_NONE) {
        throw ToolError(EXIT_EFFECT_FAILED,
                        "the handle positions could not be computed (error " + std::to_string(err) + ")");
    }
    return points;
}

void RunHandles(ToolContext &context, const HandlesOptions &options) {
    OverlayScene scene = OpenOverlayScene(context, options.view, false);
    const zonara::HandlePoints points = AskHandlePoints(scene);
    if (options.json) {
        OrderedJson out = OrderedJson::object();
        for (int i = 0; i < zonara::HANDLE_COUNT; ++i) {
            const zonara::PixelPoint &p = points[static_cast<std::size_t>(i)];
            out[HandleName(i + 1)] = {{"x", p.x}, {"y", p.y}};
        }
        std::cout << out.dump(2) << "\n";
        return;
    }
    for (int i = 0; i < zonara::HANDLE_COUNT; ++i) {
        const zonara::PixelPoint &p = points[static_cast<std::size_t>(i)];
        const std::string name = HandleName(i + 1);
        std::cout << name << std::string(22 - name.size(), ' ') << p.x << "," << p.y << "\n";
    }
}

}  // namespace

void AddHandlesCommand(CLI::App &app, ToolContext &context) {
    auto options = std::make_shared<HandlesOptions>();
    CLI::App *command = app.add_subcommand(
        "handles", "Where the overlay's ten handles lie in the view, in frame pixels (where a click takes them)");
    AddViewOptions(*command, options->view);
    command->add_flag("--json", options->json, "Print one JSON object: {NAME: {\"x\": X, \"y\": Y}, ...}");
    command->callback([&context, options] { context.Run([&] { RunHandles(context, *options); }); });
}

}  // namespace zonara_tool
