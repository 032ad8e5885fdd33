// The wipe view: before and after in one frame. The source shows on one
// side of a straight line, the graded frame on the other, and a thin white
// line marks the boundary; the picture keeps the frame's size.
#pragma once

#include <optional>
#include <string>

#include "tools/image/image.h"

namespace zonara_tool {

struct WipeLine {
    // Where the line crosses the frame's middle row, in full-resolution
    // layer pixels; unset: the frame's centre.
    std::optional<double> x;
    // 0 is vertical; positive turns it clockwise on screen, as the effect's
    // Angle turns the window.
    double angle_degrees = 0.0;
};

// "" (the centre, vertical), "X", "X,ANGLE" or ",ANGLE". Throws ToolError
// (usage) for anything else.
WipeLine ParseWipe(const std::string &text);

// `source` and `graded` are the same frame before and after, at the
// rendered size; `layer_width` and `layer_height` are the full-resolution
// layer's, `downsample` the draft factor between the two. The source lies
// on the left of a vertical line (for other angles, on the side the left
// turns to), the graded frame on the right.
Image ComposeWipe(const Image &source, const Image &graded, const WipeLine &line, int layer_width, int layer_height,
                  int downsample);

}  // namespace zonara_tool
