// Whether the tool's own output goes to a terminal, where text is shaped
// for a reader rather than kept byte for byte for a program.
#pragma once

namespace zonara_tool {

bool StdoutIsTerminal();

}  // namespace zonara_tool
