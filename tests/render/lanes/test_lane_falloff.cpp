// The feather band's curves with powers in the vector kernel: where a lane
// keeps its own result, it is the scalar curve's to the bit, across the
// band's positions and the values rounding makes of them (just below 0,
// just above 1, not a number); and the kernel keeps nearly every lane, or
// the band would gain nothing from vectors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "render/formula/window_weight.h"
#include "render/frame/simd_level.h"
#include "render/lanes/lane_kernels.h"
#include "support/levels.h"

namespace {

using namespace zonara;

FalloffBlock FalloffBlockFor(SimdLevel level) {
    switch (level) {
    case SimdLevel::AVX512:
        return &lanes_avx512::FalloffOfBlock;
    case SimdLevel::AVX2:
        return &lanes_avx2::FalloffOfBlock;
    default:
        return &lanes_baseline::FalloffOfBlock;
    }
}

constexpr int EVEN_STEPS = 1 << 16;

// First the band's positions evenly spread, as a band's pixels are; then
// every float in [0, 1] with a 12-bit stride, so every exponent and a
// spread of mantissas; a dense run below 1; and the edges.
std::vector<float> BandPositions() {
    std::vector<float> t;
    for (int i = 0; i < EVEN_STEPS; ++i) t.push_back(static_cast<float>(i) / EVEN_STEPS);
    for (std::uint32_t bits = 0; bits <= 0x3F800000u; bits += 0x1000u) {
        float f;
        std::memcpy(&f, &bits, sizeof f);
        t.push_back(f);
    }
    for (int i = 0; i < 4096; ++i) t.push_back(std::nextafter(1.0f, 0.0f) - static_cast<float>(i) * 1e-7f);
    const float edges[] = {0.0f,
                           -0.0f,
                           -1e-7f,
                           -1.0f,
                           1.0f,
                           std::nextafter(1.0f, 2.0f),
                           1.5f,
                           std::numeric_limits<float>::denorm_min(),
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity()};
    t.insert(t.end(), std::begin(edges), std::end(edges));
    return t;
}

TEST(LaneFalloff, KeptLanesAreTheScalarCurvesBitForBit) {
    const std::vector<float> t = BandPositions();
    std::vector<float> result(t.size());
    std::vector<std::uint8_t> kept(t.size());
    for (const FalloffRow &curve : FALLOFF_CHOICES) {
        if (curve.form != FalloffForm::POWERS) continue;
        WindowRenderParams record{};
        record.falloff = curve.value;
        for (SimdLevel level : zonara_test::VectorLevelsOfThisMachine()) {
            SCOPED_TRACE(std::string(SimdLevelName(level)) + ", " + curve.label);
            FalloffBlockFor(level)(curve.value, t.data(), result.data(), kept.data(), t.size());
            std::size_t kept_evenly = 0;
            for (std::size_t i = 0; i < t.size(); ++i) {
                if (i < EVEN_STEPS) kept_evenly += kept[i];
                if (kept[i] == 0) continue;
                const float want = static_cast<float>(ApplyFalloff(record, static_cast<double>(t[i])));
                ASSERT_EQ(std::memcmp(&result[i], &want, sizeof want), 0)
                    << "t = " << t[i] << ": kernel " << result[i] << ", scalar " << want;
            }
            // The Gaussian loses the lanes near the inner edge, where 1 less a
            // power near 1 leaves few of the power's bits.
            EXPECT_GT(kept_evenly * 1000, EVEN_STEPS * 995u) << kept_evenly << " of " << EVEN_STEPS;
        }
    }
}

}  // namespace
