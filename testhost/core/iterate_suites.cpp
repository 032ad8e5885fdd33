// "PF Iterate8 Suite" and "PF iterate16 Suite": the host walks the pixels and
// calls the effect back for each one, sharing rows out over its worker
// threads.
//
// Which code is returned when callbacks fail: the code of the first failing
// pixel in row order (top row first, left to right). Rows are handed out in
// increasing order; once a row has failed no later row is started, but rows
// already under way on other threads run to their end.
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <random>
#include <utility>
#include <vector>

#include "testhost/core/host_state.h"

namespace testhost::detail {
namespace {

// A buffer the suite can walk with pixels of `pixel_bytes` bytes; the deep
// flag must agree with the suite's channel size, or the walk would step
// through memory with the wrong pixel size.
bool Walkable(const PF_EffectWorld &world, int bits_per_channel, std::size_t pixel_bytes) {
    const bool deep = (world.world_flags & PF_WorldFlag_DEEP) != 0;
    if (world.data == nullptr || world.width < 0 || world.height < 0 || deep != (bits_per_channel == 16)) {
        return false;
    }
    const std::int64_t row_span = static_cast<std::int64_t>(world.width) * static_cast<std::int64_t>(pixel_bytes);
    return world.height <= 1 || std::llabs(static_cast<long long>(world.rowbytes)) >= row_span;
}

template <class Pixel>
Pixel *PixelAt(const PF_EffectWorld &world, A_long x, A_long y) {
    return reinterpret_cast<Pixel *>(reinterpret_cast<std::uint8_t *>(world.data) +
                                     static_cast<std::ptrdiff_t>(y) * world.rowbytes +
                                     static_cast<std::ptrdiff_t>(x) * static_cast<std::ptrdiff_t>(sizeof(Pixel)));
}

// The bits the SOURCE_CHANGED_AHEAD walk flips in a pixel.
void ChangeBits(PF_Pixel &pixel) { pixel.red ^= 0x35; }
void ChangeBits(PF_Pixel16 &pixel) { pixel.red ^= 0x1235; }

// Visits the row's pixels left..right-1 in the walk's order, stopping at the
// first code that is not PF_Err_NONE; change_ahead(x) runs before the call
// for x in the SOURCE_CHANGED_AHEAD walk.
template <class Visit, class ChangeAhead>
PF_Err WalkRow(PixelWalk walk, A_long left, A_long right, A_long y, Visit visit, ChangeAhead change_ahead) {
    PF_Err code = PF_Err_NONE;
    switch (walk) {
    case PixelWalk::IN_ORDER:
    case PixelWalk::SOURCE_CHANGED_AHEAD:
        for (A_long x = left; x < right && code == PF_Err_NONE; ++x) {
            if (walk == PixelWalk::SOURCE_CHANGED_AHEAD) change_ahead(x);
            code = visit(x);
        }
        return code;
    case PixelWalk::SKIPPING:
        for (A_long x = left; x < right && code == PF_Err_NONE; ++x) {
            if ((static_cast<std::int64_t>(x) + y) % 3 != 0) code = visit(x);
        }
        return code;
    case PixelWalk::SHUFFLED: {
        // The same order every run for a row: seeded by the row.
        std::mt19937 rng(static_cast<std::uint32_t>(y) * 2654435761u + 1u);
        std::uniform_int_distribution<A_long> length(1, 40);
        std::vector<std::pair<A_long, A_long>> stretches;
        for (A_long x = left; x < right;) {
            const A_long end = std::min<std::int64_t>(right, static_cast<std::int64_t>(x) + length(rng));
            stretches.emplace_back(x, end);
            x = end;
        }
        std::shuffle(stretches.begin(), stretches.end(), rng);
        for (const auto &[first, end] : stretches) {
            for (A_long x = first; x < end && code == PF_Err_NONE; ++x) code = visit(x);
        }
        return code;
    }
    }
    return code;
}

// The walk a host makes unless a test asks for another, kept tight: the
// callback, its arguments and both rows stay in registers, and the row is
// visited in two stretches, with source pixels and (past the source's
// right edge) without, instead of deciding that for every pixel. Not
// inlined: inside the suite's long function the loop's counter lived in
// memory.
template <class Pixel, class PixelFunc>
[[gnu::noinline]] PF_Err VisitInOrder(PixelFunc pix_fn, void *refcon, A_long left, A_long right, A_long source_end,
                                      A_long y, Pixel *in_row, Pixel *out_row) {
    A_long x = left;
    for (; x < source_end; ++x) {
        if (const PF_Err code = pix_fn(refcon, x, y, in_row + x, out_row + x); code != PF_Err_NONE) {
            return code;
        }
    }
    for (; x < right; ++x) {
        if (const PF_Err code = pix_fn(refcon, x, y, nullptr, out_row + x); code != PF_Err_NONE) {
            return code;
        }
    }
    return PF_Err_NONE;
}

template <class Pixel, class PixelFunc>
PF_Err Iterate(int bits_per_channel, PF_InData *in_data, A_long progress_base, A_long progress_final,
               PF_EffectWorld *src, const PF_Rect *area, void *refcon, PixelFunc pix_fn, PF_EffectWorld *dst) {
    Command *command = in_data != nullptr ? CommandFromEffectRef(in_data->effect_ref) : CurrentCommand();
    if (command == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const HostState *host = command->host;
    // Booked when the call ends, so that nothing the callbacks do can move
    // the record under the threads writing into it.
    IterateCall call;
    auto finish = [&](PF_Err code) {
        call.result = code;
        command->iterate_calls.push_back(std::move(call));
        return code;
    };
    call.bits_per_channel = bits_per_channel;
    call.progress_base = progress_base;
    call.progress_final = progress_final;
    call.whole_destination = area == nullptr;
    if (area != nullptr) {
        call.area = *area;
    }
    if (host->faults.iterate_fail_code != PF_Err_NONE) {
        return finish(host->faults.iterate_fail_code);
    }
    if (pix_fn == nullptr || dst == nullptr || !Walkable(*dst, bits_per_channel, sizeof(Pixel)) ||
        (src != nullptr && !Walkable(*src, bits_per_channel, sizeof(Pixel)))) {
        return finish(PF_Err_BAD_CALLBACK_PARAM);
    }

    // The area is in destination pixels; the part outside the destination is
    // not visited.
    PF_Rect region{0, 0, dst->width, dst->height};
    if (area != nullptr) {
        region.left = std::max(area->left, A_long{0});
        region.top = std::max(area->top, A_long{0});
        region.right = std::min(area->right, dst->width);
        region.bottom = std::min(area->bottom, dst->height);
    }
    if (region.left >= region.right || region.top >= region.bottom) {
        return finish(PF_Err_NONE);
    }
    const int rows = region.bottom - region.top;

    const PixelWalk walk = host->faults.pixel_walk;
    std::atomic<int> next_row{0};
    std::atomic<int> failed_row{INT_MAX};
    std::mutex books;
    PF_Err first_code = PF_Err_NONE;
    int rows_done = 0;

    auto walk_rows = [&] {
        CurrentCommandScope working_for(command);
        const ThreadFloatModeScope float_mode(host->faults.thread_float_mode);
        for (;;) {
            const int row = next_row.fetch_add(1);
            if (row >= rows || row > failed_row.load()) {
                return;
            }
            const A_long y = region.top + row;
            // Row pointers once per row, and the row split where the source
            // ends: where the source does not reach, the callback gets no
            // source pixel rather than memory outside the source.
            Pixel *const out_row = PixelAt<Pixel>(*dst, 0, y);
            const bool source_row = src != nullptr && y < src->height;
            Pixel *const in_row = source_row ? PixelAt<Pixel>(*src, 0, y) : nullptr;
            const A_long source_end = source_row ? std::clamp(src->width, region.left, region.right) : region.left;
            PF_Err code = PF_Err_NONE;
            auto visit = [&](A_long x) {
                return pix_fn(refcon, x, y, x < source_end ? in_row + x : nullptr, out_row + x);
            };
            try {
                if (walk == PixelWalk::IN_ORDER) {
                    code = VisitInOrder(pix_fn, refcon, region.left, region.right, source_end, y, in_row, out_row);
                } else {
                    code = WalkRow(walk, region.left, region.right, y, visit, [&](A_long x) {
                        if (x + 1 < source_end) ChangeBits(in_row[x + 1]);
                    });
                }
            } catch (...) {
                command->exception_escaped = true;
                code = PF_Err_INTERNAL_STRUCT_DAMAGED;
            }
            if (!float_mode.Unchanged()) ++command->float_mode_changes;
            std::lock_guard lock(books);
            if (code != PF_Err_NONE && row < failed_row.load()) {
                failed_row.store(row);
                first_code = code;
            }
            ++rows_done;
            const std::int64_t span = static_cast<std::int64_t>(progress_final) - progress_base;
            call.progress.push_back(static_cast<A_long>(progress_base + span * rows_done / rows));
        }
    };
    if (rows == 1) {
        walk_rows();
    } else {
        command->Pool().RunOnAll(walk_rows);
    }
    return finish(first_code);
}

PF_Err Iterate8(PF_InData *in_data, A_long progress_base, A_long progress_final, PF_EffectWorld *src,
                const PF_Rect *area, void *refcon, PF_IteratePixel8Func pix_fn, PF_EffectWorld *dst) {
    return Iterate<PF_Pixel>(8, in_data, progress_base, progress_final, src, area, refcon, pix_fn, dst);
}

PF_Err Iterate16(PF_InData *in_data, A_long progress_base, A_long progress_final, PF_EffectWorld *src,
                 const PF_Rect *area, void *refcon, PF_IteratePixel16Func pix_fn, PF_EffectWorld *dst) {
    return Iterate<PF_Pixel16>(16, in_data, progress_base, progress_final, src, area, refcon, pix_fn, dst);
}

using GenericFunc = PF_Err (*)(void *refcon, A_long thread_index, A_long i, A_long iterations);

// Hands the indices out one at a time to every worker thread; returns the
// first non-zero code in index order, after every call has returned.
PF_Err IterateGeneric(A_long iterations, void *refcon, GenericFunc fn_func) {
    Command *command = CurrentCommand();
    if (command == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const HostState *host = command->host;
    command->generic_iterations.push_back(iterations);
    if (host->faults.iterate_fail_code != PF_Err_NONE) {
        return host->faults.iterate_fail_code;
    }
    if (fn_func == nullptr || iterations < 0) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const bool erratic = host->faults.generic_iteration_erratic;
    std::atomic<A_long> next{0};
    std::atomic<A_long> next_thread{0};
    std::atomic<A_long> failed_index{INT_MAX};
    std::atomic<PF_Err> first_code{PF_Err_NONE};
    std::mutex books;
    auto work = [&] {
        CurrentCommandScope working_for(command);
        const ThreadFloatModeScope float_mode(host->faults.thread_float_mode);
        const A_long thread_index = next_thread.fetch_add(1);
        for (A_long i = next.fetch_add(1); i < iterations; i = next.fetch_add(1)) {
            if (erratic && i % 2 != 0) {
                continue;
            }
            PF_Err code = PF_Err_NONE;
            for (int repeat = 0; repeat < (erratic ? 2 : 1) && code == PF_Err_NONE; ++repeat) {
                try {
                    code = fn_func(refcon, thread_index, i, iterations);
                } catch (...) {
                    command->exception_escaped = true;
                    code = PF_Err_INTERNAL_STRUCT_DAMAGED;
                }
                if (!float_mode.Unchanged()) ++command->float_mode_changes;
            }
            std::lock_guard lock(books);
            if (code != PF_Err_NONE && i < failed_index.load()) {
                failed_index.store(i);
                first_code.store(code);
            }
        }
    };
    command->Pool().RunOnAll(work);
    return first_code.load();
}

constexpr PF_Iterate8Suite1 ITERATE8_SUITE = [] {
    PF_Iterate8Suite1 suite{};
    suite.iterate = Iterate8;
    suite.iterate_generic = IterateGeneric;
    return suite;
}();
constexpr PF_iterate16Suite1 ITERATE16_SUITE = [] {
    PF_iterate16Suite1 suite{};
    suite.iterate = Iterate16;
    return suite;
}();

}  // namespace

const PF_Iterate8Suite1 *Iterate8Suite() { return &ITERATE8_SUITE; }
const PF_iterate16Suite1 *Iterate16Suite() { return &ITERATE16_SUITE; }

}  // namespace testhost::detail
