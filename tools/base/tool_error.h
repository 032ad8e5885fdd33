// Failures the tool reports to the user, with the exit status they map to.
// Usage and input problems are the user's to fix (status 2); a failure the
// effect itself reports is status 1, so scripts can tell the two apart.
#pragma once

#include <stdexcept>
#include <string>

namespace zonara_tool {

constexpr int EXIT_OK = 0;
constexpr int EXIT_EFFECT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

class ToolError : public std::runtime_error {
public:
    ToolError(int exit_status, const std::string &message)
        : std::runtime_error(message), exit_status_(exit_status) {}
    int exit_status() const { return exit_status_; }

private:
    int exit_status_;
};

// Shorthand for the common case: the user gave something we cannot use.
inline ToolError UsageError(const std::string &message) { return ToolError(EXIT_USAGE, message); }

}  // namespace zonara_tool
