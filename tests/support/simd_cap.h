// ZONARA_SIMD set for the scope of one render, and put back after it.
#pragma once

#include <cstdlib>
#include <string>

#include "render/frame/simd_level.h"

namespace render_test {

class SimdCap {
public:
    explicit SimdCap(zonara::SimdLevel level) {
        if (const char *old = std::getenv("ZONARA_SIMD")) saved_ = old, had_ = true;
        setenv("ZONARA_SIMD", zonara::SimdLevelName(level), 1);
    }
    ~SimdCap() {
        if (had_) setenv("ZONARA_SIMD", saved_.c_str(), 1);
        else unsetenv("ZONARA_SIMD");
    }
    SimdCap(const SimdCap &) = delete;
    SimdCap &operator=(const SimdCap &) = delete;

private:
    std::string saved_;
    bool had_ = false;
};

}  // namespace render_test
