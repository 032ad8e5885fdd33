// The zonara tool's subcommands. Each lives in its own file and registers
// itself on the application through one Add...Command function; run_tool.cpp
// only lists them. A new subcommand is one more file and one more line there.
#pragma once

#include <CLI/CLI.hpp>

#include "tools/base/tool_context.h"

namespace zonara_tool {

// Registers the global options shared by every subcommand (--module).
void AddGlobalOptions(CLI::App &app, ToolContext &context);

// Makes every option of `app` and its subcommands that takes a value refuse
// an empty one (a usage error naming the option); call once all are added.
void RefuseEmptyValues(CLI::App &app);

// Prints the tool's and the effect's versions; returns the exit status.
int PrintVersion(ToolContext &context);

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
