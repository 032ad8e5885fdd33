// zonara about: the about text as the effect writes it for the host's about
// box, followed by a newline. The effect separates its lines with a carriage
// return, as the host's box wants; a terminal would draw the second line over
// the first, so there each becomes a line feed. Piped, the text is kept byte
// for byte.
#include <algorithm>
#include <iostream>
#include <string>

#include "tools/commands/commands.h"
#include "tools/commands/terminal.h"

namespace zonara_tool {

void AddAboutCommand(CLI::App &app, ToolContext &context) {
    CLI::App *about = app.add_subcommand("about", "Print the effect's about text");
    about->callback([&context] {
        context.Run([&context] {
            auto host = context.StartHost(testhost::HostApp::kAfterEffects);
            if (const PF_Err err = host->About(); err != PF_Err_NONE) {
                throw ToolError(EXIT_EFFECT_FAILED,
                                "the effect's about command failed with code " + std::to_string(err));
            }
            std::string text = host->last_out_data().return_msg;
            if (StdoutIsTerminal()) {
                std::replace(text.begin(), text.end(), '\r', '\n');
            }
            std::cout << text << "\n";
        });
    });
}

}  // namespace zonara_tool
