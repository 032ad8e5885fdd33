#include "tools/commands/commands.h"

namespace zonara_tool {

void AddGlobalOptions(CLI::App &app, ToolContext &context) {
    app.add_option("--module", context.module_path,
                   "Effect module to load (default: $ZONARA_MODULE, else the one installed or built with the tool)");
}

}  // namespace zonara_tool
