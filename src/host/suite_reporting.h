// Acquiring and releasing a single suite outside a HostSuites scope, for
// suites whose absence the command survives: a failure is told to the user
// through the out data (display-error flag and message) instead of thrown.
#pragma once

#include "pf_sdk.h"

namespace zonara {

inline constexpr const char *ACQUIRE_SUITE_FAILED_MESSAGE = "Not able to acquire AEFX Suite.";
inline constexpr const char *RELEASE_SUITE_FAILED_MESSAGE = "Not able to release AEFX Suite.";

// Sets PF_OutFlag_DISPLAY_ERROR_MESSAGE and writes message into return_msg
// with the host's sprintf, the message being the format. The message must
// hold no conversion and fit return_msg; every caller passes a fixed text.
void ReportErrorToUser(const PF_InData *in_data, PF_OutData *out_data, const char *message);

// *suite must be null on entry; it is set only when the host hands the suite
// out. On failure reports message (or ACQUIRE_SUITE_FAILED_MESSAGE when null)
// and returns PF_Err_BAD_CALLBACK_PARAM.
PF_Err AcquireSuiteReporting(const PF_InData *in_data, PF_OutData *out_data, const char *name, int32_t version,
                             const char *message, const void **suite);

// Typed form, so callers need no cast through void**.
template <typename Suite>
PF_Err AcquireSuiteReporting(const PF_InData *in_data, PF_OutData *out_data, const char *name, int32_t version,
                             const char *message, const Suite **suite) {
    const void *untyped = nullptr;
    const PF_Err err = AcquireSuiteReporting(in_data, out_data, name, version, message, &untyped);
    if (untyped != nullptr) {
        *suite = static_cast<const Suite *>(untyped);
    }
    return err;
}

// Without a basic suite reports message (or RELEASE_SUITE_FAILED_MESSAGE)
// and returns PF_Err_BAD_CALLBACK_PARAM; the host's own answer is not
// examined.
PF_Err ReleaseSuiteReporting(const PF_InData *in_data, PF_OutData *out_data, const char *name, int32_t version,
                             const char *message);

}  // namespace zonara
