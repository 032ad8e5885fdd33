// The vector kernels' own power against the standard one: over 10^8 (base,
// exponent) pairs spread across what the grade can feed it (pixel values,
// CDL bases, every float, reciprocal gammas from the sliders' products) and
// its edges, the relative error stays within the bound the kernel states for
// each lane, and every level computes the same bits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "render/accelerators/constant_powers.h"
#include "render/frame/simd_level.h"
#include "render/lanes/lane_kernels.h"
#include "support/levels.h"

namespace {

using namespace zonara;

#ifdef NDEBUG
constexpr std::size_t PAIRS = 100'000'000;
#else
constexpr std::size_t PAIRS = 2'000'000;  // unoptimised sanitizer builds
#endif
constexpr std::size_t BLOCK = 1 << 16;

PowerBlock BlockFor(SimdLevel level) {
    switch (level) {
    case SimdLevel::AVX512:
        return &lanes_avx512::PowerOfBlock;
    case SimdLevel::AVX2:
        return &lanes_avx2::PowerOfBlock;
    default:
        return &lanes_baseline::PowerOfBlock;
    }
}

ConstantPowerBlock ConstantBlockFor(SimdLevel level) {
    switch (level) {
    case SimdLevel::AVX512:
        return &lanes_avx512::ConstantPowerOfBlock;
    case SimdLevel::AVX2:
        return &lanes_avx2::ConstantPowerOfBlock;
    default:
        return &lanes_baseline::ConstantPowerOfBlock;
    }
}

// A small fast generator: the test's time should go to the powers.
struct SplitMix {
    std::uint64_t state;
    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
};

float FloatOfBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Bases as single-precision values, as every grade power gets them.
double Base(SplitMix &rng) {
    switch (rng.Next() % 4) {
    case 0:
        return static_cast<float>(rng.Unit());  // pixel values
    case 1:
        return static_cast<float>(static_cast<int>(rng.Next() % 256) / 255.0);  // 8-bit codes
    case 2:
        return FloatOfBits(static_cast<std::uint32_t>(rng.Next() % 0x7F800000u));  // any positive float
    default:
        return static_cast<float>(rng.Unit() * 100.0 * 1.2 - 10.0);  // CDL bases, some negative
    }
}

// Exponents as the record's reciprocal gammas: 1 / (master x channel), each
// gamma from the slider's range 0..10, rounded to single.
double Exponent(SplitMix &rng) {
    switch (rng.Next() % 3) {
    case 0: {
        const double master = static_cast<float>(rng.Unit() * 10.0);
        const double channel = static_cast<float>(rng.Unit() * 10.0);
        const float m = static_cast<float>(1.0 / master);
        return static_cast<float>((1.0 / channel) * static_cast<double>(m));
    }
    case 1:
        return static_cast<float>(std::exp2(rng.Unit() * 30.0 - 15.0));  // log-uniform
    default:
        return static_cast<float>(rng.Unit() * 4.0);
    }
}

struct Edges {
    std::vector<double> base, exponent;
};

Edges EdgePairs() {
    const double bases[] = {0.0,
                            -0.0,
                            std::numeric_limits<float>::denorm_min(),
                            std::numeric_limits<float>::min(),
                            1e-30,
                            1.0 / 255.0,
                            0.5,
                            std::nextafter(1.0f, 0.0f),
                            1.0,
                            std::nextafter(1.0f, 2.0f),
                            2.0,
                            255.0,
                            1e30,
                            std::numeric_limits<float>::max(),
                            -0.5,
                            -1.0,
                            std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN()};
    const double exponents[] = {0.0,
                                0.01,
                                0.1,
                                0.454,
                                0.5,
                                1.0,
                                2.0,
                                2.5,
                                10.0,
                                100.0,
                                1e4,
                                -1.0,
                                -0.5,
                                std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN()};
    Edges edges;
    for (double b : bases) {
        for (double e : exponents) {
            edges.base.push_back(b);
            edges.exponent.push_back(e);
        }
    }
    return edges;
}

struct Findings {
    std::size_t checked = 0;
    std::size_t trusted = 0;
    std::size_t beyond_bound = 0;
    double worst_share_of_bound = 0.0;  // largest error / bound seen
};

void Check(const double *base, const double *exponent, const double *result, const double *bound, std::size_t n,
           Findings &findings) {
    for (std::size_t i = 0; i < n; ++i) {
        ++findings.checked;
        if (bound[i] == 0.0) continue;
        ++findings.trusted;
        const double expected = std::pow(base[i], exponent[i]);
        const double error = std::fabs(result[i] - expected);
        const double allowed = bound[i] * std::fabs(expected);
        if (!(error <= allowed)) {
            if (findings.beyond_bound++ < 5) {
                ADD_FAILURE() << "pow(" << base[i] << ", " << exponent[i] << "): " << result[i] << " against "
                              << expected << ", bound " << bound[i];
            }
            continue;
        }
        if (allowed > 0.0) findings.worst_share_of_bound = std::max(findings.worst_share_of_bound, error / allowed);
    }
}

TEST(LanePower, WithinTheStatedBoundOverAHundredMillionPairs) {
    const PowerBlock power = BlockFor(DetectedSimdLevel());
    SplitMix rng{20261207};
    std::vector<double> base(BLOCK), exponent(BLOCK), result(BLOCK), bound(BLOCK);
    Findings findings;
    for (std::size_t done = 0; done < PAIRS; done += BLOCK) {
        for (std::size_t i = 0; i < BLOCK; ++i) {
            base[i] = Base(rng);
            exponent[i] = Exponent(rng);
        }
        power(base.data(), exponent.data(), result.data(), bound.data(), BLOCK);
        Check(base.data(), exponent.data(), result.data(), bound.data(), BLOCK, findings);
    }
    const Edges edges = EdgePairs();
    const std::size_t n = edges.base.size();
    result.assign(n, 0.0);
    bound.assign(n, 0.0);
    power(edges.base.data(), edges.exponent.data(), result.data(), bound.data(), n);
    Check(edges.base.data(), edges.exponent.data(), result.data(), bound.data(), n, findings);

    EXPECT_EQ(findings.beyond_bound, 0u);
    // The grade's ordinary pairs are nearly all within the trusted domain.
    EXPECT_GT(findings.trusted, findings.checked / 2);
    RecordProperty("worst_share_of_bound", std::to_string(findings.worst_share_of_bound));
    std::printf("%zu pairs, %zu trusted, worst error %.4f of the bound\n", findings.checked, findings.trusted,
                findings.worst_share_of_bound);
}

// Lanes the kernel must not vouch for go to the host's power.
TEST(LanePower, OutsideItsDomainTheKernelDoesNotTrustItself) {
    // clang-format off
    const double cases[][2] = {
        {-0.5, 0.5}, {-0.0, 2.0}, {0.0, -1.0}, {0.0, 0.0}, {std::numeric_limits<double>::infinity(), 0.5},
        {std::numeric_limits<double>::quiet_NaN(), 1.0}, {0.5, std::numeric_limits<double>::infinity()},
        {0.5, std::numeric_limits<double>::quiet_NaN()}, {1e-30, 1e4}, {1e30, 100.0},
    };
    // clang-format on
    for (SimdLevel level : zonara_test::VectorLevelsOfThisMachine()) {
        for (const auto &c : cases) {
            double result = 0.0, bound = 1.0;
            BlockFor(level)(&c[0], &c[1], &result, &bound, 1);
            EXPECT_EQ(bound, 0.0) << SimdLevelName(level) << " pow(" << c[0] << ", " << c[1] << ")";
        }
    }
}

TEST(LanePower, EveryLevelComputesTheSameBits) {
    constexpr std::size_t N = 1 << 18;
    SplitMix rng{99};
    std::vector<double> base(N), exponent(N);
    for (std::size_t i = 0; i < N; ++i) {
        base[i] = Base(rng);
        exponent[i] = Exponent(rng);
    }
    std::vector<double> first_result(N), first_bound(N);
    BlockFor(SimdLevel::BASELINE)(base.data(), exponent.data(), first_result.data(), first_bound.data(), N);
    for (SimdLevel level : zonara_test::VectorLevelsOfThisMachine()) {
        if (level == SimdLevel::BASELINE) continue;  // the one compared against
        std::vector<double> result(N), bound(N);
        BlockFor(level)(base.data(), exponent.data(), result.data(), bound.data(), N);
        EXPECT_EQ(std::memcmp(result.data(), first_result.data(), N * sizeof(double)), 0) << SimdLevelName(level);
        EXPECT_EQ(std::memcmp(bound.data(), first_bound.data(), N * sizeof(double)), 0) << SimdLevelName(level);
    }
}

// The fixed-exponent power from tables, over 10^8 pairs too: a thousand
// exponents as the sliders make them (and the edges of the range the tables
// serve), each with 10^5 bases, both sides' tables, within the bound stated
// for each; and every level computes the same bits.
TEST(LanePower, FixedExponentTablesWithinTheirBound) {
    constexpr int EXPONENTS = 1000;
    constexpr std::size_t BASES_EACH = PAIRS / EXPONENTS;
    const ConstantPowerBlock power = ConstantBlockFor(DetectedSimdLevel());
    auto powers = std::make_unique<ConstantPowers>();
    ClearConstantPowers(*powers);
    SplitMix rng{7};
    std::vector<float> base(BASES_EACH);
    std::vector<double> wide_base(BASES_EACH), result(BASES_EACH), bound(BASES_EACH);
    Findings findings;
    const double edge_exponents[] = {std::numeric_limits<float>::denorm_min(), 1e-30, 0.01, 0.5, 1.0, 2.0, 7.999999f,
                                     ConstantPowers::LARGEST_EXPONENT};
    for (int e = 0; e < EXPONENTS; ++e) {
        double y = e < static_cast<int>(std::size(edge_exponents)) ? edge_exponents[e] : Exponent(rng);
        if (!(y > 0.0 && y <= ConstantPowers::LARGEST_EXPONENT)) y = static_cast<float>(rng.Unit() * 8.0);
        const int channel = e % CHANNEL_COUNT;
        const int side = (e / CHANNEL_COUNT) % 2;
        FillConstantPower(*powers, channel, side, y);
        ASSERT_TRUE(powers->usable[channel][side]) << y;
        for (std::size_t i = 0; i < BASES_EACH; ++i) {
            base[i] = static_cast<float>(Base(rng));
            wide_base[i] = base[i];
        }
        power(*powers, channel, side, base.data(), result.data(), bound.data(), BASES_EACH);
        const std::vector<double> exponent(BASES_EACH, y);
        Check(wide_base.data(), exponent.data(), result.data(), bound.data(), BASES_EACH, findings);
    }
    EXPECT_EQ(findings.beyond_bound, 0u);
    // Bases below zero, subnormals and the rare 2^(e y) beyond the tables'
    // range are not trusted; the rest are.
    EXPECT_GT(findings.trusted, findings.checked * 3 / 4);
    std::printf("%zu pairs, %zu trusted, worst error %.4f of the bound\n", findings.checked, findings.trusted,
                findings.worst_share_of_bound);
}

TEST(LanePower, FixedExponentTablesServeOnlyTheirDomain) {
    auto powers = std::make_unique<ConstantPowers>();
    ClearConstantPowers(*powers);
    // Exponents the tables do not serve leave them unusable.
    for (const double y :
         {0.0, -1.0, 8.5, 100.0, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        FillConstantPower(*powers, 0, SIDE_INSIDE, y);
        EXPECT_FALSE(powers->usable[0][SIDE_INSIDE]) << y;
    }
    FillConstantPower(*powers, 1, SIDE_OUTSIDE, 8.0);
    const float bases[] = {-0.5f,
                           -0.0f,
                           std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(),
                           1e-45f /* a subnormal */,
                           std::numeric_limits<float>::min() /* 2^(e y) below the range */,
                           std::numeric_limits<float>::max() /* 2^(e y) above it */};
    for (SimdLevel level : zonara_test::VectorLevelsOfThisMachine()) {
        for (const float x : bases) {
            double result = 0.0, bound = 1.0;
            ConstantBlockFor(level)(*powers, 1, SIDE_OUTSIDE, &x, &result, &bound, 1);
            EXPECT_EQ(bound, 0.0) << SimdLevelName(level) << " x " << x;
        }
        // An unusable side is never trusted, whatever the base.
        const float x = 0.5f;
        double result = 0.0, bound = 1.0;
        ConstantBlockFor(level)(*powers, 1, SIDE_INSIDE, &x, &result, &bound, 1);
        EXPECT_EQ(bound, 0.0) << SimdLevelName(level);
    }
}

// +0 to a (positive) power is +0 exactly, from the lane's own side's tables
// and series, whatever the other side's hold.
TEST(LanePower, FixedExponentTablesGiveZeroForAZeroBase) {
    for (const int side : {SIDE_OUTSIDE, SIDE_INSIDE}) {
        auto powers = std::make_unique<ConstantPowers>();
        ClearConstantPowers(*powers);
        const int other = 1 - side;
        const double poison = std::numeric_limits<double>::quiet_NaN();
        for (int j = 0; j < ConstantPowers::MANTISSA_ENTRIES; ++j) {
            powers->mantissa_power[0][other * ConstantPowers::MANTISSA_ENTRIES + j] = poison;
        }
        for (int e = 0; e < ConstantPowers::EXPONENT_ENTRIES; ++e) {
            powers->exponent_power[0][other * ConstantPowers::EXPONENT_ENTRIES + e] = poison;
        }
        for (double &term : powers->coefficient[0][other]) term = poison;
        powers->bound[0][other] = poison;
        FillConstantPower(*powers, 0, side, 0.5);
        for (SimdLevel level : zonara_test::VectorLevelsOfThisMachine()) {
            // A whole register of them, so that no other base picks the side.
            constexpr std::size_t COUNT = 16;
            const std::vector<float> zeros(COUNT, 0.0f);
            std::vector<double> result(COUNT, 1.0), bound(COUNT, 0.0);
            ConstantBlockFor(level)(*powers, 0, side, zeros.data(), result.data(), bound.data(), COUNT);
            for (std::size_t i = 0; i < COUNT; ++i) {
                EXPECT_GT(bound[i], 0.0) << SimdLevelName(level) << " side " << side;
                EXPECT_FALSE(std::signbit(result[i])) << SimdLevelName(level) << " side " << side;
                EXPECT_EQ(result[i], 0.0) << SimdLevelName(level) << " side " << side;
            }
        }
    }
}

TEST(LanePower, FixedExponentTablesGiveTheSameBitsAtEveryLevel) {
    constexpr std::size_t N = 1 << 16;
    auto powers = std::make_unique<ConstantPowers>();
    ClearConstantPowers(*powers);
    FillConstantPower(*powers, 2, SIDE_INSIDE, static_cast<float>(1.0 / 2.2));
    SplitMix rng{3};
    std::vector<float> base(N);
    for (float &b : base) b = static_cast<float>(Base(rng));
    std::vector<double> first_result(N), first_bound(N);
    ConstantBlockFor(SimdLevel::BASELINE)(*powers, 2, SIDE_INSIDE, base.data(), first_result.data(), first_bound.data(),
                                          N);
    for (SimdLevel level : zonara_test::VectorLevelsOfThisMachine()) {
        if (level == SimdLevel::BASELINE) continue;  // the one compared against
        std::vector<double> result(N), bound(N);
        ConstantBlockFor(level)(*powers, 2, SIDE_INSIDE, base.data(), result.data(), bound.data(), N);
        EXPECT_EQ(std::memcmp(result.data(), first_result.data(), N * sizeof(double)), 0) << SimdLevelName(level);
        EXPECT_EQ(std::memcmp(bound.data(), first_bound.data(), N * sizeof(double)), 0) << SimdLevelName(level);
    }
}

}  // namespace
