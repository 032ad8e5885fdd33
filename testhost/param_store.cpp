#include "testhost/param_store.h"

#include <cmath>
#include <cstdint>

namespace testhost {
namespace {

// Values start at the default the effect declared, whatever it left in the
// value field: the host owns the values from here on.
void ApplyDefault(PF_ParamDef &def, int layer_width, int layer_height) {
    switch (def.param_type) {
    case PF_Param_POPUP:
        def.u.pd.value = def.u.pd.dephault;
        break;
    case PF_Param_CHECKBOX:
        def.u.bd.value = def.u.bd.dephault;
        break;
    case PF_Param_FLOAT_SLIDER:
        def.u.fs_d.value = def.u.fs_d.dephault;
        break;
    case PF_Param_ANGLE:
        def.u.ad.value = def.u.ad.dephault;
        break;
    case PF_Param_POINT:
        def.u.td.x_value = PointDefaultToLayer(def.u.td.x_dephault, layer_width);
        def.u.td.y_value = PointDefaultToLayer(def.u.td.y_dephault, layer_height);
        break;
    default:
        break;
    }
}

}  // namespace

PF_Fixed PointDefaultToLayer(PF_Fixed per_cent, int layer_extent) {
    // In 64 bits: 100 % of a 15000-pixel layer is already past 2^31 / 100.
    const std::int64_t scaled = static_cast<std::int64_t>(per_cent) * layer_extent;
    return static_cast<PF_Fixed>(std::llround(static_cast<double>(scaled) / 100.0));
}

void ParamStore::Reset(const std::vector<PF_ParamDef> &declared, int layer_width, int layer_height) {
    defs_.assign(1, PF_ParamDef{});
    defs_[0].param_type = PF_Param_LAYER;
    for (const PF_ParamDef &def : declared) {
        defs_.push_back(def);
        defs_.back().uu.change_flags = PF_ChangeFlag_NONE;
        ApplyDefault(defs_.back(), layer_width, layer_height);
    }
    pointers_.clear();
    for (PF_ParamDef &def : defs_) {
        pointers_.push_back(&def);
    }
}

int ParamStore::size() const { return static_cast<int>(defs_.size()); }

PF_ParamDef &ParamStore::at(int index) { return defs_.at(static_cast<std::size_t>(index)); }

const PF_ParamDef &ParamStore::at(int index) const { return defs_.at(static_cast<std::size_t>(index)); }

PF_ParamDef **ParamStore::array() { return pointers_.empty() ? nullptr : pointers_.data(); }

void ParamStore::ClearChangeFlags() {
    for (PF_ParamDef &def : defs_) {
        def.uu.change_flags = PF_ChangeFlag_NONE;
    }
}

}  // namespace testhost
