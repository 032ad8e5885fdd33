// The vector kernel is compiled once per instruction-set level, each object
// with its own flags. An inline function the linker may merge across
// objects (a weak or COMDAT definition: an inline function of a shared
// header, a template of the standard library) compiled in the AVX-512
// object could be the one copy the linker keeps for the whole module, and
// run on a processor without AVX-512. So a level's object may define such
// symbols only inside its own namespace, which no other object shares.
#pragma once

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace zonara_test {

inline std::string Demangled(const std::string &name) {
    int status = 0;
    std::unique_ptr<char, void (*)(void *)> text(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                                 std::free);
    return status == 0 && text != nullptr ? std::string(text.get()) : name;
}

inline std::string OutputOf(const std::string &command) {
    std::string out;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// The level objects (lane_kernel_<level>) of a build folder, where CMake
// keeps the objects of the kernel's folder.
inline std::vector<std::filesystem::path> LevelObjects(const std::filesystem::path &build_dir) {
    std::vector<std::filesystem::path> objects;
    const std::filesystem::path folder =
        build_dir / "CMakeFiles" / "zonara_effect_objects.dir" / "src" / "render" / "lanes";
    if (!std::filesystem::exists(folder)) return objects;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("lane_kernel_", 0) == 0 && (name.ends_with(".o") || name.ends_with(".obj"))) {
            objects.push_back(entry.path());
        }
    }
    return objects;
}

// The definitions of `object` that the linker may merge with another
// object's, demangled: weak symbols (nm's W, V and u) of an ELF object, and
// the symbols that name a COMDAT section (".text$name") of a COFF one.
inline std::vector<std::string> MergeableDefinitions(const std::string &nm, const std::string &objdump,
                                                     const std::filesystem::path &object) {
    std::vector<std::string> names;
    std::istringstream symbols(OutputOf(nm + " --defined-only '" + object.string() + "' 2>/dev/null"));
    for (std::string line; std::getline(symbols, line);) {
        std::istringstream fields(line);
        std::string address, type, name;
        // DW.ref.* are the unwinder's pointers to the personality routine:
        // data, the same in every object, not code for a level.
        if (fields >> address >> type >> name && (type == "W" || type == "V" || type == "u") &&
            name.rfind("DW.ref.", 0) != 0) {
            names.push_back(Demangled(name));
        }
    }
    std::istringstream sections(OutputOf(objdump + " -h '" + object.string() + "' 2>/dev/null"));
    for (std::string line; std::getline(sections, line);) {
        std::istringstream fields(line);
        std::string index, section;
        if (!(fields >> index >> section)) continue;
        const std::size_t dollar = section.find('$');
        if (dollar == std::string::npos) continue;
        // C++ definitions only, by their mangled names: the others are the
        // compiler's own (".rdata$zzz" holds its version) or MinGW's pointers
        // to data of other objects (".refptr."), references, not code.
        const std::string name = section.substr(dollar + 1);
        if (name.rfind("_Z", 0) != 0) continue;
        names.push_back(Demangled(name));
    }
    return names;
}

// The level an object was compiled for, from its name (lane_kernel_avx2...).
inline std::string LevelOf(const std::filesystem::path &object) {
    std::string stem = object.filename().string().substr(std::string("lane_kernel_").size());
    return stem.substr(0, stem.find('.'));
}

// Every mergeable definition of the objects that lies outside the level's
// own namespace (zonara::lanes_<level>), as "object: symbol".
inline std::vector<std::string> DefinitionsOutsideTheirLevel(const std::string &nm, const std::string &objdump,
                                                             const std::vector<std::filesystem::path> &objects) {
    std::vector<std::string> strays;
    for (const auto &object : objects) {
        const std::string own = "zonara::lanes_" + LevelOf(object) + "::";
        for (const std::string &name : MergeableDefinitions(nm, objdump, object)) {
            if (name.rfind(own, 0) != 0) strays.push_back(object.filename().string() + ": " + name);
        }
    }
    return strays;
}

}  // namespace zonara_test
