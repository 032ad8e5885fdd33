#include "tools/scene/view_options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "testhost/drawing/drawing_canvas.h"
#include "tools/base/message_text.h"
#include "tools/base/tool_error.h"
#include "tools/params/number_option.h"
#include "tools/params/value_text.h"

namespace zonara_tool {
namespace {

// A host's views zoom (and layers scale) from 1/64 to 64 times; beyond that a view of a 1920
// wide layer is a few pixels or far bigger than any picture we write.
constexpr double MIN_ZOOM = 1.0 / 64.0;
constexpr double MAX_ZOOM = 64.0;
// Frame and composition positions must stay within what 16.16 fixed point
// holds, with room for the layer itself.
constexpr double MAX_POSITION = 16384.0;

// The picture of a view: the layer at the view's zoom, whole pixels.
long long ViewSide(int layer_extent, double zoom) { return static_cast<long long>(std::ceil(layer_extent * zoom)); }

bool Drawable(int layer_width, int layer_height, double zoom) {
    const long long width = ViewSide(layer_width, zoom);
    const long long height = ViewSide(layer_height, zoom);
    return width >= 1 && height >= 1 && width <= testhost::MAX_CANVAS_SIDE && height <= testhost::MAX_CANVAS_SIDE &&
           width * height <= testhost::MAX_CANVAS_PIXELS;
}

}  // namespace

double LargestZoomToDraw(int layer_width, int layer_height) {
    const double w = std::max(layer_width, 1);
    const double h = std::max(layer_height, 1);
    const double side = testhost::MAX_CANVAS_SIDE;
    const double bound = std::min({side / w, side / h, std::sqrt(testhost::MAX_CANVAS_PIXELS / (w * h))});
    // In hundredths, the way a user types a zoom. Checked the way the view
    // is sized (its sides rounded up), from just above the bound, since
    // both the rounding and the bound's own arithmetic can go either way.
    long hundredths = static_cast<long>(std::floor(bound * 100.0)) + 1;
    while (hundredths > 1 && !Drawable(layer_width, layer_height, hundredths / 100.0)) {
        --hundredths;
    }
    return hundredths / 100.0;
}

void RequireDrawableZoom(double zoom, int layer_width, int layer_height) {
    if (Drawable(layer_width, layer_height, zoom)) {
        return;
    }
    const long long width = ViewSide(layer_width, zoom);
    const long long height = ViewSide(layer_height, zoom);
    const std::string beyond = width > testhost::MAX_CANVAS_SIDE || height > testhost::MAX_CANVAS_SIDE
                                   ? "more than " + std::to_string(testhost::MAX_CANVAS_SIDE) + " pixels per side"
                                   : "more than " + std::to_string(testhost::MAX_CANVAS_PIXELS) + " pixels in all";
    const std::string layer = std::to_string(layer_width) + "x" + std::to_string(layer_height);
    throw UsageError("--zoom " + FormatNumber(zoom) + " is too large for the view of this " + layer +
                     " layer: its picture would be " + std::to_string(width) + "x" + std::to_string(height) + ", " +
                     beyond + "; the largest zoom for it is " +
                     FormatNumber(LargestZoomToDraw(layer_width, layer_height)));
}

void AddViewOptions(CLI::App &command, ViewOptions &options) {
    command.add_option("INPUT", options.input,
                       "The layer: an image file (its size is the layer's). Without it, the built-in "
                       "1920x1080 test chart");
    command.add_option("--view", options.view, "comp (the composition view) or layer (the layer view)")
        ->check(CLI::IsMember({"comp", "layer"}));
    command.add_option("--zoom", options.zoom, "View zoom: frame pixels per composition (or layer) pixel")
        ->transform(DecimalNumber("1/64 to 64"));
    command.add_option("--pan", options.pan,
                       "X,Y: where the view puts the composition's (or layer's) origin, "
                       "in frame pixels");
    command.add_option("--layer-offset", options.layer_offset,
                       "X,Y: where the layer's origin sits in the composition (default 0,0)");
    command.add_option("--layer-scale", options.layer_scale, "How large the layer is in the composition (default 1)")
        ->transform(DecimalNumber("1/64 to 64"));
    command.add_option("--host", options.host, "ae (compositing) or premiere (editing)")
        ->check(CLI::IsMember(HostNames()));
    AddValueOptions(command, options.values);
}

void ParseNumberPair(const std::string &text, const std::string &option, double *x, double *y) {
    if (!zonara_tool::ParseNumberPair(text, *x, *y)) {
        throw UsageError(option + " " + QuotedForMessage(text) + ": expected X,Y, e.g. 100,-20.5");
    }
    if (std::fabs(*x) > MAX_POSITION || std::fabs(*y) > MAX_POSITION) {
        throw UsageError(option + " " + QuotedForMessage(text) + ": each number must lie within +-" +
                         std::to_string(static_cast<int>(MAX_POSITION)));
    }
}

PF_Point ParsePixelPoint(const std::string &text, const std::string &option) {
    double x = 0.0;
    double y = 0.0;
    ParseNumberPair(text, option, &x, &y);
    if (x != std::floor(x) || y != std::floor(y)) {
        throw UsageError(option + " " + QuotedForMessage(text) + ": a mouse position is in whole frame pixels");
    }
    return {static_cast<A_long>(x), static_cast<A_long>(y)};
}

testhost::View ParseView(const ViewOptions &options) {
    testhost::View view;
    if (!testhost::ParseViewKind(options.view, &view.kind) || view.kind == testhost::ViewKind::kEffectControls) {
        throw UsageError("--view " + QuotedForMessage(options.view) + ": expected comp or layer");
    }
    if (!(options.zoom >= MIN_ZOOM && options.zoom <= MAX_ZOOM)) {
        throw UsageError("--zoom must lie between 1/64 and 64");
    }
    view.zoom = options.zoom;
    if (!(options.layer_scale >= MIN_ZOOM && options.layer_scale <= MAX_ZOOM)) {
        throw UsageError("--layer-scale must lie between 1/64 and 64");
    }
    view.placement.scale = options.layer_scale;
    if (!options.pan.empty()) {
        ParseNumberPair(options.pan, "--pan", &view.pan_x, &view.pan_y);
    }
    if (!options.layer_offset.empty()) {
        ParseNumberPair(options.layer_offset, "--layer-offset", &view.placement.offset_x, &view.placement.offset_y);
    }
    return view;
}

}  // namespace zonara_tool
