#include "render/drivers/float_frame_bands.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "common/standard_float_mode.h"
#include "render/drivers/render_float_frame.h"

namespace zonara {
namespace {

struct BandJob {
    const FramePlan *plan = nullptr;
    RowsRenderer render_rows = nullptr;
    FloatRowSpan span;
    std::int64_t band_rows = 0;
    A_long bands = 0;
    // Set by whoever renders the band first: a host that calls one index
    // twice, or a band finished here after a failed call, is never graded a
    // second time.
    std::array<std::atomic<bool>, MAX_FLOAT_BANDS> claimed{};
};

void RenderBand(BandJob &job, A_long band) {
    if (band < 0 || band >= job.bands || job.claimed[static_cast<std::size_t>(band)].exchange(true)) {
        return;
    }
    FloatRowSpan rows = job.span;
    rows.first = job.span.first + band * job.band_rows;
    rows.end = std::min(job.span.end, rows.first + job.band_rows);
    job.render_rows(*job.plan, rows);
}

void RenderFloatRowsOfPlan(const FramePlan &plan, const FloatRowSpan &rows) {
    RenderFloatFrame(plan.stage(), plan.float_kernel(), rows);
}

// Called on the host's threads; nothing may be thrown back into the host,
// and the thread's floating-point mode may be another.
PF_Err RenderBandOnHostThread(void *refcon, A_long, A_long band, A_long) {
    const StandardFloatMode standard_mode;
    try {
        RenderBand(*static_cast<BandJob *>(refcon), band);
    } catch (...) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    return PF_Err_NONE;
}

}  // namespace

void RenderFloatFrameInBands(const FramePlan &plan, const FloatRowSpan &span, const PF_Iterate8Suite1 *iterate8) {
    RenderRowsInBands(plan, span, plan.float_bands() ? iterate8 : nullptr, RenderFloatRowsOfPlan);
}

void RenderRowsInBands(const FramePlan &plan, const FloatRowSpan &span, const PF_Iterate8Suite1 *iterate8,
                       RowsRenderer render_rows) {
    const std::int64_t rows = span.end - span.first;
    if (iterate8 == nullptr || iterate8->iterate_generic == nullptr || rows < 2 * FLOAT_BAND_ROWS) {
        render_rows(plan, span);
        return;
    }
    BandJob job;
    job.plan = &plan;
    job.render_rows = render_rows;
    job.span = span;
    job.band_rows = std::max(FLOAT_BAND_ROWS, (rows + MAX_FLOAT_BANDS - 1) / MAX_FLOAT_BANDS);
    job.bands = static_cast<A_long>((rows + job.band_rows - 1) / job.band_rows);
    // The host's answer decides nothing: whatever it left undone is done here.
    static_cast<void>(iterate8->iterate_generic(job.bands, &job, RenderBandOnHostThread));
    for (A_long band = 0; band < job.bands; ++band) {
        RenderBand(job, band);
    }
}

}  // namespace zonara
