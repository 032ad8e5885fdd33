// The per-pixel callbacks of the four buffer formats, in the shape the host's
// iterate operations call them. refcon is the frame's WindowRenderParams.
#pragma once

#include "pf_sdk.h"

namespace zonara {

// After Effects, 8 bits per channel, alpha red green blue.
PF_Err RenderPixelArgb8(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out);
// After Effects, 16 bits per channel (full scale 32768), alpha red green blue.
PF_Err RenderPixelArgb16(void *refcon, A_long x, A_long y, PF_Pixel16 *in, PF_Pixel16 *out);
// Premiere Pro, 8 bits per channel, blue green red alpha, walked by the 8-bit
// iterate suite (hence the PF_Pixel pointers).
PF_Err RenderPixelBgra8(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out);
// Premiere Pro, 32-bit float per channel, blue green red alpha.
PF_Err RenderPixelBgra32f(void *refcon, A_long x, A_long y, PF_PixelBGRA32f *in,
                          PF_PixelBGRA32f *out);

struct WindowRenderParams;

// The callback to walk a frame with, once its record and tables are final:
// the one above for the format, or an equivalent that does less per pixel
// where the frame allows it (every code unchanged, or a table look-up alone).
// Each gives exactly the pixels the general callback gives.
PF_IteratePixel8Func ChooseArgb8Callback(const WindowRenderParams &record);
PF_IteratePixel16Func ChooseArgb16Callback(const WindowRenderParams &record);
PF_IteratePixel8Func ChooseBgra8Callback(const WindowRenderParams &record);

}  // namespace zonara
