// Iterate suites for the fake host: every destination pixel in row order on
// the calling thread, with the source pixel at the same place (null where
// the source does not reach), as the real suites do.
#pragma once

#include <cstdint>

#include "pf_sdk.h"

namespace render_test {

template <class Pixel, class Func>
PF_Err SerialIterate(PF_EffectWorld *src, void *refcon, Func pix_fn, PF_EffectWorld *dst) {
    for (A_long y = 0; y < dst->height; ++y) {
        for (A_long x = 0; x < dst->width; ++x) {
            auto at = [](PF_EffectWorld *w, A_long px, A_long py) {
                return reinterpret_cast<Pixel *>(reinterpret_cast<std::uint8_t *>(w->data) +
                                                 static_cast<std::ptrdiff_t>(py) * w->rowbytes +
                                                 static_cast<std::ptrdiff_t>(px) * sizeof(Pixel));
            };
            Pixel *in = x < src->width && y < src->height ? at(src, x, y) : nullptr;
            const PF_Err err = pix_fn(refcon, x, y, in, at(dst, x, y));
            if (err != PF_Err_NONE) return err;
        }
    }
    return PF_Err_NONE;
}

inline const PF_Iterate8Suite1 SERIAL_ITERATE8 = [] {
    PF_Iterate8Suite1 suite{};
    suite.iterate = [](PF_InData *, A_long, A_long, PF_EffectWorld *src, const PF_Rect *, void *refcon,
                       PF_IteratePixel8Func pix_fn, PF_EffectWorld *dst) {
        return SerialIterate<PF_Pixel>(src, refcon, pix_fn, dst);
    };
    return suite;
}();

inline const PF_iterate16Suite1 SERIAL_ITERATE16 = [] {
    PF_iterate16Suite1 suite{};
    suite.iterate = [](PF_InData *, A_long, A_long, PF_EffectWorld *src, const PF_Rect *, void *refcon,
                       PF_IteratePixel16Func pix_fn, PF_EffectWorld *dst) {
        return SerialIterate<PF_Pixel16>(src, refcon, pix_fn, dst);
    };
    return suite;
}();

}  // namespace render_test
