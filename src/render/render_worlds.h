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

// Renders rows 0 to `rows` of `output` from `source`, whose pixel (i, j) is
// the layer pixel (origin.left + i, origin.top + j) in both. Integer formats
// go through the host's iterate suites and their result is returned; float
// formats through the effect's own row loop, in bands on the host's threads
// where it offers them. An output without pixels needs nothing; a source
// without pixels for an output with some is a damaged call. Throws as
// HostSuites does when an iterate suite it needs is missing.
PF_Err RenderWorlds(PF_InData *in_data, HostSuites &suites, const WindowRenderParams &record, PixelFormat format,
                    PF_LayerDef &source, PF_LayerDef &output, A_long rows, WorldOrigin origin);

}  // namespace zonara
