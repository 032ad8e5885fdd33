// The per-pixel callbacks of the four buffer formats, in the shape the host's
// iterate operations call them. refcon is the frame's PixelStage.
#pragma once

#include "pf_sdk.h"
#include "render/plan/frame_plan.h"

namespace zonara {

// After Effects, 8 bits per channel, alpha red green blue.
PF_Err RenderPixelArgb8(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out);
// After Effects, 16 bits per channel (full scale 32768), alpha red green blue.
PF_Err RenderPixelArgb16(void *refcon, A_long x, A_long y, PF_Pixel16 *in, PF_Pixel16 *out);
// Premiere Pro, 8 bits per channel, blue green red alpha, walked by the 8-bit
// iterate suite (hence the PF_Pixel pointers).
PF_Err RenderPixelBgra8(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out);
// Premiere Pro, 32-bit float per channel, blue green red alpha.
PF_Err RenderPixelBgra32f(void *refcon, A_long x, A_long y, PF_PixelBGRA32f *in, PF_PixelBGRA32f *out);

// The callback of a plain path the frame's plan chose (IN_RUNS has callbacks
// of its own, see look_ahead_runs.h): the one above for the format, or an
// equivalent that does less per pixel where the plan allows it. Each gives
// exactly the pixels the general callback gives.
PF_IteratePixel8Func Argb8Callback(IntegerPath path);
PF_IteratePixel16Func Argb16Callback(IntegerPath path);
PF_IteratePixel8Func Bgra8Callback(IntegerPath path);

}  // namespace zonara
