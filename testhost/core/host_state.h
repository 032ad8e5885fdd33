// Inside the simulated host: everything one Host keeps, shared by the files
// that implement its callbacks and suites. Not part of the host's contract.
#pragma once

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
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
    // The values checkout_param copies from: the parameter array, also while
    // it is withheld from the effect (the smart commands pass null).
    PF_ParamDef **param_values = nullptr;
    int param_count = 0;
    bool withhold_params = false;
    // The layers of a render, to answer GetPixelFormat.
    const Layer *render_input = nullptr;
    const Layer *render_output = nullptr;

    // The smart commands' books, kept over the commands of one render (the
    // effect calls these callbacks from the command's thread only).
    std::multiset<const PF_ParamDef *> params_held;
    std::map<A_long, PF_LRect> layer_checkouts;  // pre-render's, by id
    std::multiset<A_long> layer_pixels_held;
    PF_LRect output_rect{0, 0, 0, 0};                             // the part of the output the render fills
    std::deque<std::pair<PF_EffectWorld, const Layer *>> worlds;  // handed out, and whose
    std::vector<std::string> checkout_problems;
    std::vector<PreRenderAnswer> pre_renders;
    // Forgets the smart commands' books, before a render or another command.
    void BeginCheckoutBooks();

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
    // Whether it declared the smart commands, and the commands asked for.
    bool smart_render_declared = false;
    std::optional<RenderCommands> render_commands;
    RenderCommands EffectiveRenderCommands() const;

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
    // A render through the smart commands (see Host::RenderRegion), or
    // pre-render alone `pre_renders` times when dst is null.
    PF_Err SendSmartCommands(Command &command, const FrameSetup &frame, PF_ParamDef **params, int param_count,
                             const Layer &src, Layer *dst, PF_LRect request, int pre_renders);
};

// The layer a world the host handed to `command` shows (its records, the
// input's copy in the parameter array, or a smart command's view), or null.
const Layer *LayerOfWorld(const Command &command, const PF_EffectWorld *world);

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
const PF_WorldSuite2 *WorldSuite();

}  // namespace testhost::detail
