/* The host's vector drawing interface: opaque references and the four
 * suites through which the overlay makes pens and paths and strokes them. */
#ifndef ZONARA_SDK_DRAWBOT_H
#define ZONARA_SDK_DRAWBOT_H

#include "pf_basic_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _DRAWBOT_Object *DRAWBOT_ObjectRef;
typedef struct _DRAWBOT_Draw *DRAWBOT_DrawRef;
typedef struct _DRAWBOT_Supplier *DRAWBOT_SupplierRef;
typedef struct _DRAWBOT_Surface *DRAWBOT_SurfaceRef;
typedef struct _DRAWBOT_Pen *DRAWBOT_PenRef;
typedef struct _DRAWBOT_Path *DRAWBOT_PathRef;

typedef struct DRAWBOT_PointF32 {
    float x;
    float y;
} DRAWBOT_PointF32;

typedef struct DRAWBOT_RectF32 {
    float left;
    float top;
    float width;
    float height;
} DRAWBOT_RectF32;

typedef struct DRAWBOT_ColorRGBA {
    float red;
    float green;
    float blue;
    float alpha;
} DRAWBOT_ColorRGBA;

#define kDRAWBOT_DrawSuite "DRAWBOT Draw Suite"
#define kDRAWBOT_DrawSuite_Version1 1
#define kDRAWBOT_SupplierSuite "DRAWBOT Supplier Suite"
#define kDRAWBOT_SupplierSuite_Version1 1
#define kDRAWBOT_SurfaceSuite "DRAWBOT Surface Suite"
#define kDRAWBOT_SurfaceSuite_Version1 1
#define kDRAWBOT_PathSuite "DRAWBOT Path Suite"
#define kDRAWBOT_PathSuite_Version1 1

typedef struct DRAWBOT_DrawbotSuite1 {
    SPErr (*GetSupplier)(DRAWBOT_DrawRef draw_ref, DRAWBOT_SupplierRef *out_supplier);
    SPErr (*GetSurface)(DRAWBOT_DrawRef draw_ref, DRAWBOT_SurfaceRef *out_surface);
} DRAWBOT_DrawbotSuite1;

typedef struct DRAWBOT_SupplierSuite1 {
    SPErr (*NewPen)(DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA *color, float size, DRAWBOT_PenRef *out_pen);
    PF_UnusedCallback NewBrush;
    PF_UnusedCallback SupportsText;
    PF_UnusedCallback GetDefaultFontSize;
    PF_UnusedCallback NewDefaultFont;
    PF_UnusedCallback NewImageFromBuffer;
    SPErr (*NewPath)(DRAWBOT_SupplierRef supplier, DRAWBOT_PathRef *out_path);
    PF_UnusedCallback SupportsPixelLayoutBGRA;
    PF_UnusedCallback PrefersPixelLayoutBGRA;
    PF_UnusedCallback SupportsPixelLayoutARGB;
    PF_UnusedCallback PrefersPixelLayoutARGB;
    PF_UnusedCallback RetainObject;
    /* Gives back a pen or path made by this supplier. */
    SPErr (*ReleaseObject)(DRAWBOT_ObjectRef object);
} DRAWBOT_SupplierSuite1;

typedef struct DRAWBOT_SurfaceSuite1 {
    PF_UnusedCallback PushStateStack;
    PF_UnusedCallback PopStateStack;
    PF_UnusedCallback PaintRect;
    PF_UnusedCallback FillPath;
    SPErr (*StrokePath)(DRAWBOT_SurfaceRef surface, DRAWBOT_PenRef pen, DRAWBOT_PathRef path);
    PF_UnusedCallback Clip;
    PF_UnusedCallback GetClipBounds;
    PF_UnusedCallback IsWithinClipBounds;
    PF_UnusedCallback Transform;
    PF_UnusedCallback DrawString;
    PF_UnusedCallback DrawImage;
    PF_UnusedCallback SetInterpolationPolicy;
    PF_UnusedCallback GetInterpolationPolicy;
    PF_UnusedCallback SetAntiAliasPolicy;
    PF_UnusedCallback GetAntiAliasPolicy;
    PF_UnusedCallback Flush;
    PF_UnusedCallback GetTransformToScreenScale;
} DRAWBOT_SurfaceSuite1;

typedef struct DRAWBOT_PathSuite1 {
    SPErr (*MoveTo)(DRAWBOT_PathRef path, float x, float y);
    SPErr (*LineTo)(DRAWBOT_PathRef path, float x, float y);
    PF_UnusedCallback BezierTo;
    PF_UnusedCallback AddRect;
    /* Angles in degrees; a sweep of 360 adds a full circle. */
    SPErr (*AddArc)(DRAWBOT_PathRef path, const DRAWBOT_PointF32 *center, float radius, float start_angle, float sweep);
    SPErr (*Close)(DRAWBOT_PathRef path);
} DRAWBOT_PathSuite1;

#ifdef __cplusplus
}
#endif

#endif
