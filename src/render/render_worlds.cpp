#include "render/render_worlds.h"

#include <memory>
#include <new>

#include "render/drivers/float_frame_bands.h"
#include "render/drivers/integer_frame_rows.h"
#include "render/drivers/iterate_float_rows.h"
#include "render/drivers/look_ahead_runs.h"
#include "render/drivers/pixel_callbacks.h"
#include "render/frame/simd_level.h"
#include "render/plan/frame_plan.h"

namespace zonara {
namespace {

// A buffer without pixels (no data, no width or no height) is not walked.
// An output without pixels needs nothing; a source without pixels for an
// output that has some is a damaged call and is answered as the host's own
// iterate answers a buffer it cannot walk, rather than passed off as a
// rendered frame.
bool HasPixels(const PF_LayerDef &layer) { return layer.data != nullptr && layer.width > 0 && layer.height > 0; }

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

}  // namespace

PF_Err RenderWorlds(PF_InData *in_data, HostSuites &suites, const WindowRenderParams &record, PixelFormat format,
                    PF_LayerDef &source, PF_LayerDef &output, A_long rows, WorldOrigin origin, IntegerWalk walk) {
    if (!TraitsOf(format).integer()) {
        if (!HasPixels(output) || rows <= 0) return PF_Err_NONE;
        const FloatRowSpan span = FloatRowsToVisit(0, rows, &source, &output);
        // No row to read: a source without pixels, or one whose rows cannot
        // hold float pixels.
        if (span.end <= span.first) return PF_Err_BAD_CALLBACK_PARAM;
        const FramePlan plan(record, format, output.width, output.height, origin, FrameSimdLevel());
        RenderFloatFrameInBands(plan, span, suites.Iterate8SuiteIfOffered());
        return PF_Err_NONE;
    }
    if (walk == IntegerWalk::OWN_ROWS) {
        if (!HasPixels(output)) return PF_Err_NONE;
        if (!HasPixels(source)) return PF_Err_BAD_CALLBACK_PARAM;
        const FramePlan plan(record, format, output.width, output.height, origin, FrameSimdLevel());
        RenderIntegerFrameInRows(plan, source, output, rows, suites.Iterate8SuiteIfOffered());
        return PF_Err_NONE;
    }
    if (format == PixelFormat::ARGB16) {
        const PF_iterate16Suite1 *iterate16 = suites.Iterate16Suite();
        if (!HasPixels(output)) return PF_Err_NONE;
        if (!HasPixels(source)) return PF_Err_BAD_CALLBACK_PARAM;
        const FramePlan plan(record, format, output.width, output.height, origin, FrameSimdLevel());
        return WalkIntegerFrame<PF_Pixel16>(plan, source, RenderArgb16InRuns, Argb16Callback(plan.plain_integer_path()),
                                            [&](void *refcon, PF_IteratePixel16Func callback) {
                                                return iterate16->iterate(in_data, 0, rows, &source, nullptr, refcon,
                                                                          callback, &output);
                                            });
    }
    const PF_Iterate8Suite1 *iterate8 = suites.Iterate8Suite();
    if (!HasPixels(output)) return PF_Err_NONE;
    if (!HasPixels(source)) return PF_Err_BAD_CALLBACK_PARAM;
    const FramePlan plan(record, format, output.width, output.height, origin, FrameSimdLevel());
    const bool bgra = format == PixelFormat::BGRA8;
    return WalkIntegerFrame<PF_Pixel>(
        plan, source, bgra ? RenderBgra8InRuns : RenderArgb8InRuns,
        bgra ? Bgra8Callback(plan.plain_integer_path()) : Argb8Callback(plan.plain_integer_path()),
        [&](void *refcon, PF_IteratePixel8Func callback) {
            return iterate8->iterate(in_data, 0, rows, &source, nullptr, refcon, callback, &output);
        });
}

}  // namespace zonara
