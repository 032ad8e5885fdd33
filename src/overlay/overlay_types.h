// The records and constants shared by the overlay's geometry, drawing, hit
// testing and dragging, so that what is drawn is what a click finds.
#pragma once

#include <array>
#include <cstdint>

#include "pf_sdk.h"

namespace zonara {

// The draggable handles. The value is what a click stores in the event
// record for the drags that follow it; element i of HandlePoints belongs to
// handle i + 1.
enum OverlayHandle : A_long {
    HANDLE_NONE = 0,
    HANDLE_CORNER_TOP_LEFT = 1,
    HANDLE_CORNER_TOP_RIGHT = 2,
    HANDLE_CORNER_BOTTOM_LEFT = 3,
    HANDLE_CORNER_BOTTOM_RIGHT = 4,
    HANDLE_ANGLE = 5,
    HANDLE_FEATHER_LEFT = 6,
    HANDLE_FEATHER_RIGHT = 7,
    HANDLE_FEATHER_TOP = 8,
    HANDLE_FEATHER_BOTTOM = 9,
    HANDLE_MIX = 10
};

inline constexpr int HANDLE_COUNT = 10;

// The angle handle lies height / 5 square pixels from the centre (height
// being the layer's height in pixels).
inline constexpr double ANGLE_HANDLE_RADIUS_DIVISOR = 5.0;
// The mix slider, in frame pixels: its track is 40 left of the centre and
// runs from 50 above to 50 below it; one unit of Mix spans 100.
inline constexpr A_long MIX_SLIDER_OFFSET_X = 40;
inline constexpr A_long MIX_SLIDER_HALF_LENGTH = 50;
inline constexpr A_long MIX_SLIDER_SCALE = 100;
inline constexpr double DEGREES_TO_RADIANS = 0.017453292519943295;
// A click takes a handle nearer than this, as |dx| + |dy| in frame pixels.
inline constexpr A_long HANDLE_HIT_TOLERANCE = 16;

// 16.16 layer coordinates.
struct FixedRect {
    PF_Fixed left = 0;
    PF_Fixed top = 0;
    PF_Fixed right = 0;
    PF_Fixed bottom = 0;
};

// The window's unrotated bounding rectangle and its feather rectangle.
struct WindowRects {
    FixedRect outer;
    FixedRect inner;
};

// Index order of the four corners everywhere in the overlay. It is not a
// walk round the outline: an outline runs 0, 1, 3, 2.
enum CornerIndex : int { CORNER_TOP_LEFT = 0, CORNER_TOP_RIGHT = 1, CORNER_BOTTOM_LEFT = 2, CORNER_BOTTOM_RIGHT = 3 };

using CornerQuad = std::array<PF_FixedPoint, 4>;

// A whole frame pixel.
struct PixelPoint {
    A_long x = 0;
    A_long y = 0;
};

// The ten handle positions; element i belongs to handle i + 1.
using HandlePoints = std::array<PixelPoint, HANDLE_COUNT>;

// Four whole-pixel points in CornerQuad order.
using PixelQuad = std::array<PixelPoint, 4>;

}  // namespace zonara
