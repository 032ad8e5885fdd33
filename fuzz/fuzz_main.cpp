// The fuzzer's entry: a fresh host per input, global and parameter setup as
// every host starts, then up to MAX_COMMANDS commands chosen by the input.
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_session.h"
#include "shell/entry_point.h"

namespace {

constexpr int MAX_COMMANDS = 24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace zonara_fuzz;
    FuzzedDataProvider in(data, size);
    testhost::Host host(testhost::EffectFunction(EntryPointFunc),
                        in.ConsumeBool() ? testhost::HostApp::kPremiere : testhost::HostApp::kAfterEffects);
    // Pixel callbacks on the command's own thread: the same results, and
    // crashes found in one place.
    host.SetWorkerThreads(1);

    FuzzGlobalSetup(in, host);
    SetUpParams(host);
    for (int i = 0; i < MAX_COMMANDS && in.remaining_bytes() > 0; ++i) {
        switch (in.ConsumeIntegralInRange<int>(0, 9)) {
        case 0:
            FuzzGlobalSetup(in, host);
            break;
        case 1:
            FuzzAbout(in, host);
            break;
        case 2:
            FuzzParamsSetupFailure(in, host);
            break;
        case 3:
            FuzzUnknownCommand(in, host);
            break;
        case 4:
        case 5:
            FuzzRender(in, host);
            break;
        case 6:
        case 7:
            FuzzOverlayEvent(in, host);
            break;
        default:
            // Several parameter values at once, so that degenerate
            // combinations (zero width and zero height) come up.
            for (int n = in.ConsumeIntegralInRange<int>(1, 6); n > 0; --n) FuzzParamValue(in, host);
            break;
        }
    }
    return 0;
}
