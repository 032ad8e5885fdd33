// The pixel stage's steps, the order they are taken in and the feather
// band's curves, for one pixel, in zonara::steps (see pixel_steps-inl.h,
// pixel_composition-inl.h and falloff_curves-inl.h, which each level of the
// vector kernel compiles into its own namespace for its lanes).
#pragma once

#define ZONARA_ONE_PIXEL_STEPS
#include "render/formula/falloff_curves-inl.h"
#include "render/formula/pixel_composition-inl.h"
#include "render/formula/pixel_steps-inl.h"
#undef ZONARA_ONE_PIXEL_STEPS
