#include "tools/image/library/library_stderr.h"

#include <cstdio>
#include <mutex>

namespace zonara_tool {

#if defined(__GLIBC__)
namespace {

// The reading and the writing thread of a sequence may both be inside a
// library at once: the first to enter swaps the stream, the last to leave
// puts it back.
std::mutex g_quiet_lock;
int g_quiet_users = 0;
std::FILE *g_real_stderr = nullptr;
std::FILE *g_null_sink = nullptr;

}  // namespace
#endif

QuietLibraryStderr::QuietLibraryStderr() {
#if defined(__GLIBC__)
    const std::lock_guard<std::mutex> hold(g_quiet_lock);
    if (g_quiet_users++ > 0) {
        return;
    }
    if (g_null_sink == nullptr) {
        g_null_sink = std::fopen("/dev/null", "w");  // kept for the process's life
    }
    if (g_null_sink != nullptr) {
        g_real_stderr = stderr;
        stderr = g_null_sink;  // glibc's stderr is a plain variable for this
    }
#endif
}

QuietLibraryStderr::~QuietLibraryStderr() {
#if defined(__GLIBC__)
    const std::lock_guard<std::mutex> hold(g_quiet_lock);
    if (--g_quiet_users > 0 || g_real_stderr == nullptr) {
        return;
    }
    stderr = g_real_stderr;
    g_real_stderr = nullptr;
#endif
}

}  // namespace zonara_tool
