// The iterate suites as the effect meets them through the basic suite:
// every destination pixel visited once with its own position and the source
// pixel at the same place, on the host's worker threads, with the first
// failure in row order reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "testhost/core/host.h"

namespace {

using testhost::Host;
using testhost::HostApp;
using testhost::Layer;
using testhost::PixelFormat;

// Watches the callbacks of one iterate call.
struct Probe {
    Layer *src = nullptr;
    Layer *dst = nullptr;
    std::vector<std::atomic<int>> visits;
    std::atomic<int> wrong_pointers{0};
    std::map<std::pair<int, int>, PF_Err> failures;  // read-only during the walk

    Probe(Layer *source, Layer &destination)
        : src(source),
          dst(&destination),
          visits(static_cast<std::size_t>(destination.width() * destination.height())) {}

    PF_Err Visit(A_long x, A_long y, const void *in, const void *out) {
        const bool src_covers = src != nullptr && x < src->width() && y < src->height();
        const void *expected_in = src_covers ? src->PixelAddress(x, y) : nullptr;
        if (out != dst->PixelAddress(x, y) || in != expected_in) {
            ++wrong_pointers;
        }
        ++visits[static_cast<std::size_t>(y * dst->width() + x)];
        const auto failure = failures.find({x, y});
        return failure != failures.end() ? failure->second : PF_Err_NONE;
    }
};

PF_Err Visit8(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out) {
    return static_cast<Probe *>(refcon)->Visit(x, y, in, out);
}
PF_Err Visit16(void *refcon, A_long x, A_long y, PF_Pixel16 *in, PF_Pixel16 *out) {
    return static_cast<Probe *>(refcon)->Visit(x, y, in, out);
}

// Calls the suite as an effect does: acquire, iterate, release.
PF_Err RunIterate(Host &host, int bits, Probe &probe, const PF_Rect *area, A_long progress_final) {
    testhost::EffectFunction effect = [&](PF_Cmd, PF_InData *in_data, PF_OutData *, PF_ParamDef **, PF_LayerDef *output,
                                          void *) -> PF_Err {
        const char *name = bits == 16 ? kPFIterate16Suite : kPFIterate8Suite;
        const void *suite = nullptr;
        if (in_data->pica_basicP->AcquireSuite(name, 1, &suite) != kSPNoError) {
            return PF_Err_BAD_CALLBACK_PARAM;
        }
        PF_EffectWorld *src = probe.src != nullptr ? &probe.src->def() : nullptr;
        const PF_Err err = bits == 16 ? static_cast<const PF_iterate16Suite1 *>(suite)->iterate(
                                            in_data, 0, progress_final, src, area, &probe, Visit16, output)
                                      : static_cast<const PF_Iterate8Suite1 *>(suite)->iterate(
                                            in_data, 0, progress_final, src, area, &probe, Visit8, output);
        in_data->pica_basicP->ReleaseSuite(name, 1);
        return err;
    };
    return host.SendTo(effect, PF_Cmd_RENDER, &probe.dst->def());
}

struct WalkCase {
    HostApp app;
    PixelFormat format;
    int bits;
    int width, height;
    int src_width, src_height;  // 0: no source layer
    std::optional<PF_Rect> area;
    int threads;
    bool bottom_up;
};

TEST(Iterate, VisitsEveryPixelOfTheAreaOnceWithItsPosition) {
    const WalkCase cases[] = {
        {HostApp::kAfterEffects, PixelFormat::ARGB8, 8, 37, 23, 37, 23, std::nullopt, 1, false},
        {HostApp::kAfterEffects, PixelFormat::ARGB8, 8, 37, 23, 37, 23, std::nullopt, 4, true},
        {HostApp::kAfterEffects, PixelFormat::ARGB16, 16, 64, 61, 64, 61, std::nullopt, 3, false},
        {HostApp::kAfterEffects, PixelFormat::ARGB16, 16, 16, 40, 16, 40, PF_Rect{3, 5, 11, 39}, 4, true},
        {HostApp::kAfterEffects, PixelFormat::ARGB8, 8, 20, 20, 20, 20, PF_Rect{-5, -5, 4, 30}, 2, false},
        {HostApp::kAfterEffects, PixelFormat::ARGB8, 8, 20, 20, 20, 20, PF_Rect{8, 8, 8, 12}, 2, false},
        {HostApp::kAfterEffects, PixelFormat::ARGB8, 8, 30, 30, 12, 9, std::nullopt, 4, false},
        {HostApp::kAfterEffects, PixelFormat::ARGB8, 8, 9, 1, 0, 0, std::nullopt, 4, false},
        {HostApp::kPremiere, PixelFormat::BGRA8, 8, 33, 17, 33, 17, std::nullopt, 4, true},
    };
    for (const WalkCase &c : cases) {
        Host host(nullptr, c.app);
        host.SetWorkerThreads(c.threads);
        testhost::LayerOptions options;
        options.bottom_up = c.bottom_up;
        options.row_padding_bytes = 8;
        Layer dst(c.format, c.width, c.height, options);
        std::unique_ptr<Layer> src;
        if (c.src_width > 0) {
            src = std::make_unique<Layer>(c.format, c.src_width, c.src_height, options);
        }
        Probe probe(src.get(), dst);
        const PF_Rect *area = c.area ? &*c.area : nullptr;
        const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) + " threads " +
                                 std::to_string(c.threads) + (area ? " with area" : "");

        EXPECT_EQ(RunIterate(host, c.bits, probe, area, 500), PF_Err_NONE) << what;

        const PF_Rect visited = area ? *area : PF_Rect{0, 0, c.width, c.height};
        int expected_rows = 0;
        for (int y = 0; y < c.height; ++y) {
            expected_rows += y >= visited.top && y < visited.bottom && visited.left < visited.right ? 1 : 0;
            for (int x = 0; x < c.width; ++x) {
                const bool inside = x >= visited.left && x < visited.right && y >= visited.top && y < visited.bottom;
                ASSERT_EQ(probe.visits[static_cast<std::size_t>(y * c.width + x)], inside ? 1 : 0)
                    << what << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(probe.wrong_pointers, 0) << what;
        EXPECT_TRUE(dst.GuardsIntact()) << what;
        EXPECT_TRUE(host.suites().BalancedSinceLastCommand()) << what;

        ASSERT_EQ(host.iterate_calls().size(), 1u) << what;
        const testhost::IterateCall &call = host.iterate_calls().front();
        EXPECT_EQ(call.bits_per_channel, c.bits);
        EXPECT_EQ(call.whole_destination, area == nullptr);
        EXPECT_EQ(call.progress_final, 500);
        ASSERT_EQ(static_cast<int>(call.progress.size()), expected_rows) << what;
        for (std::size_t i = 1; i < call.progress.size(); ++i) {
            EXPECT_LE(call.progress[i - 1], call.progress[i]) << what;
        }
        if (!call.progress.empty()) {
            EXPECT_EQ(call.progress.back(), 500) << what;
        }
    }
}

struct FailureCase {
    std::map<std::pair<int, int>, PF_Err> failures;
    PF_Err expected;
};

TEST(Iterate, ReturnsTheFirstFailureInRowOrder) {
    const FailureCase cases[] = {
        {{}, PF_Err_NONE},
        {{{{3, 5}, 7}}, 7},
        {{{{3, 50}, 9}, {{3, 5}, 7}}, 7},    // a later row failing on another thread does not win
        {{{{6, 2}, 11}, {{2, 2}, 12}}, 12},  // within a row, leftmost first
        {{{{0, 63}, 13}}, 13},
    };
    for (int threads : {1, 4}) {
        for (const FailureCase &c : cases) {
            Host host(nullptr, HostApp::kAfterEffects);
            host.SetWorkerThreads(threads);
            Layer src(PixelFormat::ARGB8, 8, 64);
            Layer dst(PixelFormat::ARGB8, 8, 64);
            Probe probe(&src, dst);
            probe.failures = c.failures;
            EXPECT_EQ(RunIterate(host, 8, probe, nullptr, 64), c.expected) << "threads " << threads;
            EXPECT_EQ(host.iterate_calls().front().result, c.expected);
            // Every row before the first failing one was walked to its end.
            int first_failing_row = 64;
            for (const auto &[position, code] : c.failures) {
                first_failing_row = std::min(first_failing_row, position.second);
            }
            for (int y = 0; y < first_failing_row; ++y) {
                EXPECT_EQ(probe.visits[static_cast<std::size_t>(y * 8 + 7)], 1) << "row " << y;
            }
        }
    }
}

TEST(Iterate, RefusesWalksItCannotDoSafely) {
    struct RefusalCase {
        const char *what;
        PixelFormat format;
        int bits;
        PF_Err injected;
        PF_Err expected;
    };
    const RefusalCase cases[] = {
        {"16-bit walk of an 8-bit buffer", PixelFormat::ARGB8, 16, PF_Err_NONE, PF_Err_BAD_CALLBACK_PARAM},
        {"8-bit walk of a deep buffer", PixelFormat::ARGB16, 8, PF_Err_NONE, PF_Err_BAD_CALLBACK_PARAM},
        {"injected failure", PixelFormat::ARGB8, 8, PF_Err_OUT_OF_MEMORY, PF_Err_OUT_OF_MEMORY},
    };
    for (const RefusalCase &c : cases) {
        Host host(nullptr, HostApp::kAfterEffects);
        host.faults().iterate_fail_code = c.injected;
        Layer src(c.format, 5, 5);
        Layer dst(c.format, 5, 5);
        Probe probe(&src, dst);
        EXPECT_EQ(RunIterate(host, c.bits, probe, nullptr, 5), c.expected) << c.what;
        for (const auto &visits : probe.visits) {
            EXPECT_EQ(visits, 0) << c.what;
        }
        EXPECT_TRUE(dst.GuardsIntact());
    }
}

TEST(Iterate, KeepsItsThreadsBetweenFrames) {
    Host host(nullptr, HostApp::kAfterEffects);
    host.SetWorkerThreads(3);
    Layer dst(PixelFormat::ARGB8, 4, 32);
    for (int frame = 0; frame < 20; ++frame) {
        Probe probe(nullptr, dst);
        ASSERT_EQ(RunIterate(host, 8, probe, nullptr, 32), PF_Err_NONE);
        for (const auto &visits : probe.visits) {
            ASSERT_EQ(visits, 1) << "frame " << frame;
        }
    }
}

}  // namespace
