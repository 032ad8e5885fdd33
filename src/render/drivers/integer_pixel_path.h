// One integer pixel through the pixel stage, in each integer format's memory
// order: the plain per-pixel path every integer callback (and every run the
// vector kernels cannot answer) goes through.
#pragma once

#include "pf_sdk.h"
#include "render/accelerators/grade_tables.h"
#include "render/formula/color_grade.h"
#include "render/formula/hot_inline.h"
#include "render/formula/pixel_codecs.h"
#include "render/frame/pixel_stage.h"
#include "render/lanes/lane_kernels.h"

namespace zonara::integer_pixels {

// The channel codes of one integer pixel, whatever the memory order.
template <class Code>
struct Codes {
    Code alpha;
    Code red;
    Code green;
    Code blue;
};

// How each integer format lies in memory, and the pixel type its iterate
// suite passes.
struct Argb8Layout {
    using Codec = Codec8;
    using Pixel = PF_Pixel;
    static constexpr PixelFormat CODE_LAYOUT = PixelFormat::ARGB8;
    static Codes<A_u_char> Read(const PF_Pixel *in) { return {in->alpha, in->red, in->green, in->blue}; }
    static void Write(const Codes<A_u_char> &codes, PF_Pixel *out) {
        out->alpha = codes.alpha;
        out->red = codes.red;
        out->green = codes.green;
        out->blue = codes.blue;
    }
};

struct Argb16Layout {
    using Codec = Codec16;
    using Pixel = PF_Pixel16;
    static constexpr PixelFormat CODE_LAYOUT = PixelFormat::ARGB16;
    static Codes<A_u_short> Read(const PF_Pixel16 *in) { return {in->alpha, in->red, in->green, in->blue}; }
    static void Write(const Codes<A_u_short> &codes, PF_Pixel16 *out) {
        out->alpha = codes.alpha;
        out->red = codes.red;
        out->green = codes.green;
        out->blue = codes.blue;
    }
};

// The 8-bit iterate suite knows only PF_Pixel; the bytes are blue, green,
// red, alpha in memory.
struct Bgra8Layout {
    using Codec = Codec8;
    using Pixel = PF_Pixel;
    static constexpr PixelFormat CODE_LAYOUT = PixelFormat::BGRA8;
    static Codes<A_u_char> Read(const PF_Pixel *in) {
        const auto *bgra = reinterpret_cast<const PF_PixelBGRA8 *>(in);
        return {bgra->alpha, bgra->red, bgra->green, bgra->blue};
    }
    static void Write(const Codes<A_u_char> &codes, PF_Pixel *out) {
        auto *bgra = reinterpret_cast<PF_PixelBGRA8 *>(out);
        bgra->blue = codes.blue;
        bgra->green = codes.green;
        bgra->red = codes.red;
        bgra->alpha = codes.alpha;
    }
};

template <class Codec>
bool CodesInTables(const Codes<typename Codec::Code> &in) {
    return in.red <= Codec::MAX_CODE && in.green <= Codec::MAX_CODE && in.blue <= Codec::MAX_CODE;
}

// The finished pixel of a GRADED_VALUES side: the channels' graded values
// from the tables, then saturation, Mix and the clamps.
template <class Codec>
ZONARA_HOT_INLINE Codes<typename Codec::Code> FinishFromGradedValues(const WindowRenderParams &record,
                                                                     const GradeTables &tables, int side,
                                                                     Codes<typename Codec::Code> in) {
    const int count = tables.code_count;
    const float *values = tables.graded_values[side];
    // Alpha plays no part in the grade; it is copied as a code.
    const float *decoded = tables.decoded;
    FloatPixel result{0.0f, values[in.red], values[count + in.green], values[2 * count + in.blue]};
    steps::FinishSide<OnePixelHues>(
        record, record.side_grade[side],
        [&]() ZONARA_LAMBDA_INLINE {
            return FloatPixel{0.0f, decoded[in.red], decoded[in.green], decoded[in.blue]};
        },
        result, true);
    return {in.alpha, Codec::Encode(result.red), Codec::Encode(result.green), Codec::Encode(result.blue)};
}

// The same through the frame's memo, at 8 bits.
ZONARA_HOT_INLINE Codes<A_u_char> FinishFromMemo(const WindowRenderParams &record, const GradeTables &tables, int side,
                                                 Codes<A_u_char> in) {
    const SaturatedPixelMemo::Key key = SaturatedPixelMemo::KeyOf(side, in.red, in.green, in.blue);
    std::uint32_t packed;
    if (tables.memo.Find(key, packed)) {
        return {in.alpha, static_cast<A_u_char>(packed >> 16), static_cast<A_u_char>(packed >> 8),
                static_cast<A_u_char>(packed)};
    }
    const Codes<A_u_char> out = FinishFromGradedValues<Codec8>(record, tables, side, in);
    tables.memo.Store(key, (std::uint32_t{out.red} << 16) | (std::uint32_t{out.green} << 8) | out.blue);
    return out;
}

// The pixel from the tables of a side whose weight is exactly 0 or 1.
template <class Codec>
ZONARA_HOT_INLINE Codes<typename Codec::Code> RenderCodesFromSide(const WindowRenderParams &record,
                                                                  const GradeTables &tables, int side,
                                                                  Codes<typename Codec::Code> in) {
    using Code = typename Codec::Code;
    if (tables.kind[side] == SideTableKind::OUTPUT_CODES) {
        if (tables.codes_unchanged[side]) return in;
        const int count = tables.code_count;
        const std::uint16_t *codes = tables.output_codes[side];
        return {in.alpha, static_cast<Code>(codes[in.red]), static_cast<Code>(codes[count + in.green]),
                static_cast<Code>(codes[2 * count + in.blue])};
    }
    if constexpr (Codec::MAX_CODE == Codec8::MAX_CODE) {
        if (tables.memo.allocated()) return FinishFromMemo(record, tables, side, in);
    }
    return FinishFromGradedValues<Codec>(record, tables, side, in);
}

// The whole pixel stage without tables: feather band pixels, frames too small
// for tables, and codes beyond full scale. Out of line, so that the common
// path stays small.
template <class Codec>
ZONARA_OUT_OF_LINE Codes<typename Codec::Code> RenderCodesAtWeight(const WindowRenderParams &record, float weight,
                                                                   Codes<typename Codec::Code> in) {
    const FloatPixel source{Codec::Decode(in.alpha), Codec::Decode(in.red), Codec::Decode(in.green),
                            Codec::Decode(in.blue)};
    const FloatPixel result = GradePixelAtWeight(record, weight, source);
    return {in.alpha, Codec::Encode(result.red), Codec::Encode(result.green), Codec::Encode(result.blue)};
}

// Renders the world's pixel (x, y). Where the weight is exactly 0 or 1 the
// frame's tables (when there are any) replace the powers; codes beyond full
// scale, which a damaged buffer may hold, never index a table.
template <class Codec>
ZONARA_HOT_INLINE Codes<typename Codec::Code> RenderCodes(const PixelStage &stage, A_long x, A_long y,
                                                          Codes<typename Codec::Code> in) {
    const WindowRenderParams &record = *stage.record;
    // The host calls with world positions, one pixel a call: the layer's
    // are summed here.
    const float weight = FrameWeight(record, LayerPosition(stage.origin.left, x), LayerPosition(stage.origin.top, y));
    const GradeTables *tables = stage.tables;
    if (tables != nullptr && CodesInTables<Codec>(in)) {
        if (weight == 1.0f) return RenderCodesFromSide<Codec>(record, *tables, SIDE_INSIDE, in);
        if (weight == 0.0f) return RenderCodesFromSide<Codec>(record, *tables, SIDE_OUTSIDE, in);
    }
    return RenderCodesAtWeight<Codec>(record, weight, in);
}

}  // namespace zonara::integer_pixels
