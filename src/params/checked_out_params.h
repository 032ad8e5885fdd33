// The parameter values of one command read through the host's checkout_param,
// as the smart commands must read them: a host need not pass the parameter
// array with those commands, and the values it holds there may be for another
// time than the frame asked for. Every value checked out is checked in again
// when the object goes, on every path, since a host counts what an effect
// holds.
#pragma once

#include <array>

#include "params/param_index.h"
#include "pf_sdk.h"

namespace zonara {

class CheckedOutParams {
public:
    explicit CheckedOutParams(const PF_InData &in_data) noexcept;
    ~CheckedOutParams();

    CheckedOutParams(const CheckedOutParams &) = delete;
    CheckedOutParams &operator=(const CheckedOutParams &) = delete;

    // Checks out every declared parameter (not the input layer, which the
    // smart commands hand over as pixels) at in_data's current time, step
    // and scale. The host's first refusal is the result, and what was
    // checked out before it is still checked in by the destructor. A host
    // without the callbacks is a damaged call.
    PF_Err CheckOutAll() noexcept;

    // The values indexed as the parameter array is; position 0 (the input
    // layer) holds an empty definition. Valid after CheckOutAll succeeded.
    const PF_ParamDef *const *array() const { return pointers_.data(); }

private:
    const PF_InData &in_data_;
    std::array<PF_ParamDef, PARAM_COUNT> values_{};
    std::array<bool, PARAM_COUNT> held_{};
    std::array<const PF_ParamDef *, PARAM_COUNT> pointers_{};
};

}  // namespace zonara
