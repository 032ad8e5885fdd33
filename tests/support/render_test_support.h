// Parameter arrays and in-data records for calling the render functions
// directly; the values start from the simulated host's defaults.
#pragma once

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "common/fixed_scale.h"
#include "params/param_index.h"
#include "pf_sdk.h"
#include "support/linked_effect.h"

namespace render_test {

using namespace zonara;

// The parameters at the defaults the effect declares, valued as the host
// values them for a 1920 x 1080 layer. Read once from a host that ran the
// effect's parameter setup, which stays alive because popups keep pointers
// into its copies of their texts.
inline const std::vector<PF_ParamDef> &DeclaredDefaults() {
    static const std::unique_ptr<testhost::Host> HOST = zonara_test::HostWithDefaults(testhost::HostApp::kAfterEffects);
    static const std::vector<PF_ParamDef> DEFAULTS = [] {
        std::vector<PF_ParamDef> defs;
        for (int i = 0; i < HOST->params().size(); ++i) defs.push_back(HOST->params().at(i));
        return defs;
    }();
    return DEFAULTS;
}

// The parameter array at the declared defaults, for a test to change.
class ParamSet {
public:
    ParamSet() : defs_(DeclaredDefaults()) {
        for (auto &def : defs_) pointers_.push_back(&def);
    }
    ParamSet(const ParamSet &other) : defs_(other.defs_) {
        for (auto &def : defs_) pointers_.push_back(&def);
    }
    ParamSet &operator=(const ParamSet &) = delete;

    ParamSet &Slider(int index, double value) {
        defs_[index].u.fs_d.value = value;
        return *this;
    }
    ParamSet &Popup(int index, A_long value) {
        defs_[index].u.pd.value = value;
        return *this;
    }
    ParamSet &Checkbox(int index, bool on) {
        defs_[index].u.bd.value = on ? 1 : 0;
        return *this;
    }
    ParamSet &Point(double x, double y) {
        defs_[PARAM_ORIGIN].u.td.x_value = static_cast<PF_Fixed>(std::lround(x * FIXED_ONE));
        defs_[PARAM_ORIGIN].u.td.y_value = static_cast<PF_Fixed>(std::lround(y * FIXED_ONE));
        return *this;
    }
    ParamSet &Angle(double degrees) {
        defs_[PARAM_ANGLE].u.ad.value = static_cast<PF_Fixed>(std::lround(degrees * FIXED_ONE));
        return *this;
    }
    // A grade side at identity except for the master controls given.
    ParamSet &InsideMaster(double offset, double gamma, double gain, double saturation = 1) {
        return Slider(PARAM_IN_OFFSET, offset)
            .Slider(PARAM_IN_GAMMA, gamma)
            .Slider(PARAM_IN_GAIN, gain)
            .Slider(PARAM_IN_SATURATION, saturation);
    }
    ParamSet &OutsideMaster(double offset, double gamma, double gain, double saturation = 1) {
        return Slider(PARAM_OUT_OFFSET, offset)
            .Slider(PARAM_OUT_GAMMA, gamma)
            .Slider(PARAM_OUT_GAIN, gain)
            .Slider(PARAM_OUT_SATURATION, saturation);
    }
    ParamSet &Input(const PF_LayerDef &layer) {
        defs_[PARAM_INPUT].u.ld = layer;
        return *this;
    }

    PF_ParamDef &operator[](int index) { return defs_[index]; }
    PF_ParamDef **array() { return pointers_.data(); }
    const PF_ParamDef *const *const_array() const { return pointers_.data(); }

private:
    std::vector<PF_ParamDef> defs_;
    std::vector<PF_ParamDef *> pointers_;
};

// An in-data record with the standard power function as the host's and no
// resolution change.
struct InData {
    PF_UtilCallbacks utils{};
    PF_InData in_data{};

    InData() {
        utils.ansi.pow = [](double x, double y) { return std::pow(x, y); };
        in_data.utils = &utils;
        in_data.pixel_aspect_ratio = {1, 1};
        in_data.downsample_x = {1, 1};
        in_data.downsample_y = {1, 1};
    }
    InData(const InData &) = delete;
};

}  // namespace render_test
