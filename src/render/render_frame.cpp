#include "render/render_frame.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "host/host_suites.h"
#include "params/param_array.h"
#include "params/param_index.h"
#include "render/float_frame_bands.h"
#include "render/grade_tables.h"
#include "render/iterate_float_rows.h"
#include "render/pixel_callbacks.h"
#include "render/pixel_codecs.h"
#include "render/render_float_frame.h"
#include "render/simd_level.h"
#include "render/reporting_suite_lease.h"
#include "render/window_render_params.h"

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
        return;
    }
    try {
        AttachSaturationMemo(pixels, tables);
    } catch (const std::bad_alloc &) {
        // The memo only saves work; without it the pixels are computed.
    }
}

PF_Err RenderAfterEffects(PF_InData *in_data, HostSuites &suites, WindowRenderParams &record,
                          PF_LayerDef &source, PF_LayerDef &output, A_long rows) {
    GradeTables tables;
    if ((output.world_flags & PF_WorldFlag_DEEP) != 0) {
        const PF_iterate16Suite1 *iterate16 = suites.Iterate16Suite();
        if (!HasPixels(output)) return PF_Err_NONE;
        if (!HasPixels(source)) return PF_Err_BAD_CALLBACK_PARAM;
        AttachTables(record, output, Codec16::MAX_CODE + 1, BuildGradeTables16, tables);
        return iterate16->iterate(in_data, 0, rows, &source, nullptr, &record,
                                  ChooseArgb16Callback(record), &output);
    }
    const PF_Iterate8Suite1 *iterate8 = suites.Iterate8Suite();
    if (!HasPixels(output)) return PF_Err_NONE;
    if (!HasPixels(source)) return PF_Err_BAD_CALLBACK_PARAM;
    AttachTables(record, output, Codec8::MAX_CODE + 1, BuildGradeTables8, tables);
    return iterate8->iterate(in_data, 0, rows, &source, nullptr, &record, ChooseArgb8Callback(record),
                             &output);
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
        RenderFloatFrameInBands(record, FloatRowsToVisit(0, rows, &source, &output), FrameSimdLevel(),
                                suites.Iterate8SuiteIfOffered());
    } else if (format == PrPixelFormat_BGRA_4444_8u) {
        const PF_Iterate8Suite1 *iterate8 = suites.Iterate8Suite();
        if (HasPixels(source) && HasPixels(output)) {
            AttachTables(record, output, Codec8::MAX_CODE + 1, BuildGradeTables8, tables);
            static_cast<void>(iterate8->iterate(in_data, 0, rows, &source, nullptr, &record,
                                                ChooseBgra8Callback(record), &output));
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
