/* Pixel layouts of the layers the host hands over. */
#ifndef ZONARA_SDK_PF_PIXELS_H
#define ZONARA_SDK_PF_PIXELS_H

#include "pf_basic_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* 8 bits per channel, alpha first; 255 is full scale. */
typedef struct PF_Pixel {
    A_u_char alpha;
    A_u_char red;
    A_u_char green;
    A_u_char blue;
} PF_Pixel;

typedef PF_Pixel PF_Pixel8;

/* 16 bits per channel, alpha first; full scale is 32768, not 65535. */
typedef struct PF_Pixel16 {
    A_u_short alpha;
    A_u_short red;
    A_u_short green;
    A_u_short blue;
} PF_Pixel16;

/* 32-bit float per channel, alpha first; 1.0 is full scale. */
typedef struct PF_PixelFloat {
    PF_FpShort alpha;
    PF_FpShort red;
    PF_FpShort green;
    PF_FpShort blue;
} PF_PixelFloat;

#define PF_MAX_CHAN8 255
#define PF_MAX_CHAN16 32768

/* The editing host's pixel formats, as 32-bit codes whose bytes in memory
 * order spell the layout. */
typedef int32_t PrPixelFormat;
#define PrPixelFormat_BGRA_4444_8u ((PrPixelFormat)0x61726762)  /* "bgra" */
#define PrPixelFormat_BGRA_4444_32f ((PrPixelFormat)0x61724742) /* "BGra" */

/* 8 bits per channel, blue first (editing host). */
typedef struct PF_PixelBGRA8 {
    A_u_char blue;
    A_u_char green;
    A_u_char red;
    A_u_char alpha;
} PF_PixelBGRA8;

/* 32-bit float per channel, blue first (editing host). */
typedef struct PF_PixelBGRA32f {
    float blue;
    float green;
    float red;
    float alpha;
} PF_PixelBGRA32f;

#ifdef __cplusplus
}
#endif

#endif
