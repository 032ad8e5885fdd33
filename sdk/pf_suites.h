/* The host suites the effect asks for by name, all at version 1. */
#ifndef ZONARA_SDK_PF_SUITES_H
#define ZONARA_SDK_PF_SUITES_H

#include "drawbot.h"
#include "pf_basic_types.h"
#include "pf_effect.h"
#include "pf_events.h"
#include "pf_pixels.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Names are compared exactly, letter case included. */
#define kPFANSISuite "PF ANSI Suite"
#define kPFANSISuiteVersion1 1
#define kPFIterate8Suite "PF Iterate8 Suite"
#define kPFIterate8SuiteVersion1 1
#define kPFIterate16Suite "PF iterate16 Suite"
#define kPFIterate16SuiteVersion1 1
#define kPFPixelFormatSuite "PF Pixel Format Suite"
#define kPFPixelFormatSuiteVersion1 1
#define kPFEffectCustomUISuite "PF Effect Custom UI Suite"
#define kPFEffectCustomUISuiteVersion1 1
#define kPFEffectCustomUIOverlayThemeSuite "PF Effect Custom UI Overlay Theme Suite"
#define kPFEffectCustomUIOverlayThemeSuiteVersion1 1

/* The standard C functions, as a suite: the utilities' block without its
 * trailing member. */
typedef struct PF_ANSICallbacksSuite1 {
    PF_ANSI_FUNCTIONS
} PF_ANSICallbacksSuite1;

typedef PF_Err (*PF_IteratePixel8Func)(void *refcon, A_long x, A_long y, PF_Pixel *in, PF_Pixel *out);
typedef PF_Err (*PF_IteratePixel16Func)(void *refcon, A_long x, A_long y, PF_Pixel16 *in, PF_Pixel16 *out);

/* Visits every destination pixel (all of them when area is null), passing
 * the source pixel at the same place; returns the first non-zero code a
 * callback gave. */
typedef struct PF_Iterate8Suite1 {
    PF_Err (*iterate)(PF_InData *in_data, A_long progress_base, A_long progress_final, PF_EffectWorld *src,
                      const PF_Rect *area, void *refcon, PF_IteratePixel8Func pix_fn, PF_EffectWorld *dst);
    PF_UnusedCallback iterate_origin;
    PF_UnusedCallback iterate_lut;
    PF_UnusedCallback iterate_origin_non_clip_src;
    /* Calls fn_func once for each i from 0 to iterationsL - 1, spread over
     * the host's threads (thread_indexL says which), and returns when all
     * calls have returned. */
    PF_Err (*iterate_generic)(A_long iterationsL, void *refconPV,
                              PF_Err (*fn_func)(void *refconPV, A_long thread_indexL, A_long i, A_long iterationsL));
} PF_Iterate8Suite1;

typedef struct PF_iterate16Suite1 {
    PF_Err (*iterate)(PF_InData *in_data, A_long progress_base, A_long progress_final, PF_EffectWorld *src,
                      const PF_Rect *area, void *refcon, PF_IteratePixel16Func pix_fn, PF_EffectWorld *dst);
    PF_UnusedCallback iterate_origin;
    PF_UnusedCallback iterate_origin_non_clip_src;
} PF_iterate16Suite1;

/* The editing host's pixel formats: declared at global setup, asked for
 * per output buffer at render time. */
typedef struct PF_PixelFormatSuite1 {
    PF_Err (*AddSupportedPixelFormat)(PF_ProgPtr effect_ref, PrPixelFormat format);
    PF_Err (*ClearSupportedPixelFormats)(PF_ProgPtr effect_ref);
    PF_UnusedCallback NewWorldOfPixelFormat;
    PF_UnusedCallback DisposeWorld;
    PF_Err (*GetPixelFormat)(PF_EffectWorld *world, PrPixelFormat *format);
    PF_UnusedCallback GetBlackForPixelFormat;
    PF_UnusedCallback GetWhiteForPixelFormat;
    PF_UnusedCallback ConvertColorToPixelFormattedData;
} PF_PixelFormatSuite1;

typedef struct PF_EffectCustomUISuite1 {
    /* The view's drawing reference, or null when it cannot be drawn. */
    PF_Err (*PF_GetDrawingReference)(PF_ContextH effect_context, DRAWBOT_DrawRef *draw_ref);
} PF_EffectCustomUISuite1;

typedef struct PF_EffectCustomUIOverlayThemeSuite1 {
    PF_UnusedCallback PF_GetPreferredForegroundColor;
    PF_UnusedCallback PF_GetPreferredShadowColor;
    PF_UnusedCallback PF_GetPreferredStrokeWidth;
    PF_UnusedCallback PF_GetPreferredVertexSize;
    PF_UnusedCallback PF_GetPreferredShadowOffset;
    /* Strokes the path in the host's overlay colour and width, with its
     * drop shadow when draw_shadow is set. */
    PF_Err (*PF_StrokePath)(DRAWBOT_DrawRef draw_ref, DRAWBOT_PathRef path, PF_Boolean draw_shadow);
    PF_UnusedCallback PF_FillPath;
    PF_UnusedCallback PF_FillVertex;
} PF_EffectCustomUIOverlayThemeSuite1;

#ifdef __cplusplus
}
#endif

#endif
