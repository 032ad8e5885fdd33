// The instruction-set level the float row loop runs at: what the processor
// and its operating system support, capped by ZONARA_SIMD so that every level
// can be exercised (and compared) on one machine.
#pragma once

namespace zonara {

enum class SimdLevel : int {
    SCALAR = 0,    // one pixel at a time, the plain per-pixel functions
    BASELINE = 1,  // SSE2, which every x86-64 processor has: 4 pixels at a time
    AVX2 = 2,      // 8 pixels at a time
    AVX512 = 3,    // AVX-512 F, DQ, BW and VL: 16 pixels at a time
};

// The highest level the processor offers and the operating system saves the
// registers of, as the compiler's runtime tells it, the same way on every
// platform.
SimdLevel DetectedSimdLevel();

// ZONARA_SIMD=scalar|baseline|avx2|avx512 lowers the level; an unset or
// unknown value leaves it alone, and it never raises it above the detected
// one.
SimdLevel CappedSimdLevel(SimdLevel detected, const char *cap);

// The level a frame renders at: detected, capped by the environment.
SimdLevel FrameSimdLevel();

const char *SimdLevelName(SimdLevel level);

}  // namespace zonara
