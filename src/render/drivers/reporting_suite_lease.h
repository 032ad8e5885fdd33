// A suite acquired with the reporting acquire, given back with the reporting
// release when the lease ends, also when an exception leaves the handler.
#pragma once

#include "host/suite_reporting.h"
#include "pf_sdk.h"

namespace zonara {

template <typename Suite>
class ReportingSuiteLease {
public:
    ReportingSuiteLease(const PF_InData *in_data, PF_OutData *out_data, const char *name, int32_t version)
        : in_data_(in_data), out_data_(out_data), name_(name), version_(version) {
        acquire_result_ = AcquireSuiteReporting(in_data_, out_data_, name_, version_, nullptr, &suite_);
    }
    ~ReportingSuiteLease() { static_cast<void>(Release()); }

    ReportingSuiteLease(const ReportingSuiteLease &) = delete;
    ReportingSuiteLease &operator=(const ReportingSuiteLease &) = delete;

    // Null when the host refused it (already reported to the user).
    const Suite *get() const { return suite_; }
    PF_Err acquire_result() const { return acquire_result_; }

    // Gives the suite back now; the reporting release's result, PF_Err_NONE
    // when there was nothing to give back.
    PF_Err Release() {
        if (suite_ == nullptr) return PF_Err_NONE;
        suite_ = nullptr;
        return ReleaseSuiteReporting(in_data_, out_data_, name_, version_, nullptr);
    }

private:
    const PF_InData *in_data_;
    PF_OutData *out_data_;
    const char *name_;
    int32_t version_;
    const Suite *suite_ = nullptr;
    PF_Err acquire_result_ = PF_Err_NONE;
};

}  // namespace zonara
