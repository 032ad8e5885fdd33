// A part of the frame asked for on the command line, as a host asks an
// effect for a region of interest: only those pixels are rendered.
#pragma once

#include <string>

#include "pf_sdk.h"
#include "testhost/core/host.h"
#include "tools/image/image.h"

namespace zonara_tool {

// "WxH+X+Y": width and height, then the left and top of the part, in
// whole pixels of the full-resolution frame (its first pixel is 0,0), as
// image tools write a geometry. Throws ToolError (usage) for anything else
// or for an empty part.
PixelWindow ParseRegion(const std::string &text, const std::string &option);

// The part as a host asks for it at 1/downsample: every reduced pixel any
// of the part's pixels falls in. Throws ToolError (usage) when the part
// does not lie within a frame of full_width x full_height.
PixelWindow RegionAtDraft(const PixelWindow &region, int full_width, int full_height, int downsample);

// The request a host sends for the part, in layer pixels.
PF_LRect RequestOf(const PixelWindow &region);

// Throws ToolError (usage) when the host sends PF_Cmd_RENDER, which asks
// for whole frames only (ZONARA_RENDER_COMMANDS=legacy).
void RequireRegionCommands(const testhost::Host &host);

}  // namespace zonara_tool
