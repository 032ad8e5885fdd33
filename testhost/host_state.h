// Inside the simulated host: everything one Host keeps, shared by the files
// that implement its callbacks and suites. Not part of the host's contract.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testhost/host.h"
#include "testhost/worker_pool.h"

namespace testhost::detail {

struct HostState {
    std::shared_ptr<const Module> module;
    EffectFunction linked_effect;
    HostApp app = HostApp::kAfterEffects;

    PF_InData in_data{};
    PF_OutData out_data{};
    PF_UtilCallbacks utils{};
    // "PF ANSI Suite": the same functions as utils.ansi, in the suite's own table.
    PF_ANSICallbacksSuite1 ansi_suite{};
    std::atomic<bool> exception_escaped{false};
    std::atomic<int> float_mode_changes{0};
    std::optional<PF_Err> escaped_error_code;
    std::vector<std::string> sprintf_formats;

    FrameSetup frame;
    Faults faults;
    SuiteRegistry suites;

    // Parameter setup.
    int add_param_calls = 0;
    std::vector<PF_ParamDef> declared;
    std::deque<std::string> declared_texts;  // what declared popups and checkboxes point at
    std::optional<PF_CustomUIInfo> ui;
    int register_ui_calls = 0;
    ParamStore params;
    bool params_set_up = false;

    // Editing host pixel formats.
    std::vector<PrPixelFormat> pixel_formats;
    int pixel_format_clears = 0;

    // The layers of the render under way, to answer GetPixelFormat.
    const Layer *render_input = nullptr;
    const Layer *render_output = nullptr;

    std::vector<IterateCall> iterate_calls;
    std::vector<A_long> generic_iterations;
    int worker_threads = 0;
    std::unique_ptr<WorkerPool> pool;

    WorkerPool &Pool();
    PF_Err RunCommand(const EffectFunction *effect, PF_Cmd cmd, PF_LayerDef *output, void *extra);
    void BuildInData(const PF_LayerDef *output);
};

// The host whose command is running on this thread (also on the pool's
// threads while they work for it), for the callbacks that carry no context.
HostState *CurrentHost();

class CurrentHostScope {
public:
    explicit CurrentHostScope(HostState *host);
    ~CurrentHostScope();
    CurrentHostScope(const CurrentHostScope &) = delete;
    CurrentHostScope &operator=(const CurrentHostScope &) = delete;

private:
    HostState *previous_;
};

// The host that handed out `effect_ref`, or null.
HostState *HostFromEffectRef(PF_ProgPtr effect_ref);

// Callback tables, shared by every host: they find their host through
// effect_ref or CurrentHost().
const SPBasicSuite *BasicSuite();
PF_ANSICallbacksBlock AnsiCallbacksBlock();
PF_ANSICallbacksSuite1 AnsiSuite();
PF_InteractCallbacks InteractCallbacks();
const PF_Iterate8Suite1 *Iterate8Suite();
const PF_iterate16Suite1 *Iterate16Suite();
const PF_PixelFormatSuite1 *PixelFormatSuite();

}  // namespace testhost::detail
