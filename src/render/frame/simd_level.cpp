#include "render/frame/simd_level.h"

#include <cstdlib>
#include <cstring>

namespace zonara {

SimdLevel DetectedSimdLevel() {
    // The compiler's runtime (libgcc, linked into the module on every
    // platform) asks the processor (cpuid) and the operating system
    // (xgetbv): it reports AVX2 and AVX-512 only where the system also saves
    // the YMM, or the opmask and ZMM, registers on a context switch; a
    // processor's AVX that the system does not save would corrupt other
    // threads' registers. Every level's needs are among its answers.
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2")) return SimdLevel::BASELINE;
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl")) {
        return SimdLevel::AVX512;
    }
    return SimdLevel::AVX2;
}

SimdLevel CappedSimdLevel(SimdLevel detected, const char *cap) {
    if (cap == nullptr) return detected;
    SimdLevel wanted = detected;
    if (std::strcmp(cap, "scalar") == 0) wanted = SimdLevel::SCALAR;
    else if (std::strcmp(cap, "baseline") == 0) wanted = SimdLevel::BASELINE;
    else if (std::strcmp(cap, "avx2") == 0) wanted = SimdLevel::AVX2;
    else if (std::strcmp(cap, "avx512") == 0) wanted = SimdLevel::AVX512;
    return static_cast<int>(wanted) < static_cast<int>(detected) ? wanted : detected;
}

SimdLevel FrameSimdLevel() {
    // Asked afresh for every frame, cheap beside a frame, rather than kept:
    // the module holds no writable global data, so frames rendered at once
    // share nothing.
    return CappedSimdLevel(DetectedSimdLevel(), std::getenv("ZONARA_SIMD"));
}

const char *SimdLevelName(SimdLevel level) {
    switch (level) {
    case SimdLevel::SCALAR:
        return "scalar";
    case SimdLevel::BASELINE:
        return "baseline";
    case SimdLevel::AVX2:
        return "avx2";
    case SimdLevel::AVX512:
        return "avx512";
    }
    return "?";
}

}  // namespace zonara
