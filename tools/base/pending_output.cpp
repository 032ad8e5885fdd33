#include "tools/base/pending_output.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>       // _open, _write, _commit, _close
#include <process.h>  // _getpid
#include <stdio.h>    // _unlink
#include <stdlib.h>   // _exit
#else
#include <unistd.h>
#endif

#include "tools/base/interrupt_notice.h"
#include "tools/base/stale_partials.h"
#include "tools/base/system_failure.h"
#include "tools/base/tool_error.h"

namespace zonara_tool {
namespace {

// Temporary names are this, the process id, a count and the target's
// extension: short whatever the target's name (a file system takes 255
// bytes per name, and a target may use nearly all of them), and still
// unique when one process writes several files.
constexpr const char *TEMP_MARKER = TEMPORARY_OUTPUT_MARKER;
// A longer "extension" is part of an unusual name, not a format's; no writer
// would look at it, and keeping it could make the name too long again.
constexpr std::size_t MAX_KEPT_EXTENSION = 16;
// Tries with the next count when a name is taken (left by a process of the
// same id that was killed outright).
constexpr int MAX_NAME_ATTEMPTS = 100;
// As the kernel does: more links than this in a chain is a loop.
constexpr int MAX_LINKS_FOLLOWED = 40;
// One write call at most this many bytes (Windows takes an unsigned int).
constexpr std::size_t MAX_WRITE_CALL = std::size_t{1} << 30;

#if defined(_WIN32)
int ProcessId() { return _getpid(); }
int CreateExclusive(const char *path) {
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long WriteSome(int file, const void *bytes, std::size_t count) {
    const long written = _write(file, bytes, static_cast<unsigned>(count));
    // A write that only partly fits may fail as EINVAL, the reason lost
    // (seen under Wine); the next attempt fails with the real one (ENOSPC).
    // Should it succeed instead, the size check before the rename refuses
    // the file.
    if (written < 0 && errno == EINVAL) {
        return _write(file, bytes, static_cast<unsigned>(count));
    }
    return written;
}
int FlushToDisk(int file) { return _commit(file); }
int CloseDescriptor(int file) { return _close(file); }
void RemoveFile(const char *path) { _unlink(path); }
#else
int ProcessId() { return static_cast<int>(::getpid()); }
int CreateExclusive(const char *path) { return ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
long WriteSome(int file, const void *bytes, std::size_t count) {
    return static_cast<long>(::write(file, bytes, count));
}
int FlushToDisk(int file) { return ::fsync(file); }
int CloseDescriptor(int file) { return ::close(file); }
void RemoveFile(const char *path) { ::unlink(path); }
#endif

std::string SystemReason(int error_number) { return std::generic_category().message(error_number); }

// What the interrupt handler may touch: a fixed buffer and a lock-free flag,
// since a signal handler may neither allocate nor take locks. Only one output
// is pending at a time in this tool.
char g_interrupt_path[4096];
std::atomic<bool> g_interrupt_path_set{false};

extern "C" void RemovePendingOnInterrupt(int signal_number) {
    if (g_interrupt_path_set.load()) {
        RemoveFile(g_interrupt_path);
    }
    // Said for what a user or a scheduler does on purpose; a closed
    // terminal or pipe has no reader for it.
    if (signal_number == SIGINT || signal_number == SIGTERM) {
        WriteInterruptNotice();
    }
#if defined(_WIN32)
    // The default action there ends the process with status 3, which this
    // tool gives a failure of the machine.
    _exit(EXIT_INTERRUPTED_BASE + signal_number);
#else
    // End as the signal would have, so the shell sees the usual status
    // (128 plus the signal) and a script running the tool stops too.
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
#endif
}

void RegisterForInterrupt(const std::string &path) {
    if (path.size() >= sizeof g_interrupt_path) {
        return;  // cannot happen for paths the file system accepts
    }
    g_interrupt_path_set.store(false);
    std::memcpy(g_interrupt_path, path.c_str(), path.size() + 1);
    g_interrupt_path_set.store(true);
}

void UnregisterForInterrupt() { g_interrupt_path_set.store(false); }

std::atomic<unsigned> g_temp_count{0};

std::string TempName(const std::filesystem::path &target) {
    std::string extension = target.extension().string();
    if (extension.size() > MAX_KEPT_EXTENSION) {
        extension.clear();
    }
    return TEMP_MARKER + std::to_string(ProcessId()) + "-" + std::to_string(g_temp_count++) + extension;
}

void ReplaceAll(std::string &text, const std::string &from, const std::string &to) {
    if (from.empty()) {
        return;
    }
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// What a file that is neither a regular file nor a folder is, in words;
// null for those two and for nothing there.
const char *SpecialFileKind(const std::filesystem::file_status &status) {
    switch (status.type()) {
    case std::filesystem::file_type::fifo:
        return "a FIFO (named pipe)";
    case std::filesystem::file_type::socket:
        return "a socket";
    case std::filesystem::file_type::character:
        return "a character device";
    case std::filesystem::file_type::block:
        return "a block device";
    case std::filesystem::file_type::unknown:
        return "a special file";
    default:
        return nullptr;
    }
}

}  // namespace

std::string FileReplacedBy(const std::string &target) {
#if defined(_WIN32)
    return target;  // links there are rare and need privileges to make
#else
    std::filesystem::path path(target);
    for (int followed = 0; followed < MAX_LINKS_FOLLOWED; ++followed) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error)) {
            return path.string();
        }
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) {
            throw UsageError("cannot write " + target + ": " + error.message());
        }
        // A relative link is read from the folder the link is in.
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    throw UsageError("cannot write " + target + ": " + SystemReason(ELOOP));
#endif
}

void CheckReplaceable(const std::string &target) {
    const std::string replaced = FileReplacedBy(target);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(replaced, error);
    const std::string named = replaced == target ? target : target + " (" + replaced + ")";
    if (const char *kind = SpecialFileKind(status)) {
        // A rename would put a regular file in its place: a pipe's reader
        // would never get the picture, a device node would be gone.
        throw UsageError("cannot write " + target + ": " + named + " is " + kind +
                         ", not a regular file; it is left as it is (write to a file)");
    }
    if (!std::filesystem::is_regular_file(status)) {
        return;  // nothing there yet, or a folder (reported elsewhere)
    }
    using std::filesystem::perms;
    const bool nobody_writes =
        (status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) == perms::none;
#if !defined(_WIN32)
    const bool user_may_not_write = ::access(replaced.c_str(), W_OK) != 0;
#else
    const bool user_may_not_write = false;
#endif
    if (nobody_writes || user_may_not_write) {
        throw UsageError("cannot write " + target + ": " + named +
                         (nobody_writes ? " is read-only" : " is not writable by this user") +
                         "; it is left as it is (make it writable to replace it)");
    }
    const std::uintmax_t names = std::filesystem::hard_link_count(replaced, error);
    if (!error && names > 1) {
        throw UsageError("cannot write " + target + ": " + named + " has " + std::to_string(names) +
                         " names (hard links); replacing it would leave the other names with the old "
                         "picture, and writing into it in place could leave it half-written. Write elsewhere, "
                         "or remove the other names first");
    }
}

PendingOutput::PendingOutput(const std::string &target) : target_(target), replaced_(FileReplacedBy(target)) {
    CheckReplaceable(target);
    const std::filesystem::path replaced(replaced_);
    RemoveStalePartials(replaced.parent_path());
    for (int attempt = 0; attempt < MAX_NAME_ATTEMPTS; ++attempt) {
        // The target's extension is kept: writers that open the file by
        // name may look at it.
        temp_path_ = (replaced.parent_path() / TempName(std::filesystem::path(target))).string();
        // Registered before the file exists, so no moment has the file
        // without its clean-up.
        RegisterForInterrupt(temp_path_);
        file_ = CreateExclusive(temp_path_.c_str());
        if (file_ >= 0) {
            return;
        }
        const int error_number = errno;
        UnregisterForInterrupt();
        if (error_number != EEXIST) {
            temp_path_.clear();  // nothing of ours to remove
            const std::string folder = replaced.parent_path().empty() ? "." : replaced.parent_path().string();
            std::error_code ignored;
            if (error_number == ENOENT && !std::filesystem::exists(folder, ignored)) {
                // The folder was there when the run was checked.
                Fail("its folder " + folder + " no longer exists", EXIT_SYSTEM);
            }
            // A folder that takes no new files (/proc) says ENOENT too.
            Fail(SystemReason(error_number), error_number == ENOENT ? EXIT_USAGE : ExitStatusFor(error_number));
        }
    }
    temp_path_.clear();
    Fail("no free name for a temporary file in its folder");
}

PendingOutput::~PendingOutput() {
    if (file_ >= 0) {
        CloseDescriptor(file_);
    }
    // Removed while still registered: an interruption in between then
    // removes it too, where the other order would leave it behind.
    if (!committed_ && !temp_path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temp_path_, ignored);
    }
    UnregisterForInterrupt();
}

void PendingOutput::Write(const void *bytes, std::size_t count) {
    if (file_ < 0) {
        Fail("the file is already closed");
    }
    const char *next = static_cast<const char *>(bytes);
    while (count > 0) {
        const long written = WriteSome(file_, next, std::min(count, MAX_WRITE_CALL));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            FailForErrno(errno);
        }
        if (written == 0) {
            FailForErrno(ENOSPC);  // what a write that stores nothing means
        }
        next += written;
        count -= static_cast<std::size_t>(written);
        bytes_written_ += static_cast<std::uint64_t>(written);
    }
}

void PendingOutput::FlushAndClose() {
    // Both checked: a file system may report a failed write only here
    // (delayed allocation, network file systems).
    if (FlushToDisk(file_) != 0) {
        FailForErrno(errno);
    }
    const int file = file_;
    file_ = -1;
    if (CloseDescriptor(file) != 0) {
        FailForErrno(errno);
    }
}

// The new file takes the place of the old one, so it keeps what the old one
// said about who may read it: its permissions, and its owner and group as
// far as the user may give them (a user may give a file only a group they
// are in). Changing a file's permissions or group is never a reason to fail
// the write.
void PendingOutput::KeepModeOfReplaced() {
#if !defined(_WIN32)
    struct stat old_file {};
    if (::stat(replaced_.c_str(), &old_file) != 0 || !S_ISREG(old_file.st_mode)) {
        return;
    }
    if (::chown(temp_path_.c_str(), old_file.st_uid, old_file.st_gid) != 0) {
        [[maybe_unused]] const int group_only = ::chown(temp_path_.c_str(), static_cast<uid_t>(-1), old_file.st_gid);
    }
    // After the owner, since changing it may clear mode bits. Set-id bits
    // are not carried: an image is never run.
    ::chmod(temp_path_.c_str(), old_file.st_mode & 0777);
#endif
}

void PendingOutput::Commit() {
    FlushAndClose();
    std::error_code error;
    if (bytes_written_ > 0) {
        const std::uintmax_t size = std::filesystem::file_size(temp_path_, error);
        if (error) {
            FailForErrno(error.value());
        }
        if (size != bytes_written_) {
            // The disk took less than the writes said it did.
            Fail("the file holds " + std::to_string(size) + " of " + std::to_string(bytes_written_) + " bytes",
                 EXIT_SYSTEM);
        }
    }
    // A writer may report success for a file nothing can read (the TIFF
    // writer once lost its image's directory): such a file never takes the
    // target's place, and the failure is the tool's, not the user's.
    if (read_back_) {
        if (const std::string why = read_back_(temp_path_); !why.empty()) {
            std::filesystem::remove(temp_path_, error);
            throw ToolError(EXIT_EFFECT_FAILED, "cannot write " + target_ + ": the written file does not read back (" +
                                                    InTargetsName(why) + "); it was removed");
        }
    }
    // After the read-back: the replaced file's mode may deny reading (0200).
    KeepModeOfReplaced();
    std::filesystem::rename(temp_path_, replaced_, error);
    if (error) {
        FailForErrno(error.value());
    }
    committed_ = true;
    UnregisterForInterrupt();
}

std::string PendingOutput::InTargetsName(const std::string &reason) const {
    std::string said = reason;
    if (!temp_path_.empty()) {
        ReplaceAll(said, temp_path_, target_);
        ReplaceAll(said, std::filesystem::path(temp_path_).filename().string(), target_);
    }
    return said;
}

void PendingOutput::Fail(const std::string &reason, int exit_status) const {
    throw ToolError(exit_status, "cannot write " + target_ + ": " + InTargetsName(reason));
}

void PendingOutput::FailForErrno(int error_number) const {
    Fail(SystemReason(error_number), ExitStatusFor(error_number));
}

void InstallInterruptCleanup() {
    std::signal(SIGINT, RemovePendingOnInterrupt);
    std::signal(SIGTERM, RemovePendingOnInterrupt);
#if !defined(_WIN32)
    std::signal(SIGHUP, RemovePendingOnInterrupt);
    std::signal(SIGQUIT, RemovePendingOnInterrupt);
    std::signal(SIGPIPE, RemovePendingOnInterrupt);
    // Beyond a file-size limit the write then fails with "File too large"
    // and is reported and cleaned up like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool IsTemporaryOutputName(const std::string &file_name) { return file_name.find(TEMP_MARKER) != std::string::npos; }

}  // namespace zonara_tool
