// zonara about: the about text, exactly as the effect writes it for the host's
// about box (its carriage return included), followed by a newline.
#include <iostream>

#include "tools/commands/commands.h"

namespace zonara_tool {

void AddAboutCommand(CLI::App &app, ToolContext &context) {
    CLI::App *about = app.add_subcommand("about", "Print the effect's about text");
    about->callback([&context] {
        context.Run([&context] {
            auto host = context.StartHost(testhost::HostApp::kAfterEffects);
            if (const PF_Err err = host->About(); err != PF_Err_NONE) {
                throw ToolError(EXIT_EFFECT_FAILED, "the effect's about command failed with code " + std::to_string(err));
            }
            std::cout << host->last_out_data().return_msg << "\n";
        });
    });
}

}  // namespace zonara_tool
