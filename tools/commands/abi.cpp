// zonara abi: the byte layout of every host record and function table the
// effect and the simulated host declare, as this build compiled them, so that
// anyone holding the hosts' own headers can compare offsets and sizes in a
// minute. The Windows tool prints the Windows build's layout. --json writes
// the same facts in the shape {"records": {...}, "function_tables": {...},
// "constants": {...}}.
#include <cstddef>
#include <iomanip>
#include <iostream>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include <nlohmann/json.hpp>

#include "pf_sdk.h"
#include "tools/commands/commands.h"

namespace zonara_tool {
namespace {

struct Field {
    std::string name;
    int slot;  // -1 for a record member
    std::size_t offset;
    std::size_t size;
};

struct Layout {
    std::string name;
    bool table;  // a function table, rather than a record
    bool is_union;
    std::size_t size;
    std::size_t alignment;
    std::vector<Field> fields;
};

// One entry per record and table, in declaration order, from the compiled
// types; the published figures in the lists only serve the compile-time checks.
std::vector<Layout> CompiledLayouts() {
    std::vector<Layout> layouts;
#define ZONARA_ABI_LIST_RECORD(type, size, alignment) \
    layouts.push_back({#type, false, std::is_union_v<type>, sizeof(type), alignof(type), {}});
#define ZONARA_ABI_LIST_MEMBER(type, member, offset, size) \
    layouts.back().fields.push_back({#member, -1, offsetof(type, member), sizeof(((type *)nullptr)->member)});
#define ZONARA_ABI_LIST_TABLE(type, size) layouts.push_back({#type, true, false, sizeof(type), alignof(type), {}});
#define ZONARA_ABI_LIST_SLOT(type, slot, entry, offset, size) \
    layouts.back().fields.push_back({#entry, slot, offsetof(type, entry), sizeof(((type *)nullptr)->entry)});
    ZONARA_ABI_RECORDS(ZONARA_ABI_LIST_RECORD, ZONARA_ABI_LIST_MEMBER)
    ZONARA_ABI_TABLES(ZONARA_ABI_LIST_TABLE, ZONARA_ABI_LIST_SLOT)
#undef ZONARA_ABI_LIST_RECORD
#undef ZONARA_ABI_LIST_MEMBER
#undef ZONARA_ABI_LIST_TABLE
#undef ZONARA_ABI_LIST_SLOT
    return layouts;
}

std::map<std::string, nlohmann::json> CompiledConstants() {
    std::map<std::string, nlohmann::json> constants;
#define ZONARA_ABI_LIST_CONSTANT(name, value) constants[#name] = static_cast<long long>(name);
#define ZONARA_ABI_LIST_SUITE_NAME(name, value) constants[#name] = std::string(name);
    ZONARA_ABI_CONSTANTS(ZONARA_ABI_LIST_CONSTANT)
    ZONARA_ABI_SUITE_NAMES(ZONARA_ABI_LIST_SUITE_NAME)
#undef ZONARA_ABI_LIST_CONSTANT
#undef ZONARA_ABI_LIST_SUITE_NAME
    return constants;
}

void PrintJson(const std::vector<Layout> &layouts) {
    nlohmann::ordered_json out;
    out["records"] = nlohmann::ordered_json::object();
    out["function_tables"] = nlohmann::ordered_json::object();
    for (const Layout &layout : layouts) {
        nlohmann::ordered_json fields = nlohmann::ordered_json::array();
        for (const Field &field : layout.fields) {
            if (layout.table) {
                fields.push_back(
                    {{"slot", field.slot}, {"offset", field.offset}, {"name", field.name}, {"size", field.size}});
            } else {
                fields.push_back({{"member", field.name}, {"offset", field.offset}, {"size", field.size}});
            }
        }
        if (layout.table) {
            out["function_tables"][layout.name] = {{"size", layout.size}, {"entries", fields}};
        } else {
            out["records"][layout.name] = {{"kind", layout.is_union ? "union" : "struct"},
                                           {"size", layout.size},
                                           {"align", layout.alignment},
                                           {"members", fields}};
        }
    }
    out["constants"] = nlohmann::ordered_json::object();
    for (const auto &[name, value] : CompiledConstants()) {
        out["constants"][name] = value;
    }
    std::cout << out.dump(2) << "\n";
}

void PrintText(const std::vector<Layout> &layouts) {
    for (const Layout &layout : layouts) {
        std::cout << layout.name << ": "
                  << (layout.table      ? "function table"
                      : layout.is_union ? "union"
                                        : "struct")
                  << ", size " << layout.size << ", alignment " << layout.alignment << "\n";
        for (const Field &field : layout.fields) {
            std::cout << "  ";
            if (layout.table) {
                std::cout << "slot " << std::setw(2) << field.slot << "  ";
            }
            std::cout << "offset " << std::setw(3) << field.offset << "  size " << std::setw(3) << field.size << "  "
                      << field.name << "\n";
        }
    }
    std::cout << "constants:\n";
    for (const auto &[name, value] : CompiledConstants()) {
        std::cout << "  " << name << " = " << value.dump() << "\n";
    }
}

}  // namespace

void AddAbiCommand(CLI::App &app, ToolContext &context) {
    CLI::App *command =
        app.add_subcommand("abi", "Print the host records' and function tables' offsets and sizes as compiled");
    auto json = std::make_shared<bool>(false);
    command->add_flag("--json", *json, "Print as JSON");
    command->callback([&context, json] {
        context.Run([json] {
            const std::vector<Layout> layouts = CompiledLayouts();
            if (*json) {
                PrintJson(layouts);
            } else {
                PrintText(layouts);
            }
        });
    });
}

}  // namespace zonara_tool
