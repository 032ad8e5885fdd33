/* Parameter definitions: what the effect declares at parameter setup and
 * what the host passes back, valued, with every render and event. */
#ifndef ZONARA_SDK_PF_PARAMS_H
#define ZONARA_SDK_PF_PARAMS_H

#include "pf_basic_types.h"
#include "pf_layer.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef A_long PF_ParamType;
enum {
    PF_Param_LAYER = 0,
    PF_Param_SLIDER = 1,
    PF_Param_FIX_SLIDER = 2,
    PF_Param_ANGLE = 3,
    PF_Param_CHECKBOX = 4,
    PF_Param_COLOR = 5,
    PF_Param_POINT = 6,
    PF_Param_POPUP = 7,
    PF_Param_CUSTOM = 8,
    PF_Param_NO_DATA = 9,
    PF_Param_FLOAT_SLIDER = 10,
    PF_Param_ARBITRARY_DATA = 11,
    PF_Param_PATH = 12,
    PF_Param_GROUP_START = 13,
    PF_Param_GROUP_END = 14,
    PF_Param_BUTTON = 15
};

typedef A_long PF_ParamFlags;
enum {
    PF_ParamFlag_RESERVED1 = 1,
    PF_ParamFlag_CANNOT_TIME_VARY = 2, /* no keyframes */
    PF_ParamFlag_CANNOT_INTERP = 4,
    PF_ParamFlag_COLLAPSE_TWIRLY = 32,
    PF_ParamFlag_SUPERVISE = 64
};

typedef A_long PF_ParamUIFlags;
typedef A_long PF_ParamValue;

typedef A_long PF_ChangeFlags;
enum { PF_ChangeFlag_NONE = 0, PF_ChangeFlag_CHANGED_VALUE = 1 };

#define PF_MAX_EFFECT_PARAM_NAME_LEN 31

typedef union PF_PopupDef_u {
    /* Choices separated by '|'. */
    const A_char *namesptr;
} PF_PopupDef_u;

typedef struct PF_PopupDef {
    PF_ParamValue value; /* choice number, from 1 */
    A_short num_choices;
    A_short dephault;
    PF_PopupDef_u u;
} PF_PopupDef;

typedef union PF_CheckBoxDef_u {
    /* Label shown beside the box. */
    const A_char *nameptr;
} PF_CheckBoxDef_u;

typedef struct PF_CheckBoxDef {
    PF_ParamValue value; /* non-zero means on */
    PF_Boolean dephault;
    A_char reserved;
    A_short reserved1;
    PF_CheckBoxDef_u u;
} PF_CheckBoxDef;

typedef A_short PF_Precision;
typedef A_short PF_ValueDisplayFlags;
typedef A_u_long PF_FSliderFlags;

typedef struct PF_FloatSliderDef {
    PF_FpLong value;
    PF_FpLong phase;
    /* Text shown after the value; unused by this effect. */
    A_char value_desc[32];
    PF_FpShort valid_min;
    PF_FpShort valid_max;
    PF_FpShort slider_min;
    PF_FpShort slider_max;
    PF_FpShort dephault;
    PF_Precision precision;
    PF_ValueDisplayFlags display_flags;
    PF_FSliderFlags fs_flags;
    PF_FpShort curve_tolerance;
    PF_Boolean useExponent;
    PF_FpShort exponent;
} PF_FloatSliderDef;

typedef struct PF_PointDef {
    PF_Fixed x_value;
    PF_Fixed y_value;
    A_char reserved[3];
    PF_Boolean restrict_bounds;
    /* Defaults are per cent of the layer's width and height. */
    PF_Fixed x_dephault;
    PF_Fixed y_dephault;
} PF_PointDef;

typedef struct PF_AngleDef {
    PF_Fixed value; /* degrees */
    PF_Fixed dephault;
    PF_Fixed valid_min;
    PF_Fixed valid_max;
} PF_AngleDef;

/* Parameter kinds this effect never declares nor reads: held as bytes of
 * their size and alignment, so the union keeps the hosts' size. */
typedef struct PF_SliderDef {
    A_long opaque[22];
} PF_SliderDef;
typedef struct PF_FixedSliderDef {
    A_long opaque[23];
} PF_FixedSliderDef;
typedef struct PF_ColorDef {
    A_u_char opaque[8];
} PF_ColorDef;
typedef struct PF_ArbitraryDef {
    void *opaque[4];
} PF_ArbitraryDef;
typedef struct PF_PathDef {
    A_long opaque[3];
} PF_PathDef;
typedef struct PF_ButtonDef {
    void *opaque[2];
} PF_ButtonDef;
typedef struct PF_Point3DDef {
    PF_FpLong opaque[8];
} PF_Point3DDef;

typedef union PF_ParamDefUnion {
    PF_LayerDef ld;
    PF_SliderDef sd;
    PF_FixedSliderDef fd;
    PF_AngleDef ad;
    PF_CheckBoxDef bd;
    PF_ColorDef cd;
    PF_PointDef td;
    PF_PopupDef pd;
    PF_FloatSliderDef fs_d;
    PF_ArbitraryDef arb_d;
    PF_PathDef path_d;
    PF_ButtonDef button_d;
    PF_Point3DDef point3d_d;
} PF_ParamDefUnion;

/* One four-byte field read two ways: at parameter setup it is the disk ID
 * under which saved projects keep the value; in an event it carries the
 * flags with which the effect marks a value it changed. */
typedef union PF_ParamDef_uu {
    A_long id;
    PF_ChangeFlags change_flags;
} PF_ParamDef_uu;

typedef struct PF_ParamDef {
    PF_ParamDef_uu uu;
    PF_ParamUIFlags ui_flags;
    A_short ui_width;
    A_short ui_height;
    PF_ParamType param_type;
    A_char name[PF_MAX_EFFECT_PARAM_NAME_LEN + 1];
    PF_ParamFlags flags;
    A_long unused;
    PF_ParamDefUnion u;
} PF_ParamDef;

typedef PF_ParamDef *PF_ParamDefPtr;
typedef PF_ParamDef **PF_ParamList;

/* Views in which the custom overlay asks for events. */
typedef A_long PF_CustomEventFlags;
enum { PF_CustomEFlag_NONE = 0, PF_CustomEFlag_COMP = 1, PF_CustomEFlag_LAYER = 2, PF_CustomEFlag_EFFECT = 4 };

typedef A_long PF_UIAlignment;

typedef struct PF_CustomUIInfo {
    A_long reserved;
    PF_CustomEventFlags events;
    A_long comp_ui_width;
    A_long comp_ui_height;
    PF_UIAlignment comp_ui_alignment;
    A_long layer_ui_width;
    A_long layer_ui_height;
    PF_UIAlignment layer_ui_alignment;
    A_long preview_ui_width;
    A_long preview_ui_height;
    PF_UIAlignment preview_ui_alignment;
} PF_CustomUIInfo;

#ifdef __cplusplus
}
#endif

#endif
