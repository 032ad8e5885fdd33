// The simulated host driving effect code linked into the test: the whole
// entry point, or one handler reached the way the host reaches it. The host
// builds the records, serves the suites and keeps its books exactly as it
// does for the loaded module, so a test checks the same calls, codes and
// texts either way.
//
//   testhost::Host host(nullptr, testhost::HostApp::kAfterEffects);
//   host.SendTo(zonara_test::TwoRecords(zonara::About), PF_Cmd_ABOUT);
//   zonara_test::UseOf(host, kPFANSISuite).acquired; host.sprintf_formats();
#pragma once

#include <memory>
#include <string>

#include "pf_sdk.h"
#include "shell/entry_point.h"
#include "testhost/core/host.h"

namespace zonara_test {

// A handler that takes only in_data and out_data (About, GlobalSetup,
// ParamsSetup, or a lambda doing a handler's work), as the answer to any
// command.
template <class Handler>
testhost::EffectFunction TwoRecords(Handler handler) {
    return [handler](PF_Cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **, PF_LayerDef *, void *) {
        return handler(in_data, out_data);
    };
}

// A host answered by the linked EntryPointFunc, after global and parameter
// setup: its parameter store holds every parameter at the default the
// effect declares, valued as the host values it for a layer of the given
// size.
inline std::unique_ptr<testhost::Host> HostWithDefaults(testhost::HostApp app, int layer_width = 1920,
                                                        int layer_height = 1080) {
    auto host = std::make_unique<testhost::Host>(testhost::EffectFunction(EntryPointFunc), app);
    host->frame().layer_width = layer_width;
    host->frame().layer_height = layer_height;
    host->GlobalSetup();
    host->ParamsSetup();
    return host;
}

// The host's count of one suite's acquires and releases in the last command,
// at version 1; all zero when the suite was never asked for.
inline testhost::SuiteUse UseOf(const testhost::Host &host, const std::string &suite) {
    const auto &uses = host.suites().uses_in_last_command();
    const auto found = uses.find({suite, 1});
    return found != uses.end() ? found->second : testhost::SuiteUse{};
}

}  // namespace zonara_test
