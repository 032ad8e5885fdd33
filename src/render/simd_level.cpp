#include "render/simd_level.h"

#include <cpuid.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace zonara {
namespace {

// Extended control register 0: which register states the operating system
// saves on a context switch. A processor may offer AVX that the system does
// not save, and then using it would corrupt other threads' registers.
std::uint64_t EnabledRegisterStates() {
    std::uint32_t low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

constexpr std::uint32_t CPUID1_ECX_OSXSAVE = 1u << 27;
constexpr std::uint32_t CPUID1_ECX_AVX = 1u << 28;
constexpr std::uint32_t CPUID7_EBX_AVX2 = 1u << 5;
constexpr std::uint32_t CPUID7_EBX_AVX512F = 1u << 16;
constexpr std::uint32_t CPUID7_EBX_AVX512DQ = 1u << 17;
constexpr std::uint32_t CPUID7_EBX_AVX512BW = 1u << 30;
constexpr std::uint32_t CPUID7_EBX_AVX512VL = 1u << 31;
constexpr std::uint64_t STATE_SSE_AVX = 0x6;          // XMM and upper YMM halves
constexpr std::uint64_t STATE_AVX512 = 0x6 | 0xE0;    // plus opmask, upper ZMM, ZMM16-31

}  // namespace

SimdLevel DetectedSimdLevel() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0 || eax < 7) return SimdLevel::BASELINE;
    __cpuid(1, eax, ebx, ecx, edx);
    if ((ecx & CPUID1_ECX_OSXSAVE) == 0 || (ecx & CPUID1_ECX_AVX) == 0) return SimdLevel::BASELINE;
    const std::uint64_t states = EnabledRegisterStates();
    if ((states & STATE_SSE_AVX) != STATE_SSE_AVX) return SimdLevel::BASELINE;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    if ((ebx & CPUID7_EBX_AVX2) == 0) return SimdLevel::BASELINE;
    const std::uint32_t avx512 = CPUID7_EBX_AVX512F | CPUID7_EBX_AVX512DQ | CPUID7_EBX_AVX512BW | CPUID7_EBX_AVX512VL;
    if ((ebx & avx512) == avx512 && (states & STATE_AVX512) == STATE_AVX512) return SimdLevel::AVX512;
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
    // Asked afresh for every frame, a few hundred cycles, rather than kept:
    // the module holds no writable global data, so frames rendered at once
    // share nothing.
    return CappedSimdLevel(DetectedSimdLevel(), std::getenv("ZONARA_SIMD"));
}

const char *SimdLevelName(SimdLevel level) {
    switch (level) {
    case SimdLevel::SCALAR: return "scalar";
    case SimdLevel::BASELINE: return "baseline";
    case SimdLevel::AVX2: return "avx2";
    case SimdLevel::AVX512: return "avx512";
    }
    return "?";
}

}  // namespace zonara
