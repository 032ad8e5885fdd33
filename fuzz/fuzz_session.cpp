#include "fuzz_session.h"

#include <cstdio>
#include <cstdlib>

#include "shell/entry_point.h"
#include "testhost/host_state.h"

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
    return host.SendTo(EntryPointFunc, cmd, output, extra);
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
        kPFANSISuite, kPFIterate8Suite, kPFIterate16Suite, kPFPixelFormatSuite, kPFEffectCustomUISuite,
        kPFEffectCustomUIOverlayThemeSuite, kDRAWBOT_DrawSuite, kDRAWBOT_SupplierSuite,
        kDRAWBOT_SurfaceSuite, kDRAWBOT_PathSuite,
    };
    host.suites().AllowAll();
    // Mostly none, so that the deeper paths are reached.
    if (in.ConsumeIntegralInRange<int>(0, 7) != 0) return;
    const int count = in.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < count; ++i) {
        host.suites().Refuse(SUITES[in.ConsumeIntegralInRange<std::size_t>(0, std::size(SUITES) - 1)]);
    }
}

testhost::detail::HostState &StateOf(testhost::Host &host) {
    testhost::detail::HostState *state = nullptr;
    // The host hands its own record to the effect as effect_ref; a stand-in
    // effect that only looks at it finds it without touching the real one.
    host.SendTo(
        [&state](PF_Cmd, PF_InData *in_data, PF_OutData *, PF_ParamDef **, PF_LayerDef *, void *) {
            state = testhost::detail::HostFromEffectRef(in_data->effect_ref);
            return PF_Err_NONE;
        },
        PF_Cmd_SEQUENCE_SETUP);
    if (state == nullptr) Fail("the simulated host did not hand out its record");
    return *state;
}

PF_Err DeclareParams(testhost::Host &host) {
    // What Host::ParamsSetup does around the module's entry point, done
    // around the linked-in one.
    testhost::detail::HostState &state = StateOf(host);
    state.declared.clear();
    state.declared_texts.clear();
    state.ui.reset();
    state.add_param_calls = 0;
    const PF_Err result = CallEffect(host, PF_Cmd_PARAMS_SETUP);
    CheckCommandEnded(host, "PF_Cmd_PARAMS_SETUP");
    state.params.Reset(state.declared, state.frame.layer_width, state.frame.layer_height);
    state.params_set_up = true;
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
    // What Host::Render does around the module's entry point: the source goes
    // in as parameter 0 and both layers are known to GetPixelFormat.
    testhost::detail::HostState &state = StateOf(host);
    state.params.at(0).u.ld = source.def();
    struct KnownLayers {
        testhost::detail::HostState &state;
        ~KnownLayers() {
            state.render_input = nullptr;
            state.render_output = nullptr;
        }
    } known{state};
    state.render_input = &source;
    state.render_output = &output;
    return CallEffect(host, PF_Cmd_RENDER, &output.def());
}

}  // namespace zonara_fuzz
