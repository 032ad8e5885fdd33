#include "render/render_frame.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "host/host_suites.h"
#include "params/param_array.h"
#include "params/param_index.h"
#include "render/drivers/float_frame_bands.h"
#include "render/drivers/iterate_float_rows.h"
#include "render/drivers/look_ahead_runs.h"
#include "render/drivers/pixel_callbacks.h"
#include "render/drivers/render_float_frame.h"
#include "render/drivers/reporting_suite_lease.h"
#include "render/formula/pixel_codecs.h"
#include "render/frame/simd_level.h"
#include "render/frame/window_render_params.h"
#include "render/plan/frame_plan.h"

namespace zonara {
namespace {

// A buffer without pixels (no data, no width or no height) is not walked.
// An output without pixels needs nothing; in the compositing host, whose
// command returns the walk's result, a source without pixels for an output
// that has some is a damaged call and is answered as the host's own iterate
// answers a buffer it cannot walk, rather than passed off as a rendered frame.
bool HasPixels(const PF_LayerDef &layer) { return layer.data != nullptr && layer.width > 0 && layer.height > 0; }

// The rows the host wants rendered: the output's extent hint's height,
// limited to the 32-bit range even for an absurd hint.
A_long ExtentRows(const PF_LayerDef &output) {
    const std::int64_t rows =
        static_cast<std::int64_t>(output.extent_hint.bottom) - static_cast<std::int64_t>(output.extent_hint.top);
    return static_cast<A_long>(std::clamp<std::int64_t>(rows, INT32_MIN, INT32_MAX));
}

// Walks an integer frame with the host's iterate suite along the path the
// frame's plan chose: in runs through the vector kernel of the frame's level,
// or with the plain callback, which the frame also takes when the runs'
// memory cannot be had.
template <class Pixel, class Iterate>
PF_Err WalkIntegerFrame(const FramePlan &plan, const PF_LayerDef &source,
                        PF_Err (*in_runs)(void *, A_long, A_long, Pixel *, Pixel *),
                        PF_Err (*plain)(void *, A_long, A_long, Pixel *, Pixel *), Iterate iterate) {
    if (plan.integer_path() == IntegerPath::IN_RUNS) {
        std::unique_ptr<LookAheadFrame> runs;
        try {
            runs = std::make_unique<LookAheadFrame>(plan.stage(), plan.run_kernel(), source, sizeof(Pixel));
        } catch (const std::bad_alloc &) {
            // Runs only save work; the plain callback renders the same.
        }
        if (runs != nullptr) return iterate(runs.get(), in_runs);
    }
    // The host's refcon is not const; the callbacks only read the stage.
    return iterate(const_cast<PixelStage *>(&plan.stage()), plain);
}

PF_Err RenderAfterEffects(PF_InData *in_data, HostSuites &suites, const WindowRenderParams &record, PF_LayerDef &source,
                          PF_LayerDef &output, A_long rows) {
    if ((output.world_flags & PF_WorldFlag_DEEP) != 0) {
        const PF_iterate16Suite1 *iterate16 = suites.Iterate16Suite();
        if (!HasPixels(output)) return PF_Err_NONE;
        if (!HasPixels(source)) return PF_Err_BAD_CALLBACK_PARAM;
        const FramePlan plan(record, PixelFormat::ARGB16, output.width, output.height, FrameSimdLevel());
        return WalkIntegerFrame<PF_Pixel16>(plan, source, RenderArgb16InRuns, Argb16Callback(plan.plain_integer_path()),
                                            [&](void *refcon, PF_IteratePixel16Func callback) {
                                                return iterate16->iterate(in_data, 0, rows, &source, nullptr, refcon,
                                                                          callback, &output);
                                            });
    }
    const PF_Iterate8Suite1 *iterate8 = suites.Iterate8Suite();
    if (!HasPixels(output)) return PF_Err_NONE;
    if (!HasPixels(source)) return PF_Err_BAD_CALLBACK_PARAM;
    const FramePlan plan(record, PixelFormat::ARGB8, output.width, output.height, FrameSimdLevel());
    return WalkIntegerFrame<PF_Pixel>(plan, source, RenderArgb8InRuns, Argb8Callback(plan.plain_integer_path()),
                                      [&](void *refcon, PF_IteratePixel8Func callback) {
                                          return iterate8->iterate(in_data, 0, rows, &source, nullptr, refcon, callback,
                                                                   &output);
                                      });
}

PF_Err RenderPremiere(PF_InData *in_data, PF_OutData *out_data, HostSuites &suites, const WindowRenderParams &record,
                      PF_LayerDef &source, PF_LayerDef &output, A_long rows) {
    ReportingSuiteLease<PF_PixelFormatSuite1> pixel_format_suite(in_data, out_data, kPFPixelFormatSuite,
                                                                 kPFPixelFormatSuiteVersion1);
    if (pixel_format_suite.get() == nullptr) return PF_Err_BAD_CALLBACK_PARAM;

    // A host that writes nothing leaves the 8-bit default.
    PrPixelFormat format = PrPixelFormat_BGRA_4444_8u;
    static_cast<void>(pixel_format_suite.get()->GetPixelFormat(&output, &format));

    if (format == PrPixelFormat_BGRA_4444_32f) {
        // The effect's own loop, in bands of rows on the host's threads where
        // it offers them.
        const FramePlan plan(record, PixelFormat::BGRA32F, output.width, output.height, FrameSimdLevel());
        RenderFloatFrameInBands(plan, FloatRowsToVisit(0, rows, &source, &output), suites.Iterate8SuiteIfOffered());
    } else if (format == PrPixelFormat_BGRA_4444_8u) {
        const PF_Iterate8Suite1 *iterate8 = suites.Iterate8Suite();
        if (HasPixels(source) && HasPixels(output)) {
            const FramePlan plan(record, PixelFormat::BGRA8, output.width, output.height, FrameSimdLevel());
            static_cast<void>(WalkIntegerFrame<PF_Pixel>(
                plan, source, RenderBgra8InRuns, Bgra8Callback(plan.plain_integer_path()),
                [&](void *refcon, PF_IteratePixel8Func callback) {
                    return iterate8->iterate(in_data, 0, rows, &source, nullptr, refcon, callback, &output);
                }));
        }
    } else {
        static_cast<void>(pixel_format_suite.Release());
        return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
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
        return RenderAfterEffects(in_data, suites, record, source, *output, rows);
    }
    return RenderPremiere(in_data, out_data, suites, record, source, *output, rows);
}

}  // namespace zonara
