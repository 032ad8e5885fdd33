#include "render/render_frame.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "host/host_suites.h"
#include "params/param_array.h"
#include "params/param_index.h"
#include "render/drivers/reporting_suite_lease.h"
#include "render/frame/pixel_format.h"
#include "render/frame/window_render_params.h"
#include "render/render_worlds.h"

namespace zonara {
namespace {

// The rows the host wants rendered: the output's extent hint's height,
// limited to the 32-bit range even for an absurd hint.
A_long ExtentRows(const PF_LayerDef &output) {
    const std::int64_t rows =
        static_cast<std::int64_t>(output.extent_hint.bottom) - static_cast<std::int64_t>(output.extent_hint.top);
    return static_cast<A_long>(std::clamp<std::int64_t>(rows, INT32_MIN, INT32_MAX));
}

// The compositing host marks a 16-bit output world deep.
PixelFormat AfterEffectsFormat(const PF_LayerDef &output) {
    return (output.world_flags & PF_WorldFlag_DEEP) != 0 ? PixelFormat::ARGB16 : PixelFormat::ARGB8;
}

PF_Err RenderPremiere(PF_InData *in_data, PF_OutData *out_data, HostSuites &suites, const WindowRenderParams &record,
                      PF_LayerDef &source, PF_LayerDef &output, A_long rows) {
    ReportingSuiteLease<PF_PixelFormatSuite1> pixel_format_suite(in_data, out_data, kPFPixelFormatSuite,
                                                                 kPFPixelFormatSuiteVersion1);
    if (pixel_format_suite.get() == nullptr) return PF_Err_BAD_CALLBACK_PARAM;

    // A host that writes nothing leaves the 8-bit default.
    PrPixelFormat format = PrPixelFormat_BGRA_4444_8u;
    static_cast<void>(pixel_format_suite.get()->GetPixelFormat(&output, &format));

    const std::optional<PixelFormat> known = FormatOfPremiereCode(format);
    if (!known) {
        static_cast<void>(pixel_format_suite.Release());
        return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
    // This host's frames are rendered whatever its iterate suite answers.
    static_cast<void>(
        RenderWorlds(in_data, suites, record, *known, source, output, rows, WorldOrigin{}, IntegerWalk::HOST_ITERATE));
    return pixel_format_suite.Release();
}

}  // namespace

PF_Err RenderFrame(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_LayerDef *output) {
    HostSuites suites(in_data->pica_basicP);
    if (output == nullptr || !ParamArrayComplete(params)) return PF_Err_INTERNAL_STRUCT_DAMAGED;

    // Built once, read-only from here on, whichever threads read it.
    const WindowRenderParams record = MakeWindowRenderParams(*in_data, params);
    PF_LayerDef &source = params[PARAM_INPUT]->u.ld;
    const A_long rows = ExtentRows(*output);

    if (in_data->appl_id != PF_APPL_ID_PREMIERE) {
        return RenderWorlds(in_data, suites, record, AfterEffectsFormat(*output), source, *output, rows, WorldOrigin{},
                            IntegerWalk::HOST_ITERATE);
    }
    return RenderPremiere(in_data, out_data, suites, record, source, *output, rows);
}

}  // namespace zonara
