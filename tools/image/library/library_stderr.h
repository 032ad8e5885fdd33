// Keeps the format libraries' own lines off the tool's stderr. Some print
// there directly before failing (libpng's "libpng error: IDAT: ..." on a
// damaged file, libjpeg's "out of disk space?"), ahead of and apart from the
// tool's one message; OpenImageIO hands the same reason to the tool as the
// error, which the tool's message then carries.
#pragma once

namespace zonara_tool {

// While one exists (on any thread), what the libraries print to stdio's
// stderr is dropped. The tool's own messages are not: std::cerr and the
// progress meter hold the real stream from before. Where the C library's
// stderr cannot be replaced (not glibc) this does nothing.
class QuietLibraryStderr {
public:
    QuietLibraryStderr();
    ~QuietLibraryStderr();
    QuietLibraryStderr(const QuietLibraryStderr &) = delete;
    QuietLibraryStderr &operator=(const QuietLibraryStderr &) = delete;
};

}  // namespace zonara_tool
