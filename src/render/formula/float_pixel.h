// The effect's working pixel: every buffer format is converted to this before
// grading and back afterwards.
#pragma once

namespace zonara {

// 0 is black and 1 full intensity in every format; values outside 0..1 are
// allowed and carried through (floating-point buffers hold them).
struct FloatPixel {
    float alpha;
    float red;
    float green;
    float blue;
};

}  // namespace zonara
