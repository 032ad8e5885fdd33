#include "tools/image/library/memory_file.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>

namespace zonara_tool {

#if defined(__linux__)

MemoryFile::MemoryFile() {
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

#else

MemoryFile::MemoryFile() = default;
MemoryFile::~MemoryFile() = default;
bool MemoryFile::ReadAll(std::vector<unsigned char> &) const { return false; }

#endif

}  // namespace zonara_tool
