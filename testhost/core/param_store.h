// Parameter values as the host keeps them: one PF_ParamDef per position,
// built from what the effect declared, with defaults applied the host's way
// (a point default is per cent of the layer's width and height).
#pragma once

#include <vector>

#include "pf_sdk.h"

namespace testhost {

class ParamStore {
public:
    // Position 0 is the input layer; 1.. follow the declarations in order.
    // Every value starts at its declared default.
    void Reset(const std::vector<PF_ParamDef> &declared, int layer_width, int layer_height);

    int size() const;
    // Throw std::out_of_range for a position outside the store.
    PF_ParamDef &at(int index);
    const PF_ParamDef &at(int index) const;
    // The array handed to the effect (pointers into this store); null while
    // the store is empty.
    PF_ParamDef **array();

    // The layer the values were last reset for: what a point's per cent
    // means.
    int layer_width() const { return layer_width_; }
    int layer_height() const { return layer_height_; }

    // Clears every change flag (before a command whose changes are read).
    void ClearChangeFlags();

    // Takes the value the effect wrote at `index` during an event, the way
    // a host takes a typed value: only the value, brought within the range
    // the effect declared (a slider between valid_min and valid_max, a
    // popup among its choices, a checkbox on or off, an angle within its
    // range when it declared one); everything else at `index` becomes
    // `held` again, the host's copy from before the event. A slider value
    // that is not a number is not taken at all. The change flags stay as
    // the effect set them.
    void TakeEffectValue(int index, const PF_ParamDef &held);

private:
    std::vector<PF_ParamDef> declared_;  // position 0 is the input layer
    std::vector<PF_ParamDef> defs_;
    std::vector<PF_ParamDef *> pointers_;
    int layer_width_ = 0;
    int layer_height_ = 0;
};

// The host's reading of a point default: x_dephault and y_dephault are per
// cent of the layer's width and height, in 16.16 fixed like the value.
PF_Fixed PointDefaultToLayer(PF_Fixed per_cent, int layer_extent);

}  // namespace testhost
