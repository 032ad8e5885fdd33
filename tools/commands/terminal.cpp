#include "tools/commands/terminal.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>  // _isatty
#else
#include <unistd.h>
#endif

namespace zonara_tool {

#if defined(_WIN32)
bool StdoutIsTerminal() { return ::_isatty(_fileno(stdout)) != 0; }
#else
bool StdoutIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }
#endif

}  // namespace zonara_tool
