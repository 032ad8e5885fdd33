// The pixel stage's steps for one pixel, in zonara::steps (see
// pixel_steps-inl.h, which each level of the vector kernel compiles into its
// own namespace for its lanes).
#pragma once

#define ZONARA_ONE_PIXEL_STEPS
#include "render/formula/pixel_steps-inl.h"
#undef ZONARA_ONE_PIXEL_STEPS
