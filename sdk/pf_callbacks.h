/* Callback tables reached through the in-data record: the interaction
 * callbacks used at parameter setup (`inter`) and the host's utilities with
 * their block of standard C functions (`utils` -> `ansi`). A slot is known by
 * its place, so every slot is declared, the ones this effect never calls as
 * opaque pointers. */
#ifndef ZONARA_SDK_PF_CALLBACKS_H
#define ZONARA_SDK_PF_CALLBACKS_H

#include "pf_basic_types.h"
#include "pf_params.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The standard C functions, in the order the hosts publish them. The same
 * functions come twice: as this block inside the utilities and, without the
 * trailing member, as the "PF ANSI Suite" (pf_suites.h). */
#define PF_ANSI_FUNCTIONS \
    A_FpLong (*atan)(A_FpLong); \
    A_FpLong (*atan2)(A_FpLong y, A_FpLong x); \
    A_FpLong (*ceil)(A_FpLong); \
    A_FpLong (*cos)(A_FpLong); \
    A_FpLong (*exp)(A_FpLong); \
    A_FpLong (*fabs)(A_FpLong); \
    A_FpLong (*floor)(A_FpLong); \
    A_FpLong (*fmod)(A_FpLong x, A_FpLong y); \
    A_FpLong (*hypot)(A_FpLong x, A_FpLong y); \
    A_FpLong (*log)(A_FpLong); \
    A_FpLong (*log10)(A_FpLong); \
    A_FpLong (*pow)(A_FpLong x, A_FpLong y); \
    A_FpLong (*sin)(A_FpLong); \
    A_FpLong (*sqrt)(A_FpLong); \
    A_FpLong (*tan)(A_FpLong); \
    /* Formatted print; the format is the message itself when no \
     * argument follows. Returns the number of characters written. */ \
    int (*sprintf)(A_char * buffer, const A_char *format, ...); \
    A_char *(*strcpy)(A_char * dest, const A_char *src); \
    A_FpLong (*asin)(A_FpLong); \
    A_FpLong (*acos)(A_FpLong);

typedef struct PF_ANSICallbacksBlock {
    PF_ANSI_FUNCTIONS
    A_long unused_longA[1];
} PF_ANSICallbacksBlock;

typedef struct PF_InteractCallbacks {
    /* A copy of parameter `index`'s value at what_time; every value checked
     * out is checked in again with checkin_param. */
    PF_Err (*checkout_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long time_step,
                             A_u_long time_scale, PF_ParamDef *param);
    PF_Err (*checkin_param)(PF_ProgPtr effect_ref, PF_ParamDef *param);
    /* Appends a copy of *def when index is -1. */
    PF_Err (*add_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def);
    PF_UnusedCallback abort;
    PF_UnusedCallback progress;
    /* Registers the custom overlay. */
    PF_Err (*register_ui)(PF_ProgPtr effect_ref, PF_CustomUIInfo *cust_info);
    PF_UnusedCallback checkout_layer_audio;
    PF_UnusedCallback checkin_layer_audio;
    PF_UnusedCallback get_audio_data;
    void *reserved_str[3];
    void *reserved[10];
} PF_InteractCallbacks;

/* The host's colour-space conversions; never called by this effect. */
typedef struct PF_ColorCallbacks {
    PF_UnusedCallback opaque[8];
} PF_ColorCallbacks;

typedef struct PF_UtilCallbacks {
    PF_UnusedCallback begin_sampling;
    PF_UnusedCallback subpixel_sample;
    PF_UnusedCallback area_sample;
    void *get_batch_func_is_deprecated;
    PF_UnusedCallback end_sampling;
    PF_UnusedCallback composite_rect;
    PF_UnusedCallback blend;
    PF_UnusedCallback convolve;
    PF_UnusedCallback copy;
    PF_UnusedCallback fill;
    PF_UnusedCallback gaussian_kernel;
    PF_UnusedCallback iterate;
    PF_UnusedCallback premultiply;
    PF_UnusedCallback premultiply_color;
    PF_UnusedCallback new_world;
    PF_UnusedCallback dispose_world;
    PF_UnusedCallback iterate_origin;
    PF_UnusedCallback iterate_lut;
    PF_UnusedCallback transfer_rect;
    PF_UnusedCallback transform_world;
    PF_UnusedCallback host_new_handle;
    PF_UnusedCallback host_lock_handle;
    PF_UnusedCallback host_unlock_handle;
    PF_UnusedCallback host_dispose_handle;
    PF_UnusedCallback get_callback_addr;
    PF_UnusedCallback app;
    PF_ANSICallbacksBlock ansi;
    PF_ColorCallbacks colorCB;
    PF_UnusedCallback get_platform_data;
    PF_UnusedCallback host_get_handle_size;
    PF_UnusedCallback iterate_origin_non_clip_src;
    PF_UnusedCallback iterate_generic;
    PF_UnusedCallback host_resize_handle;
    PF_UnusedCallback subpixel_sample16;
    PF_UnusedCallback area_sample16;
    PF_UnusedCallback fill16;
    PF_UnusedCallback premultiply_color16;
    PF_UnusedCallback iterate16;
    PF_UnusedCallback iterate_origin16;
    PF_UnusedCallback iterate_origin_non_clip_src16;
    PF_UnusedCallback get_pixel_data8;
    PF_UnusedCallback get_pixel_data16;
    A_long reserved[1];
} PF_UtilCallbacks;

#ifdef __cplusplus
}
#endif

#endif
