// Parameter setup callbacks: add_param keeps a copy of every definition in
// declaration order, register_ui keeps the overlay registration. The value
// callbacks: checkout_param hands a copy of a parameter's value, checkin_param
// takes it back, and the host counts what is still out after each command.
#include <cstring>
#include <string>

#include "testhost/core/host_state.h"

namespace testhost::detail {
namespace {

// The effect may reuse or free the texts its definition points at once
// add_param returns, so the host keeps its own copies, as a host does.
const A_char *KeepText(HostState &host, const A_char *text) {
    if (text == nullptr) {
        return nullptr;
    }
    host.declared_texts.emplace_back(text);
    return host.declared_texts.back().c_str();
}

PF_Err AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
    HostState *host = HostFromEffectRef(effect_ref);
    if (host == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    ++host->add_param_calls;
    if (host->faults.add_param_fail_on_call == host->add_param_calls) {
        return host->faults.add_param_fail_code;
    }
    if (def == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    // Only appending is offered; inserting would renumber parameters that
    // saved projects already refer to by position.
    if (index != -1) {
        return PF_Err_INVALID_INDEX;
    }
    // A byte copy, padding included, so that a test can compare whole records
    // and notice a stray byte the effect left in one.
    PF_ParamDef &copy = host->declared.emplace_back();
    std::memcpy(&copy, def, sizeof copy);
    copy.name[PF_MAX_EFFECT_PARAM_NAME_LEN] = '\0';
    if (copy.param_type == PF_Param_POPUP) {
        copy.u.pd.u.namesptr = KeepText(*host, copy.u.pd.u.namesptr);
    } else if (copy.param_type == PF_Param_CHECKBOX) {
        copy.u.bd.u.nameptr = KeepText(*host, copy.u.bd.u.nameptr);
    }
    return PF_Err_NONE;
}

PF_Err RegisterUi(PF_ProgPtr effect_ref, PF_CustomUIInfo *cust_info) {
    HostState *host = HostFromEffectRef(effect_ref);
    if (host == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    ++host->register_ui_calls;
    if (host->faults.register_ui_fails) {
        return host->faults.register_ui_fail_code;
    }
    if (cust_info == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    host->ui = *cust_info;
    return PF_Err_NONE;
}

// This host keeps one value per parameter (no keyframes), so the value at
// any time is the current one; a request for another time than the
// command's is still noted, since a host with keyframes would answer it with
// another frame's value.
PF_Err CheckoutParam(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long time_step,
                     A_u_long time_scale, PF_ParamDef *param) {
    Command *command = CommandFromEffectRef(effect_ref);
    if (command == nullptr || param == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (command->param_values == nullptr || index < 0 || index >= command->param_count ||
        command->param_values[index] == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (what_time != command->in_data.current_time || time_step != command->in_data.time_step ||
        time_scale != command->in_data.time_scale) {
        command->checkout_problems.push_back("parameter " + std::to_string(index) +
                                             " checked out at another time than the command's");
    }
    std::memcpy(param, command->param_values[index], sizeof *param);
    command->params_held.insert(param);
    return PF_Err_NONE;
}

PF_Err CheckinParam(PF_ProgPtr effect_ref, PF_ParamDef *param) {
    Command *command = CommandFromEffectRef(effect_ref);
    if (command == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const auto held = command->params_held.find(param);
    if (held == command->params_held.end()) {
        command->checkout_problems.emplace_back("a parameter checked in that was not checked out");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    command->params_held.erase(held);
    return PF_Err_NONE;
}

}  // namespace

PF_InteractCallbacks InteractCallbacks() {
    PF_InteractCallbacks callbacks{};
    callbacks.checkout_param = CheckoutParam;
    callbacks.checkin_param = CheckinParam;
    callbacks.add_param = AddParam;
    callbacks.register_ui = RegisterUi;
    return callbacks;
}

}  // namespace testhost::detail
