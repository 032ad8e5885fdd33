// Lists the subcommands and maps command-line mistakes to the usage exit
// status. Each subcommand registers itself (commands.h). A mistake is said
// in its one line with where to look, not buried above the whole help.
#include "tools/commands/run_tool.h"

#include <iostream>

#include <CLI/CLI.hpp>

#include "tools/commands/commands.h"

namespace zonara_tool {
namespace {

constexpr const char *EXIT_STATUS_FOOTER =
    "Exit status:\n"
    "  0        done\n"
    "  1        the effect (or the tool) failed\n"
    "  2        something to fix: the command, a value, an input or an output\n"
    "  3        the machine failed (no space left, an I/O error, a file-size limit, a\n"
    "           folder gone): the same command may succeed when run again\n"
    "  130, 143 interrupted (Ctrl-C, termination)\n";

// "run 'zonara render --help' for the options": the deepest subcommand the
// parser had reached, so the pointer leads to the options that apply.
std::string HelpPointer(const CLI::App &app) {
    std::string command = "zonara";
    const CLI::App *at = &app;
    while (!at->get_subcommands().empty()) {
        at = at->get_subcommands().front();
        command += " " + at->get_name();
    }
    return "run '" + command + " --help' for the " + (at == &app ? "commands and options" : "options");
}

}  // namespace

int RunTool(int argc, char **argv) {
    CLI::App app{"Drive the Zonara effect through a simulated host", "zonara"};
    // At most one subcommand; having none is reported after parsing, so that
    // an unknown word is named as such rather than as a missing subcommand.
    app.require_subcommand(0, 1);
    ToolContext context;
    AddGlobalOptions(app, context);

    AddAboutCommand(app, context);
    AddParamsCommand(app, context);
    AddRenderCommand(app, context);
    AddOverlayCommand(app, context);
    AddHandlesCommand(app, context);
    AddDragCommand(app, context);
    AddBenchCommand(app, context);
    AddPiplCommand(app, context);
    AddAbiCommand(app, context);
    AddCdlCommand(app, context);
    RefuseEmptyValues(app);
    bool show_version = false;
    app.add_flag("--version", show_version, "Print the tool's version and the effect's, then exit");
    // Every command's help ends with them: a script's author reads the
    // help of the command the script runs.
    app.footer(EXIT_STATUS_FOOTER);
    for (CLI::App *command : app.get_subcommands([](CLI::App *) { return true; })) {
        command->footer(EXIT_STATUS_FOOTER);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &error) {
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            return app.exit(error);  // --help
        }
        std::cerr << "zonara: " << error.what() << "\n" << HelpPointer(app) << "\n";
        return EXIT_USAGE;
    }
    if (show_version) {
        return PrintVersion(context);
    }
    if (app.get_subcommands().empty()) {
        std::cerr << "zonara: a subcommand is required\n" << HelpPointer(app) << "\n";
        return EXIT_USAGE;
    }
    return context.exit_status;
}

}  // namespace zonara_tool
