// Loading the effect module as a host does: by path, then EntryPointFunc by
// name.
#pragma once

#include <memory>
#include <string>

#include "pf_sdk.h"

namespace testhost {

class Module {
public:
    // Throws std::runtime_error naming the path and the loader's reason.
    static std::shared_ptr<const Module> Load(const std::string &path);
    ~Module();
    Module(const Module &) = delete;
    Module &operator=(const Module &) = delete;

    PF_EntryPointFunc entry() const { return entry_; }
    const std::string &path() const { return path_; }

private:
    Module() = default;
    void *handle_ = nullptr;
    PF_EntryPointFunc entry_ = nullptr;
    std::string path_;
};

// The module that came with the running program (beside it on Windows, in
// its installation's plug-in folder otherwise), else the one built with
// this tree; ZONARA_MODULE names another file.
std::string DefaultModulePath();

}  // namespace testhost
