// "PF World Suite" version 2, offered by the compositing host: the effect
// asks it for the pixel format of the worlds the smart commands hand over.
// Making and disposing of worlds is not offered; this effect needs none.
#include "testhost/core/host_state.h"

namespace testhost::detail {
namespace {

PF_Err NewWorld(PF_ProgPtr, A_long, A_long, PF_Boolean, PF_PixelFormat, PF_EffectWorld *) {
    return PF_Err_UNRECOGNIZED_PARAM_TYPE;
}

PF_Err DisposeWorld(PF_ProgPtr, PF_EffectWorld *) { return PF_Err_UNRECOGNIZED_PARAM_TYPE; }

PF_Err GetPixelFormat(const PF_EffectWorld *world, PF_PixelFormat *format) {
    Command *command = CurrentCommand();
    if (command == nullptr || world == nullptr || format == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    // The host knows only the worlds it handed out.
    const Layer *layer = LayerOfWorld(*command, world);
    if (layer == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (command->host->faults.reported_world_format) {
        *format = *command->host->faults.reported_world_format;
        return PF_Err_NONE;
    }
    const PF_PixelFormat code = zonara::TraitsOf(layer->format()).after_effects_code;
    if (code == 0) {
        return PF_Err_BAD_CALLBACK_PARAM;  // a layout this host never makes
    }
    *format = code;
    return PF_Err_NONE;
}

constexpr PF_WorldSuite2 WORLD_SUITE = [] {
    PF_WorldSuite2 suite{};
    suite.PF_NewWorld = NewWorld;
    suite.PF_DisposeWorld = DisposeWorld;
    suite.PF_GetPixelFormat = GetPixelFormat;
    return suite;
}();

}  // namespace

const PF_WorldSuite2 *WorldSuite() { return &WORLD_SUITE; }

const Layer *LayerOfWorld(const Command &command, const PF_EffectWorld *world) {
    if (world == nullptr) return nullptr;
    if (command.render_output != nullptr && world == &command.render_output->def()) {
        return command.render_output;
    }
    if (command.render_input != nullptr &&
        (world == &command.render_input->def() ||
         (command.params != nullptr && command.params[0] != nullptr && world == &command.params[0]->u.ld))) {
        return command.render_input;
    }
    for (const auto &[view, layer] : command.worlds) {
        if (world == &view) return layer;
    }
    return nullptr;
}

}  // namespace testhost::detail
