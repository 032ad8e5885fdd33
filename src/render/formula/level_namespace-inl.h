// Opens and closes the namespace of the copy of the pixel stage's pieces
// being compiled, the way each piece (a header ending in -inl.h) wants it:
//
// - For one pixel (pixel_steps.h defines ZONARA_ONE_PIXEL_STEPS around its
//   inclusion): zonara::steps, shared by the whole effect.
// - For a level of the vector kernel (its lane_kernel_<level>.cpp defines
//   ZONARA_LANES and ZONARA_LANE_NAMESPACE first): an anonymous namespace in
//   zonara::<level>, so that every function compiled there with the level's
//   flags is the level's own (see lane_kernel-inl.h). A piece opened on its
//   own, by an editor or the check that each compiles alone, gets the
//   baseline level.
//
// No include guard: every piece includes this after its other includes, so
// the macros below are the ones of the copy the piece is compiled into.
//
// Each piece guards its own body against a second inclusion at the same
// level with a toggle, as Highway's -inl.h headers do:
//
//   #if defined(ZONARA_PIECE_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
//   (flip ZONARA_PIECE_INL_H_) ... #endif
//
// A translation unit that compiled several levels would flip
// ZONARA_LEVEL_TOGGLE between them; each level here has its own file, so it
// stays undefined. The pieces compiled for one pixel too guard that copy
// with a plain include guard of its own.

#include "render/formula/hot_inline.h"

#undef ZONARA_BEGIN_LEVEL
#undef ZONARA_END_LEVEL
#undef ZONARA_STEP_INLINE

#ifdef ZONARA_ONE_PIXEL_STEPS
#define ZONARA_BEGIN_LEVEL namespace zonara::steps {
#define ZONARA_END_LEVEL }
#define ZONARA_STEP_INLINE ZONARA_HOT_INLINE
#else
#ifndef ZONARA_LANES
#define ZONARA_LANES 4
#define ZONARA_LANE_NAMESPACE lanes_baseline
#endif
#define ZONARA_BEGIN_LEVEL \
    namespace zonara::ZONARA_LANE_NAMESPACE { \
    namespace {
#define ZONARA_END_LEVEL \
    } \
    }
#define ZONARA_STEP_INLINE [[gnu::always_inline]] inline
#endif
