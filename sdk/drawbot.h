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
    SPErr (*NewPen)(DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA *color, float size,
                    DRAWBOT_PenRef *out_pen);
    SPErr (*NewPath)(DRAWBOT_SupplierRef supplier, DRAWBOT_PathRef *out_path);
    /* Gives back a pen or path made by this supplier. */
    SPErr (*ReleaseObject)(DRAWBOT_ObjectRef object);
} DRAWBOT_SupplierSuite1;

typedef struct DRAWBOT_SurfaceSuite1 {
    SPErr (*StrokePath)(DRAWBOT_SurfaceRef surface, DRAWBOT_PenRef pen, DRAWBOT_PathRef path);
} DRAWBOT_SurfaceSuite1;

typedef struct DRAWBOT_PathSuite1 {
    SPErr (*MoveTo)(DRAWBOT_PathRef path, float x, float y);
    SPErr (*LineTo)(DRAWBOT_PathRef path, float x, float y);
    /* Angles in degrees; a sweep of 360 adds a full circle. */
    SPErr (*AddArc)(DRAWBOT_PathRef path, const DRAWBOT_PointF32 *center, float radius,
                    float start_angle, float sweep);
    SPErr (*Close)(DRAWBOT_PathRef path);
} DRAWBOT_PathSuite1;

#ifdef __cplusplus
}
#endif

#endif
