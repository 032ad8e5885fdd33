// Writing a file so that nothing is ever left half-written: the content goes
// to a temporary file beside the target (same folder, so the final rename is
// atomic) and is renamed into place only once complete. A failure, an
// exception or Ctrl-C removes the temporary file instead.
#pragma once

#include <string>

namespace zonara_tool {

class PendingOutput {
public:
    explicit PendingOutput(const std::string &target);
    ~PendingOutput();  // removes the temporary file unless committed
    PendingOutput(const PendingOutput &) = delete;
    PendingOutput &operator=(const PendingOutput &) = delete;

    // Where to write; it keeps the target's extension.
    const std::string &temp_path() const { return temp_path_; }
    // Moves the finished file onto the target. Throws ToolError (usage) when
    // the rename fails; the temporary file is then removed.
    void Commit();

private:
    std::string target_;
    std::string temp_path_;
    bool committed_ = false;
};

// Installs the Ctrl-C (and termination) handler that removes the temporary file being written
// (if any) before the process ends as interrupted. Safe to call repeatedly.
void InstallInterruptCleanup();

// True for a file name this tool uses for its temporary files.
bool IsTemporaryOutputName(const std::string &file_name);

}  // namespace zonara_tool
