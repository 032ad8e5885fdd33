// The matte view: the window's weight as a grey picture (white where the
// inside grade applies fully, black where the outside one does), computed
// by the effect itself rather than by a copy of its arithmetic.
//
// The trick is a grade whose result is the weight: inside offset 1 and gain
// 0, outside offset 0 and gain 0, gammas and saturations 1, Mix 1, in the
// "CDL compliant" model. A pixel of weight w then gets the blended offset
// w, raised to the power 1: exactly w. Rendered over a layer whose colours
// are 0, so that nothing of the source (not even a NaN) plays a part.
#pragma once

#include <vector>

#include "tools/image/image.h"
#include "tools/params/param_values.h"

namespace zonara_tool {

// The grade values that turn the render into the matte; applied after the
// user's, they leave every control that shapes the window as it is.
std::vector<ParamValue> MatteGradeValues();

// A layer of the source's size and layout whose colours are 0 and whose
// alpha (if any) is opaque, so the matte is written opaque.
Image MatteLayer(const Image &source);

}  // namespace zonara_tool
