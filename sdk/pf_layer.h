/* A layer (or output buffer) as the host describes it. */
#ifndef ZONARA_SDK_PF_LAYER_H
#define ZONARA_SDK_PF_LAYER_H

#include "pf_basic_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef A_long PF_WorldFlags;
enum {
    PF_WorldFlag_DEEP = 1,     /* 16 bits per channel */
    PF_WorldFlag_WRITEABLE = 2
};

typedef struct PF_LayerDef {
    PF_WorldFlags world_flags;
    /* First pixel of the first row. */
    void *data;
    /* Signed byte distance from one row to the next: negative for a buffer
     * stored bottom-up. */
    A_long rowbytes;
    A_long width;
    A_long height;
    /* The part of the buffer the host needs (left, top, right, bottom). */
    PF_Rect extent_hint;
    PF_RationalScale pix_aspect_ratio;
    A_long origin_x;
    A_long origin_y;
} PF_LayerDef;

typedef PF_LayerDef PF_EffectWorld;

#ifdef __cplusplus
}
#endif

#endif
