#include "testhost/core/host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "testhost/core/host_state.h"

namespace testhost {
namespace detail {
namespace {

// The interface version the host announces in in_data->version.
constexpr PF_SpecVersion HOST_API_VERSION{13, 2};
constexpr A_long HOST_QUALITY_HIGH = 1;
constexpr A_long FRAMES_IN_SEQUENCE = 240;

}  // namespace

WorkerPool &HostState::Pool() {
    if (!pool) {
        int threads = worker_threads;
        if (threads <= 0) {
            threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        }
        pool = std::make_unique<WorkerPool>(threads - 1);
    }
    return *pool;
}

WorkerPool &Command::Pool() { return pool != nullptr ? *pool : host->Pool(); }

void HostState::BuildInData(Command &command, const FrameSetup &frame, int param_count, const PF_LayerDef *output) {
    // A fresh record per command, as a host builds one; only what the host
    // knows about the layer and time goes in. The effect_ref names the
    // command, so that callbacks find its records whichever thread calls.
    PF_InData &in_data = command.in_data;
    in_data = PF_InData{};
    in_data.inter = InteractCallbacks();
    in_data.utils = &utils;
    in_data.effect_ref = reinterpret_cast<PF_ProgPtr>(&command);
    in_data.quality = HOST_QUALITY_HIGH;
    in_data.version = HOST_API_VERSION;
    in_data.appl_id = app == HostApp::kPremiere ? PF_APPL_ID_PREMIERE : PF_APPL_ID_AFTER_EFFECTS;
    in_data.num_params = param_count;
    in_data.current_time = frame.current_time;
    in_data.time_step = 1;
    in_data.local_time_step = 1;
    in_data.total_time = FRAMES_IN_SEQUENCE;
    in_data.time_scale = frame.time_scale;
    in_data.width = frame.layer_width;
    in_data.height = frame.layer_height;
    in_data.extent_hint =
        output != nullptr ? output->extent_hint : PF_Rect{0, 0, frame.layer_width, frame.layer_height};
    in_data.downsample_x = frame.downsample_x;
    in_data.downsample_y = frame.downsample_y;
    in_data.pixel_aspect_ratio = frame.pixel_aspect_ratio;
    in_data.pica_basicP = faults.no_basic_suite ? nullptr : BasicSuite();
}

PF_Err HostState::RunCommand(Command &command, const EffectFunction *effect, PF_Cmd cmd, const FrameSetup &frame,
                             PF_ParamDef **param_array, int param_count, PF_LayerDef *output, void *extra) {
    if (effect == nullptr && linked_effect) {
        effect = &linked_effect;
    }
    if (effect == nullptr && !module) {
        throw std::logic_error("this host has no effect module loaded");
    }
    if (command.own_suite_books == nullptr) {
        suites.BeginCommand();
    }
    command.iterate_calls.clear();
    command.generic_iterations.clear();
    command.exception_escaped = false;
    command.float_mode_changes = 0;
    command.escaped_error_code.reset();
    command.sprintf_formats.clear();
    command.params = param_array;
    command.param_values = param_array;
    command.param_count = param_count;
    PF_ParamDef **passed_params = command.withhold_params ? nullptr : param_array;
    BuildInData(command, frame, param_count, output);
    CurrentCommandScope running(&command);
    const ThreadFloatModeScope float_mode(faults.thread_float_mode);
    try {
        const PF_Err result =
            effect != nullptr ? (*effect)(cmd, &command.in_data, &command.out_data, passed_params, output, extra)
                              : module->entry()(cmd, &command.in_data, &command.out_data, passed_params, output, extra);
        if (!float_mode.Unchanged()) ++command.float_mode_changes;
        return result;
    } catch (PF_Err code) {
        command.exception_escaped = true;
        command.escaped_error_code = code;
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    } catch (...) {
        // Nothing may be thrown into a host; a real one would crash here.
        command.exception_escaped = true;
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
}

RenderCommands HostState::EffectiveRenderCommands() const {
    if (render_commands) return *render_commands;
    if (!smart_render_declared) return RenderCommands::LEGACY;
    // One test program is run both ways by setting this for its process.
    const char *chosen = std::getenv("ZONARA_RENDER_COMMANDS");
    return chosen != nullptr && std::strcmp(chosen, "legacy") == 0 ? RenderCommands::LEGACY : RenderCommands::SMART;
}

}  // namespace detail

Host::Host(std::shared_ptr<const Module> module, HostApp app) : impl_(std::make_unique<detail::HostState>()) {
    detail::HostState &state = *impl_;
    state.module = std::move(module);
    state.app = app;
    state.utils.ansi = detail::AnsiCallbacksBlock();
    state.ansi_suite = detail::AnsiSuite();
    state.suites.Register(kPFANSISuite, kPFANSISuiteVersion1, &state.ansi_suite);
    state.suites.Register(kPFIterate8Suite, kPFIterate8SuiteVersion1, detail::Iterate8Suite());
    state.suites.Register(kPFIterate16Suite, kPFIterate16SuiteVersion1, detail::Iterate16Suite());
    if (app == HostApp::kPremiere) {
        state.suites.Register(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, detail::PixelFormatSuite());
    } else {
        state.suites.Register(kPFWorldSuite, kPFWorldSuiteVersion2, detail::WorldSuite());
    }
}

Host::Host(EffectFunction linked_effect, HostApp app) : Host(std::shared_ptr<const Module>(), app) {
    impl_->linked_effect = std::move(linked_effect);
}

Host::~Host() = default;

HostApp Host::app() const { return impl_->app; }

PF_Err Host::GlobalSetup() { return Send(PF_Cmd_GLOBAL_SETUP); }

PF_Err Host::ParamsSetup() {
    detail::HostState &state = *impl_;
    state.declared.clear();
    state.declared_texts.clear();
    state.ui.reset();
    state.add_param_calls = 0;
    state.register_ui_calls = 0;
    const PF_Err result = Send(PF_Cmd_PARAMS_SETUP);
    // Built even after a failure, so that what was declared can be looked at.
    state.params.Reset(state.declared, state.frame.layer_width, state.frame.layer_height);
    state.params_set_up = true;
    return result;
}

PF_Err Host::About() { return Send(PF_Cmd_ABOUT); }

namespace {

// The layers are known to GetPixelFormat for the render's command only.
class RenderLayers {
public:
    RenderLayers(detail::Command &command, const Layer &input, const Layer &output) : command_(command) {
        command_.render_input = &input;
        command_.render_output = &output;
    }
    ~RenderLayers() {
        command_.render_input = nullptr;
        command_.render_output = nullptr;
    }
    RenderLayers(const RenderLayers &) = delete;
    RenderLayers &operator=(const RenderLayers &) = delete;

private:
    detail::Command &command_;
};

bool SameRect(const PF_LRect &a, const PF_LRect &b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

PF_Err Host::Render(Layer &src, Layer &dst) { return RenderRegion(src, dst, dst.Bounds()); }

PF_Err Host::RenderRegion(Layer &src, Layer &dst, PF_LRect request) {
    detail::HostState &state = *impl_;
    if (!state.params_set_up) {
        throw std::logic_error("Render before ParamsSetup");
    }
    state.params.at(0).u.ld = src.def();
    RenderLayers layers(state.serial, src, dst);
    if (state.EffectiveRenderCommands() == RenderCommands::LEGACY) {
        if (!SameRect(request, dst.Bounds())) {
            throw std::logic_error("PF_Cmd_RENDER renders whole layers; a region needs the smart commands");
        }
        return Send(PF_Cmd_RENDER, &dst.def());
    }
    state.serial.BeginCheckoutBooks();
    const int pre_renders = state.app == HostApp::kPremiere ? 2 : 1;
    return state.SendSmartCommands(state.serial, state.frame, state.params.array(), state.params.size(), src, &dst,
                                   request, pre_renders);
}

std::vector<PreRenderAnswer> Host::PreRenderOnly(Layer &src, PF_LRect request, int times) {
    detail::HostState &state = *impl_;
    if (!state.params_set_up) {
        throw std::logic_error("PreRenderOnly before ParamsSetup");
    }
    state.params.at(0).u.ld = src.def();
    RenderLayers layers(state.serial, src, src);
    state.serial.BeginCheckoutBooks();
    state.SendSmartCommands(state.serial, state.frame, state.params.array(), state.params.size(), src, nullptr, request,
                            times);
    return state.serial.pre_renders;
}

void Host::SetRenderCommands(RenderCommands commands) { impl_->render_commands = commands; }
RenderCommands Host::render_commands() const { return impl_->EffectiveRenderCommands(); }
const std::vector<PreRenderAnswer> &Host::last_pre_renders() const { return impl_->serial.pre_renders; }
std::vector<std::string> Host::UnbalancedCheckouts() const { return impl_->serial.checkout_problems; }

RenderOutcome Host::RenderAlongside(RenderRequest &request, WorkerPool &pool) {
    detail::HostState &state = *impl_;
    if (!state.threaded_rendering) {
        throw std::logic_error(
            "the effect did not declare threaded rendering at global setup, so a host renders it "
            "one frame at a time");
    }
    if (request.src == nullptr || request.dst == nullptr || request.params.empty()) {
        throw std::invalid_argument("a render needs its layers and parameter values");
    }
    request.params[0].u.ld = request.src->def();
    std::vector<PF_ParamDef *> param_array;
    for (PF_ParamDef &def : request.params) {
        param_array.push_back(&def);
    }
    SuiteRegistry::Books books;
    detail::Command command(state);
    command.own_suite_books = &books;
    command.pool = &pool;
    RenderLayers layers(command, *request.src, *request.dst);
    RenderOutcome outcome;
    if (state.EffectiveRenderCommands() == RenderCommands::LEGACY) {
        outcome.result = state.RunCommand(command, nullptr, PF_Cmd_RENDER, request.frame, param_array.data(),
                                          static_cast<int>(param_array.size()), &request.dst->def(), nullptr);
    } else {
        outcome.result = state.SendSmartCommands(command, request.frame, param_array.data(),
                                                 static_cast<int>(param_array.size()), *request.src, request.dst,
                                                 request.dst->Bounds(), state.app == HostApp::kPremiere ? 2 : 1);
    }
    outcome.unbalanced_checkouts = command.checkout_problems;
    outcome.exception_escaped = command.exception_escaped;
    outcome.unbalanced_suites = books.Unbalanced();
    outcome.suites_acquired = 0;
    for (const auto &[key, use] : books.uses) {
        outcome.suites_acquired += use.acquired;
    }
    outcome.iterate_calls = std::move(command.iterate_calls);
    outcome.generic_iterations = std::move(command.generic_iterations);
    return outcome;
}

PF_Err Host::Send(PF_Cmd cmd, PF_LayerDef *output, void *extra) { return SendWith(nullptr, cmd, output, extra); }

PF_Err Host::SendTo(const EffectFunction &effect, PF_Cmd cmd, PF_LayerDef *output, void *extra) {
    return SendWith(&effect, cmd, output, extra);
}

PF_Err Host::SendWith(const EffectFunction *effect, PF_Cmd cmd, PF_LayerDef *output, void *extra) {
    detail::HostState &state = *impl_;
    state.serial.BeginCheckoutBooks();
    const PF_Err result = state.RunCommand(state.serial, effect, cmd, state.frame, state.params.array(),
                                           state.params.size(), output, extra);
    if (!state.serial.params_held.empty()) {
        state.serial.checkout_problems.push_back(std::to_string(state.serial.params_held.size()) +
                                                 " parameter values not checked in");
    }
    if (cmd == PF_Cmd_GLOBAL_SETUP) {
        const A_long flags2 = result == PF_Err_NONE ? state.serial.out_data.out_flags2 : 0;
        state.threaded_rendering = (flags2 & PF_OutFlag2_SUPPORTS_THREADED_RENDERING) != 0;
        state.smart_render_declared = (flags2 & PF_OutFlag2_SUPPORTS_SMART_RENDER) != 0;
    }
    return result;
}

const PF_InData &Host::last_in_data() const { return impl_->serial.in_data; }
const PF_OutData &Host::last_out_data() const { return impl_->serial.out_data; }
PF_OutData &Host::out_data() { return impl_->serial.out_data; }
bool Host::exception_escaped() const { return impl_->serial.exception_escaped; }
int Host::float_mode_changes() const { return impl_->serial.float_mode_changes; }
std::optional<PF_Err> Host::escaped_error_code() const { return impl_->serial.escaped_error_code; }
const std::vector<std::string> &Host::sprintf_formats() const { return impl_->serial.sprintf_formats; }
const PF_ANSICallbacksSuite1 &Host::ansi_suite() const { return impl_->ansi_suite; }

FrameSetup &Host::frame() { return impl_->frame; }
Faults &Host::faults() { return impl_->faults; }
SuiteRegistry &Host::suites() { return impl_->suites; }
const SuiteRegistry &Host::suites() const { return impl_->suites; }

const std::vector<PF_ParamDef> &Host::declared_params() const { return impl_->declared; }
std::optional<PF_CustomUIInfo> Host::registered_ui() const { return impl_->ui; }
int Host::add_param_calls() const { return impl_->add_param_calls; }
int Host::register_ui_calls() const { return impl_->register_ui_calls; }
const std::vector<PrPixelFormat> &Host::declared_pixel_formats() const { return impl_->pixel_formats; }
int Host::pixel_format_clear_calls() const { return impl_->pixel_format_clears; }
const std::vector<IterateCall> &Host::iterate_calls() const { return impl_->serial.iterate_calls; }
const std::vector<A_long> &Host::generic_iterations() const { return impl_->serial.generic_iterations; }

void Host::SetWorkerThreads(int count) {
    if (count != impl_->worker_threads) {
        impl_->worker_threads = count;
        impl_->pool.reset();
    }
}

ParamStore &Host::params() { return impl_->params; }
const ParamStore &Host::params() const { return impl_->params; }

}  // namespace testhost
