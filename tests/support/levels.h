// The instruction-set levels, said once for every test: all of them lowest
// first, the vector kernels' (one object each), and those this machine runs.
// A level added to the effect is then added here, and every test that walks
// the levels walks it too.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

#include "render/frame/simd_level.h"

namespace zonara_test {

inline constexpr zonara::SimdLevel ALL_LEVELS[] = {zonara::SimdLevel::SCALAR, zonara::SimdLevel::BASELINE,
                                                   zonara::SimdLevel::AVX2, zonara::SimdLevel::AVX512};
inline constexpr zonara::SimdLevel VECTOR_LEVELS[] = {zonara::SimdLevel::BASELINE, zonara::SimdLevel::AVX2,
                                                      zonara::SimdLevel::AVX512};
inline constexpr std::size_t VECTOR_LEVEL_COUNT = std::size(VECTOR_LEVELS);

namespace levels_detail {
template <std::size_t N>
std::vector<zonara::SimdLevel> UpToDetected(const zonara::SimdLevel (&levels)[N]) {
    std::vector<zonara::SimdLevel> runs;
    for (zonara::SimdLevel level : levels) {
        if (static_cast<int>(level) <= static_cast<int>(zonara::DetectedSimdLevel())) runs.push_back(level);
    }
    return runs;
}
}  // namespace levels_detail

inline std::vector<zonara::SimdLevel> LevelsOfThisMachine() { return levels_detail::UpToDetected(ALL_LEVELS); }
inline std::vector<zonara::SimdLevel> VectorLevelsOfThisMachine() { return levels_detail::UpToDetected(VECTOR_LEVELS); }

// The levels by the names ZONARA_SIMD takes, lowest first.
inline std::vector<std::string> LevelNames() {
    std::vector<std::string> names;
    for (zonara::SimdLevel level : ALL_LEVELS) names.push_back(zonara::SimdLevelName(level));
    return names;
}

}  // namespace zonara_test
