// Renders one frame's pixels from a source world into an output world of a
// known pixel format: the part both render commands share once each has
// found the format and built the frame's record.
#pragma once

#include "host/host_suites.h"
#include "pf_sdk.h"
#include "render/frame/pixel_format.h"
#include "render/frame/pixel_stage.h"
#include "render/frame/window_render_params.h"

namespace zonara {

// How an integer frame's pixels are visited: by the host's iterate suites,
// one call a pixel, as PF_Cmd_RENDER's frames are; or by the effect's own
// row loop, where the host hands the whole worlds over (the smart
// commands). Both give the same bits.
enum class IntegerWalk { HOST_ITERATE, OWN_ROWS };

// Renders rows 0 to `rows` of `output` from `source`, whose pixel (i, j) is
// the layer pixel (origin.left + i, origin.top + j) in both. Integer formats
// go through the host's iterate suites and their result is returned; float
// formats through the effect's own row loop, in bands on the host's threads
// where it offers them. An output without pixels needs nothing; a source
// without pixels for an output with some is a damaged call. Throws as
// HostSuites does when an iterate suite it needs is missing.
PF_Err RenderWorlds(PF_InData *in_data, HostSuites &suites, const WindowRenderParams &record, PixelFormat format,
                    PF_LayerDef &source, PF_LayerDef &output, A_long rows, WorldOrigin origin, IntegerWalk walk);

}  // namespace zonara
