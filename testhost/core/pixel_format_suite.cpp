// "PF Pixel Format Suite", offered by the editing host only: the effect
// declares the formats it renders at global setup and asks for the format of
// each output buffer at render time.
#include "testhost/core/host_state.h"

namespace testhost::detail {
namespace {

PF_Err AddSupportedPixelFormat(PF_ProgPtr effect_ref, PrPixelFormat format) {
    HostState *host = HostFromEffectRef(effect_ref);
    if (host == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    host->pixel_formats.push_back(format);
    return PF_Err_NONE;
}

PF_Err ClearSupportedPixelFormats(PF_ProgPtr effect_ref) {
    HostState *host = HostFromEffectRef(effect_ref);
    if (host == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    host->pixel_formats.clear();
    ++host->pixel_format_clears;
    return PF_Err_NONE;
}

PF_Err GetPixelFormat(PF_EffectWorld *world, PrPixelFormat *format) {
    Command *command = CurrentCommand();
    if (command == nullptr || world == nullptr || format == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (command->host->faults.reported_pixel_format) {
        *format = *command->host->faults.reported_pixel_format;
        return PF_Err_NONE;
    }
    const Layer *layer = LayerOfWorld(*command, world);
    if (layer == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *format = PremierePixelFormat(layer->format());
    return PF_Err_NONE;
}

constexpr PF_PixelFormatSuite1 PIXEL_FORMAT_SUITE = [] {
    PF_PixelFormatSuite1 suite{};
    suite.AddSupportedPixelFormat = AddSupportedPixelFormat;
    suite.ClearSupportedPixelFormats = ClearSupportedPixelFormats;
    suite.GetPixelFormat = GetPixelFormat;
    return suite;
}();

}  // namespace

const PF_PixelFormatSuite1 *PixelFormatSuite() { return &PIXEL_FORMAT_SUITE; }

}  // namespace testhost::detail
