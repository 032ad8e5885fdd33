#include "tools/image/library/memory_file.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cerrno>

namespace zonara_tool {

#if defined(__linux__)

namespace {

// Writes past the file-size limit, counted by their signal; the write then
// fails with EFBIG as it would were the signal ignored.
std::atomic<int> g_limit_signals{0};

extern "C" void CountLimitSignal(int) { g_limit_signals.fetch_add(1); }

}  // namespace

MemoryFile::MemoryFile() {
    struct sigaction counting {};
    counting.sa_handler = CountLimitSignal;
    sigemptyset(&counting.sa_mask);
    counting.sa_flags = SA_RESTART;
    limit_signals_before_ = g_limit_signals.load();
    ::sigaction(SIGXFSZ, &counting, &limit_handler_before_);
    file_ = ::memfd_create("zonara-output", MFD_CLOEXEC);
    // Opening this name opens the same file, wherever the process's files
    // are listed under /proc (nearly always; otherwise nothing is used).
    path_ = "/proc/self/fd/" + std::to_string(file_);
    struct stat listed {};
    if (file_ >= 0 && ::stat(path_.c_str(), &listed) != 0) {
        ::close(file_);
        file_ = -1;
    }
}

MemoryFile::~MemoryFile() {
    ::sigaction(SIGXFSZ, &limit_handler_before_, nullptr);
    if (file_ >= 0) {
        ::close(file_);
    }
}

bool MemoryFile::ReadAll(std::vector<unsigned char> &bytes) const {
    struct stat written {};
    if (file_ < 0 || ::fstat(file_, &written) != 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(written.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(file_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool MemoryFile::AtFileSizeLimit() const { return g_limit_signals.load() != limit_signals_before_; }

#else

MemoryFile::MemoryFile() = default;
bool MemoryFile::AtFileSizeLimit() const { return false; }
MemoryFile::~MemoryFile() = default;
bool MemoryFile::ReadAll(std::vector<unsigned char> &) const { return false; }

#endif

}  // namespace zonara_tool
