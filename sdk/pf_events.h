/* Overlay events: the record the host passes with PF_Cmd_EVENT, and the
 * callbacks that move points between layer, composition and view space. */
#ifndef ZONARA_SDK_PF_EVENTS_H
#define ZONARA_SDK_PF_EVENTS_H

#include "drawbot.h"
#include "pf_basic_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef A_long PF_WindowType;
enum { PF_Window_COMP = 0, PF_Window_LAYER = 1, PF_Window_EFFECT = 2 };

typedef A_long PF_EventType;
enum {
    PF_Event_NEW_CONTEXT = 0,
    PF_Event_ACTIVATE = 1,
    PF_Event_DO_CLICK = 2,
    PF_Event_DRAG = 3,
    PF_Event_DRAW = 4,
    PF_Event_DEACTIVATE = 5,
    PF_Event_CLOSE_CONTEXT = 6,
    PF_Event_IDLE = 7,
    PF_Event_ADJUST_CURSOR = 9,
    PF_Event_KEYDOWN = 10,
    PF_Event_MOUSE_EXITED = 11
};

typedef A_long PF_EventOutFlags;
enum { PF_EO_NONE = 0, PF_EO_HANDLED_EVENT = 1, PF_EO_ALWAYS_UPDATE = 2, PF_EO_NEVER_UPDATE = 4, PF_EO_UPDATE_NOW = 8 };

typedef A_long PF_EventInFlags;
typedef A_long PF_Modifiers;
typedef A_long PF_EffectArea;

typedef struct _PF_ContextRefcon *PF_ContextRefcon;

/* A view in which an overlay event happens. */
typedef struct PF_Context {
    A_u_long magic;
    PF_WindowType w_type;
    PF_ContextRefcon reserved_flt;
    A_intptr_t plugin_state[4];
    DRAWBOT_DrawRef reserved_drawref;
    void *reserved_paneP;
    void *reserved_job_manageP;
} PF_Context;

typedef PF_Context **PF_ContextH;

typedef struct PF_DoClickEventInfo {
    A_u_long when;
    /* Mouse position in view (frame) pixels. */
    PF_Point screen_point;
    A_long num_clicks;
    PF_Modifiers modifiers;
    /* Kept by the host from a click to the drags that follow it. */
    A_intptr_t continue_refcon[4];
    /* Set by the effect to ask for drag events. */
    PF_Boolean send_drag;
    /* Set by the host on the last drag of a gesture. */
    PF_Boolean last_time;
} PF_DoClickEventInfo;

typedef struct PF_DrawEventInfo {
    PF_UnionableRect update_rect;
    A_long depth;
} PF_DrawEventInfo;

/* Events this effect does not handle: held as bytes of their size. */
typedef struct PF_KeyDownEvent {
    A_long opaque[5];
} PF_KeyDownEvent;
typedef struct PF_AdjustCursorEventInfo {
    A_long opaque[4];
} PF_AdjustCursorEventInfo;

typedef union PF_EventUnion {
    PF_DoClickEventInfo do_click;
    PF_DrawEventInfo draw;
    PF_KeyDownEvent key_down;
    PF_AdjustCursorEventInfo adjust_cursor;
} PF_EventUnion;

/* Where in the effect controls window an event happened; this effect draws
 * only in the composition and layer views. */
typedef struct PF_EffectWindowInfo {
    PF_ParamIndex index;
    PF_EffectArea area;
    PF_UnionableRect current_frame;
    PF_UnionableRect param_title_frame;
    A_long horiz_offset;
} PF_EffectWindowInfo;

typedef void *PF_EventRefcon;

/* Point conversions, done in place on 16.16 points. */
typedef struct PF_EventCallbacks {
    PF_EventRefcon refcon;
    PF_Err (*layer_to_comp)(PF_EventRefcon refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                            PF_FixedPoint *pt);
    PF_Err (*comp_to_layer)(PF_EventRefcon refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                            PF_FixedPoint *pt);
    PF_UnusedCallback get_comp2layer_xform;
    PF_UnusedCallback get_layer2comp_xform;
    PF_Err (*source_to_frame)(PF_EventRefcon refcon, PF_ContextH context, PF_FixedPoint *pt);
    PF_Err (*frame_to_source)(PF_EventRefcon refcon, PF_ContextH context, PF_FixedPoint *pt);
    PF_UnusedCallback info_draw_color;
    PF_UnusedCallback info_draw_text;
} PF_EventCallbacks;

typedef struct PF_EventExtra {
    PF_ContextH contextH;
    PF_EventType e_type;
    PF_EventUnion u;
    PF_EffectWindowInfo effect_win;
    PF_EventCallbacks cbs;
    PF_EventInFlags evt_in_flags;
    PF_EventOutFlags evt_out_flags;
} PF_EventExtra;

#ifdef __cplusplus
}
#endif

#endif
