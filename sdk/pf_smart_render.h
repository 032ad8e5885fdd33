/* Smart rendering: the two commands through which a compositing host asks for
 * 32-bit float frames and for only the part of a frame it needs. Pre-render
 * says what the effect will produce of a request and which input it needs;
 * render then produces exactly that rectangle. */
#ifndef ZONARA_SDK_PF_SMART_RENDER_H
#define ZONARA_SDK_PF_SMART_RENDER_H

#include "pf_basic_types.h"
#include "pf_layer.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef A_long PF_PixelFormat;
typedef A_long PF_Field;
typedef A_long PF_ChannelMask;
typedef A_long PF_GPU_Framework;
typedef A_short PF_RenderOutputFlags;

/* The compositing host's pixel formats, as reported by its world suite. */
#define PF_PixelFormat_ARGB32 ((PF_PixelFormat)0x62677261)  /* "argb": 8 bits a channel */
#define PF_PixelFormat_ARGB64 ((PF_PixelFormat)0x36316561)  /* "ae16": 16 bits, 0 to 32768 */
#define PF_PixelFormat_ARGB128 ((PF_PixelFormat)0x32336561) /* "ae32": 32-bit float */

enum { PF_Field_FRAME = 0 };
enum { PF_ChannelMask_ARGB = 15 };
enum { PF_RenderOutputFlag_RETURNS_EXTRA_PIXELS = 1 };
enum { PF_GPU_Framework_NONE = 0 };

/* Rectangles in layer pixels; right and bottom lie one past the last. */
typedef struct PF_LRect {
    A_long left;
    A_long top;
    A_long right;
    A_long bottom;
} PF_LRect;

typedef struct PF_RenderRequest {
    PF_LRect rect;
    PF_Field field;
    PF_ChannelMask channel_mask;
    PF_Boolean preserve_rgb_of_zero_alpha;
    char unused[3];
    A_long reserved[4];
} PF_RenderRequest;

typedef struct PF_PreRenderInput {
    PF_RenderRequest output_request;
    A_short bitdepth;
    const void *gpu_data;
    PF_GPU_Framework what_gpu;
    A_u_long device_index;
} PF_PreRenderInput;

/* Frees what pre-render hung on pre_render_data; the host calls it. */
typedef void (*PF_DeletePreRenderDataFunc)(void *pre_render_data);

typedef struct PF_PreRenderOutput {
    PF_LRect result_rect;
    PF_LRect max_result_rect;
    PF_Boolean solid;
    PF_Boolean reserved;
    PF_RenderOutputFlags flags;
    void *pre_render_data;
    PF_DeletePreRenderDataFunc delete_pre_render_data_func;
} PF_PreRenderOutput;

typedef struct PF_CheckoutResult {
    PF_LRect result_rect;
    PF_LRect max_result_rect;
    PF_RationalScale par;
    PF_Boolean solid;
    PF_Boolean reservedB[3];
    A_long ref_width;
    A_long ref_height;
    A_long reserved[6];
} PF_CheckoutResult;

typedef struct PF_PreRenderCallbacks {
    PF_Err (*checkout_layer)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long checkout_idL,
                             const PF_RenderRequest *req, A_long what_time, A_long time_step, A_u_long time_scale,
                             PF_CheckoutResult *checkout_result);
    PF_Err (*GuidMixInPtr)(PF_ProgPtr effect_ref, A_u_long buf_sizeLu, const void *buf);
} PF_PreRenderCallbacks;

typedef struct PF_PreRenderExtra {
    PF_PreRenderInput *input;
    PF_PreRenderOutput *output;
    PF_PreRenderCallbacks *cb;
} PF_PreRenderExtra;

typedef struct PF_SmartRenderInput {
    PF_RenderRequest output_request;
    A_short bitdepth;
    void *pre_render_data;
    const void *gpu_data;
    PF_GPU_Framework what_gpu;
    A_u_long device_index;
} PF_SmartRenderInput;

typedef struct PF_SmartRenderCallbacks {
    PF_Err (*checkout_layer_pixels)(PF_ProgPtr effect_ref, A_long checkout_idL, PF_EffectWorld **pixels);
    PF_Err (*checkin_layer_pixels)(PF_ProgPtr effect_ref, A_long checkout_idL);
    PF_Err (*checkout_output)(PF_ProgPtr effect_ref, PF_EffectWorld **output);
} PF_SmartRenderCallbacks;

typedef struct PF_SmartRenderExtra {
    PF_SmartRenderInput *input;
    PF_SmartRenderCallbacks *cb;
} PF_SmartRenderExtra;

/* The compositing host's world suite; the effect asks it only for a world's
 * pixel format. */
#define kPFWorldSuite "PF World Suite"
#define kPFWorldSuiteVersion2 2

typedef struct PF_WorldSuite2 {
    PF_Err (*PF_NewWorld)(PF_ProgPtr effect_ref, A_long widthL, A_long heightL, PF_Boolean clear_pixB,
                          PF_PixelFormat pixel_format, PF_EffectWorld *worldP);
    PF_Err (*PF_DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld *worldP);
    PF_Err (*PF_GetPixelFormat)(const PF_EffectWorld *worldP, PF_PixelFormat *pixel_formatP);
} PF_WorldSuite2;

#ifdef __cplusplus
}
#endif

#endif
