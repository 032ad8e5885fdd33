#include "render/render_frame.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "host/host_suites.h"
#include "params/param_array.h"
#include "params/param_index.h"
#include "render/drivers/float_frame_bands.h"
#include "render/accelerators/grade_tables.h"
#include "render/drivers/iterate_float_rows.h"
#include "render/drivers/look_ahead_runs.h"
#include "render/drivers/pixel_callbacks.h"
#include "render/formula/pixel_codecs.h"
#include "render/drivers/render_float_frame.h"
#include "render/frame/simd_level.h"
#include "render/drivers/reporting_suite_lease.h"
#include "render/frame/window_render_params.h"

namespace zonara {
namespace {

// A buffer without pixels (no data, no width or no height) is not walked.
// An output without pixels needs nothing; in the compositing host, whose
// command returns the walk's result, a source without pixels for an output
// that has some is a damaged call and is answered as the host's own iterate
// answers a buffer it cannot walk, rather than passed off as a rendered frame.
bool HasPixels(const PF_LayerDef &layer) {
    return layer.data != nullptr && layer.width > 0 && layer.height > 0;
}

// The rows the host wants rendered: the output's extent hint's height,
// limited to the 32-bit range even for an absurd hint.
A_long ExtentRows(const PF_LayerDef &output) {
    const std::int64_t rows = static_cast<std::int64_t>(output.extent_hint.bottom) -
                              static_cast<std::int64_t>(output.extent_hint.top);
    return static_cast<A_long>(std::clamp<std::int64_t>(rows, INT32_MIN, INT32_MAX));
}

// Builds the frame's tables when the frame is large enough for them to pay
// off. Tables are an accelerator only: if their memory cannot be had, the
// frame renders without them.
void AttachTables(WindowRenderParams &record, const PF_LayerDef &output, int code_count,
                  void (*build)(const WindowRenderParams &, GradeTables &), GradeTables &tables) {
    const std::size_t pixels =
        static_cast<std::size_t>(output.width) * static_cast<std::size_t>(output.height);
    if (!TablesPayOff(pixels, code_count)) return;
    try {
        build(record, tables);
        record.tables = &tables;
    } catch (const std::bad_alloc &) {
        record.tables = nullptr;
    }
}

// Walks an integer frame with the host's iterate suite: in runs through the
// vector kernel of the frame's level where the frame is worth it, otherwise
// with the plain callback chosen for the frame (and, for 8-bit frames whose
// saturation mixes the channels, the memo of finished pixels).
template <class Pixel, class Iterate>
PF_Err WalkIntegerFrame(WindowRenderParams &record, GradeTables &tables, const PF_LayerDef &source,
                        const PF_LayerDef &output, PF_Err (*in_runs)(void *, A_long, A_long, Pixel *, Pixel *),
                        PF_Err (*plain)(void *, A_long, A_long, Pixel *, Pixel *), Iterate iterate) {
    if (const PixelRunKernel kernel = PixelRunKernelFor(record, FrameSimdLevel())) {
        std::unique_ptr<LookAheadFrame> runs;
        try {
            runs = std::make_unique<LookAheadFrame>(record, kernel, source, sizeof(Pixel));
        } catch (const std::bad_alloc &) {
            // Runs only save work; the plain callback renders the same.
        }
        if (runs != nullptr) return iterate(runs.get(), in_runs);
    }
    if (record.tables != nullptr) {
        try {
            AttachSaturationMemo(static_cast<std::size_t>(output.width) * static_cast<std::size_t>(output.height),
                                 tables);
        } catch (const std::bad_alloc &) {
            // The memo only saves work; without it the pixels are computed.
        }
    }
    return iterate(&record, plain);
}

PF_Err RenderAfterEffects(PF_InData *in_data, HostSuites &suites, WindowRenderParams &record,
                          PF_LayerDef &source, PF_LayerDef &output, A_long rows) {
    GradeTables tables;
    if ((output.world_flags & PF_WorldFlag_DEEP) != 0) {
        const PF_iterate16Suite1 *iterate16 = suites.Iterate16Suite();
        if (!HasPixels(output)) return PF_Err_NONE;
        if (!HasPixels(source)) return PF_Err_BAD_CALLBACK_PARAM;
        AttachTables(record, output, Codec16::MAX_CODE + 1, BuildGradeTables16, tables);
        return WalkIntegerFrame<PF_Pixel16>(
            record, tables, source, output, RenderArgb16InRuns, ChooseArgb16Callback(record),
            [&](void *refcon, PF_IteratePixel16Func callback) {
                return iterate16->iterate(in_data, 0, rows, &source, nullptr, refcon, callback, &output);
            });
    }
    const PF_Iterate8Suite1 *iterate8 = suites.Iterate8Suite();
    if (!HasPixels(output)) return PF_Err_NONE;
    if (!HasPixels(source)) return PF_Err_BAD_CALLBACK_PARAM;
    AttachTables(record, output, Codec8::MAX_CODE + 1, BuildGradeTables8, tables);
    return WalkIntegerFrame<PF_Pixel>(record, tables, source, output, RenderArgb8InRuns, ChooseArgb8Callback(record),
                                      [&](void *refcon, PF_IteratePixel8Func callback) {
                                          return iterate8->iterate(in_data, 0, rows, &source, nullptr, refcon,
                                                                   callback, &output);
                                      });
}

PF_Err RenderPremiere(PF_InData *in_data, PF_OutData *out_data, HostSuites &suites,
                      WindowRenderParams &record, PF_LayerDef &source, PF_LayerDef &output,
                      A_long rows) {
    ReportingSuiteLease<PF_PixelFormatSuite1> pixel_format_suite(
        in_data, out_data, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
    if (pixel_format_suite.get() == nullptr) return PF_Err_BAD_CALLBACK_PARAM;

    // A host that writes nothing leaves the 8-bit default.
    PrPixelFormat format = PrPixelFormat_BGRA_4444_8u;
    static_cast<void>(pixel_format_suite.get()->GetPixelFormat(&output, &format));

    GradeTables tables;
    if (format == PrPixelFormat_BGRA_4444_32f) {
        // The effect's own loop, at the instruction-set level chosen once for
        // the frame: the same pixels as RenderPixelBgra32f, in bands of rows
        // on the host's threads where it offers them.
        const SimdLevel level = FrameSimdLevel();
        std::unique_ptr<ConstantPowers> constant_powers;
        AttachConstantPowers(record, level, constant_powers);
        RenderFloatFrameInBands(record, FloatRowsToVisit(0, rows, &source, &output), level,
                                suites.Iterate8SuiteIfOffered());
    } else if (format == PrPixelFormat_BGRA_4444_8u) {
        const PF_Iterate8Suite1 *iterate8 = suites.Iterate8Suite();
        if (HasPixels(source) && HasPixels(output)) {
            AttachTables(record, output, Codec8::MAX_CODE + 1, BuildGradeTables8, tables);
            static_cast<void>(WalkIntegerFrame<PF_Pixel>(
                record, tables, source, output, RenderBgra8InRuns, ChooseBgra8Callback(record),
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

PF_Err RenderFrame(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[],
                   PF_LayerDef *output) {
    HostSuites suites(in_data->pica_basicP);
    if (output == nullptr || !ParamArrayComplete(params)) return PF_Err_INTERNAL_STRUCT_DAMAGED;

    WindowRenderParams record;
    BuildWindowRenderParams(*in_data, params, record);
    PF_LayerDef &source = params[PARAM_INPUT]->u.ld;
    const A_long rows = ExtentRows(*output);

    if (in_data->appl_id != PF_APPL_ID_PREMIERE) {
        return RenderAfterEffects(in_data, suites, record, source, *output, rows);
    }
    return RenderPremiere(in_data, out_data, suites, record, source, *output, rows);
}

}  // namespace zonara
