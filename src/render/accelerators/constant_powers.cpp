#include "render/accelerators/constant_powers.h"

#include <cmath>
#include <cstring>
#include <type_traits>

namespace zonara {
namespace {

// The kernel's 2^(e y) must stay well inside the normal range, so that with
// c^y (below 2^LARGEST_EXPONENT) and the series (about 1) neither product
// overflows nor loses precision.
constexpr double LARGEST_TRUSTED_SCALE = 0x1p1000;
constexpr double SMALLEST_TRUSTED_SCALE = 0x1p-1000;

// The entries are computed in extended precision and rounded once, so each
// is within half a unit in the last place of the true value whatever the
// platform's double-precision pow achieves.
double RoundedPower(long double base, long double exponent) { return static_cast<double>(std::pow(base, exponent)); }

// An array of doubles, however many dimensions, set to +0 (all bits clear).
template <class DoubleArray>
void ZeroDoubles(DoubleArray &array) {
    static_assert(std::is_same_v<std::remove_all_extents_t<DoubleArray>, double>, "an array of doubles");
    std::memset(&array, 0, sizeof array);
}

}  // namespace

void ClearConstantPowers(ConstantPowers &powers) {
    // Every lane looks its side's tables up, served or not: zeros, never
    // whatever the memory held, in the tables of a side left unfilled.
    ZeroDoubles(powers.mantissa_power);
    ZeroDoubles(powers.exponent_power);
    ZeroDoubles(powers.coefficient);
    ZeroDoubles(powers.bound);
    for (int j = 0; j < ConstantPowers::MANTISSA_ENTRIES; ++j) {
        const double cut = 1.0 + static_cast<double>(j) / ConstantPowers::MANTISSA_ENTRIES;
        powers.reciprocal[j] = std::ldexp(1.0 / cut, -23);
    }
    for (int k = 0; k < CHANNEL_COUNT; ++k) {
        for (int side = 0; side < 2; ++side) powers.usable[k][side] = false;
    }
}

void FillConstantPower(ConstantPowers &powers, int channel, int side, double y) {
    powers.usable[channel][side] = false;
    if (!(y > 0.0 && y <= ConstantPowers::LARGEST_EXPONENT)) return;
    for (int j = 0; j < ConstantPowers::MANTISSA_ENTRIES; ++j) {
        const long double cut = 1.0L + static_cast<long double>(j) / ConstantPowers::MANTISSA_ENTRIES;
        powers.mantissa_power[channel][side * ConstantPowers::MANTISSA_ENTRIES + j] = RoundedPower(cut, y);
    }
    for (int i = 0; i < ConstantPowers::EXPONENT_ENTRIES; ++i) {
        const double scale = RoundedPower(2.0L, static_cast<long double>(i - ConstantPowers::EXPONENT_BIAS) * y);
        const bool normal = i > 0 && i < ConstantPowers::EXPONENT_ENTRIES - 1;
        const bool trusted = normal && scale >= SMALLEST_TRUSTED_SCALE && scale <= LARGEST_TRUSTED_SCALE;
        powers.exponent_power[channel][side * ConstantPowers::EXPONENT_ENTRIES + i] = trusted ? scale : 0.0;
    }
    // (1 + t)^y = sum over n of binomial(y, n) t^n.
    double binomial = 1.0;
    for (int n = 1; n <= ConstantPowers::SERIES_TERMS; ++n) {
        binomial = binomial * (y - (n - 1)) / n;
        powers.coefficient[channel][side][n - 1] = binomial;
    }
    // The series' tail past the last term: with 0 <= t < 2^-MANTISSA_BITS
    // and y at most 8, each further term is below half the one before, so
    // the tail is below twice its first term.
    const double next = std::fabs(binomial * (y - ConstantPowers::SERIES_TERMS) / (ConstantPowers::SERIES_TERMS + 1));
    const double tail =
        2.0 * next * std::ldexp(1.0, -ConstantPowers::MANTISSA_BITS * (ConstantPowers::SERIES_TERMS + 1));
    // The relative error: both table entries (half a unit each), the series'
    // evaluation (its 1 + ... rounding, the rest far smaller, t's own
    // rounding included), the two products (half a unit each), and the tail;
    // together below 2^-50 plus the tail, stated with a factor of 2 to spare.
    powers.bound[channel][side] = 0x1p-49 + 2.0 * tail;
    powers.usable[channel][side] = true;
}

void BuildConstantPowers(const WindowRenderParams &record, ConstantPowers &powers) {
    ClearConstantPowers(powers);
    for (int side = 0; side < 2; ++side) {
        for (int k = 0; k < CHANNEL_COUNT; ++k) {
            const ChannelGrade &grade = record.side_grade[side].channel[k];
            if (!grade.identity) FillConstantPower(powers, k, side, static_cast<double>(grade.inv_gamma));
        }
    }
}

}  // namespace zonara
