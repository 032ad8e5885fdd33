// Inside the simulated host: everything one Host keeps, shared by the files
// that implement its callbacks and suites. Not part of the host's contract.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testhost/core/host.h"
#include "testhost/threads/worker_pool.h"

namespace testhost::detail {

struct HostState;

// One command under way: the records the effect is handed and the books the
// host keeps of it. The host's own commands share one, whose out-data record
// survives between commands as a host keeps it; a render sent alongside
// others (Host::RenderAlongside) has one of its own, so that commands running
// at once never write into each other's records.
struct Command {
    explicit Command(HostState &owner) : host(&owner) {}
    Command(const Command &) = delete;
    Command &operator=(const Command &) = delete;

    HostState *host;
    PF_InData in_data{};
    PF_OutData out_data{};
    // The parameter array passed with the command.
    PF_ParamDef **params = nullptr;
    // The layers of a render, to answer GetPixelFormat.
    const Layer *render_input = nullptr;
    const Layer *render_output = nullptr;

    std::vector<IterateCall> iterate_calls;
    std::vector<A_long> generic_iterations;
    std::atomic<bool> exception_escaped{false};
    // Threads handed back by the effect in another floating-point mode.
    std::atomic<int> float_mode_changes{0};
    std::optional<PF_Err> escaped_error_code;
    std::vector<std::string> sprintf_formats;
    // Suite books of a command run alongside others; null for the host's own
    // commands, which keep the registry's last-command books.
    SuiteRegistry::Books *own_suite_books = nullptr;
    // The threads its iterate suites share rows out to; null for the host's
    // own pool.
    WorkerPool *pool = nullptr;

    WorkerPool &Pool();
};

struct HostState {
    std::shared_ptr<const Module> module;
    EffectFunction linked_effect;
    HostApp app = HostApp::kAfterEffects;

    PF_UtilCallbacks utils{};
    // "PF ANSI Suite": the same functions as utils.ansi, in the suite's own table.
    PF_ANSICallbacksSuite1 ansi_suite{};

    FrameSetup frame;
    Faults faults;
    SuiteRegistry suites;

    // The host's own commands, one at a time.
    Command serial{*this};

    // Parameter setup.
    int add_param_calls = 0;
    std::vector<PF_ParamDef> declared;
    std::deque<std::string> declared_texts;  // what declared popups and checkboxes point at
    std::optional<PF_CustomUIInfo> ui;
    int register_ui_calls = 0;
    ParamStore params;
    bool params_set_up = false;

    // Whether the last global set-up declared threaded rendering, without
    // which no render is sent alongside another.
    bool threaded_rendering = false;

    // Editing host pixel formats.
    std::vector<PrPixelFormat> pixel_formats;
    int pixel_format_clears = 0;

    int worker_threads = 0;
    std::unique_ptr<WorkerPool> pool;

    WorkerPool &Pool();
    // Sends `cmd` with `command`'s records, built afresh from `frame` and
    // `params` (an array of `param_count`).
    PF_Err RunCommand(Command &command, const EffectFunction *effect, PF_Cmd cmd, const FrameSetup &frame,
                      PF_ParamDef **params, int param_count, PF_LayerDef *output, void *extra);
    void BuildInData(Command &command, const FrameSetup &frame, int param_count, const PF_LayerDef *output);
};

// The command running on this thread (also on the pool's threads while they
// work for it), for the callbacks that carry no context.
Command *CurrentCommand();
inline HostState *CurrentHost() {
    Command *command = CurrentCommand();
    return command != nullptr ? command->host : nullptr;
}

class CurrentCommandScope {
public:
    explicit CurrentCommandScope(Command *command);
    ~CurrentCommandScope();
    CurrentCommandScope(const CurrentCommandScope &) = delete;
    CurrentCommandScope &operator=(const CurrentCommandScope &) = delete;

private:
    Command *previous_;
};

// The command that handed out `effect_ref`, or null.
Command *CommandFromEffectRef(PF_ProgPtr effect_ref);
inline HostState *HostFromEffectRef(PF_ProgPtr effect_ref) {
    Command *command = CommandFromEffectRef(effect_ref);
    return command != nullptr ? command->host : nullptr;
}

// Callback tables, shared by every host: they find their command through
// effect_ref or CurrentCommand().
const SPBasicSuite *BasicSuite();
PF_ANSICallbacksBlock AnsiCallbacksBlock();
PF_ANSICallbacksSuite1 AnsiSuite();
PF_InteractCallbacks InteractCallbacks();
const PF_Iterate8Suite1 *Iterate8Suite();
const PF_iterate16Suite1 *Iterate16Suite();
const PF_PixelFormatSuite1 *PixelFormatSuite();

}  // namespace testhost::detail
