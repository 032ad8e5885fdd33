// Reads what a Windows loader and host read from a PE32+ file: machine and
// kind, export directory, imported libraries and the resource tree. Every
// read is bounds-checked; a malformed file throws std::runtime_error. Kept
// to the fields the checks need, so a tool's interpretation stands between
// nothing and the bytes.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace pe {

constexpr std::uint16_t MACHINE_X86_64 = 0x8664;
constexpr std::uint16_t OPTIONAL_MAGIC_PE32_PLUS = 0x20B;
constexpr std::uint16_t CHARACTERISTIC_DLL = 0x2000;

struct Resource {
    std::string type;  // the type's name, or "#" and its number
    std::uint32_t id = 0;
    bool id_is_name = false;
    std::uint32_t language = 0;
    std::vector<std::uint8_t> bytes;
};

struct Image {
    std::uint16_t machine = 0;
    std::uint16_t characteristics = 0;
    std::uint16_t optional_magic = 0;
    bool has_exports = false;
    std::string export_module_name;
    std::uint32_t exported_function_count = 0;
    std::vector<std::string> exported_names;
    std::vector<std::string> imported_libraries;
    std::vector<Resource> resources;
};

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t> &file) : file_(file) {}

    Image Read() {
        Image image;
        if (U16(0) != 0x5A4D) {
            Fail("no MZ signature");
        }
        const std::uint32_t pe = U32(0x3C);
        if (U32(pe) != 0x00004550) {
            Fail("no PE signature");
        }
        const std::size_t coff = std::size_t{pe} + 4;
        image.machine = U16(coff);
        const std::uint16_t section_count = U16(coff + 2);
        const std::uint16_t optional_size = U16(coff + 16);
        image.characteristics = U16(coff + 18);
        const std::size_t optional = coff + 20;
        image.optional_magic = U16(optional);
        if (image.optional_magic != OPTIONAL_MAGIC_PE32_PLUS) {
            return image;  // not 64-bit: the caller's checks say so
        }
        const std::uint32_t directory_count = U32(optional + 108);
        auto directory = [&](std::uint32_t index) -> std::pair<std::uint32_t, std::uint32_t> {
            if (index >= directory_count || optional + 112 + 8 * index + 8 > optional + optional_size) {
                return {0, 0};
            }
            return {U32(optional + 112 + 8 * index), U32(optional + 112 + 8 * index + 4)};
        };
        const std::size_t section_table = optional + optional_size;
        for (std::uint16_t s = 0; s < section_count; ++s) {
            const std::size_t at = section_table + 40 * std::size_t{s};
            sections_.push_back({U32(at + 12), U32(at + 8), U32(at + 20), U32(at + 16)});
        }
        if (const auto [rva, size] = directory(0); rva != 0 && size != 0) {
            ReadExports(rva, image);
        }
        if (const auto [rva, size] = directory(1); rva != 0 && size != 0) {
            ReadImports(rva, image);
        }
        if (const auto [rva, size] = directory(2); rva != 0 && size != 0) {
            ReadResources(rva, image);
        }
        return image;
    }

private:
    struct Section {
        std::uint32_t virtual_address, virtual_size, raw_offset, raw_size;
    };

    [[noreturn]] static void Fail(const std::string &why) { throw std::runtime_error("malformed PE file: " + why); }

    void Need(std::size_t offset, std::size_t size) const {
        if (offset > file_.size() || size > file_.size() - offset) {
            Fail("read past the end of the file");
        }
    }
    std::uint16_t U16(std::size_t offset) const {
        Need(offset, 2);
        return static_cast<std::uint16_t>(file_[offset] | file_[offset + 1] << 8);
    }
    std::uint32_t U32(std::size_t offset) const {
        Need(offset, 4);
        return std::uint32_t{file_[offset]} | std::uint32_t{file_[offset + 1]} << 8 |
               std::uint32_t{file_[offset + 2]} << 16 | std::uint32_t{file_[offset + 3]} << 24;
    }

    // The file offset of a relative virtual address, within its section's
    // stored bytes.
    std::size_t Offset(std::uint32_t rva) const {
        for (const Section &s : sections_) {
            if (rva >= s.virtual_address && rva - s.virtual_address < s.raw_size) {
                return std::size_t{s.raw_offset} + (rva - s.virtual_address);
            }
        }
        Fail("address " + std::to_string(rva) + " lies in no section");
    }

    std::string Text(std::uint32_t rva) const {
        std::string text;
        for (std::size_t at = Offset(rva);; ++at) {
            Need(at, 1);
            if (file_[at] == 0) {
                return text;
            }
            if (text.size() == 4096) {
                Fail("unterminated name");
            }
            text += static_cast<char>(file_[at]);
        }
    }

    void ReadExports(std::uint32_t rva, Image &image) const {
        const std::size_t at = Offset(rva);
        image.has_exports = true;
        image.export_module_name = Text(U32(at + 12));
        image.exported_function_count = U32(at + 20);
        const std::uint32_t name_count = U32(at + 24);
        const std::uint32_t names = U32(at + 32);
        if (name_count > 65536) {
            Fail("too many export names");
        }
        for (std::uint32_t i = 0; i < name_count; ++i) {
            image.exported_names.push_back(Text(U32(Offset(names) + 4 * std::size_t{i})));
        }
    }

    void ReadImports(std::uint32_t rva, Image &image) const {
        for (std::size_t at = Offset(rva);; at += 20) {
            const std::uint32_t name = U32(at + 12);
            if (name == 0 && U32(at) == 0 && U32(at + 16) == 0) {
                return;
            }
            if (image.imported_libraries.size() == 4096) {
                Fail("import table does not end");
            }
            image.imported_libraries.push_back(Text(name));
        }
    }

    // Three levels, as Windows lays resources out: type, name, language.
    void ReadResources(std::uint32_t rva, Image &image) const {
        const std::size_t root = Offset(rva);
        for (const Entry &type : Entries(root, root)) {
            if (!type.subdirectory) {
                Fail("resource type without a directory");
            }
            for (const Entry &name : Entries(root, root + type.offset)) {
                if (!name.subdirectory) {
                    Fail("resource name without a directory");
                }
                for (const Entry &language : Entries(root, root + name.offset)) {
                    if (language.subdirectory) {
                        Fail("resource language nested further");
                    }
                    const std::size_t data = root + language.offset;
                    const std::uint32_t size = U32(data + 4);
                    const std::size_t bytes = Offset(U32(data));
                    Need(bytes, size);
                    image.resources.push_back({type.name.empty() ? "#" + std::to_string(type.id) : type.name,
                                               name.id, !name.name.empty(), language.id,
                                               std::vector<std::uint8_t>(file_.begin() + static_cast<std::ptrdiff_t>(bytes),
                                                                         file_.begin() + static_cast<std::ptrdiff_t>(bytes + size))});
                }
            }
        }
    }

    struct Entry {
        std::string name;  // empty for a numbered entry
        std::uint32_t id = 0;
        bool subdirectory = false;
        std::uint32_t offset = 0;  // from the resource section's start
    };

    std::vector<Entry> Entries(std::size_t root, std::size_t directory) const {
        const std::size_t count = std::size_t{U16(directory + 12)} + U16(directory + 14);
        std::vector<Entry> entries;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = directory + 16 + 8 * i;
            const std::uint32_t name = U32(at);
            const std::uint32_t target = U32(at + 4);
            Entry entry;
            if (name & 0x80000000u) {
                // A counted UTF-16 string; resource type names are ASCII.
                const std::size_t text = root + (name & 0x7FFFFFFFu);
                const std::uint16_t length = U16(text);
                for (std::size_t c = 0; c < length; ++c) {
                    const std::uint16_t unit = U16(text + 2 + 2 * c);
                    entry.name += unit < 0x80 ? static_cast<char>(unit) : '?';
                }
            } else {
                entry.id = name;
            }
            entry.subdirectory = (target & 0x80000000u) != 0;
            entry.offset = target & 0x7FFFFFFFu;
            entries.push_back(std::move(entry));
        }
        return entries;
    }

    const std::vector<std::uint8_t> &file_;
    std::vector<Section> sections_;
};

inline Image Read(const std::vector<std::uint8_t> &file) { return Reader(file).Read(); }

}  // namespace pe
