// The hosts as the command line names them: "ae" for the compositing host,
// "premiere" for the editing host. One mapping for every command.
#pragma once

#include <string>
#include <vector>

#include "testhost/core/host.h"

namespace zonara_tool {

// The names --host takes, for the option's check and its help.
const std::vector<std::string> &HostNames();

// Throws ToolError (usage) for any other name.
testhost::HostApp ParseHostApp(const std::string &name);

}  // namespace zonara_tool
