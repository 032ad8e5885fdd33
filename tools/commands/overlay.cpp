// zonara overlay: the picture a user sees in the host's view: the layer
// rendered through the module and placed at the view's zoom and scroll, with
// the effect's overlay drawn over it by a draw event, as the host paints it.
// --trace keeps every drawing call the effect made.
#include <filesystem>
#include <memory>
#include <string>
#include <variant>

#include <nlohmann/json.hpp>

#include "tools/base/pending_output.h"
#include "tools/commands/commands.h"
#include "tools/image/image_file.h"
#include "tools/scene/overlay_scene.h"
#include "tools/scene/view_options.h"

namespace zonara_tool {
namespace {

using OrderedJson = nlohmann::ordered_json;

struct OverlayOptions {
    ViewOptions view;
    std::string output;
    std::string trace;
};

OrderedJson TraceJson(const testhost::DrawOutcome &drawn) {
    OrderedJson calls = OrderedJson::array();
    for (const testhost::DrawCall &call : drawn.calls) {
        OrderedJson args = OrderedJson::object();
        for (const testhost::DrawArg &arg : call.args) {
            if (const double *number = std::get_if<double>(&arg.value)) {
                args[arg.name] = *number;
            } else {
                args[arg.name] = std::get<std::string>(arg.value);
            }
        }
        calls.push_back({{"suite", testhost::SuiteNameOf(call.op)},
                         {"operation", testhost::OperationNameOf(call.op)},
                         {"args", std::move(args)},
                         {"result", call.result}});
    }
    return {{"calls", std::move(calls)},
            {"objects",
             {{"pens_made", drawn.objects.pens_made},
              {"paths_made", drawn.objects.paths_made},
              {"pens_released", drawn.objects.pens_released},
              {"paths_released", drawn.objects.paths_released},
              {"strokes", drawn.objects.strokes}}},
            {"event", {{"result", drawn.result}, {"evt_out_flags", drawn.out_flags}}}};
}

void WriteJsonFile(const std::string &path, const OrderedJson &json) {
    const std::string text = json.dump(2) + "\n";
    PendingOutput pending(path);
    pending.Write(text.data(), text.size());
    pending.Commit();
}

void RunOverlay(ToolContext &context, const OverlayOptions &options) {
    InstallInterruptCleanup();
    CheckOutputPath(options.output);
    if (!options.trace.empty()) {
        const std::filesystem::path folder = std::filesystem::path(options.trace).parent_path();
        std::error_code error;
        if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
            throw UsageError("--trace " + options.trace + ": no folder " + folder.string());
        }
    }
    OverlayScene scene = OpenOverlayScene(context, options.view, true);
    testhost::DrawOutcome drawn;
    const Image picture = PictureOfView(context, scene, {}, &drawn);
    WriteImage(options.output, picture);
    if (!options.trace.empty()) {
        WriteJsonFile(options.trace, TraceJson(drawn));
    }
    // Written first, so that a faulty drawing can be looked at.
    RequireCleanDraw(drawn);
}

}  // namespace

void AddOverlayCommand(CLI::App &app, ToolContext &context) {
    auto options = std::make_shared<OverlayOptions>();
    CLI::App *command = app.add_subcommand(
        "overlay", "Picture of the host's view: the rendered layer with the effect's overlay drawn over it");
    AddViewOptions(*command, options->view);
    command->add_option("-o,--output", options->output, std::string("Picture to write (") + IMAGE_FORMATS_TEXT + ")")
        ->required();
    command->add_option("--trace", options->trace, "Also write every drawing call the effect made, as JSON");
    command->callback([&context, options] { context.Run([&] { RunOverlay(context, *options); }); });
}

}  // namespace zonara_tool
