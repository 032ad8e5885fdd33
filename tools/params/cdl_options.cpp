#include "tools/params/cdl_options.h"

#include <iostream>

#include "tools/params/cdl_file_reader.h"
#include "tools/params/side_grade.h"

namespace zonara_tool {
namespace {

void AppendSide(const std::string &reference, GradeSide side, const ParamCatalog &catalog,
                std::vector<ParamValue> &values) {
    if (reference.empty()) {
        return;
    }
    const CdlCorrection correction = ReadCdlCorrection(reference);
    std::vector<std::string> warnings;
    const std::vector<ParamValue> side_values =
        GradeFromCorrection(correction, side, catalog, ParseCdlReference(reference).path, warnings);
    for (const std::string &warning : warnings) {
        std::cerr << "zonara: warning: " << warning << "\n";
    }
    values.insert(values.end(), side_values.begin(), side_values.end());
}

}  // namespace

void AddCdlOptions(CLI::App &command, CdlOptions &options) {
    CLI::Option *inside = command.add_option("--cdl-inside", options.inside,
                                             "FILE[#ID]: the inside grade from an ASC CDL file (.cc, .cdl, .ccc; "
                                             "ID picks one correction of several, [N] the Nth), applied "
                                             "before --set");
    CLI::Option *outside =
        command.add_option("--cdl-outside", options.outside, "FILE[#ID]: the outside grade, likewise");
    if (!CdlFilesAvailable()) {
        // Refused with the reason where given, and not offered in help.
        inside->group("");
        outside->group("");
    }
}

std::vector<ParamValue> ReadCdlValues(const CdlOptions &options, const ParamCatalog &catalog) {
    std::vector<ParamValue> values;
    AppendSide(options.inside, zonara::SIDE_INSIDE, catalog, values);
    AppendSide(options.outside, zonara::SIDE_OUTSIDE, catalog, values);
    return values;
}

}  // namespace zonara_tool
