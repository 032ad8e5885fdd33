// Lists the subcommands and maps command-line mistakes to the usage exit
// status. Each subcommand registers itself (commands.h).
#include "tools/commands/run_tool.h"

#include <iostream>

#include <CLI/CLI.hpp>

#include "tools/commands/commands.h"

namespace zonara_tool {

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

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &error) {
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            return app.exit(error);  // --help
        }
        std::cerr << "zonara: " << error.what() << "\n\n" << app.help();
        return EXIT_USAGE;
    }
    if (app.get_subcommands().empty()) {
        std::cerr << "zonara: a subcommand is required\n\n" << app.help();
        return EXIT_USAGE;
    }
    return context.exit_status;
}

}  // namespace zonara_tool
