// What every subcommand shares: the module to drive, the hosts it starts,
// and the exit status the subcommand settled on.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "testhost/core/host.h"
#include "tools/base/tool_error.h"

namespace zonara_tool {

class ToolContext {
public:
    // --module; empty means testhost::DefaultModulePath().
    std::string module_path;
    int exit_status = EXIT_OK;

    // The effect module, loaded on first use. Throws ToolError (usage) naming
    // the path and the loader's reason when it cannot be loaded.
    std::shared_ptr<const testhost::Module> Module();

    // A host of the given kind for `frame`, with global and parameter setup
    // done, as when a user applies the effect to a layer. Throws ToolError
    // (effect failed) when the effect fails either command.
    std::unique_ptr<testhost::Host> StartHost(testhost::HostApp app, const testhost::FrameSetup &frame = {});

    // Runs a subcommand's body: a ToolError or any other exception becomes a
    // message on stderr and the exit status.
    void Run(const std::function<void()> &body);

private:
    std::shared_ptr<const testhost::Module> module_;
};

}  // namespace zonara_tool
