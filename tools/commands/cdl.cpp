// zonara cdl export: one side's grade (inside or outside the window) as an
// ASC CDL file, the interchange every grading and compositing system reads.
// The values are the ones the render applies, master controls folded in.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/base/message_text.h"
#include "tools/base/pending_output.h"
#include "tools/base/xml_text.h"
#include "tools/commands/commands.h"
#include "tools/params/cdl_file_writer.h"
#include "tools/params/cdl_options.h"
#include "tools/params/side_grade.h"
#include "tools/params/value_sources.h"

namespace zonara_tool {
namespace {

struct ExportOptions {
    std::string side;
    ValueSources values;  // --preset, --cdl-inside, --cdl-outside, --set
    std::string id;
    bool id_given = false;  // --id "" is given, and refused
    std::string output;
};

// The id goes into an XML attribute, which has no escape for a control
// character and takes only UTF-8: a file holding either is one no reader
// opens. Refused before anything is read or written.
void CheckExportId(const ExportOptions &options) {
    if (!options.id_given) {
        return;
    }
    if (options.id.empty()) {
        throw UsageError("--id is empty; leave it out for the default id");
    }
    const std::string problem = XmlTextProblem(options.id);
    if (!problem.empty()) {
        throw UsageError("--id " + QuotedForMessage(options.id) + ": a CDL file cannot hold it (" + problem + ")");
    }
}

void RunExport(ToolContext &context, const ExportOptions &options) {
    RequireCdlFiles();
    CheckExportId(options);
    const std::optional<GradeSide> side = ParseGradeSide(options.side);
    if (!side) {
        throw UsageError("--side '" + options.side + "': expected inside or outside");
    }
    if (!CdlFileKindFor(options.output)) {
        throw UsageError(options.output +
                         ": a CDL file is named .cc (one correction), .ccc (a collection) or "
                         ".cdl (a decision list)");
    }
    InstallInterruptCleanup();

    auto host = context.StartHost(testhost::HostApp::kAfterEffects);
    const ParamCatalog catalog(host->declared_params());
    for (const ParamValue &value : ReadValues(options.values, catalog)) {
        ApplyParamValue(value, host->params());
    }

    std::vector<std::string> warnings;
    CdlCorrection correction = CorrectionFromGrade(host->params(), *side, warnings);
    CheckReadsBack(correction, *side, catalog, warnings);
    if (options.id_given) {
        correction.id = options.id;
    }
    for (const std::string &warning : warnings) {
        std::cerr << "zonara: warning: " << warning << "\n";
    }
    WriteCdlFile(options.output, correction);
}

}  // namespace

void AddCdlCommand(CLI::App &app, ToolContext &context) {
    CLI::App *cdl = app.add_subcommand("cdl", "ASC CDL files: a side's grade in the interchange format");
    cdl->require_subcommand(1);
    if (!CdlFilesAvailable()) {
        cdl->group("");  // refused with the reason where given, not offered in help
    }
    auto options = std::make_shared<ExportOptions>();
    CLI::App *command = cdl->add_subcommand("export", "Write the inside or outside grade as a .cc, .ccc or .cdl");
    command->add_option("--side", options->side, "inside or outside")->required();
    AddValueOptions(*command, options->values);
    CLI::Option *id =
        command->add_option("--id", options->id, "The correction's id (default zonara_inside or zonara_outside)");
    command->add_option("-o,--output", options->output, "FILE.cc, FILE.ccc or FILE.cdl")->required();
    command->callback([&context, options, id] {
        options->id_given = id->count() > 0;
        context.Run([&] { RunExport(context, *options); });
    });
}

}  // namespace zonara_tool
