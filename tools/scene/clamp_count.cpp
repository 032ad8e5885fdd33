#include "tools/scene/clamp_count.h"

#include "tools/image/straight_colour.h"

namespace zonara_tool {
namespace {

int PositionOf(const ParamCatalog &catalog, const char *key) {
    const ParamCatalog::Entry *entry = catalog.Find(key);
    return entry != nullptr ? entry->index : 0;
}

bool IsGradeControl(const ParamCatalog::Entry &entry) {
    return entry.settable && entry.def.param_type == PF_Param_FLOAT_SLIDER &&
           (entry.key.rfind("in_", 0) == 0 || entry.key.rfind("out_", 0) == 0);
}

}  // namespace

ClampCount::ClampCount(const ParamCatalog &catalog)
    : mix_(PositionOf(catalog, "mix")),
      clamp_in_black_(PositionOf(catalog, "clamp_in_black")),
      clamp_out_black_(PositionOf(catalog, "clamp_out_black")),
      clamp_out_white_(PositionOf(catalog, "clamp_out_white")) {
    for (const ParamCatalog::Entry &entry : catalog.entries()) {
        if (IsGradeControl(entry)) {
            grade_sliders_.push_back(entry.index);
        }
    }
}

bool ClampCount::On(const testhost::ParamStore &values, int index) const {
    return index != 0 && values.at(index).u.bd.value != 0;
}

bool ClampCount::GradeIsIdentity(const testhost::ParamStore &values) const {
    for (const int index : grade_sliders_) {
        const PF_ParamDef &def = values.at(index);
        if (def.u.fs_d.value != static_cast<double>(def.u.fs_d.dephault)) {
            return false;
        }
    }
    return mix_ == 0 || values.at(mix_).u.fs_d.value > 0.0;
}

void ClampCount::Add(const Image &source, const testhost::ParamStore &values) {
    if (source.kind != SampleKind::FLOAT32 || clamp_in_black_ == 0 || clamp_out_black_ == 0 || clamp_out_white_ == 0) {
        return;  // integer samples lie within 0..1
    }
    const bool black = On(values, clamp_in_black_) || On(values, clamp_out_black_);
    const bool white = On(values, clamp_out_white_);
    if ((!black && !white) || !GradeIsIdentity(values)) {
        return;
    }
    // As the effect sees it (straight), a grey channel counted once, as the
    // file holds it.
    ForEachStraightColour(source, [&](float value) {
        const bool low = black && value < 0.0f;
        const bool high = white && value > 1.0f;
        changed_ += (low || high) ? 1 : 0;
        changed_low_ |= low;
        changed_high_ |= high;
    });
}

std::string ClampCount::Notice() const {
    if (changed_ == 0) {
        return {};
    }
    std::string what = changed_low_ && changed_high_ ? "below 0 and above 1" : changed_low_ ? "below 0" : "above 1";
    const std::string keys = changed_low_ && changed_high_
                                 ? "clamp_in_black=off, clamp_out_black=off and clamp_out_white=off"
                             : changed_low_ ? "clamp_in_black=off and clamp_out_black=off"
                                            : "clamp_out_white=off";
    return "the clamps changed " + std::to_string(changed_) + " colour samples " + what +
           " at an otherwise unchanged grade; set " + keys + " to keep them";
}

}  // namespace zonara_tool
