// zonara pipl: the plug-in property list as a host sees it, as a hex dump
// headed by its resource ID and language. On Windows it is read from the
// module file's PIPL resources with the system's resource loader, as a host
// reads it. A Linux module carries no resources, so there the tool prints
// the list the effect is built from (what the Windows build embeds), and
// says so on stderr. Both print the same text for the same sources.
#include <cstdio>
#include <iostream>
#include <string>

#include "shell/property_list.h"
#include "testhost/loading/property_list_resource.h"
#include "tools/commands/commands.h"

namespace zonara_tool {
namespace {

void PrintHexDump(const testhost::PropertyListResource &list) {
    std::cout << "PIPL " << list.id << " language " << list.language << ", " << list.bytes.size() << " bytes\n";
    for (std::size_t row = 0; row < list.bytes.size(); row += 16) {
        char line[96];
        int used = std::snprintf(line, sizeof line, "%04zx ", row);
        std::string text;
        for (std::size_t i = row; i < row + 16; ++i) {
            if (i < list.bytes.size()) {
                used += std::snprintf(line + used, sizeof line - used, " %02x", list.bytes[i]);
                const unsigned char c = list.bytes[i];
                text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '.';
            } else {
                used += std::snprintf(line + used, sizeof line - used, "   ");
            }
        }
        std::cout << line << "  |" << text << "|\n";
    }
}

void RunPipl(ToolContext &context) {
    if (!testhost::ModulesCarryResources()) {
        std::cerr << "zonara: modules carry no resources on this system; this is the property list the effect "
                     "is built from\n";
        const auto bytes = zonara::PropertyListBytes();
        PrintHexDump({zonara::PROPERTY_LIST_RESOURCE_ID, zonara::PROPERTY_LIST_LANGUAGE, {bytes.begin(), bytes.end()}});
        return;
    }
    const std::string path = context.module_path.empty() ? testhost::DefaultModulePath() : context.module_path;
    try {
        for (const testhost::PropertyListResource &list : testhost::ReadPropertyListResources(path)) {
            PrintHexDump(list);
        }
    } catch (const std::runtime_error &error) {
        throw UsageError(error.what());
    }
}

}  // namespace

void AddPiplCommand(CLI::App &app, ToolContext &context) {
    CLI::App *command = app.add_subcommand("pipl", "Print the module's plug-in property list as a host reads it");
    command->callback([&context] { context.Run([&context] { RunPipl(context); }); });
}

}  // namespace zonara_tool
