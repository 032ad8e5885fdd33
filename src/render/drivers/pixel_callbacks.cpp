#include "render/drivers/pixel_callbacks.h"

#include "common/standard_float_mode.h"
#include "render/drivers/integer_pixel_path.h"
#include "render/drivers/render_float_pixel.h"

namespace zonara {
namespace {

using namespace integer_pixels;

const PixelStage &StageOf(void *refcon) { return *static_cast<const PixelStage *>(refcon); }

// A host leaves out the source pixel where the source does not reach the
// destination; such a pixel has nothing to be graded from and is left as it
// is, like the pixels the float row loop does not reach.
//
// The callbacks run on the host's threads, whose floating-point mode may be
// another: wherever one computes, it does so in the standard mode.

// Every pixel of the frame, whatever its weight.
template <class Layout>
PF_Err RenderAnyPixel(void *refcon, A_long x, A_long y, typename Layout::Pixel *in, typename Layout::Pixel *out) {
    if (in == nullptr || out == nullptr) return PF_Err_NONE;
    const StandardFloatMode standard_mode;
    Layout::Write(RenderCodes<typename Layout::Codec>(StageOf(refcon), x, y, Layout::Read(in)), out);
    return PF_Err_NONE;
}

// The frames whose weight does not matter and whose inside side gives every
// code back unchanged (the default parameters, Mix 0): the pixel is copied.
// Codes beyond full scale still take the whole pixel stage, which limits them.
// Its few instructions start a cache line of their own: where the linker
// happened to place them, the same code ran slower, by chance of layout.
template <class Layout>
[[gnu::aligned(64)]] PF_Err CopyUnchangedPixel(void *refcon, A_long, A_long, typename Layout::Pixel *in,
                                               typename Layout::Pixel *out) {
    if (in == nullptr || out == nullptr) return PF_Err_NONE;
    using Codec = typename Layout::Codec;
    const auto codes = Layout::Read(in);
    if (CodesInTables<Codec>(codes)) {
        *out = *in;
        return PF_Err_NONE;
    }
    const StandardFloatMode standard_mode;
    Layout::Write(RenderCodesAtWeight<Codec>(*StageOf(refcon).record, 1.0f, codes), out);
    return PF_Err_NONE;
}

// The frames whose weight does not matter and whose inside side is a table
// of output codes: three look-ups a pixel.
template <class Layout>
PF_Err LookUpPixel(void *refcon, A_long, A_long, typename Layout::Pixel *in, typename Layout::Pixel *out) {
    if (in == nullptr || out == nullptr) return PF_Err_NONE;
    using Codec = typename Layout::Codec;
    using Code = typename Codec::Code;
    const PixelStage &stage = StageOf(refcon);
    const auto codes = Layout::Read(in);
    if (!CodesInTables<Codec>(codes)) {
        const StandardFloatMode standard_mode;
        Layout::Write(RenderCodesAtWeight<Codec>(*stage.record, 1.0f, codes), out);
        return PF_Err_NONE;
    }
    const GradeTables &tables = *stage.tables;
    const int count = tables.code_count;
    const std::uint16_t *table = tables.output_codes[SIDE_INSIDE];
    Layout::Write({codes.alpha, static_cast<Code>(table[codes.red]), static_cast<Code>(table[count + codes.green]),
                   static_cast<Code>(table[2 * count + codes.blue])},
                  out);
    return PF_Err_NONE;
}

template <class Layout>
auto CallbackFor(IntegerPath path) {
    switch (path) {
    case IntegerPath::COPY_UNCHANGED:
        return &CopyUnchangedPixel<Layout>;
    case IntegerPath::LOOK_UP:
        return &LookUpPixel<Layout>;
    case IntegerPath::IN_RUNS:
    case IntegerPath::EVERY_PIXEL:
        break;
    }
    return &RenderAnyPixel<Layout>;
}

}  // namespace

PF_Err RenderPixelArgb8(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out) {
    return RenderAnyPixel<Argb8Layout>(refcon, x, y, in, out);
}

PF_Err RenderPixelArgb16(void *refcon, A_long x, A_long y, PF_Pixel16 *in, PF_Pixel16 *out) {
    return RenderAnyPixel<Argb16Layout>(refcon, x, y, in, out);
}

PF_Err RenderPixelBgra8(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out) {
    return RenderAnyPixel<Bgra8Layout>(refcon, x, y, in, out);
}

PF_Err RenderPixelBgra32f(void *refcon, A_long x, A_long y, PF_PixelBGRA32f *in, PF_PixelBGRA32f *out) {
    if (in == nullptr || out == nullptr) return PF_Err_NONE;
    const StandardFloatMode standard_mode;
    RenderFloatPixel(*StageOf(refcon).record, x, y, in, out);
    return PF_Err_NONE;
}

PF_IteratePixel8Func Argb8Callback(IntegerPath path) { return CallbackFor<Argb8Layout>(path); }

PF_IteratePixel16Func Argb16Callback(IntegerPath path) { return CallbackFor<Argb16Layout>(path); }

PF_IteratePixel8Func Bgra8Callback(IntegerPath path) { return CallbackFor<Bgra8Layout>(path); }

}  // namespace zonara
