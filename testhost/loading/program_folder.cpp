#include "testhost/loading/program_folder.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#endif

namespace testhost {

#if defined(_WIN32)
// The ANSI forms, as LoadLibraryA takes the paths built from it the same way.
std::string ProgramFolder() {
    char exe[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::string folder(exe, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string ExistingFile(const std::string &path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES ? path : std::string();
}
#else
std::string ProgramFolder() {
    std::array<char, 4096> path{};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        return {};
    }
    std::string folder(path.data(), static_cast<std::size_t>(length));
    return folder.substr(0, folder.find_last_of('/') + 1);
}

std::string ExistingFile(const std::string &path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? path : std::string();
}
#endif

}  // namespace testhost
