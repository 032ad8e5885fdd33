// The zonara tool's subcommands. Each lives in its own file and registers
// itself on the application through one Add...Command function; main.cpp
// only lists them. A new subcommand is one more file and one more line there.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "testhost/host.h"
#include "tools/commands/tool_error.h"

namespace zonara_tool {

// What every subcommand shares: the module to drive, and the exit status the
// subcommand settled on.
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

// Registers the global options shared by every subcommand (--module).
void AddGlobalOptions(CLI::App &app, ToolContext &context);

void AddAboutCommand(CLI::App &app, ToolContext &context);
void AddParamsCommand(CLI::App &app, ToolContext &context);
void AddRenderCommand(CLI::App &app, ToolContext &context);
void AddOverlayCommand(CLI::App &app, ToolContext &context);
void AddHandlesCommand(CLI::App &app, ToolContext &context);
void AddDragCommand(CLI::App &app, ToolContext &context);
void AddBenchCommand(CLI::App &app, ToolContext &context);
void AddPiplCommand(CLI::App &app, ToolContext &context);
void AddAbiCommand(CLI::App &app, ToolContext &context);
void AddCdlCommand(CLI::App &app, ToolContext &context);

}  // namespace zonara_tool
