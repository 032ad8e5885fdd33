// The boundary between the effect's C++ and the host: whatever a handler
// throws becomes a PF_Err here, because an exception crossing into the host
// would end the host's process.
#pragma once

#include <exception>
#include <new>

#include "pf_sdk.h"

namespace zonara {

// Runs handler() and returns its PF_Err, or maps what it throws:
// - a PF_Err (thrown by HostSuites for a missing suite, 516) is the result
//   as it stands, without a message: the host reports the code itself;
// - std::bad_alloc is PF_Err_OUT_OF_MEMORY, which the host knows how to
//   handle (it may free memory and retry);
// - anything else, the drawing suites' DRAWBOT_Exception included, means
//   the command could not be carried out in a state the effect can vouch
//   for, so it is PF_Err_INTERNAL_STRUCT_DAMAGED: the host stops using the
//   command's result rather than trusting partial output.
template <typename Handler>
PF_Err RunHandlerGuarded(Handler &&handler) noexcept {
    try {
        return handler();
    } catch (PF_Err code) {
        return code;
    } catch (const std::bad_alloc &) {
        return PF_Err_OUT_OF_MEMORY;
    } catch (...) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
}

}  // namespace zonara
