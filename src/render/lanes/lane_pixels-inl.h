// Pixels in and out of lanes: float pixels sorted into channels and back,
// integer pixels' words taken apart into codes and put together again, and
// codes decoded and encoded as the codecs do.
//
// A piece of the vector kernel; see lane_kernel-inl.h for the rules every
// piece keeps.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "pf_sdk.h"
#include "render/formula/pixel_steps-inl.h"
#include "render/frame/float_pixel_layout.h"
#include "render/lanes/lane_grade-inl.h"
#include "render/lanes/lane_kernels.h"
#include "render/lanes/lane_operations-inl.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
#include "render/formula/level_namespace-inl.h"

#if defined(ZONARA_LANE_PIXELS_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_LANE_PIXELS_INL_H_
#undef ZONARA_LANE_PIXELS_INL_H_
#else
#define ZONARA_LANE_PIXELS_INL_H_
#endif

ZONARA_BEGIN_LEVEL

// Every other lane of a and b put together, from lane PHASE on.
template <int PHASE, std::size_t... I>
LANE_INLINE VF EveryOtherOf(VF a, VF b, std::index_sequence<I...>) {
    return __builtin_shufflevector(a, b, (2 * static_cast<int>(I) + PHASE)...);
}
template <int PHASE>
LANE_INLINE VF EveryOther(VF a, VF b) {
    return EveryOtherOf<PHASE>(a, b, std::make_index_sequence<LANES>{});
}

// a and b interleaved lane by lane, from their first (HALF_INDEX 0) or
// second half.
template <int HALF_INDEX, std::size_t... I>
LANE_INLINE VF InterleaveOf(VF a, VF b, std::index_sequence<I...>) {
    return __builtin_shufflevector(a, b, ((I % 2 == 0 ? 0 : LANES) + HALF_INDEX * HALF + static_cast<int>(I) / 2)...);
}
template <int HALF_INDEX>
LANE_INLINE VF Interleave(VF a, VF b) {
    return InterleaveOf<HALF_INDEX>(a, b, std::make_index_sequence<LANES>{});
}

struct Pixels {
    Colours colours;
    VF alpha;  // moved bit for bit, never computed with
};

// A whole group of pixels in four vector loads, sorted into its four
// channels in memory order by shuffles (each channel's lanes every fourth
// float: every other of every other), then named by the layout; a shorter
// group (the row's end) pixel by pixel, the lanes past it zero.
template <ChannelOrder ORDER>
LANE_INLINE Pixels Load(const typename FloatPixelLayout<ORDER>::Pixel *in, int count) {
    using Layout = FloatPixelLayout<ORDER>;
    if (count == LANES) {
        VF quarter[4];
        std::memcpy(quarter, in, sizeof quarter);
        const VF even_first = EveryOther<0>(quarter[0], quarter[1]);
        const VF odd_first = EveryOther<1>(quarter[0], quarter[1]);
        const VF even_second = EveryOther<0>(quarter[2], quarter[3]);
        const VF odd_second = EveryOther<1>(quarter[2], quarter[3]);
        const VF channel[4] = {EveryOther<0>(even_first, even_second), EveryOther<0>(odd_first, odd_second),
                               EveryOther<1>(even_first, even_second), EveryOther<1>(odd_first, odd_second)};
        return {{channel[Layout::RED_AT], channel[Layout::GREEN_AT], channel[Layout::BLUE_AT]},
                channel[Layout::ALPHA_AT]};
    }
    Pixels p{{VF{}, VF{}, VF{}}, VF{}};
    VI alpha_bits{};
    for (int i = 0; i < count; ++i) {
        p.colours.red[i] = in[i].red;
        p.colours.green[i] = in[i].green;
        p.colours.blue[i] = in[i].blue;
        std::int32_t bits;
        std::memcpy(&bits, &in[i].alpha, sizeof bits);
        alpha_bits[i] = bits;
    }
    p.alpha = __builtin_bit_cast(VF, alpha_bits);
    return p;
}

// The colours with the source's alpha, bit for bit: Load's shuffles undone.
template <ChannelOrder ORDER>
LANE_INLINE void Store(const Colours &c, VF alpha, typename FloatPixelLayout<ORDER>::Pixel *out, int count) {
    using Layout = FloatPixelLayout<ORDER>;
    if (count == LANES) {
        VF channel[4];
        channel[Layout::RED_AT] = c.red;
        channel[Layout::GREEN_AT] = c.green;
        channel[Layout::BLUE_AT] = c.blue;
        channel[Layout::ALPHA_AT] = alpha;
        const VF even_first = Interleave<0>(channel[0], channel[2]);
        const VF even_second = Interleave<1>(channel[0], channel[2]);
        const VF odd_first = Interleave<0>(channel[1], channel[3]);
        const VF odd_second = Interleave<1>(channel[1], channel[3]);
        const VF quarter[4] = {Interleave<0>(even_first, odd_first), Interleave<1>(even_first, odd_first),
                               Interleave<0>(even_second, odd_second), Interleave<1>(even_second, odd_second)};
        std::memcpy(out, quarter, sizeof quarter);
        return;
    }
    const VI alpha_bits = __builtin_bit_cast(VI, alpha);
    for (int i = 0; i < count; ++i) {
        out[i].blue = c.blue[i];
        out[i].green = c.green[i];
        out[i].red = c.red[i];
        const std::int32_t bits = alpha_bits[i];
        std::memcpy(&out[i].alpha, &bits, sizeof bits);
    }
}

struct CodeLanes {
    VI red, green, blue;
};

// Codes as values, by the codecs' steps.
LANE_INLINE Colours DecodeCodes(const CodeLanes &in, int code_count) {
    const Colours codes{__builtin_convertvector(in.red, VF), __builtin_convertvector(in.green, VF),
                        __builtin_convertvector(in.blue, VF)};
    if (code_count == 256) return {DecodeCode8(codes.red), DecodeCode8(codes.green), DecodeCode8(codes.blue)};
    return {DecodeCode16(codes.red), DecodeCode16(codes.green), DecodeCode16(codes.blue)};
}

// Values as codes: scaled to full scale, limited, truncated.
LANE_INLINE VI EncodeCodes(VF value, float full_scale) {
    return __builtin_convertvector(LimitToFullScale(value * full_scale, full_scale), VI);
}

// A group of pixels as the buffer holds them: one 32-bit word each at 8
// bits, two at 16 (alpha and red, then green and blue).
struct PixelWords {
    VU first;
    VU second;
};

// Where each channel lies in an 8-bit pixel's word (little-endian).
struct ByteShifts {
    unsigned alpha, red, green, blue;
};
constexpr ByteShifts ARGB8_SHIFTS{0, 8, 16, 24};
constexpr ByteShifts BGRA8_SHIFTS{24, 16, 8, 0};

template <int PHASE, std::size_t... I>
LANE_INLINE VU EveryOtherWordOf(VU a, VU b, std::index_sequence<I...>) {
    return __builtin_shufflevector(a, b, (2 * static_cast<int>(I) + PHASE)...);
}

template <int HALF_INDEX, std::size_t... I>
LANE_INLINE VU InterleaveWordsOf(VU a, VU b, std::index_sequence<I...>) {
    return __builtin_shufflevector(a, b, ((I % 2 == 0 ? 0 : LANES) + HALF_INDEX * HALF + static_cast<int>(I) / 2)...);
}

template <PixelFormat LAYOUT>
LANE_INLINE PixelWords LoadWords(const unsigned char *pixels) {
    if constexpr (LAYOUT == PixelFormat::ARGB16) {
        VU pair[2];
        std::memcpy(pair, pixels, sizeof pair);
        return {EveryOtherWordOf<0>(pair[0], pair[1], std::make_index_sequence<LANES>{}),
                EveryOtherWordOf<1>(pair[0], pair[1], std::make_index_sequence<LANES>{})};
    } else {
        VU words;
        std::memcpy(&words, pixels, sizeof words);
        return {words, VU{}};
    }
}

template <PixelFormat LAYOUT>
LANE_INLINE void StoreWords(const PixelWords &words, unsigned char *pixels) {
    if constexpr (LAYOUT == PixelFormat::ARGB16) {
        const VU pair[2] = {InterleaveWordsOf<0>(words.first, words.second, std::make_index_sequence<LANES>{}),
                            InterleaveWordsOf<1>(words.first, words.second, std::make_index_sequence<LANES>{})};
        std::memcpy(pixels, pair, sizeof pair);
    } else {
        std::memcpy(pixels, &words.first, sizeof words.first);
    }
}

template <PixelFormat LAYOUT>
constexpr ByteShifts SHIFTS_OF = LAYOUT == PixelFormat::BGRA8 ? BGRA8_SHIFTS : ARGB8_SHIFTS;

template <PixelFormat LAYOUT>
LANE_INLINE CodeLanes CodesOfWords(const PixelWords &words) {
    if constexpr (LAYOUT == PixelFormat::ARGB16) {
        return {__builtin_bit_cast(VI, words.first >> 16), __builtin_bit_cast(VI, words.second & 0xFFFFu),
                __builtin_bit_cast(VI, words.second >> 16)};
    } else {
        constexpr ByteShifts S = SHIFTS_OF<LAYOUT>;
        return {__builtin_bit_cast(VI, (words.first >> S.red) & 0xFFu),
                __builtin_bit_cast(VI, (words.first >> S.green) & 0xFFu),
                __builtin_bit_cast(VI, (words.first >> S.blue) & 0xFFu)};
    }
}

// The rendered codes in the source's words, its alpha kept bit for bit.
template <PixelFormat LAYOUT>
LANE_INLINE PixelWords WordsOfCodes(const PixelWords &source, const CodeLanes &codes) {
    const VU red = __builtin_bit_cast(VU, codes.red);
    const VU green = __builtin_bit_cast(VU, codes.green);
    const VU blue = __builtin_bit_cast(VU, codes.blue);
    if constexpr (LAYOUT == PixelFormat::ARGB16) {
        return {(source.first & 0xFFFFu) | (red << 16), green | (blue << 16)};
    } else {
        constexpr ByteShifts S = SHIFTS_OF<LAYOUT>;
        return {(source.first & (0xFFu << S.alpha)) | (red << S.red) | (green << S.green) | (blue << S.blue), VU{}};
    }
}

ZONARA_END_LEVEL

#endif  // ZONARA_LANE_PIXELS_INL_H_
