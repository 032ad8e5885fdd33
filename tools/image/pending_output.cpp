#include "tools/image/pending_output.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <process.h>  // _getpid
#include <stdio.h>    // _unlink
#define ZONARA_GETPID _getpid
#define ZONARA_UNLINK _unlink
#else
#include <unistd.h>
#define ZONARA_GETPID ::getpid
#define ZONARA_UNLINK ::unlink
#endif

#include "tools/commands/tool_error.h"

namespace zonara_tool {
namespace {

constexpr const char *TEMP_MARKER = ".zonara-partial-";

// What the interrupt handler may touch: a fixed buffer and a lock-free flag,
// since a signal handler may neither allocate nor take locks. Only one output
// is pending at a time in this tool.
char g_interrupt_path[4096];
std::atomic<bool> g_interrupt_path_set{false};

extern "C" void RemovePendingOnInterrupt(int signal_number) {
    if (g_interrupt_path_set.load()) {
        ZONARA_UNLINK(g_interrupt_path);
    }
    // End as interrupted, so the shell sees the usual status.
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
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

}  // namespace

PendingOutput::PendingOutput(const std::string &target) : target_(target) {
    const std::filesystem::path path(target);
    // Hidden, named after the target and this process, ending in the target's
    // extension so image writers that look at it still see the right one.
    const std::string name = "." + path.filename().string() + TEMP_MARKER + std::to_string(ZONARA_GETPID()) +
                             path.extension().string();
    temp_path_ = (path.parent_path() / name).string();
    RegisterForInterrupt(temp_path_);
}

PendingOutput::~PendingOutput() {
    UnregisterForInterrupt();
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(temp_path_, ignored);
    }
}

void PendingOutput::Commit() {
    std::error_code error;
    std::filesystem::rename(temp_path_, target_, error);
    if (error) {
        throw UsageError("cannot write " + target_ + ": " + error.message());
    }
    committed_ = true;
    UnregisterForInterrupt();
}

void InstallInterruptCleanup() {
    std::signal(SIGINT, RemovePendingOnInterrupt);
    std::signal(SIGTERM, RemovePendingOnInterrupt);
}

bool IsTemporaryOutputName(const std::string &file_name) {
    return file_name.find(TEMP_MARKER) != std::string::npos;
}

}  // namespace zonara_tool
