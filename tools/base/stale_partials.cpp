#include "tools/base/stale_partials.h"

#include <cerrno>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <system_error>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#if defined(__linux__)
#include <sys/vfs.h>
#endif

#include "tools/base/pending_output.h"

namespace zonara_tool {
namespace {

#if !defined(_WIN32)

// A writer holds its temporary file for the time it takes to encode and
// store one frame; a file left this long is no longer being written.
constexpr std::chrono::hours STALE_ON_NETWORK_AFTER{1};

// The writer's process id in `name` (".zonara-partial-PID-N[.ext]"), or 0
// when the name is not of that form.
pid_t WriterOf(const std::string &name) {
    const std::string marker = TEMPORARY_OUTPUT_MARKER;
    if (name.compare(0, marker.size(), marker) != 0) {
        return 0;
    }
    std::size_t at = marker.size();
    long long pid = 0;
    const std::size_t digits_start = at;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9' && at - digits_start < 10) {
        pid = pid * 10 + (name[at] - '0');
        ++at;
    }
    const bool count_follows = at + 1 < name.size() && name[at] == '-' && name[at + 1] >= '0' && name[at + 1] <= '9';
    if (at == digits_start || !count_follows || pid <= 0 || pid > 0x7fffffff) {
        return 0;
    }
    return static_cast<pid_t>(pid);
}

bool ProcessIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Whether process ids found in `folder` may be of another machine.
bool OnNetworkFileSystem(const std::string &folder) {
#if defined(__linux__)
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) {
        return true;  // unknown: the careful answer
    }
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969UL:      // NFS
    case 0x517BUL:      // SMB
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2
    case 0x00C36400UL:  // Ceph
    case 0x65735546UL:  // FUSE (sshfs and the like)
    case 0x5346414FUL:  // AFS
    case 0x01021997UL:  // 9P
    case 0x0BD00BD0UL:  // Lustre
    case 0x01161970UL:  // GFS2
    case 0x7461636FUL:  // OCFS2
        return true;
    default:
        return false;
    }
#else
    (void)folder;
    return true;
#endif
}

void RemoveStaleIn(const std::string &folder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) {
        return;
    }
    const bool network = OnNetworkFileSystem(folder);
    const pid_t own = ::getpid();
    for (const auto &entry : entries) {
        const std::string name = entry.path().filename().string();
        const pid_t writer = WriterOf(name);
        if (writer == 0 || writer == own) {
            continue;
        }
        struct stat file {};
        if (::lstat(entry.path().c_str(), &file) != 0 || !S_ISREG(file.st_mode) || file.st_uid != ::geteuid()) {
            continue;
        }
        if (network && std::chrono::system_clock::now() - std::chrono::system_clock::from_time_t(file.st_mtime) <
                           STALE_ON_NETWORK_AFTER) {
            continue;
        }
        if (ProcessIsGone(writer)) {
            ::unlink(entry.path().c_str());
        }
    }
}

#endif

}  // namespace

void RemoveStalePartials(const std::filesystem::path &folder) {
#if defined(_WIN32)
    (void)folder;  // no cheap, reliable test there of whether a process id is in use
#else
    // Once a folder a run: a sequence writes thousands of frames into one.
    static std::mutex mutex;
    static std::set<std::string> swept;
    const std::string name = folder.empty() ? "." : folder.string();
    {
        const std::lock_guard lock(mutex);
        if (!swept.insert(name).second) {
            return;
        }
    }
    RemoveStaleIn(name);
#endif
}

}  // namespace zonara_tool
