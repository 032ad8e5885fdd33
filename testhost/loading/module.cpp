// The one place that knows how the operating system loads a dynamic library.
// Everything else in the host sees only Module::entry().
#include "testhost/loading/module.h"

#include <cstdlib>
#include <stdexcept>

#include "testhost/loading/program_folder.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace testhost {
namespace {

constexpr const char *ENTRY_POINT_NAME = "EntryPointFunc";

#if defined(_WIN32)
std::string LastLoaderError() {
    const DWORD code = GetLastError();
    char *text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length != 0 && text != nullptr ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

void *OpenLibrary(const std::string &path) { return LoadLibraryA(path.c_str()); }
void *FindSymbol(void *handle, const char *name) {
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void CloseLibrary(void *handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
std::string LastLoaderError() {
    const char *text = dlerror();
    return text != nullptr ? text : "unknown reason";
}

void *OpenLibrary(const std::string &path) {
    // RTLD_LOCAL keeps the module's symbols to itself, as a host loading
    // several plug-ins side by side must.
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void *FindSymbol(void *handle, const char *name) { return dlsym(handle, name); }
void CloseLibrary(void *handle) { dlclose(handle); }
#endif

}  // namespace

std::shared_ptr<const Module> Module::Load(const std::string &path) {
    std::shared_ptr<Module> module(new Module);
    module->path_ = path;
    module->handle_ = OpenLibrary(path);
    if (module->handle_ == nullptr) {
        throw std::runtime_error("cannot load effect module '" + path + "': " + LastLoaderError());
    }
    void *symbol = FindSymbol(module->handle_, ENTRY_POINT_NAME);
    if (symbol == nullptr) {
        throw std::runtime_error("effect module '" + path + "' has no " + ENTRY_POINT_NAME + ": " + LastLoaderError());
    }
    // Both loaders hand functions back as object pointers; the conversion is
    // the documented way to get a callable entry point.
    module->entry_ = reinterpret_cast<PF_EntryPointFunc>(symbol);
    return module;
}

Module::~Module() {
    if (handle_ != nullptr) {
        CloseLibrary(handle_);
    }
}

std::string DefaultModulePath() {
    const char *from_environment = std::getenv("ZONARA_MODULE");
    if (from_environment != nullptr && *from_environment != '\0') {
        return from_environment;
    }
    // Shipped or installed, the tool uses the module that came with it
    // (beside it on Windows, in the plug-in folder of its installation
    // otherwise), so the build folder's path never has to exist on the
    // user's machine and an installed tool never loads a newer build's module.
    const std::string folder = ProgramFolder();
    if (!folder.empty()) {
        if (std::string shipped = ExistingFile(folder + ZONARA_MODULE_FROM_PROGRAM); !shipped.empty()) {
            return shipped;
        }
    }
    return ZONARA_MODULE_PATH;
}

}  // namespace testhost
