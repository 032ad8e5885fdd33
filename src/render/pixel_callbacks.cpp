#include "render/pixel_callbacks.h"

#include <cstring>

#include "render/color_grade.h"
#include "render/grade_tables.h"
#include "render/pixel_codecs.h"

namespace zonara {
namespace {

// The channel codes of one integer pixel, whatever the memory order.
template <class Code>
struct Codes {
    Code alpha;
    Code red;
    Code green;
    Code blue;
};

// Renders one integer pixel. Where the weight is exactly 0 or 1 the frame's
// tables (when there are any) replace the powers; codes beyond full scale,
// which a damaged buffer may hold, never index a table.
template <class Codec>
Codes<typename Codec::Code> RenderCodes(const WindowRenderParams &record, A_long x, A_long y,
                                        Codes<typename Codec::Code> in) {
    const float weight = FrameWeight(record, x, y);
    const GradeTables *tables = record.tables;
    if (tables != nullptr && (weight == 1.0f || weight == 0.0f) && in.red <= Codec::MAX_CODE &&
        in.green <= Codec::MAX_CODE && in.blue <= Codec::MAX_CODE) {
        const int side = weight == 1.0f ? SIDE_INSIDE : SIDE_OUTSIDE;
        const int count = tables->code_count;
        if (tables->kind[side] == SideTableKind::OUTPUT_CODES) {
            const std::uint16_t *codes = tables->output_codes[side];
            return {in.alpha, static_cast<typename Codec::Code>(codes[in.red]),
                    static_cast<typename Codec::Code>(codes[count + in.green]),
                    static_cast<typename Codec::Code>(codes[2 * count + in.blue])};
        }
        const float *values = tables->graded_values[side];
        // Alpha plays no part in the grade; it is copied as a code.
        const float *decoded = tables->decoded;
        const FloatPixel source{0.0f, decoded[in.red], decoded[in.green], decoded[in.blue]};
        FloatPixel result{source.alpha, values[in.red], values[count + in.green],
                          values[2 * count + in.blue]};
        FinishPixel(record, record.side_grade[side], source, result);
        return {in.alpha, Codec::Encode(result.red), Codec::Encode(result.green),
                Codec::Encode(result.blue)};
    }
    const FloatPixel source{Codec::Decode(in.alpha), Codec::Decode(in.red), Codec::Decode(in.green),
                            Codec::Decode(in.blue)};
    const FloatPixel result = GradePixelAtWeight(record, weight, source);
    return {in.alpha, Codec::Encode(result.red), Codec::Encode(result.green),
            Codec::Encode(result.blue)};
}

// A host leaves out the source pixel where the source does not reach the
// destination; such a pixel has nothing to be graded from and is left as it
// is, like the pixels the float row loop does not reach.
const WindowRenderParams &RecordOf(void *refcon) {
    return *static_cast<const WindowRenderParams *>(refcon);
}

}  // namespace

PF_Err RenderPixelArgb8(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out) {
    if (in == nullptr || out == nullptr) return PF_Err_NONE;
    const auto result =
        RenderCodes<Codec8>(RecordOf(refcon), x, y, {in->alpha, in->red, in->green, in->blue});
    out->alpha = result.alpha;
    out->red = result.red;
    out->green = result.green;
    out->blue = result.blue;
    return PF_Err_NONE;
}

PF_Err RenderPixelArgb16(void *refcon, A_long x, A_long y, PF_Pixel16 *in, PF_Pixel16 *out) {
    if (in == nullptr || out == nullptr) return PF_Err_NONE;
    const auto result =
        RenderCodes<Codec16>(RecordOf(refcon), x, y, {in->alpha, in->red, in->green, in->blue});
    out->alpha = result.alpha;
    out->red = result.red;
    out->green = result.green;
    out->blue = result.blue;
    return PF_Err_NONE;
}

PF_Err RenderPixelBgra8(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out) {
    if (in == nullptr || out == nullptr) return PF_Err_NONE;
    // The 8-bit iterate suite knows only PF_Pixel; the bytes are blue, green,
    // red, alpha in memory.
    const auto *in_bgra = reinterpret_cast<const PF_PixelBGRA8 *>(in);
    auto *out_bgra = reinterpret_cast<PF_PixelBGRA8 *>(out);
    const auto result = RenderCodes<Codec8>(
        RecordOf(refcon), x, y, {in_bgra->alpha, in_bgra->red, in_bgra->green, in_bgra->blue});
    out_bgra->blue = result.blue;
    out_bgra->green = result.green;
    out_bgra->red = result.red;
    out_bgra->alpha = result.alpha;
    return PF_Err_NONE;
}

PF_Err RenderPixelBgra32f(void *refcon, A_long x, A_long y, PF_PixelBGRA32f *in,
                          PF_PixelBGRA32f *out) {
    if (in == nullptr || out == nullptr) return PF_Err_NONE;
    const WindowRenderParams &record = RecordOf(refcon);
    // Alpha travels bit for bit, not-a-number payloads included.
    float alpha_bits;
    std::memcpy(&alpha_bits, &in->alpha, sizeof alpha_bits);
    FloatPixel source{in->alpha, in->red, in->green, in->blue};
    if (record.clamp_in_black) {
        if (source.red < 0.0f) source.red = 0.0f;
        if (source.green < 0.0f) source.green = 0.0f;
        if (source.blue < 0.0f) source.blue = 0.0f;
    }
    const FloatPixel result = GradePixelAtWeight(record, FrameWeight(record, x, y), source);
    out->blue = result.blue;
    out->green = result.green;
    out->red = result.red;
    std::memcpy(&out->alpha, &alpha_bits, sizeof alpha_bits);
    return PF_Err_NONE;
}

}  // namespace zonara
