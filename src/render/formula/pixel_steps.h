// The pixel stage's steps and the order they are taken in, for one pixel,
// in zonara::steps (see pixel_steps-inl.h and pixel_composition-inl.h,
// which each level of the vector kernel compiles into its own namespace for
// its lanes).
#pragma once

#define ZONARA_ONE_PIXEL_STEPS
#include "render/formula/pixel_steps-inl.h"
#include "render/formula/pixel_composition-inl.h"
#undef ZONARA_ONE_PIXEL_STEPS
