// Sizes and colours of the drawn overlay, in frame pixels. Colours and the
// pen width apply in Premiere Pro only; After Effects strokes every shape in
// its own overlay theme.
#pragma once

#include "pf_sdk.h"

namespace zonara {

inline constexpr int ELLIPSE_POINT_COUNT = 64;
// A corner handle is a square from 3 px above-left to 3 px below-right of
// its corner; it stays aligned with the view when the window turns.
inline constexpr A_long CORNER_HANDLE_HALF_SIZE = 3;
inline constexpr float FEATHER_HANDLE_RADIUS = 4.0f;
inline constexpr float ANGLE_HANDLE_RING_RADIUS = 6.0f;
// The mix marker reaches 5 px left and 6 px right of the slider line (11 px
// wide) and 2 px above and below the marker height.
inline constexpr float MIX_MARKER_LEFT = 5.0f;
inline constexpr float MIX_MARKER_RIGHT = 6.0f;
inline constexpr float MIX_MARKER_HALF_HEIGHT = 2.0f;
inline constexpr float OVERLAY_PEN_WIDTH = 1.0f;
inline constexpr DRAWBOT_ColorRGBA OVERLAY_COLOR = {0.9f, 0.9f, 0.0f, 1.0f};
inline constexpr DRAWBOT_ColorRGBA ELLIPSE_OUTLINE_COLOR = {0.9f, 0.9f, 0.9f, 1.0f};
// A full circle for AddArc: start angle and sweep in degrees.
inline constexpr float FULL_CIRCLE_START = 0.0f;
inline constexpr float FULL_CIRCLE_SWEEP = 360.0f;

}  // namespace zonara
