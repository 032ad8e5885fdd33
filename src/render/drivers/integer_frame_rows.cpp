#include "render/drivers/integer_frame_rows.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "render/drivers/float_frame_bands.h"
#include "render/drivers/integer_pixel_path.h"
#include "render/drivers/iterate_float_rows.h"
#include "render/drivers/pixel_callbacks.h"

namespace zonara {
namespace {

using namespace integer_pixels;

template <class Layout>
using PlainCallback = PF_Err (*)(void *, A_long, A_long, typename Layout::Pixel *, typename Layout::Pixel *);

template <class Layout>
PlainCallback<Layout> PlainCallbackOf(IntegerPath path) {
    if constexpr (std::is_same_v<Layout, Argb16Layout>) {
        return Argb16Callback(path);
    } else if constexpr (std::is_same_v<Layout, Bgra8Layout>) {
        return Bgra8Callback(path);
    } else {
        return Argb8Callback(path);
    }
}

// A row in runs: each run's pixels copied out (the kernel reads a whole
// run's worth, which may lie past the row's end), rendered, the pixels the
// kernel leaves taken by the plain path, and copied back.
template <class Layout>
void RenderRowInRuns(const FramePlan &plan, std::int64_t y, const typename Layout::Pixel *in,
                     typename Layout::Pixel *out, std::int64_t columns) {
    using Pixel = typename Layout::Pixel;
    const PixelStage &stage = plan.stage();
    // As large as the look-ahead runs' buffers, whatever the kernel reads.
    alignas(64) unsigned char source[CODE_RUN_PIXELS * 8] = {};
    alignas(64) unsigned char rendered[CODE_RUN_PIXELS * 8];
    for (std::int64_t x = 0; x < columns; x += CODE_RUN_PIXELS) {
        const int count = static_cast<int>(std::min<std::int64_t>(columns - x, CODE_RUN_PIXELS));
        const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(Pixel);
        std::memcpy(source, in + x, bytes);
        std::uint32_t plain =
            plan.run_kernel()(*stage.record, *stage.tables, Layout::CODE_LAYOUT, std::int64_t{stage.origin.left} + x,
                              std::int64_t{stage.origin.top} + y, count, source, rendered);
        for (; plain != 0; plain &= plain - 1) {
            const int i = __builtin_ctz(plain);
            Pixel pixel;
            std::memcpy(&pixel, source + i * sizeof(Pixel), sizeof pixel);
            Pixel result;
            Layout::Write(RenderCodes<typename Layout::Codec>(stage, static_cast<A_long>(x + i), static_cast<A_long>(y),
                                                              Layout::Read(&pixel)),
                          &result);
            std::memcpy(rendered + i * sizeof(Pixel), &result, sizeof result);
        }
        std::memcpy(out + x, rendered, bytes);
    }
}

template <class Layout>
void RenderIntegerRows(const FramePlan &plan, const FloatRowSpan &span) {
    using Pixel = typename Layout::Pixel;
    const bool in_runs = plan.integer_path() == IntegerPath::IN_RUNS;
    const PlainCallback<Layout> plain = PlainCallbackOf<Layout>(plan.plain_integer_path());
    // The callbacks only read the stage.
    void *refcon = const_cast<PixelStage *>(&plan.stage());
    for (std::int64_t y = span.first; y < span.end; ++y) {
        // Signed row distances, so bottom-up buffers work.
        auto *in = reinterpret_cast<Pixel *>(span.source_base + y * span.source_rowbytes);
        auto *out = reinterpret_cast<Pixel *>(span.destination_base + y * span.destination_rowbytes);
        if (in_runs) {
            RenderRowInRuns<Layout>(plan, y, in, out, span.columns);
            continue;
        }
        for (std::int64_t x = 0; x < span.columns; ++x) {
            plain(refcon, static_cast<A_long>(x), static_cast<A_long>(y), in + x, out + x);
        }
    }
}

template <class Layout>
void RenderIn(const FramePlan &plan, const PF_LayerDef &source, PF_LayerDef &output, A_long rows,
              const PF_Iterate8Suite1 *iterate8) {
    using Pixel = typename Layout::Pixel;
    RenderRowsInBands(plan, RowsToVisit(0, rows, &source, &output, sizeof(Pixel), alignof(Pixel)), iterate8,
                      RenderIntegerRows<Layout>);
}

}  // namespace

void RenderIntegerFrameInRows(const FramePlan &plan, const PF_LayerDef &source, PF_LayerDef &output, A_long rows,
                              const PF_Iterate8Suite1 *iterate8) {
    switch (plan.format()) {
    case PixelFormat::ARGB8:
        return RenderIn<Argb8Layout>(plan, source, output, rows, iterate8);
    case PixelFormat::ARGB16:
        return RenderIn<Argb16Layout>(plan, source, output, rows, iterate8);
    case PixelFormat::BGRA8:
        return RenderIn<Bgra8Layout>(plan, source, output, rows, iterate8);
    // Float frames have their own row loop.
    case PixelFormat::BGRA32F:
    case PixelFormat::ARGB32F:
        break;
    }
}

}  // namespace zonara
