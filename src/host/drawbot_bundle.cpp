#include "host/drawbot_bundle.h"

#include "host/suite_reporting.h"

namespace zonara {
namespace {

constexpr int32_t DRAWBOT_SUITE_VERSION = 1;
constexpr const char *NULL_BUNDLE_MESSAGE = "NULL suite pointer passed to AEFX_AcquireDrawbotSuites";

// Records in field the suite the host handed out, or null. The message of a
// refusal is the reporting acquire's own.
template <typename Suite>
bool AcquireInto(PF_InData *in_data, PF_OutData *out_data, const char *name, const Suite **field) {
    *field = nullptr;
    return AcquireSuiteReporting(in_data, out_data, name, DRAWBOT_SUITE_VERSION, nullptr, field) == PF_Err_NONE;
}

template <typename Suite>
void ReleaseIfAcquired(PF_InData *in_data, PF_OutData *out_data, const char *name, const Suite **field) {
    if (*field == nullptr) {
        return;
    }
    ReleaseSuiteReporting(in_data, out_data, name, DRAWBOT_SUITE_VERSION, nullptr);
    *field = nullptr;
}

}  // namespace

PF_Err AEFX_AcquireDrawbotSuites(PF_InData *in_data, PF_OutData *out_data, DrawbotBundle *bundle) {
    if (bundle == nullptr) {
        ReportErrorToUser(in_data, out_data, NULL_BUNDLE_MESSAGE);
        return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
    // Stops at the first suite not supplied; the ones before stay recorded
    // so that they, and only they, are given back.
    const bool all_acquired = AcquireInto(in_data, out_data, kDRAWBOT_DrawSuite, &bundle->draw) &&
                              AcquireInto(in_data, out_data, kDRAWBOT_SupplierSuite, &bundle->supplier) &&
                              AcquireInto(in_data, out_data, kDRAWBOT_SurfaceSuite, &bundle->surface) &&
                              AcquireInto(in_data, out_data, kDRAWBOT_PathSuite, &bundle->path);
    return all_acquired ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err ReleaseDrawbotBundle(PF_InData *in_data, PF_OutData *out_data, DrawbotBundle *bundle) {
    if (bundle == nullptr) {
        return PF_Err_NONE;
    }
    ReleaseIfAcquired(in_data, out_data, kDRAWBOT_DrawSuite, &bundle->draw);
    ReleaseIfAcquired(in_data, out_data, kDRAWBOT_SupplierSuite, &bundle->supplier);
    ReleaseIfAcquired(in_data, out_data, kDRAWBOT_SurfaceSuite, &bundle->surface);
    ReleaseIfAcquired(in_data, out_data, kDRAWBOT_PathSuite, &bundle->path);
    return PF_Err_NONE;
}

}  // namespace zonara
