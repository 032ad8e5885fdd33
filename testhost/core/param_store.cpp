#include "testhost/core/param_store.h"

#include <algorithm>
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

template <class T>
T Within(T value, T low, T high) {
    return std::min(std::max(value, low), high);
}

// `written` brought within what `declared` allows; `held` where the
// written value cannot be read as one at all.
void KeepWithinDeclared(const PF_ParamDef &declared, const PF_ParamDef &held, PF_ParamDef &written) {
    switch (declared.param_type) {
    case PF_Param_FLOAT_SLIDER: {
        const PF_FloatSliderDef &range = declared.u.fs_d;
        double &value = written.u.fs_d.value;
        value = std::isnan(value)
                    ? held.u.fs_d.value
                    : Within(value, static_cast<double>(range.valid_min), static_cast<double>(range.valid_max));
        break;
    }
    case PF_Param_POPUP:
        written.u.pd.value =
            Within<PF_ParamValue>(written.u.pd.value, 1, std::max<PF_ParamValue>(1, declared.u.pd.num_choices));
        break;
    case PF_Param_CHECKBOX:
        written.u.bd.value = written.u.bd.value != 0 ? 1 : 0;
        break;
    case PF_Param_ANGLE:
        // Both bounds 0: declared without a range; any angle is kept.
        if (declared.u.ad.valid_min != 0 || declared.u.ad.valid_max != 0) {
            written.u.ad.value = Within(written.u.ad.value, declared.u.ad.valid_min, declared.u.ad.valid_max);
        }
        break;
    default:
        break;  // a point may leave the layer; other kinds carry no range here
    }
}

// The value fields of a parameter of kind `type` copied from `from` into
// `to`, the rest of `to` kept.
void CopyValue(PF_ParamType type, const PF_ParamDef &from, PF_ParamDef &to) {
    switch (type) {
    case PF_Param_FLOAT_SLIDER:
        to.u.fs_d.value = from.u.fs_d.value;
        break;
    case PF_Param_POPUP:
        to.u.pd.value = from.u.pd.value;
        break;
    case PF_Param_CHECKBOX:
        to.u.bd.value = from.u.bd.value;
        break;
    case PF_Param_ANGLE:
        to.u.ad.value = from.u.ad.value;
        break;
    case PF_Param_POINT:
        to.u.td.x_value = from.u.td.x_value;
        to.u.td.y_value = from.u.td.y_value;
        break;
    default:
        to.u = from.u;  // kinds the host does not look into: taken whole
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
    layer_width_ = layer_width;
    layer_height_ = layer_height;
    defs_.assign(1, PF_ParamDef{});
    defs_[0].param_type = PF_Param_LAYER;
    declared_ = defs_;
    declared_.insert(declared_.end(), declared.begin(), declared.end());
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

void ParamStore::TakeEffectValue(int index, const PF_ParamDef &held) {
    PF_ParamDef &stored = at(index);
    PF_ParamDef written = held;
    written.uu.change_flags = stored.uu.change_flags;
    CopyValue(held.param_type, stored, written);
    KeepWithinDeclared(declared_.at(static_cast<std::size_t>(index)), held, written);
    stored = written;
}

}  // namespace testhost
