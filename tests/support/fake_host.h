// A small in-process stand-in for the host, for unit tests that call the
// effect's handlers or EntryPointFunc directly from the static library.
//
//   zonara_test::FakeHost host;                  // After Effects by default
//   host.ProvideSuite(kPFIterate8Suite, &my_iterate8_table);
//   host.RefuseSuite(kPFANSISuite);              // or RemoveBasicSuite()
//   PF_Err err = zonara::About(&host.in_data, &host.out_data);
//   host.AcquireCount(kPFANSISuite); host.suite_calls; host.SuitesBalanced();
//
// in_data carries: the basic suite (counting, refusing by name, serving
// version 1 only), utils->ansi with the C library's functions (sprintf and
// strcpy included; every sprintf format is logged), inter.add_param and
// inter.register_ui capturing what is declared (with injectable failures),
// and effect_ref pointing at the FakeHost. Served from the start: "PF ANSI
// Suite" (the same table as utils->ansi) and "PF Pixel Format Suite" (logging
// its calls). Any other suite must be provided by the test.
//
// The basic suite's functions carry no context, so the live FakeHost is
// found through a process-wide pointer: only one FakeHost may exist at a time.
#pragma once

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pf_sdk.h"

namespace zonara_test {

// The code the fake basic suite returns for a suite it does not hand out.
inline constexpr SPErr FAKE_SUITE_REFUSED = 0x214E4F21;  // '!NO!'

struct SuiteCall {
    enum Kind { ACQUIRE, RELEASE };
    Kind kind;
    std::string name;
    int32_t version;

    bool operator==(const SuiteCall &) const = default;
};

struct PixelFormatCall {
    enum Kind { CLEAR, ADD };
    Kind kind;
    PrPixelFormat format;  // 0 for CLEAR
    PF_ProgPtr effect_ref;

    bool operator==(const PixelFormatCall &) const = default;
};

class FakeHost;

namespace detail {
inline FakeHost *g_live_fake_host = nullptr;
}

class FakeHost {
public:
    explicit FakeHost(A_long appl_id = PF_APPL_ID_AFTER_EFFECTS) {
        if (detail::g_live_fake_host != nullptr) {
            std::fprintf(stderr, "FakeHost: only one may exist at a time\n");
            std::abort();
        }
        detail::g_live_fake_host = this;

        basic_.AcquireSuite = &FakeHost::AcquireSuiteCallback;
        basic_.ReleaseSuite = &FakeHost::ReleaseSuiteCallback;
        basic_.IsEqual = [](const char *a, const char *b) -> SPBoolean { return std::strcmp(a, b) == 0; };

        utils_.ansi = MakeAnsiCallbacks<PF_ANSICallbacksBlock>();
        ansi_suite_ = MakeAnsiCallbacks<PF_ANSICallbacksSuite1>();
        pixel_format_suite_.AddSupportedPixelFormat = &FakeHost::AddPixelFormatCallback;
        pixel_format_suite_.ClearSupportedPixelFormats = &FakeHost::ClearPixelFormatsCallback;
        pixel_format_suite_.GetPixelFormat = &FakeHost::GetPixelFormatCallback;

        ProvideSuite(kPFANSISuite, &ansi_suite_);
        ProvideSuite(kPFPixelFormatSuite, &pixel_format_suite_);

        std::memset(&in_data, 0, sizeof in_data);
        std::memset(&out_data, 0, sizeof out_data);
        in_data.appl_id = appl_id;
        in_data.effect_ref = reinterpret_cast<PF_ProgPtr>(this);
        in_data.pica_basicP = &basic_;
        in_data.utils = &utils_;
        in_data.inter.add_param = &FakeHost::AddParamCallback;
        in_data.inter.register_ui = &FakeHost::RegisterUiCallback;
        in_data.pixel_aspect_ratio = {1, 1};
        in_data.downsample_x = {1, 1};
        in_data.downsample_y = {1, 1};
        in_data.time_scale = 1;
    }

    ~FakeHost() { detail::g_live_fake_host = nullptr; }

    // The functions this host serves as "PF ANSI Suite", for a test to vary.
    const PF_ANSICallbacksSuite1 &ansi_suite() const { return ansi_suite_; }

    FakeHost(const FakeHost &) = delete;
    FakeHost &operator=(const FakeHost &) = delete;

    static FakeHost &Live() {
        if (detail::g_live_fake_host == nullptr) {
            std::fprintf(stderr, "FakeHost: a host callback ran with no FakeHost alive\n");
            std::abort();
        }
        return *detail::g_live_fake_host;
    }

    // ---------------------------------------------------------- records
    PF_InData in_data;
    PF_OutData out_data;

    // ------------------------------------------------------- basic suite
    // Serves table for `name` at version 1 (replacing any earlier table)
    // and lifts a refusal.
    void ProvideSuite(const std::string &name, const void *table) {
        suites_[name] = table;
        refused_.erase(name);
    }
    // Refuses `name` from now on: null pointer and `code`.
    void RefuseSuite(const std::string &name, SPErr code = FAKE_SUITE_REFUSED) { refused_[name] = code; }
    // Answers with success yet hands out null (a host that says yes and
    // gives nothing).
    void HandOutNullFor(const std::string &name) { null_with_success_.insert(name); }
    void RemoveBasicSuite() { in_data.pica_basicP = nullptr; }

    std::vector<SuiteCall> suite_calls;

    int AcquireCount(const std::string &name) const { return Count(SuiteCall::ACQUIRE, name); }
    int ReleaseCount(const std::string &name) const { return Count(SuiteCall::RELEASE, name); }
    // Every suite handed out was released exactly once per acquire, and
    // nothing else was released.
    bool SuitesBalanced() const {
        std::map<std::string, int> held;
        for (const std::string &name : handed_out_) {
            ++held[name];
        }
        for (const SuiteCall &call : suite_calls) {
            if (call.kind == SuiteCall::RELEASE) {
                --held[call.name];
            }
        }
        for (const auto &[name, count] : held) {
            if (count != 0) {
                return false;
            }
        }
        return true;
    }

    // ------------------------------------------------------- ANSI / utils
    // Every format passed to the sprintf callback, in order.
    std::vector<std::string> sprintf_formats;

    // -------------------------------------------------- parameter setup
    // Copies of the definitions add_param accepted, in call order.
    std::vector<PF_ParamDef> declared_params;
    // The index argument of every add_param call (accepted or not).
    std::vector<PF_ParamIndex> add_param_indices;
    std::vector<PF_CustomUIInfo> registered_uis;
    int register_ui_calls = 0;
    // Whether every callback was given this host's effect_ref.
    bool effect_ref_always_matched = true;

    // add_param's n-th call (counted from 1) returns `code` and keeps
    // nothing; 0 turns the failure off.
    void FailAddParamOnCall(int n, PF_Err code) {
        fail_add_param_on_call_ = n;
        fail_add_param_code_ = code;
    }
    // register_ui returns `code` (and keeps nothing when it is non-zero).
    void FailRegisterUi(PF_Err code) { register_ui_result_ = code; }

    // ------------------------------------------------- pixel format suite
    std::vector<PixelFormatCall> pixel_format_calls;
    // What GetPixelFormat reports for any world.
    PrPixelFormat output_pixel_format = PrPixelFormat_BGRA_4444_8u;
    PF_Err get_pixel_format_result = PF_Err_NONE;

private:
    int Count(SuiteCall::Kind kind, const std::string &name) const {
        int n = 0;
        for (const SuiteCall &call : suite_calls) {
            n += call.kind == kind && call.name == name ? 1 : 0;
        }
        return n;
    }

    template <typename Table>
    static Table MakeAnsiCallbacks() {
        Table ansi{};
        ansi.atan = [](double x) { return std::atan(x); };
        ansi.atan2 = [](double y, double x) { return std::atan2(y, x); };
        ansi.ceil = [](double x) { return std::ceil(x); };
        ansi.cos = [](double x) { return std::cos(x); };
        ansi.exp = [](double x) { return std::exp(x); };
        ansi.fabs = [](double x) { return std::fabs(x); };
        ansi.floor = [](double x) { return std::floor(x); };
        ansi.fmod = [](double x, double y) { return std::fmod(x, y); };
        ansi.hypot = [](double x, double y) { return std::hypot(x, y); };
        ansi.log = [](double x) { return std::log(x); };
        ansi.log10 = [](double x) { return std::log10(x); };
        ansi.pow = [](double x, double y) { return std::pow(x, y); };
        ansi.sin = [](double x) { return std::sin(x); };
        ansi.sqrt = [](double x) { return std::sqrt(x); };
        ansi.tan = [](double x) { return std::tan(x); };
        ansi.sprintf = &FakeHost::SprintfCallback;
        ansi.strcpy = [](A_char *dest, const A_char *src) { return std::strcpy(dest, src); };
        return ansi;
    }

    // Unbounded like the host's: a text too long for its buffer shows up
    // under AddressSanitizer.
    static int SprintfCallback(A_char *buffer, const A_char *format, ...) {
        Live().sprintf_formats.emplace_back(format);
        va_list args;
        va_start(args, format);
        const int written = std::vsprintf(buffer, format, args);
        va_end(args);
        return written;
    }

    static SPErr AcquireSuiteCallback(const char *name, int32_t version, const void **suite) {
        FakeHost &host = Live();
        host.suite_calls.push_back({SuiteCall::ACQUIRE, name, version});
        *suite = nullptr;
        if (auto refused = host.refused_.find(name); refused != host.refused_.end()) {
            return refused->second;
        }
        if (host.null_with_success_.count(name) != 0) {
            return kSPNoError;
        }
        auto served = host.suites_.find(name);
        if (served == host.suites_.end() || version != 1) {
            return FAKE_SUITE_REFUSED;
        }
        *suite = served->second;
        host.handed_out_.push_back(name);
        return kSPNoError;
    }

    static SPErr ReleaseSuiteCallback(const char *name, int32_t version) {
        Live().suite_calls.push_back({SuiteCall::RELEASE, name, version});
        return kSPNoError;
    }

    static FakeHost &FromRef(PF_ProgPtr effect_ref) {
        FakeHost &host = Live();
        if (effect_ref != reinterpret_cast<PF_ProgPtr>(&host)) {
            host.effect_ref_always_matched = false;
        }
        return host;
    }

    static PF_Err AddParamCallback(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
        FakeHost &host = FromRef(effect_ref);
        host.add_param_indices.push_back(index);
        if (static_cast<int>(host.add_param_indices.size()) == host.fail_add_param_on_call_) {
            return host.fail_add_param_code_;
        }
        // Byte copy, padding included, so tests can compare whole records.
        host.declared_params.emplace_back();
        std::memcpy(&host.declared_params.back(), def, sizeof *def);
        return PF_Err_NONE;
    }

    static PF_Err RegisterUiCallback(PF_ProgPtr effect_ref, PF_CustomUIInfo *info) {
        FakeHost &host = FromRef(effect_ref);
        ++host.register_ui_calls;
        if (host.register_ui_result_ != PF_Err_NONE) {
            return host.register_ui_result_;
        }
        host.registered_uis.emplace_back();
        std::memcpy(&host.registered_uis.back(), info, sizeof *info);
        return PF_Err_NONE;
    }

    static PF_Err AddPixelFormatCallback(PF_ProgPtr effect_ref, PrPixelFormat format) {
        FromRef(effect_ref).pixel_format_calls.push_back({PixelFormatCall::ADD, format, effect_ref});
        return PF_Err_NONE;
    }

    static PF_Err ClearPixelFormatsCallback(PF_ProgPtr effect_ref) {
        FromRef(effect_ref).pixel_format_calls.push_back({PixelFormatCall::CLEAR, 0, effect_ref});
        return PF_Err_NONE;
    }

    static PF_Err GetPixelFormatCallback(PF_EffectWorld *, PrPixelFormat *format) {
        FakeHost &host = Live();
        *format = host.output_pixel_format;
        return host.get_pixel_format_result;
    }

    SPBasicSuite basic_{};
    PF_UtilCallbacks utils_{};
    PF_ANSICallbacksSuite1 ansi_suite_{};
    PF_PixelFormatSuite1 pixel_format_suite_{};
    std::map<std::string, const void *> suites_;
    std::map<std::string, SPErr> refused_;
    std::set<std::string> null_with_success_;
    std::vector<std::string> handed_out_;
    int fail_add_param_on_call_ = 0;
    PF_Err fail_add_param_code_ = PF_Err_NONE;
    PF_Err register_ui_result_ = PF_Err_NONE;
};

}  // namespace zonara_test
