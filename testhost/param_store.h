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

    // Clears every change flag (before a command whose changes are read).
    void ClearChangeFlags();

private:
    std::vector<PF_ParamDef> defs_;
    std::vector<PF_ParamDef *> pointers_;
};

// The host's reading of a point default: x_dephault and y_dephault are per
// cent of the layer's width and height, in 16.16 fixed like the value.
PF_Fixed PointDefaultToLayer(PF_Fixed per_cent, int layer_extent);

}  // namespace testhost
