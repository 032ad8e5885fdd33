#include "fuzz_session.h"

#include <cstdio>
#include <cstdlib>

#include "shell/entry_point.h"

namespace zonara_fuzz {

void Fail(const std::string &what) {
    std::fprintf(stderr, "zonara fuzz: %s\n", what.c_str());
    std::abort();
}

bool Tracing() {
    static const bool TRACING = std::getenv("ZONARA_FUZZ_TRACE") != nullptr;
    return TRACING;
}

PF_Err CallEffect(testhost::Host &host, PF_Cmd cmd, PF_LayerDef *output, void *extra) {
    return host.Send(cmd, output, extra);
}

void CheckCommandEnded(const testhost::Host &host, const char *command) {
    if (host.exception_escaped()) {
        Fail(std::string("an exception left EntryPointFunc during ") + command);
    }
    if (!host.suites().BalancedSinceLastCommand()) {
        std::string what = std::string("suites not given back after ") + command + ":";
        for (const std::string &line : host.suites().UnbalancedSinceLastCommand()) what += " [" + line + "]";
        Fail(what);
    }
}

void RefuseSomeSuites(FuzzedDataProvider &in, testhost::Host &host) {
    static const char *const SUITES[] = {
        kPFANSISuite,        kPFIterate8Suite,       kPFIterate16Suite,
        kPFPixelFormatSuite, kPFEffectCustomUISuite, kPFEffectCustomUIOverlayThemeSuite,
        kDRAWBOT_DrawSuite,  kDRAWBOT_SupplierSuite, kDRAWBOT_SurfaceSuite,
        kDRAWBOT_PathSuite,
    };
    host.suites().AllowAll();
    // Mostly none, so that the deeper paths are reached.
    if (in.ConsumeIntegralInRange<int>(0, 7) != 0) return;
    const int count = in.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < count; ++i) {
        host.suites().Refuse(SUITES[in.ConsumeIntegralInRange<std::size_t>(0, std::size(SUITES) - 1)]);
    }
}

PF_Err DeclareParams(testhost::Host &host) {
    // The host's own parameter setup: the linked-in entry point declares the
    // parameters from its table and the host values them at their defaults.
    const PF_Err result = host.ParamsSetup();
    CheckCommandEnded(host, "PF_Cmd_PARAMS_SETUP");
    return result;
}

void SetUpParams(testhost::Host &host) {
    host.faults().add_param_fail_on_call = 0;
    host.faults().register_ui_fails = false;
    host.faults().no_basic_suite = false;
    host.suites().AllowAll();
    if (DeclareParams(host) != PF_Err_NONE || host.params().size() != 48) {
        Fail("a clean parameter setup failed");
    }
}

PF_Err RenderLayers(testhost::Host &host, testhost::Layer &source, testhost::Layer &output) {
    return host.Render(source, output);
}

}  // namespace zonara_fuzz
