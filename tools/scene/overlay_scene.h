// What the overlay commands share: a host with the effect applied to a
// layer and the user's values set, seen in one view; the names of the
// handles; and the picture of the view (the rendered layer with the overlay
// drawn over it).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "overlay/overlay_types.h"
#include "testhost/core/host.h"
#include "testhost/drawing/event_overlay.h"
#include "tools/base/tool_context.h"
#include "tools/image/image_file.h"
#include "tools/params/param_values.h"
#include "tools/scene/view_options.h"

namespace zonara_tool {

// The OverlayHandle name in lower case without HANDLE_ ("corner_bottom_right",
// "angle", "mix"); empty outside 1 to 10.
std::string HandleName(A_intptr_t handle);

struct OverlayScene {
    std::optional<Image> source;  // the input image; unset when only its size was needed
    int layer_width = 0;
    int layer_height = 0;
    testhost::HostApp app = testhost::HostApp::kAfterEffects;
    std::vector<ParamValue> values;  // the CDL files' values, then --set, in order
    std::unique_ptr<testhost::Host> host;
    std::unique_ptr<testhost::OverlayEvents> events;
};

// Parses the options, reads the layer (or takes the chart's size), starts
// the host with the values set and opens the view. `need_pixels` keeps the
// layer's pixels for a picture.
OverlayScene OpenOverlayScene(ToolContext &context, const ViewOptions &options, bool need_pixels);

// The layer rendered with the scene's values plus `extra_values`, placed in
// the view, with the overlay drawn over it by a draw event in the scene's
// host (with the values that host holds). `drawn` receives the draw event.
Image PictureOfView(ToolContext &context, OverlayScene &scene, const std::vector<ParamValue> &extra_values,
                    testhost::DrawOutcome *drawn);

// Throws ToolError (effect failed) when a draw event failed or left a pen,
// path or suite behind, or misused the drawing suites.
void RequireCleanDraw(const testhost::DrawOutcome &drawn);

}  // namespace zonara_tool
