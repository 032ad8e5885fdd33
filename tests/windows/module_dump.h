// What a Windows loader and host read from a PE file (kind, exports,
// imported libraries, resources), as the MinGW toolchain's objdump prints
// it: the file is read by the same binutils that linked it, and only
// objdump's text is taken apart here. Anything objdump refuses, or text
// that does not say what is expected, throws std::runtime_error.
#pragma once

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "windows/windows_build.h"

namespace windows_test {

// Part of binutils-mingw-w64-x86-64, which the MinGW compiler brings.
inline constexpr const char *OBJDUMP = "x86_64-w64-mingw32-objdump";

struct ModuleResource {
    std::string type;  // the type's name, or "#" and its number
    std::string name;  // the same for its name
    std::uint32_t language = 0;
    std::vector<std::uint8_t> bytes;
};

struct ModuleDump {
    std::string file_format;  // "pei-x86-64" for a 64-bit Windows file
    bool pe32_plus = false;
    bool dll = false;
    bool has_exports = false;
    std::string export_module_name;
    std::uint32_t exported_function_count = 0;
    std::vector<std::string> exported_names;
    std::vector<std::string> imported_libraries;
    std::vector<ModuleResource> resources;
};

namespace module_dump_detail {

[[noreturn]] inline void Fail(const std::string &why) { throw std::runtime_error(why); }

inline std::string Objdump(const std::filesystem::path &file, const std::vector<std::string> &args) {
    const ScratchDir dir("objdump");
    std::vector<std::string> all = args;
    all.push_back(std::filesystem::absolute(file).string());
    const Run run = RunIn(dir.path(), {OBJDUMP}, all, "objdump");
    if (run.exit_status != 0) {
        Fail(std::string(OBJDUMP) + " cannot read " + file.string() + " (status " + std::to_string(run.exit_status) +
             "): " + run.err);
    }
    return run.out;
}

inline std::string Trim(const std::string &text) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

inline std::uint64_t Hex(const std::string &text) {
    std::size_t used = 0;
    const std::uint64_t value = std::stoull(text, &used, 16);
    if (used != text.size()) Fail("not a hexadecimal number: " + text);
    return value;
}

// After `label` on `line`, the first field (tabs and spaces between).
inline std::string FieldAfter(const std::string &line, const std::string &label) {
    std::istringstream rest(line.substr(line.find(label) + label.size()));
    std::string field;
    rest >> field;
    return field;
}

// The number after `label` on `line`, as objdump prints it in the resource
// tree: "0x003e80,".
inline std::uint64_t HexAfter(const std::string &line, const std::string &label) {
    std::string field = FieldAfter(line, label);
    if (!field.empty() && field.back() == ',') field.pop_back();
    if (field.rfind("0x", 0) == 0) field.erase(0, 2);
    if (field.empty()) Fail("no number after " + label + " in: " + line);
    return Hex(field);
}

// "Entry: ID: 0x003e80, ..." or "Entry: name: [val: 80000048 len 4]: PIPL,
// Value: ...": "#16000" or "PIPL".
inline std::string EntryKey(const std::string &line) {
    if (line.find("Entry: ID: ") != std::string::npos) return "#" + std::to_string(HexAfter(line, "Entry: ID: "));
    const std::size_t name = line.find("]: ");
    const std::size_t end = line.rfind(", Value:");
    if (name == std::string::npos || end == std::string::npos || end < name) Fail("resource entry unread: " + line);
    return line.substr(name + 3, end - name - 3);
}

// The section's bytes from `objdump -s -j SECTION`, keyed by the address of
// the first. The hexadecimal columns lie at fixed places after the address
// (four words of up to eight digits); the text column after them is left.
inline std::pair<std::uint64_t, std::vector<std::uint8_t>> SectionBytes(const std::string &dump) {
    std::istringstream lines(dump);
    std::string line;
    std::uint64_t first = 0;
    bool started = false;
    std::vector<std::uint8_t> bytes;
    while (std::getline(lines, line)) {
        if (line.size() < 2 || line[0] != ' ' || !std::isxdigit(static_cast<unsigned char>(line[1]))) continue;
        const std::size_t address_end = line.find(' ', 1);
        const std::uint64_t address = Hex(line.substr(1, address_end - 1));
        if (!started) first = address, started = true;
        if (address != first + bytes.size()) Fail("section dump is not contiguous at " + line);
        std::istringstream words(line.substr(address_end, 4 * 9));
        std::string word;
        while (words >> word) {
            for (std::size_t i = 0; i + 1 < word.size(); i += 2) {
                bytes.push_back(static_cast<std::uint8_t>(Hex(word.substr(i, 2))));
            }
        }
    }
    if (!started) Fail("no section contents in objdump's dump");
    return {first, bytes};
}

}  // namespace module_dump_detail

// What `file` declares, as objdump prints it (-p: headers, exports,
// imports, the resource tree; -s -j .rsrc: the resources' bytes).
inline ModuleDump DumpModule(const std::filesystem::path &file) {
    using namespace module_dump_detail;
    ModuleDump dump;
    std::istringstream lines(Objdump(file, {"-p"}));
    std::string line;
    std::uint64_t image_base = 0;
    bool in_characteristics = false, in_export_counts = false, in_export_names = false, in_resources = false;
    // The resource tree's levels by the indentation of their entries.
    std::map<std::size_t, std::string> level_at_indent;
    std::string type, name;
    std::uint32_t language = 0;
    struct Leaf {
        ModuleResource resource;
        std::uint64_t rva = 0;
        std::uint64_t size = 0;
    };
    std::vector<Leaf> leaves;
    while (std::getline(lines, line)) {
        const std::string text = Trim(line);
        if (const std::size_t at = line.find("file format "); at != std::string::npos && dump.file_format.empty()) {
            dump.file_format = Trim(line.substr(at + 12));
        }
        if (line.rfind("Characteristics ", 0) == 0) {
            in_characteristics = true;
            continue;
        }
        if (in_characteristics) {
            if (line.empty() || line[0] != '\t') in_characteristics = false;
            else if (text == "DLL") dump.dll = true;
        }
        if (line.rfind("Magic", 0) == 0) dump.pe32_plus = text.find("(PE32+)") != std::string::npos;
        if (line.rfind("ImageBase", 0) == 0) image_base = Hex(FieldAfter(line, "ImageBase"));
        if (text.rfind("DLL Name: ", 0) == 0) dump.imported_libraries.push_back(text.substr(10));
        if (line.rfind("The Export Tables", 0) == 0) dump.has_exports = true;
        if (dump.has_exports && line.rfind("Name ", 0) == 0) {
            std::istringstream fields(text);
            std::string label, address;
            fields >> label >> address;
            std::getline(fields, dump.export_module_name);
            dump.export_module_name = Trim(dump.export_module_name);
        }
        if (line.rfind("Number in:", 0) == 0) in_export_counts = true;
        if (in_export_counts && text.rfind("Export Address Table", 0) == 0) {
            dump.exported_function_count = static_cast<std::uint32_t>(Hex(FieldAfter(line, "Export Address Table")));
            in_export_counts = false;
        }
        if (line.rfind("[Ordinal/Name Pointer] Table", 0) == 0) {
            in_export_names = true;
            continue;
        }
        if (in_export_names) {
            if (line.empty() || line[0] != '\t' || text.empty() || text[0] != '[') {
                in_export_names = false;
            } else {
                dump.exported_names.push_back(Trim(text.substr(text.find(']') + 1)));
            }
        }
        if (line.find("Resource Directory section") != std::string::npos) {
            in_resources = true;
            continue;
        }
        if (!in_resources) continue;
        // "OFFSET<spaces>What: ...": the spaces after the offset nest it.
        const std::size_t offset_end = line.find(' ');
        const std::size_t what = line.find_first_not_of(' ', offset_end);
        if (offset_end == 0 || offset_end == std::string::npos || what == std::string::npos) {
            in_resources = text.rfind("String table", 0) == 0 || text.rfind("Resources start", 0) == 0;
            continue;
        }
        const std::size_t indent = what - offset_end;
        const std::string entry = line.substr(what);
        if (entry.rfind("Type Table", 0) == 0) level_at_indent[indent + 1] = "type";
        else if (entry.rfind("Name Table", 0) == 0) level_at_indent[indent + 1] = "name";
        else if (entry.rfind("Language Table", 0) == 0) level_at_indent[indent + 1] = "language";
        else if (entry.rfind("Entry: ", 0) == 0) {
            const auto level = level_at_indent.find(indent);
            if (level == level_at_indent.end()) Fail("resource entry outside a table: " + line);
            const std::string key = EntryKey(entry);
            if (level->second == "type") type = key;
            else if (level->second == "name") name = key;
            else if (key.empty() || key[0] != '#') Fail("resource language is a name: " + line);
            else language = static_cast<std::uint32_t>(std::stoul(key.substr(1)));
        } else if (entry.rfind("Leaf: ", 0) == 0) {
            Leaf leaf;
            leaf.resource = {type, name, language, {}};
            leaf.rva = HexAfter(entry, "Addr: ");
            leaf.size = HexAfter(entry, "Size: ");
            leaves.push_back(leaf);
        }
    }
    if (dump.file_format.empty()) Fail("objdump named no file format for " + file.string());
    if (!leaves.empty()) {
        const auto [first, section] = SectionBytes(Objdump(file, {"-s", "-j", ".rsrc"}));
        for (Leaf &leaf : leaves) {
            const std::uint64_t at = image_base + leaf.rva;
            if (at < first || at - first > section.size() || section.size() - (at - first) < leaf.size) {
                Fail("resource " + leaf.resource.type + "/" + leaf.resource.name + " lies outside .rsrc");
            }
            const auto begin = section.begin() + static_cast<std::ptrdiff_t>(at - first);
            leaf.resource.bytes.assign(begin, begin + static_cast<std::ptrdiff_t>(leaf.size));
            dump.resources.push_back(leaf.resource);
        }
    }
    return dump;
}

}  // namespace windows_test
