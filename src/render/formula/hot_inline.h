// Marks the few functions of the per-pixel path that must be inlined into
// their callers: left to its own judgement the compiler keeps some of them
// out of line, and a call per pixel then costs more than the work it does.
#pragma once

#if defined(__GNUC__)
#define ZONARA_HOT_INLINE [[gnu::always_inline]] inline
#else
#define ZONARA_HOT_INLINE inline
#endif

// The opposite, for the rare cases of the per-pixel path (feather band,
// damaged codes), so that they do not bloat the common path they branch off.
#if defined(__GNUC__)
#define ZONARA_OUT_OF_LINE [[gnu::noinline]]
#else
#define ZONARA_OUT_OF_LINE
#endif

// Written after a lambda's parameter list: a lambda handed to a step (a
// weight, a blended constant) is inlined into it like the step itself, not
// left to the compiler's estimate of its size.
#if defined(__GNUC__)
#define ZONARA_LAMBDA_INLINE __attribute__((always_inline))
#else
#define ZONARA_LAMBDA_INLINE
#endif
