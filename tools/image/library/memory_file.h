// A file held in memory that a library can open by name and write as it
// would a file on disk, for writers that take no other place to write to.
// Writing there cannot meet a full disk, which such a writer might not
// notice; the bytes are then stored with checks of the tool's own.
#pragma once

#include <string>
#include <vector>

#if defined(__linux__)
#include <csignal>
#endif

namespace zonara_tool {

class MemoryFile {
public:
    MemoryFile();  // available() is false where the system has no such files
    ~MemoryFile();
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    bool available() const { return file_ >= 0; }
    // The name that opens this file (for writing it anew, too).
    const std::string &path() const { return path_; }
    // Everything written to it; false when it cannot be read.
    bool ReadAll(std::vector<unsigned char> &bytes) const;
    // Whether a write since it was made went past the process's file-size
    // limit, which memory files are held to too: the write failed, and the
    // writer may not have noticed. Told by the signal such a write raises,
    // counted while a memory file lives (the handler in place before is put
    // back after).
    bool AtFileSizeLimit() const;

private:
    int file_ = -1;
    std::string path_;
    int limit_signals_before_ = 0;
#if defined(__linux__)
    struct sigaction limit_handler_before_ {};
#endif
};

}  // namespace zonara_tool
