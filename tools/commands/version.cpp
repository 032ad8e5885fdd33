// zonara --version: the tool's version and the effect's, as its about box
// names it (its first line), so that a bug report or a render-farm log says
// both. The effect is loaded for it; one that cannot be is said, exit 2.
#include <iostream>
#include <string>

#include "tools/base/tool_version.h"
#include "tools/commands/commands.h"

namespace zonara_tool {

int PrintVersion(ToolContext &context) {
    std::cout << "zonara " << TOOL_VERSION << "\n" << std::flush;
    context.Run([&context] {
        auto host = context.StartHost(testhost::HostApp::kAfterEffects);
        if (const PF_Err err = host->About(); err != PF_Err_NONE) {
            throw ToolError(EXIT_EFFECT_FAILED, "the effect's about command failed with code " + std::to_string(err));
        }
        const std::string about = host->last_out_data().return_msg;
        std::cout << "effect: " << about.substr(0, about.find_first_of("\r\n")) << "\n";
    });
    return context.exit_status;
}

}  // namespace zonara_tool
