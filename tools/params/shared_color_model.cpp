#include "tools/params/shared_color_model.h"

#include "src/params/param_index.h"
#include "testhost/core/param_store.h"
#include "tools/params/side_grade.h"

namespace zonara_tool {
namespace {

// The declared defaults with `values` applied; the grade's controls are
// all that is read, so the layer's size does not matter.
testhost::ParamStore StoreWith(const ParamCatalog &catalog, const std::vector<ParamValue> &values) {
    std::vector<PF_ParamDef> declared;
    for (const ParamCatalog::Entry &row : catalog.rows()) {
        declared.push_back(row.def);
    }
    testhost::ParamStore store;
    store.Reset(declared, 1, 1);
    for (const ParamValue &value : values) {
        ApplyParamValue(value, store);
    }
    return store;
}

int ModelOf(const testhost::ParamStore &store) { return store.at(zonara::PARAM_COLOR_MODEL).u.pd.value; }

// In both models an untouched channel passes unchanged, and a gain alone
// rounds once alike; an offset or a gamma gives another result.
bool SideDependsOnModel(const testhost::ParamStore &store, GradeSide side) {
    const FoldedGrade grade = FoldSideGrade(store, side);
    for (int k = 0; k < CDL_CHANNELS; ++k) {
        if (grade.offset[k] != 0.0f || grade.inv_gamma[k] != 1.0f) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<std::string> SharedModelWarning(const CdlOptions &cdl, const ParamCatalog &catalog,
                                              const std::vector<ParamValue> &before_files,
                                              const std::vector<ParamValue> &all) {
    if (cdl.inside.empty() == cdl.outside.empty()) {
        return std::nullopt;  // no file, or each side its own
    }
    const GradeSide from_file = cdl.inside.empty() ? zonara::SIDE_OUTSIDE : zonara::SIDE_INSIDE;
    const GradeSide other = from_file == zonara::SIDE_INSIDE ? zonara::SIDE_OUTSIDE : zonara::SIDE_INSIDE;
    if (ModelOf(StoreWith(catalog, before_files)) != zonara::COLOR_MODEL_LEGACY) {
        return std::nullopt;
    }
    const testhost::ParamStore after = StoreWith(catalog, all);
    // A --set of the model after the file is the user's own choice.
    if (ModelOf(after) != zonara::COLOR_MODEL_CDL || !SideDependsOnModel(after, other)) {
        return std::nullopt;
    }
    return "--cdl-" + SideName(from_file) +
           " sets the colour model, which both sides share, to \"CDL compliant\": " + "the " + SideName(other) +
           " grade, made in the Legacy model, now renders by the CDL formula (gain and " +
           "offset before the gamma) and looks different; give the " + SideName(other) +
           " a CDL file too, or set its gammas to 1 and its offsets to 0";
}

}  // namespace zonara_tool
