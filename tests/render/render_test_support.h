// Parameter arrays and in-data records for calling the render functions
// directly, without a host.
#pragma once

#include <cmath>
#include <cstring>
#include <vector>

#include "params/param_index.h"
#include "pf_sdk.h"

namespace render_test {

using namespace zonara;

// The 48 parameters at their defaults for a 1920 x 1080 layer.
class ParamSet {
public:
    ParamSet() : defs_(PARAM_COUNT) {
        for (auto &def : defs_) std::memset(&def, 0, sizeof def);
        for (int i = 0; i < PARAM_COUNT; ++i) pointers_.push_back(&defs_[i]);
        defs_[PARAM_INPUT].param_type = PF_Param_LAYER;
        Popup(PARAM_WINDOW_TYPE, 1);
        Point(960, 540);
        Slider(PARAM_WIDTH, 1920);
        Slider(PARAM_HEIGHT, 1080);
        Angle(0);
        Slider(PARAM_FEATHER, 100);
        Popup(PARAM_FALLOFF, 1);
        Checkbox(PARAM_INVERT, false);
        for (int side = 0; side < 2; ++side) {
            const int master = side == 0 ? PARAM_IN_OFFSET : PARAM_OUT_OFFSET;
            const int channels = side == 0 ? PARAM_IN_RED_OFFSET : PARAM_OUT_RED_OFFSET;
            Slider(master, 0);
            Slider(master + 1, 1);
            Slider(master + 2, 1);
            Slider(master + 3, 1);  // saturation
            for (int k = 0; k < 3; ++k) {
                Slider(channels + 3 * k, 0);
                Slider(channels + 3 * k + 1, 1);
                Slider(channels + 3 * k + 2, 1);
            }
        }
        Checkbox(PARAM_CLAMP_OUT_BLACK, true);
        Checkbox(PARAM_CLAMP_OUT_WHITE, false);
        Checkbox(PARAM_CLAMP_IN_BLACK, true);
        Slider(PARAM_MIX, 1);
        Popup(PARAM_COLOR_MODEL, 2);
    }
    ParamSet(const ParamSet &other) : defs_(other.defs_) {
        for (auto &def : defs_) pointers_.push_back(&def);
    }
    ParamSet &operator=(const ParamSet &) = delete;

    ParamSet &Slider(int index, double value) {
        defs_[index].param_type = PF_Param_FLOAT_SLIDER;
        defs_[index].u.fs_d.value = value;
        return *this;
    }
    ParamSet &Popup(int index, A_long value) {
        defs_[index].param_type = PF_Param_POPUP;
        defs_[index].u.pd.value = value;
        return *this;
    }
    ParamSet &Checkbox(int index, bool on) {
        defs_[index].param_type = PF_Param_CHECKBOX;
        defs_[index].u.bd.value = on ? 1 : 0;
        return *this;
    }
    ParamSet &Point(double x, double y) {
        defs_[PARAM_ORIGIN].param_type = PF_Param_POINT;
        defs_[PARAM_ORIGIN].u.td.x_value = static_cast<PF_Fixed>(std::lround(x * 65536.0));
        defs_[PARAM_ORIGIN].u.td.y_value = static_cast<PF_Fixed>(std::lround(y * 65536.0));
        return *this;
    }
    ParamSet &Angle(double degrees) {
        defs_[PARAM_ANGLE].param_type = PF_Param_ANGLE;
        defs_[PARAM_ANGLE].u.ad.value = static_cast<PF_Fixed>(std::lround(degrees * 65536.0));
        return *this;
    }
    // A grade side at identity except for the master controls given.
    ParamSet &InsideMaster(double offset, double gamma, double gain, double saturation = 1) {
        return Slider(PARAM_IN_OFFSET, offset).Slider(PARAM_IN_GAMMA, gamma).Slider(PARAM_IN_GAIN, gain)
            .Slider(PARAM_IN_SATURATION, saturation);
    }
    ParamSet &OutsideMaster(double offset, double gamma, double gain, double saturation = 1) {
        return Slider(PARAM_OUT_OFFSET, offset).Slider(PARAM_OUT_GAMMA, gamma).Slider(PARAM_OUT_GAIN, gain)
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
