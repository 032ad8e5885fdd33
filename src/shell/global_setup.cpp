#include "shell/global_setup.h"

#include "host/suite_reporting.h"
#include "shell/effect_version.h"

namespace zonara {
namespace {

// Declares the two BGRA layouts the render handles in the editing host,
// float first, after clearing whatever the host assumed.
void DeclarePixelFormats(const PF_InData *in_data, PF_OutData *out_data) {
    const PF_PixelFormatSuite1 *pixel_formats = nullptr;
    if (AcquireSuiteReporting(in_data, out_data, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, nullptr,
                              &pixel_formats) != PF_Err_NONE) {
        // Already reported to the user; the effect still loads, the host
        // then offers its default formats.
        return;
    }
    // The host's answers are not examined: a format it refuses simply is not
    // offered, which the render copes with by reporting the buffer's format.
    pixel_formats->ClearSupportedPixelFormats(in_data->effect_ref);
    pixel_formats->AddSupportedPixelFormat(in_data->effect_ref, PrPixelFormat_BGRA_4444_32f);
    pixel_formats->AddSupportedPixelFormat(in_data->effect_ref, PrPixelFormat_BGRA_4444_8u);
    ReleaseSuiteReporting(in_data, out_data, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, nullptr);
}

}  // namespace

PF_Err GlobalSetup(const PF_InData *in_data, PF_OutData *out_data) {
    out_data->my_version = EFFECT_VERSION;
    out_data->out_flags = EFFECT_OUT_FLAGS;
    out_data->out_flags2 = EFFECT_OUT_FLAGS2;
    if (in_data->appl_id == PF_APPL_ID_PREMIERE) {
        DeclarePixelFormats(in_data, out_data);
    }
    // A missing pixel format suite is reported, not fatal: version and both
    // sets of flags are set, so the host can still load the effect.
    return PF_Err_NONE;
}

}  // namespace zonara
