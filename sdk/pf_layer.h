/* A layer (or output buffer) as the host describes it. */
#ifndef ZONARA_SDK_PF_LAYER_H
#define ZONARA_SDK_PF_LAYER_H

#include "pf_basic_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef A_long PF_WorldFlags;
enum {
    PF_WorldFlag_DEEP = 1, /* 16 bits per channel */
    PF_WorldFlag_WRITEABLE = 2
};

struct PF_Pixel;
typedef struct PF_Pixel *PF_PixelPtr;

typedef struct PF_LayerDef {
    /* The host's own bookkeeping. */
    void *reserved0;
    void *reserved1;
    PF_WorldFlags world_flags;
    /* First pixel of the first row. */
    PF_PixelPtr data;
    /* Signed byte distance from one row to the next: negative for a buffer
     * stored bottom-up. */
    A_long rowbytes;
    A_long width;
    A_long height;
    /* The part of the buffer the host needs (left, top, right, bottom). */
    PF_UnionableRect extent_hint;
    void *platform_ref;
    A_long reserved_long1;
    void *reserved_long4;
    PF_RationalScale pix_aspect_ratio;
    void *reserved_long2;
    A_long origin_x;
    A_long origin_y;
    A_long reserved_long3;
    /* As a layer parameter: the layer it defaults to. */
    A_long dephault;
} PF_LayerDef;

typedef PF_LayerDef PF_EffectWorld;

#ifdef __cplusplus
}
#endif

#endif
