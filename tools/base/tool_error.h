// Failures the tool reports to the user, with the exit status they map to,
// so that a script or a render farm can act on the status alone:
//   1  the effect (or the tool itself) failed: report it, a retry gives the same
//   2  the user must fix something: the command, a value, an input file
//   3  the machine failed (no space left, an I/O error, a folder gone, a
//      file-size limit): the same command may succeed when run again
//   130, 143  interrupted by SIGINT or SIGTERM (128 plus the signal)
#pragma once

#include <stdexcept>
#include <string>

namespace zonara_tool {

constexpr int EXIT_OK = 0;
constexpr int EXIT_EFFECT_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_SYSTEM = 3;
constexpr int EXIT_INTERRUPTED_BASE = 128;

class ToolError : public std::runtime_error {
public:
    ToolError(int exit_status, const std::string &message) : std::runtime_error(message), exit_status_(exit_status) {}
    int exit_status() const { return exit_status_; }

private:
    int exit_status_;
};

// Shorthand for the common case: the user gave something we cannot use.
inline ToolError UsageError(const std::string &message) { return ToolError(EXIT_USAGE, message); }

// The machine failed where the command was sound: a retry may cure it.
inline ToolError SystemError(const std::string &message) { return ToolError(EXIT_SYSTEM, message); }

}  // namespace zonara_tool
