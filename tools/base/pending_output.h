// Writing a file so that nothing is ever left half-written: the content goes
// to a temporary file beside the file being replaced (same folder, so the
// final rename is atomic), every write and the flush to the disk are
// checked, and the file is renamed into place only once complete. A failure,
// an exception or a signal that ends the process removes the temporary file
// instead, and the earlier file stays as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tools/base/byte_sink.h"
#include "tools/base/tool_error.h"

namespace zonara_tool {

class PendingOutput final : public ByteSink {
public:
    // Creates the (empty) temporary file. `target` is the name the user
    // gave; a symbolic link there is written through, so the link stays and
    // the file it leads to gets the new content, with its mode and group.
    // Throws ToolError naming `target` when the file it replaces may not be
    // replaced (CheckReplaceable: usage) or the temporary file cannot be
    // created (status by the system's reason, see FailForErrno). Temporary
    // files that earlier runs, killed outright, left in that folder are
    // removed first (RemoveStalePartials).
    explicit PendingOutput(const std::string &target);
    ~PendingOutput();  // removes the temporary file unless committed
    PendingOutput(const PendingOutput &) = delete;
    PendingOutput &operator=(const PendingOutput &) = delete;

    const std::string &target() const { return target_; }
    // The temporary file, for writers that open a file by name instead of
    // handing their bytes to Write; it keeps the target's extension.
    const std::string &temp_path() const { return temp_path_; }

    // Appends to the temporary file. Throws ToolError with the system's
    // reason ("No space left on device") naming the target (FailForErrno).
    void Write(const void *bytes, std::size_t count) override;

    // A check of the finished file by a reader of its format: nothing when
    // the file at `written` reads back, else the reader's reason.
    using ReadBackCheck = std::function<std::string(const std::string &written)>;
    // Has Commit run `check` on the complete temporary file (flushed to the
    // disk and closed) just before the rename. Set by the writer, which
    // knows the format and what it stored.
    void CheckBeforeRename(ReadBackCheck check) { read_back_ = std::move(check); }

    // Flushes the temporary file to the disk, closes it (each step checked;
    // a file that ended up shorter than what Write was given is refused),
    // has it read back where a check was set, gives it the mode and group of
    // the file being replaced (the group where the user may) and renames it
    // onto that file. Throws ToolError naming the target: as FailForErrno
    // says for a failed write, EXIT_EFFECT_FAILED with the reader's reason
    // for a file that does not read back; the temporary file is then removed.
    void Commit();

    // Throws ToolError (usage unless `exit_status` says otherwise):
    // "cannot write TARGET: REASON", the temporary file's name in `reason`
    // replaced by the target's, since the user never asked for the temporary
    // file.
    [[noreturn]] void Fail(const std::string &reason, int exit_status = EXIT_USAGE) const;
    // Fail with the system's reason for `error_number`, exit status 3 where
    // the machine is to blame (a full disk, a file-size limit, an I/O error:
    // IsMachineFailure), 2 otherwise.
    [[noreturn]] void FailForErrno(int error_number) const;

private:
    void FlushAndClose();
    // `reason` with the temporary file's name replaced by the target's.
    std::string InTargetsName(const std::string &reason) const;
    void KeepModeOfReplaced();

    std::string target_;
    std::string replaced_;  // the target, or the file its links lead to
    std::string temp_path_;
    int file_ = -1;
    std::uint64_t bytes_written_ = 0;
    bool committed_ = false;
    ReadBackCheck read_back_;
};

// The file a write to `target` replaces: `target` itself, or, where it is a
// symbolic link (or a chain of them), the file the last one names. Throws
// ToolError (usage) for a loop of links.
std::string FileReplacedBy(const std::string &target);

// Throws ToolError (usage) naming `target` when the file a write to it
// would replace exists and must be kept: one the user may not write (or
// that nobody may: mode 444 refuses root too, as a file marked read-only
// is meant to stay), or one with several names (hard links), which a
// rename would split, the other names keeping the old picture.
void CheckReplaceable(const std::string &target);

// Installs the handler that removes the temporary file being written (if
// any) before the process ends as Ctrl-C, termination, a closed terminal
// (hang-up), quit or a broken pipe would end it; a file-size limit makes the
// write fail with a reason instead of ending the process. Safe to call
// repeatedly.
void InstallInterruptCleanup();

// What every temporary file's name starts with, followed by the writing
// process's id, "-", a count and the target's extension.
inline constexpr const char *TEMPORARY_OUTPUT_MARKER = ".zonara-partial-";

// True for a file name this tool uses for its temporary files.
bool IsTemporaryOutputName(const std::string &file_name);

}  // namespace zonara_tool
