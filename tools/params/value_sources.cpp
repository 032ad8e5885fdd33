#include "tools/params/value_sources.h"

#include <iostream>
#include <optional>

#include "tools/params/preset_file.h"
#include "tools/params/shared_color_model.h"

namespace zonara_tool {

void AddValueOptions(CLI::App &command, ValueSources &sources) {
    command.add_option("--preset", sources.preset,
                       "JSON look as 'zonara params --json --values' writes it, applied before --set");
    AddCdlOptions(command, sources.cdl);
    command.add_option("--set", sources.sets, "KEY=VALUE, repeatable; keys as 'zonara params' lists them");
}

std::vector<ParamValue> ReadValues(const ValueSources &sources, const ParamCatalog &catalog) {
    std::vector<ParamValue> values;
    if (!sources.preset.empty()) {
        values = ReadPreset(sources.preset, catalog);
    }
    const std::vector<ParamValue> before_files = values;
    const std::vector<ParamValue> from_files = ReadCdlValues(sources.cdl, catalog);
    values.insert(values.end(), from_files.begin(), from_files.end());
    for (const std::string &assignment : sources.sets) {
        values.push_back(catalog.ParseAssignment(assignment));
    }
    if (const std::optional<std::string> warning = SharedModelWarning(sources.cdl, catalog, before_files, values)) {
        std::cerr << "zonara: warning: " << *warning << "\n";
    }
    return values;
}

}  // namespace zonara_tool
