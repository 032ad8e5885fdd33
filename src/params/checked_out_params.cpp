#include "params/checked_out_params.h"

namespace zonara {

CheckedOutParams::CheckedOutParams(const PF_InData &in_data) noexcept : in_data_(in_data) {
    for (int index = 0; index < PARAM_COUNT; ++index) {
        pointers_[index] = &values_[index];
    }
}

CheckedOutParams::~CheckedOutParams() {
    // The host's answer is not examined: a destructor may run while an
    // exception unwinds, and a refused check-in leaves nothing to repair.
    for (int index = PARAM_COUNT - 1; index > PARAM_INPUT; --index) {
        if (held_[index]) {
            static_cast<void>(in_data_.inter.checkin_param(in_data_.effect_ref, &values_[index]));
        }
    }
}

PF_Err CheckedOutParams::CheckOutAll() noexcept {
    if (in_data_.inter.checkout_param == nullptr || in_data_.inter.checkin_param == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    for (int index = PARAM_INPUT + 1; index < PARAM_COUNT; ++index) {
        if (held_[index]) continue;
        const PF_Err err = in_data_.inter.checkout_param(in_data_.effect_ref, index, in_data_.current_time,
                                                         in_data_.time_step, in_data_.time_scale, &values_[index]);
        if (err != PF_Err_NONE) return err;
        held_[index] = true;
    }
    return PF_Err_NONE;
}

}  // namespace zonara
