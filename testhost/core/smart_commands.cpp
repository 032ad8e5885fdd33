// The smart commands as a host sends them: pre-render with a request, the
// input layer checked out for it, then render of the part pre-render
// answered, the input's pixels and the output handed over as views into the
// host's layers. The host owns what pre-render hangs on pre_render_data and
// frees it with the effect's function; after each command it counts what the
// effect still holds.
#include <algorithm>
#include <string>

#include "testhost/core/host_state.h"

namespace testhost::detail {
namespace {

bool Empty(const PF_LRect &rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

// The overlap of two rectangles; all zero when they do not overlap.
PF_LRect Intersect(const PF_LRect &a, const PF_LRect &b) {
    const PF_LRect overlap{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                           std::min(a.bottom, b.bottom)};
    return Empty(overlap) ? PF_LRect{0, 0, 0, 0} : overlap;
}

bool Within(const PF_LRect &inner, const PF_LRect &outer) {
    return Empty(inner) || (inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
                            inner.bottom <= outer.bottom);
}

std::string Describe(const PF_LRect &rect) {
    return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ")-(" + std::to_string(rect.right) +
           ", " + std::to_string(rect.bottom) + ")";
}

// A world showing `rect` (within the layer's bounds) of `layer`: its pixel
// (0, 0) at the rectangle's top left, the layer's rows, origin_x and
// origin_y saying where it lies.
PF_EffectWorld ViewOf(const Layer &layer, const PF_LRect &rect) {
    PF_EffectWorld world = layer.def();
    if (Empty(rect)) {
        world.data = nullptr;
        world.width = 0;
        world.height = 0;
    } else {
        world.data = static_cast<PF_PixelPtr>(
            const_cast<void *>(layer.PixelAddress(rect.left - layer.left(), rect.top - layer.top())));
        world.width = rect.right - rect.left;
        world.height = rect.bottom - rect.top;
    }
    world.extent_hint = PF_Rect{0, 0, world.width, world.height};
    world.origin_x = rect.left;
    world.origin_y = rect.top;
    return world;
}

A_short BitDepth(PixelFormat format) {
    switch (zonara::TraitsOf(format).depth) {
    case zonara::SampleDepth::INT8:
        return 8;
    case zonara::SampleDepth::INT16:
        return 16;
    case zonara::SampleDepth::FLOAT32:
        break;
    }
    return 32;
}

PF_RenderRequest RequestFor(const PF_LRect &rect) {
    PF_RenderRequest request{};
    request.rect = rect;
    request.field = PF_Field_FRAME;
    request.channel_mask = PF_ChannelMask_ARGB;
    return request;
}

PF_Err CheckoutLayer(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long checkout_id, const PF_RenderRequest *request,
                     A_long what_time, A_long time_step, A_u_long time_scale, PF_CheckoutResult *result) {
    Command *command = CommandFromEffectRef(effect_ref);
    // Index 0 is the layer the effect is applied to, its only layer.
    if (command == nullptr || command->render_input == nullptr || index != 0 || request == nullptr ||
        result == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (command->host->faults.checkout_layer_fail_code != PF_Err_NONE) {
        return command->host->faults.checkout_layer_fail_code;
    }
    if (what_time != command->in_data.current_time || time_step != command->in_data.time_step ||
        time_scale != command->in_data.time_scale) {
        command->checkout_problems.emplace_back("the input checked out at another time than the command's");
    }
    const Layer &layer = *command->render_input;
    *result = PF_CheckoutResult{};
    result->max_result_rect = layer.Bounds();
    result->result_rect = Intersect(request->rect, result->max_result_rect);
    result->par = layer.def().pix_aspect_ratio;
    result->solid = layer.solid() ? 1 : 0;
    result->ref_width = layer.width();
    result->ref_height = layer.height();
    command->layer_checkouts[checkout_id] = result->result_rect;
    return PF_Err_NONE;
}

PF_Err GuidMixIn(PF_ProgPtr effect_ref, A_u_long, const void *) {
    return CommandFromEffectRef(effect_ref) != nullptr ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err CheckoutLayerPixels(PF_ProgPtr effect_ref, A_long checkout_id, PF_EffectWorld **pixels) {
    Command *command = CommandFromEffectRef(effect_ref);
    if (command == nullptr || pixels == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *pixels = nullptr;
    if (command->host->faults.checkout_layer_pixels_fail_code != PF_Err_NONE) {
        return command->host->faults.checkout_layer_pixels_fail_code;
    }
    const auto checkout = command->layer_checkouts.find(checkout_id);
    if (checkout == command->layer_checkouts.end()) {
        command->checkout_problems.push_back("pixels asked for with id " + std::to_string(checkout_id) +
                                             ", which pre-render did not check out");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    command->worlds.emplace_back(ViewOf(*command->render_input, checkout->second), command->render_input);
    command->layer_pixels_held.insert(checkout_id);
    *pixels = &command->worlds.back().first;
    return PF_Err_NONE;
}

PF_Err CheckinLayerPixels(PF_ProgPtr effect_ref, A_long checkout_id) {
    Command *command = CommandFromEffectRef(effect_ref);
    if (command == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const auto held = command->layer_pixels_held.find(checkout_id);
    if (held == command->layer_pixels_held.end()) {
        command->checkout_problems.push_back("pixels checked in with id " + std::to_string(checkout_id) +
                                             ", which were not checked out");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    command->layer_pixels_held.erase(held);
    return PF_Err_NONE;
}

PF_Err CheckoutOutput(PF_ProgPtr effect_ref, PF_EffectWorld **output) {
    Command *command = CommandFromEffectRef(effect_ref);
    if (command == nullptr || output == nullptr || command->render_output == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *output = nullptr;
    const Faults &faults = command->host->faults;
    if (faults.checkout_output_fail_code != PF_Err_NONE) return faults.checkout_output_fail_code;
    if (faults.null_output_world) return PF_Err_NONE;
    command->worlds.emplace_back(ViewOf(*command->render_output, command->output_rect), command->render_output);
    *output = &command->worlds.back().first;
    return PF_Err_NONE;
}

// What pre-render hung on pre_render_data, owned by the host from then on
// and freed with the effect's function when replaced or when this ends.
class PreRenderData {
public:
    explicit PreRenderData(Command &command) : command_(command) {}
    ~PreRenderData() { Free(); }
    PreRenderData(const PreRenderData &) = delete;
    PreRenderData &operator=(const PreRenderData &) = delete;

    void Take(const PF_PreRenderOutput &output) {
        Free();
        data_ = output.pre_render_data;
        free_ = output.delete_pre_render_data_func;
        if (data_ != nullptr && free_ == nullptr) {
            command_.checkout_problems.emplace_back("pre-render data hung without a function to free it");
        }
    }
    void *data() const { return data_; }

private:
    void Free() {
        if (data_ != nullptr && free_ != nullptr) free_(data_);
        data_ = nullptr;
        free_ = nullptr;
    }

    Command &command_;
    void *data_ = nullptr;
    PF_DeletePreRenderDataFunc free_ = nullptr;
};

// Withholds the parameter array from the effect for the smart commands,
// which must read values through checkout_param.
class ParamsWithheld {
public:
    explicit ParamsWithheld(Command &command) : command_(command) { command_.withhold_params = true; }
    ~ParamsWithheld() { command_.withhold_params = false; }
    ParamsWithheld(const ParamsWithheld &) = delete;
    ParamsWithheld &operator=(const ParamsWithheld &) = delete;

private:
    Command &command_;
};

}  // namespace

void Command::BeginCheckoutBooks() {
    params_held.clear();
    layer_checkouts.clear();
    layer_pixels_held.clear();
    output_rect = PF_LRect{0, 0, 0, 0};
    worlds.clear();
    checkout_problems.clear();
    pre_renders.clear();
}

PF_PreRenderCallbacks PreRenderCallbacks() {
    PF_PreRenderCallbacks callbacks{};
    callbacks.checkout_layer = CheckoutLayer;
    callbacks.GuidMixInPtr = GuidMixIn;
    return callbacks;
}

PF_Err HostState::SendSmartCommands(Command &command, const FrameSetup &frame, PF_ParamDef **params, int param_count,
                                    const Layer &src, Layer *dst, PF_LRect request, int pre_renders) {
    const ParamsWithheld withheld(command);
    PreRenderData data(command);
    const A_short bit_depth = BitDepth((dst != nullptr ? *dst : src).format());
    // After each command, what the effect still holds of it: parameter
    // values, and on the host's own books the suites (each command starts
    // them afresh; a render sent alongside keeps one set for both).
    auto audit = [&](const char *what) {
        if (!command.params_held.empty()) {
            command.checkout_problems.push_back(std::string(what) + ": " + std::to_string(command.params_held.size()) +
                                                " parameter values not checked in");
            command.params_held.clear();
        }
        if (!command.layer_pixels_held.empty()) {
            command.checkout_problems.push_back(std::string(what) + ": input pixels not checked in");
            command.layer_pixels_held.clear();
        }
        if (command.own_suite_books == nullptr) {
            for (const std::string &suite : suites.UnbalancedSinceLastCommand()) {
                command.checkout_problems.push_back(std::string(what) + ": " + suite);
            }
        }
    };

    PF_LRect asked = request;
    for (int i = 0; i < pre_renders; ++i) {
        PF_PreRenderInput input{};
        input.output_request = RequestFor(asked);
        input.bitdepth = bit_depth;
        PF_PreRenderOutput output{};
        PF_PreRenderCallbacks callbacks = PreRenderCallbacks();
        PF_PreRenderExtra extra{&input, &output, &callbacks};
        const PF_Err err =
            RunCommand(command, nullptr, PF_Cmd_SMART_PRE_RENDER, frame, params, param_count, nullptr, &extra);
        data.Take(output);
        audit("pre-render");
        command.pre_renders.push_back(PreRenderAnswer{err, asked, output.result_rect, output.max_result_rect,
                                                      output.solid != 0, output.pre_render_data != nullptr});
        if (err != PF_Err_NONE) return err;
        if (!Within(output.result_rect, asked)) {
            command.checkout_problems.push_back("pre-render answered " + Describe(output.result_rect) +
                                                " for the request " + Describe(asked));
        }
        // The editing host asks again for everything the effect could give,
        // within the buffer it has for it.
        if (dst != nullptr && app == HostApp::kPremiere) asked = Intersect(output.max_result_rect, dst->Bounds());
    }
    if (dst == nullptr) return PF_Err_NONE;

    const PreRenderAnswer &answer = command.pre_renders.back();
    command.output_rect = Intersect(answer.result_rect, dst->Bounds());
    if (Empty(command.output_rect)) return PF_Err_NONE;  // nothing of it to render
    PF_SmartRenderInput input{};
    input.output_request = RequestFor(answer.request);
    input.bitdepth = bit_depth;
    input.pre_render_data = data.data();
    PF_SmartRenderCallbacks callbacks{CheckoutLayerPixels, CheckinLayerPixels, CheckoutOutput};
    PF_SmartRenderExtra extra{&input, &callbacks};
    const PF_Err err = RunCommand(command, nullptr, PF_Cmd_SMART_RENDER, frame, params, param_count, nullptr, &extra);
    audit("render");
    return err;
}

}  // namespace testhost::detail
