#include "host/suite_reporting.h"

namespace zonara {

void ReportErrorToUser(const PF_InData *in_data, PF_OutData *out_data, const char *message) {
    out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    // Hosts always pass their callbacks; without them the flag alone still
    // tells the host something went wrong.
    if (in_data->utils != nullptr && in_data->utils->ansi.sprintf != nullptr) {
        in_data->utils->ansi.sprintf(out_data->return_msg, message);
    }
}

PF_Err AcquireSuiteReporting(const PF_InData *in_data, PF_OutData *out_data, const char *name, int32_t version,
                             const char *message, const void **suite) {
    if (in_data->pica_basicP != nullptr) {
        // Whether the host handed the suite out is decided by the pointer
        // alone, not by the code it returns.
        in_data->pica_basicP->AcquireSuite(name, version, suite);
        if (*suite != nullptr) {
            return PF_Err_NONE;
        }
    }
    ReportErrorToUser(in_data, out_data, message != nullptr ? message : ACQUIRE_SUITE_FAILED_MESSAGE);
    return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err ReleaseSuiteReporting(const PF_InData *in_data, PF_OutData *out_data, const char *name, int32_t version,
                             const char *message) {
    if (in_data->pica_basicP != nullptr) {
        in_data->pica_basicP->ReleaseSuite(name, version);
        return PF_Err_NONE;
    }
    ReportErrorToUser(in_data, out_data, message != nullptr ? message : RELEASE_SUITE_FAILED_MESSAGE);
    return PF_Err_BAD_CALLBACK_PARAM;
}

}  // namespace zonara
