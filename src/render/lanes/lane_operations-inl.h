// The vector kernel's lane types and the operations on them that the
// compiler's generic vectors do not spell out: splats, halves and joins,
// masks as bits, conversions between widths, gathers and square roots.
//
// A piece of the vector kernel; see lane_kernel-inl.h for the rules every
// piece keeps.

#include <cstddef>
#include <cstdint>
#include <utility>

#include <immintrin.h>

#include "render/formula/pixel_steps-inl.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
#include "render/formula/level_namespace-inl.h"

#if defined(ZONARA_LANE_OPERATIONS_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_LANE_OPERATIONS_INL_H_
#undef ZONARA_LANE_OPERATIONS_INL_H_
#else
#define ZONARA_LANE_OPERATIONS_INL_H_
#endif

ZONARA_BEGIN_LEVEL

constexpr int LANES = ZONARA_LANES;

typedef float VF __attribute__((vector_size(4 * LANES)));
typedef std::int32_t VI __attribute__((vector_size(4 * LANES)));
typedef std::uint32_t VU __attribute__((vector_size(4 * LANES)));
// Doubles come half as many to a register: the powers run on each half of
// the lanes in turn, so that every vector stays one register wide (wider
// ones the compiler takes apart lane by lane for comparisons).
constexpr int HALF = LANES / 2;
typedef float VFH __attribute__((vector_size(4 * HALF)));
typedef std::int32_t VIH __attribute__((vector_size(4 * HALF)));
typedef double VD __attribute__((vector_size(8 * HALF)));
typedef std::int64_t VL __attribute__((vector_size(8 * HALF)));
typedef std::uint64_t VUL __attribute__((vector_size(8 * HALF)));

// Every lane operation is inlined into its caller: a call per group of
// pixels would cost more than the work, and no copy is kept out of line.
#ifndef LANE_INLINE
#define LANE_INLINE [[gnu::always_inline]] inline
#endif

template <class V, class S>
LANE_INLINE V Splat(S value) {
    V v;
    for (int i = 0; i < static_cast<int>(sizeof(V) / sizeof(value)); ++i) v[i] = value;
    return v;
}

// One half of the lanes (0: the first), and the two halves put together:
// lane shuffles, which stay in registers, where copies through memory made
// the loads that follow them wait on the stores.
template <int PART, class Whole, std::size_t... I>
LANE_INLINE auto HalfLanes(Whole whole, std::index_sequence<I...>) {
    return __builtin_shufflevector(whole, whole, (PART * static_cast<int>(sizeof...(I)) + static_cast<int>(I))...);
}

template <class Half, int PART, class Whole>
LANE_INLINE Half HalfOf(Whole whole) {
    return HalfLanes<PART>(whole, std::make_index_sequence<HALF>{});
}

template <class Whole, class Half, std::size_t... I>
LANE_INLINE Whole JoinLanes(Half first, Half second, std::index_sequence<I...>) {
    return __builtin_shufflevector(first, second, static_cast<int>(I)...);
}

template <class Whole, class Half>
LANE_INLINE Whole Join(Half first, Half second) {
    return JoinLanes<Whole>(first, second, std::make_index_sequence<LANES>{});
}

LANE_INLINE VI MaskOf(bool on) { return Splat<VI>(on ? -1 : 0); }

// The pixel steps' broadcasts and conversions, for the lanes.
template <>
LANE_INLINE VF Broadcast<VF, float>(float value) {
    return Splat<VF>(value);
}

template <>
LANE_INLINE VD Broadcast<VD, double>(double value) {
    return Splat<VD>(value);
}

template <>
LANE_INLINE VI Broadcast<VI, bool>(bool on) {
    return MaskOf(on);
}

template <>
LANE_INLINE auto ToInt32<VF>(VF value) {
    return __builtin_convertvector(value, VI);
}

template <>
LANE_INLINE auto ToFloat<VI>(VI value) {
    return __builtin_convertvector(value, VF);
}

// One bit per lane, set where the lane's mask is set: the sign bits, which
// the processor gathers in one instruction (the generic vectors offer no
// such reduction, and lane-by-lane reads go through memory).
LANE_INLINE std::uint32_t LaneBits(VI mask) {
#if ZONARA_LANES == 16
    return static_cast<std::uint32_t>(_mm512_movepi32_mask(__builtin_bit_cast(__m512i, mask)));
#elif ZONARA_LANES == 8
    return static_cast<std::uint32_t>(_mm256_movemask_ps(__builtin_bit_cast(__m256, mask)));
#else
    return static_cast<std::uint32_t>(_mm_movemask_ps(__builtin_bit_cast(__m128, mask)));
#endif
}

LANE_INLINE bool AnyLane(VI mask) { return LaneBits(mask) != 0; }
// The name the pixel steps use.
template <>
LANE_INLINE bool AnyOf<VI>(VI mask) {
    return AnyLane(mask);
}

// Conversions between half a register of 32-bit lanes and a register of
// 64-bit lanes. At AVX-512 each is one instruction, named here because the
// compiler otherwise takes them apart into halves of halves. (The masked
// forms, with every lane on: the plain ones read an undefined register.)
#if ZONARA_LANES == 16
LANE_INLINE VD Widen(VFH v) {
    return __builtin_bit_cast(VD, _mm512_maskz_cvtps_pd(0xFF, __builtin_bit_cast(__m256, v)));
}
LANE_INLINE VD WidenInteger(VIH v) {
    return __builtin_bit_cast(VD, _mm512_maskz_cvtepi32_pd(0xFF, __builtin_bit_cast(__m256i, v)));
}
LANE_INLINE VL WidenMask(VIH mask) {
    return __builtin_bit_cast(VL, _mm512_maskz_cvtepi32_epi64(0xFF, __builtin_bit_cast(__m256i, mask)));
}
LANE_INLINE VIH NarrowMask(VL mask) {
    return __builtin_bit_cast(VIH, _mm512_maskz_cvtepi64_epi32(0xFF, __builtin_bit_cast(__m512i, mask)));
}
#else
LANE_INLINE VD Widen(VFH v) { return __builtin_convertvector(v, VD); }
LANE_INLINE VD WidenInteger(VIH v) { return __builtin_convertvector(v, VD); }
LANE_INLINE VL WidenMask(VIH mask) { return __builtin_convertvector(mask, VL); }
LANE_INLINE VIH NarrowMask(VL mask) { return __builtin_convertvector(mask, VIH); }
#endif
// Rounds to nearest, as static_cast<float>(double) does.
LANE_INLINE VFH Narrow(VD v) { return __builtin_convertvector(v, VFH); }

LANE_INLINE VF Abs(VF v) { return __builtin_bit_cast(VF, __builtin_bit_cast(VU, v) & 0x7FFFFFFFu); }
LANE_INLINE VD Abs(VD v) { return __builtin_bit_cast(VD, __builtin_bit_cast(VUL, v) & 0x7FFFFFFFFFFFFFFFull); }

// 64-bit lane masks as bits, one per lane.
LANE_INLINE std::uint32_t WideLaneBits(VL mask) {
#if ZONARA_LANES == 16
    return static_cast<std::uint32_t>(_mm512_movepi64_mask(__builtin_bit_cast(__m512i, mask)));
#elif ZONARA_LANES == 8
    return static_cast<std::uint32_t>(_mm256_movemask_pd(__builtin_bit_cast(__m256d, mask)));
#else
    return static_cast<std::uint32_t>(_mm_movemask_pd(__builtin_bit_cast(__m128d, mask)));
#endif
}

LANE_INLINE bool AnyWideLane(VL mask) { return WideLaneBits(mask) != 0; }

// The half of a whole-lane mask as 64-bit lanes.
template <int PART>
LANE_INLINE VL WideHalf(VI mask) {
    return WidenMask(HalfOf<VIH, PART>(mask));
}

// table[index] lane by lane, for half of the lanes' 32-bit indices; every
// index must lie within the table.
LANE_INLINE VD GatherDoubles(const double *table, VIH index) {
#if ZONARA_LANES == 16
    return __builtin_bit_cast(
        VD, _mm512_mask_i32gather_pd(_mm512_setzero_pd(), 0xFF, __builtin_bit_cast(__m256i, index), table, 8));
#elif ZONARA_LANES == 8
    return __builtin_bit_cast(VD,
                              _mm256_mask_i32gather_pd(_mm256_setzero_pd(), table, __builtin_bit_cast(__m128i, index),
                                                       __builtin_bit_cast(__m256d, Splat<VL>(-1ll)), 8));
#else
    VD v;
    for (int i = 0; i < HALF; ++i) v[i] = table[index[i]];
    return v;
#endif
}

LANE_INLINE VI ValidLanes(int count) {
    VI index;
    for (int i = 0; i < LANES; ++i) index[i] = i;
    return index < count;
}

// The correctly rounded square root of each lane, as std::sqrt gives it.
template <>
LANE_INLINE VF SquareRoot<VF>(VF v) {
#if ZONARA_LANES == 16
    // The masked form, all lanes on, as for the gathers.
    return __builtin_bit_cast(VF, _mm512_mask_sqrt_ps(_mm512_setzero_ps(), 0xFFFF, __builtin_bit_cast(__m512, v)));
#elif ZONARA_LANES == 8
    return __builtin_bit_cast(VF, _mm256_sqrt_ps(__builtin_bit_cast(__m256, v)));
#else
    return __builtin_bit_cast(VF, _mm_sqrt_ps(__builtin_bit_cast(__m128, v)));
#endif
}

template <>
LANE_INLINE VD SquareRoot<VD>(VD v) {
#if ZONARA_LANES == 16
    return __builtin_bit_cast(VD, _mm512_mask_sqrt_pd(_mm512_setzero_pd(), 0xFF, __builtin_bit_cast(__m512d, v)));
#elif ZONARA_LANES == 8
    return __builtin_bit_cast(VD, _mm256_sqrt_pd(__builtin_bit_cast(__m256d, v)));
#else
    return __builtin_bit_cast(VD, _mm_sqrt_pd(__builtin_bit_cast(__m128d, v)));
#endif
}

// table[index] lane by lane; every index must lie within the table.
LANE_INLINE VF GatherFloats(const float *table, VI index) {
#if ZONARA_LANES == 16
    // The masked forms, all lanes on: the plain ones start from an undefined
    // register, which the compiler warns of.
    return __builtin_bit_cast(
        VF, _mm512_mask_i32gather_ps(_mm512_setzero_ps(), 0xFFFF, __builtin_bit_cast(__m512i, index), table, 4));
#elif ZONARA_LANES == 8
    return __builtin_bit_cast(VF,
                              _mm256_mask_i32gather_ps(_mm256_setzero_ps(), table, __builtin_bit_cast(__m256i, index),
                                                       __builtin_bit_cast(__m256, MaskOf(true)), 4));
#else
    VF v;
    for (int i = 0; i < LANES; ++i) v[i] = table[index[i]];
    return v;
#endif
}

LANE_INLINE VI GatherCodes(const std::uint16_t *table, VI index) {
    VI v;
    for (int i = 0; i < LANES; ++i) v[i] = table[index[i]];
    return v;
}

ZONARA_END_LEVEL

#endif  // ZONARA_LANE_OPERATIONS_INL_H_
