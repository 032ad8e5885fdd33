// The options shared by the overlay commands (overlay, handles, drag): which
// layer, which host, which view at which zoom and scroll, where the layer
// sits in the composition, and the parameter values to set. Parsed here once
// into the host's terms; every mistake is a ToolError (usage).
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "testhost/core/host.h"
#include "testhost/drawing/views.h"
#include "tools/base/host_name.h"
#include "tools/params/value_sources.h"

namespace zonara_tool {

struct ViewOptions {
    std::string input;  // empty: the built-in test chart
    std::string view = "comp";
    double zoom = 1.0;
    std::string pan;           // "X,Y" frame pixels
    std::string layer_offset;  // "X,Y" composition pixels
    double layer_scale = 1.0;
    std::string host = "ae";
    ValueSources values;  // --preset, --cdl-inside, --cdl-outside, --set
};

// Adds INPUT, --view, --zoom, --pan, --layer-offset, --layer-scale, --host,
// --preset, --cdl-inside, --cdl-outside and --set.
void AddViewOptions(CLI::App &command, ViewOptions &options);

// The view the options describe; refuses a zoom or layer scale outside 1/64
// to 64, and a view other than comp or layer.
testhost::View ParseView(const ViewOptions &options);

// The largest zoom, in hundredths, at which the view of a layer of this size
// is still a picture the host draws (testhost::MAX_CANVAS_SIDE per side,
// MAX_CANVAS_PIXELS in all).
double LargestZoomToDraw(int layer_width, int layer_height);
// Throws ToolError (usage) when the view of the layer at `zoom` is larger
// than the host draws, saying so and naming the largest zoom that is not.
void RequireDrawableZoom(double zoom, int layer_width, int layer_height);

// "X,Y" as two finite numbers.
void ParseNumberPair(const std::string &text, const std::string &option, double *x, double *y);
// "X,Y" as two whole frame pixels.
PF_Point ParsePixelPoint(const std::string &text, const std::string &option);

}  // namespace zonara_tool
