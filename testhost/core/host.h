// The simulated host: loads the effect module the way a host does and drives
// it with commands, keeping what a real host keeps (parameter values, the
// suites it hands out, the declared pixel formats) and checking what a real
// host would not forgive (suites not given back, writes outside buffers).
//
// This header is the contract the tool, the tests and the benchmarks stand
// on. Its implementation lives in the other files of this folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pf_sdk.h"
#include "testhost/core/layer.h"
#include "testhost/core/param_store.h"
#include "testhost/core/suite_registry.h"
#include "testhost/loading/module.h"
#include "testhost/threads/float_mode.h"

namespace testhost {

enum class HostApp { kAfterEffects, kPremiere };

// The channel order of the host's layers: alpha first in the compositing
// host's, blue first in the editing host's.
constexpr zonara::ChannelOrder LayerChannelOrder(HostApp app) {
    return app == HostApp::kPremiere ? zonara::ChannelOrder::BGRA : zonara::ChannelOrder::ARGB;
}

// What the host tells the effect about the layer and the render resolution.
struct FrameSetup {
    int layer_width = 1920;   // PF_InData width (full-resolution layer)
    int layer_height = 1080;  // PF_InData height
    PF_RationalScale pixel_aspect_ratio{1, 1};
    PF_RationalScale downsample_x{1, 1};
    PF_RationalScale downsample_y{1, 1};
    A_long current_time = 0;
    A_u_long time_scale = 24;
};

// Faults the host can be told to produce, for testing the effect's failure
// paths. Suite refusals live in the SuiteRegistry.
// The orders in which a host's iterate suite may call the effect for a row's
// pixels. A real host promises no order; these make an effect that guesses
// at the next call show whether it still renders every call right.
enum class PixelWalk {
    IN_ORDER,  // left to right
    // The row cut into stretches of 1 to 40 pixels, visited in a random
    // order, each left to right.
    SHUFFLED,
    // Every pixel whose x + y is a multiple of 3 is left out: the
    // destination keeps what it held there.
    SKIPPING,
    // Left to right, but before each call the host changes the bits of the
    // source pixel after the one it calls (red XOR 0x35 at 8 bits, 0x1235 at
    // 16), as a host sharing its source buffer might.
    SOURCE_CHANGED_AHEAD,
};

struct Faults {
    bool no_basic_suite = false;     // pica_basicP null
    int add_param_fail_on_call = 0;  // 1-based call number that fails; 0 never
    PF_Err add_param_fail_code = PF_Err_OUT_OF_MEMORY;
    bool register_ui_fails = false;
    PF_Err register_ui_fail_code = PF_Err_OUT_OF_MEMORY;
    // Editing host: the format GetPixelFormat reports instead of the
    // output's own (for an unknown format).
    std::optional<PrPixelFormat> reported_pixel_format;
    // A non-zero code the iterate suites return instead of visiting pixels
    // (or, for the generic iteration, instead of making any call).
    PF_Err iterate_fail_code = PF_Err_NONE;
    // The generic iteration makes only the calls for even indices and makes
    // each of those twice, as a faulty host might.
    bool generic_iteration_erratic = false;
    // How the per-pixel iterate suites walk each row (see PixelWalk).
    PixelWalk pixel_walk = PixelWalk::IN_ORDER;
    // The floating-point mode the command's thread and the worker threads
    // are in whenever they call the effect.
    ThreadFloatMode thread_float_mode = ThreadFloatMode::STANDARD;
    // Smart commands: non-zero codes returned by pre-render's checkout_layer,
    // by render's checkout_layer_pixels and by its checkout_output.
    PF_Err checkout_layer_fail_code = PF_Err_NONE;
    PF_Err checkout_layer_pixels_fail_code = PF_Err_NONE;
    PF_Err checkout_output_fail_code = PF_Err_NONE;
    // checkout_output answers success but hands out no world.
    bool null_output_world = false;
    // Compositing host: the code its world suite reports for every world
    // instead of the world's own (for an unknown format). A missing world
    // suite is a refusal in the SuiteRegistry (kPFWorldSuite).
    std::optional<PF_PixelFormat> reported_world_format;
};

// How the host sends a render: through the smart commands (pre-render, then
// render of the part pre-render answered) or through PF_Cmd_RENDER, as a
// host that does not know the smart commands does.
enum class RenderCommands { SMART, LEGACY };

// What one pre-render answered, as the host saw it.
struct PreRenderAnswer {
    PF_Err result = PF_Err_NONE;
    PF_LRect request{0, 0, 0, 0};
    PF_LRect result_rect{0, 0, 0, 0};
    PF_LRect max_result_rect{0, 0, 0, 0};
    bool solid = false;
    // Whether the effect hung data on pre_render_data (which the host frees
    // with the effect's function when replaced, after the render, or when no
    // render follows).
    bool data_hung = false;
};

// One call of an iterate suite during the last command, as the host saw it.
struct IterateCall {
    int bits_per_channel = 8;  // 8: "PF Iterate8 Suite", 16: "PF iterate16 Suite"
    A_long progress_base = 0;
    A_long progress_final = 0;
    bool whole_destination = true;  // area was null
    PF_Rect area{0, 0, 0, 0};       // as passed, when not null
    // Progress values reported, one per finished row, rising from
    // progress_base towards progress_final (a real host moves its bar).
    std::vector<A_long> progress;
    PF_Err result = PF_Err_NONE;
};

// The shape of EntryPointFunc, for driving effect code linked into the test
// itself through the host's records (see Host::SendTo).
using EffectFunction = std::function<PF_Err(PF_Cmd cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[],
                                            PF_LayerDef *output, void *extra)>;

// A render sent alongside other commands (Host::RenderAlongside): its own
// layers, parameter values and frame set-up, as a host that renders several
// frames at once hands each render its own.
struct RenderRequest {
    Layer *src = nullptr;
    Layer *dst = nullptr;
    // Every parameter's value, the input layer first (replaced by src).
    std::vector<PF_ParamDef> params;
    FrameSetup frame;
};

struct RenderOutcome {
    PF_Err result = PF_Err_NONE;
    bool exception_escaped = false;
    // The render's own suite books: what it did not give back, and how many
    // suites it took (a render that took none was not walked through them).
    std::vector<std::string> unbalanced_suites;
    int suites_acquired = 0;
    std::vector<IterateCall> iterate_calls;
    std::vector<A_long> generic_iterations;
    // What the smart commands left unaccounted for (see
    // Host::UnbalancedCheckouts).
    std::vector<std::string> unbalanced_checkouts;
};

class WorkerPool;

namespace detail {
struct HostState;
}

class Host {
public:
    // `module` may be null for a host that only runs SendTo.
    Host(std::shared_ptr<const Module> module, HostApp app);
    Host(std::nullptr_t, HostApp app) : Host(std::shared_ptr<const Module>(), app) {}
    // A host whose commands all go to effect code linked into the caller
    // (EntryPointFunc or one handler), as they would go to a loaded module:
    // parameter setup builds the store, Render passes the layers, and the
    // same books are kept.
    Host(EffectFunction linked_effect, HostApp app);
    ~Host();
    Host(const Host &) = delete;
    Host &operator=(const Host &) = delete;

    HostApp app() const;

    // Commands. Each builds fresh PF_InData / PF_OutData records (as a host
    // does per call), sends the command and afterwards checks that every
    // suite acquired during it was released exactly once (see
    // suites().BalancedSinceLastCommand()).
    PF_Err GlobalSetup();
    // Declares the parameters and builds the parameter store from them.
    PF_Err ParamsSetup();
    PF_Err About();
    // Renders src into dst with the current parameter values, by
    // render_commands(): with the smart commands the request is dst's
    // rectangle (its origin and size, in layer pixels, src placed by its own
    // origin), and the output world is the part of dst the effect's
    // pre-render answered (the rest of dst is left as it was, as where the
    // request reaches outside src); the editing host sends two pre-renders,
    // the second for the first's whole max_result_rect, and renders that.
    // PF_Cmd_RENDER hands over the whole layers, as ever. Throws
    // std::logic_error before ParamsSetup, as no host renders an effect
    // whose parameters it does not know.
    PF_Err Render(Layer &src, Layer &dst);
    // As Render, but the smart commands ask for `request` (in layer pixels)
    // rather than dst's whole rectangle; the output world is the part of dst
    // the answer covers. Throws std::logic_error with PF_Cmd_RENDER, which
    // knows no region, unless `request` is dst's rectangle.
    PF_Err RenderRegion(Layer &src, Layer &dst, PF_LRect request);
    // Pre-render alone, `times` times in a row for the same request, with no
    // render after it, as a host that only wants the bounds sends it: the
    // data the effect hangs on pre_render_data is freed when replaced and
    // after the last. The answers, in order; the books are kept as for a
    // render (UnbalancedCheckouts).
    std::vector<PreRenderAnswer> PreRenderOnly(Layer &src, PF_LRect request, int times = 1);
    // The commands Render and RenderAlongside send. By default SMART when
    // the effect declared PF_OutFlag2_SUPPORTS_SMART_RENDER at its last
    // global set-up, unless the environment variable
    // ZONARA_RENDER_COMMANDS=legacy says otherwise (so that one test
    // program runs both ways); LEGACY otherwise. Set, it stays as set.
    void SetRenderCommands(RenderCommands commands);
    RenderCommands render_commands() const;
    // The pre-renders of the last Render or RenderRegion, in order.
    const std::vector<PreRenderAnswer> &last_pre_renders() const;
    // What the last Render, PreRenderOnly or Send left unaccounted for,
    // beside the suites: parameter values checked out and not checked in (or
    // checked out at another time than the command's), input pixels not
    // checked in, checkouts and check-ins the host did not hand out, a
    // pre-render answer beyond its request, data hung without a function to
    // free it, and suites a pre-render did not give back. Empty when all is
    // well; one line each.
    std::vector<std::string> UnbalancedCheckouts() const;
    // A render as a host that renders several frames at once sends it: safe
    // to call from several threads at once, while the host's own thread goes
    // on sending the other commands (overlay events), but never global set-up
    // or set-down. Each such render has its own records, parameter values,
    // frame set-up and suite books, and its iterate suites share rows out to
    // `pool`, which no other thread may use meanwhile. The host's faults and
    // suite refusals are only read: change neither while renders run. The
    // records and books of the host's own last command are left alone.
    // Throws std::logic_error unless the effect declared
    // PF_OutFlag2_SUPPORTS_THREADED_RENDERING at its last global set-up.
    RenderOutcome RenderAlongside(RenderRequest &request, WorkerPool &pool);
    // Any command with the host's current records (for dispatch tests).
    PF_Err Send(PF_Cmd cmd, PF_LayerDef *output = nullptr, void *extra = nullptr);
    // As Send, but calls `effect` instead of the module's entry point: effect
    // code linked into a test runs against this host's callbacks and suites
    // with the same bookkeeping.
    PF_Err SendTo(const EffectFunction &effect, PF_Cmd cmd, PF_LayerDef *output = nullptr, void *extra = nullptr);

    // Records of the last command, as the effect left them.
    const PF_InData &last_in_data() const;
    const PF_OutData &last_out_data() const;
    // The out-data record survives between commands, as a host keeps it;
    // tests may preset fields to check they are left alone.
    PF_OutData &out_data();
    // True when the last command ended in an exception thrown out of the
    // effect (the command's result is then PF_Err_INTERNAL_STRUCT_DAMAGED).
    bool exception_escaped() const;
    // The code of a PF_Err thrown out of the effect in the last command, for
    // testing a handler whose contract is to throw one (see
    // exception_escaped); empty when nothing or something else was thrown.
    std::optional<PF_Err> escaped_error_code() const;
    // How often, in the last command, a thread came back from the effect in
    // another floating-point mode than the host had it in (checked after the
    // command and after every row or generic iteration on the workers).
    int float_mode_changes() const;
    // Every format the effect passed to the sprintf callback in the last
    // command, in order: which text was chosen, whatever it expanded to.
    const std::vector<std::string> &sprintf_formats() const;
    // The functions served as "PF ANSI Suite" and in utils->ansi, for a test
    // to copy and vary (registered again under the same name).
    const PF_ANSICallbacksSuite1 &ansi_suite() const;

    FrameSetup &frame();
    Faults &faults();
    SuiteRegistry &suites();
    const SuiteRegistry &suites() const;

    // Everything declared at parameter setup, in order (copies; popup and
    // checkbox texts are the host's own copies, as a host keeps them).
    const std::vector<PF_ParamDef> &declared_params() const;
    std::optional<PF_CustomUIInfo> registered_ui() const;
    // Calls of add_param and register_ui since the last ParamsSetup (or since
    // the host was made), failed ones included.
    int add_param_calls() const;
    int register_ui_calls() const;
    // Editing host: the formats declared at global setup, in order, and how
    // often the list was cleared.
    const std::vector<PrPixelFormat> &declared_pixel_formats() const;
    int pixel_format_clear_calls() const;
    // Iterate calls of the last command.
    const std::vector<IterateCall> &iterate_calls() const;
    // The iteration counts of the last command's generic iterations.
    const std::vector<A_long> &generic_iterations() const;

    // Threads the iterate suites share rows out to, the command's own thread
    // included; 0 (the default) means one per core.
    void SetWorkerThreads(int count);

    // Current values, indexed by the effect's parameter positions
    // (0 is the input layer).
    ParamStore &params();
    const ParamStore &params() const;

private:
    PF_Err SendWith(const EffectFunction *effect, PF_Cmd cmd, PF_LayerDef *output, void *extra);

    std::unique_ptr<detail::HostState> impl_;
};

}  // namespace testhost
