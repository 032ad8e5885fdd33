// The zonara tool's whole run, from the command line to the exit status.
// Kept apart from the program's main so that main's file includes no
// command-line library: that library's inline code is then compiled once
// with the tool's other files, not once more for main alone.
#pragma once

namespace zonara_tool {

int RunTool(int argc, char **argv);

}  // namespace zonara_tool
