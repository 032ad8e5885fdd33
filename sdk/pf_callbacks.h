/* Callback tables reached through the in-data record: the standard C
 * functions the host offers (`utils` -> `ansi`) and the interaction
 * callbacks used at parameter setup (`inter`). */
#ifndef ZONARA_SDK_PF_CALLBACKS_H
#define ZONARA_SDK_PF_CALLBACKS_H

#include "pf_basic_types.h"
#include "pf_params.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PF_ANSICallbacks {
    double (*atan)(double);
    double (*atan2)(double y, double x);
    double (*ceil)(double);
    double (*cos)(double);
    double (*exp)(double);
    double (*fabs)(double);
    double (*floor)(double);
    double (*fmod)(double, double);
    double (*hypot)(double, double);
    double (*log)(double);
    double (*log10)(double);
    double (*pow)(double, double);
    double (*sin)(double);
    double (*sqrt)(double);
    double (*tan)(double);
    /* Formatted print; the format is the message itself when no argument
     * follows. Returns the number of characters written. */
    int (*sprintf)(A_char *buffer, const A_char *format, ...);
    A_char *(*strcpy)(A_char *dest, const A_char *src);
} PF_ANSICallbacks;

typedef struct PF_UtilCallbacks {
    PF_ANSICallbacks ansi;
} PF_UtilCallbacks;

typedef struct PF_InteractCallbacks {
    /* Appends a copy of *def when index is -1. */
    PF_Err (*add_param)(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def);
    /* Registers the custom overlay. */
    PF_Err (*register_ui)(PF_ProgPtr effect_ref, PF_CustomUIInfo *cust_info);
} PF_InteractCallbacks;

#ifdef __cplusplus
}
#endif

#endif
