// The four drawing suites, held together for the length of one draw event.
#pragma once

#include "pf_sdk.h"

namespace zonara {

// Each field is null until its suite was acquired; a set field is what marks
// a suite as acquired, so only those are given back.
struct DrawbotBundle {
    const DRAWBOT_DrawbotSuite1 *draw = nullptr;
    const DRAWBOT_SupplierSuite1 *supplier = nullptr;
    const DRAWBOT_SurfaceSuite1 *surface = nullptr;
    const DRAWBOT_PathSuite1 *path = nullptr;

    bool IsComplete() const noexcept {
        return draw != nullptr && supplier != nullptr && surface != nullptr && path != nullptr;
    }
};

// Fills the bundle's fields in the order draw, supplier, surface, path and
// stops at the first suite not supplied, reporting it to the user through
// out_data (the display-error flag and a message). Returns 514 for a null
// bundle, 516 for a missing suite, 0 when all four were acquired. Suites
// acquired before a missing one stay acquired, and stay recorded in the
// bundle.
PF_Err AEFX_AcquireDrawbotSuites(PF_InData *in_data, PF_OutData *out_data, DrawbotBundle *bundle);

// Gives back, by name, every suite recorded in the bundle and clears its
// field; suites never acquired are left alone. Without a basic suite each
// one is reported to the user instead. Always returns PF_Err_NONE.
PF_Err ReleaseDrawbotBundle(PF_InData *in_data, PF_OutData *out_data, DrawbotBundle *bundle);

// Acquires the bundle for a scope and gives it back on every way out of it.
class ScopedDrawbotBundle {
public:
    ScopedDrawbotBundle(PF_InData *in_data, PF_OutData *out_data)
        : in_data_(in_data),
          out_data_(out_data),
          acquire_result_(AEFX_AcquireDrawbotSuites(in_data, out_data, &bundle_)) {}
    ~ScopedDrawbotBundle() { ReleaseDrawbotBundle(in_data_, out_data_, &bundle_); }

    ScopedDrawbotBundle(const ScopedDrawbotBundle &) = delete;
    ScopedDrawbotBundle &operator=(const ScopedDrawbotBundle &) = delete;

    const DrawbotBundle &Suites() const noexcept { return bundle_; }
    PF_Err AcquireResult() const noexcept { return acquire_result_; }

private:
    PF_InData *in_data_;
    PF_OutData *out_data_;
    DrawbotBundle bundle_;
    PF_Err acquire_result_;
};

}  // namespace zonara
