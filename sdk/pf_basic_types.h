/* Scalar types, geometry records and result codes shared by every record of
 * the host interface. Plain C, every integer of a fixed width, so that the
 * effect, the simulated host and a real host agree on one layout on 64-bit
 * Windows and 64-bit Linux alike (pf_abi_layout.h checks it). */
#ifndef ZONARA_SDK_PF_BASIC_TYPES_H
#define ZONARA_SDK_PF_BASIC_TYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef char A_char;
typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef uint8_t A_u_char;
typedef double A_FpLong;
typedef float A_FpShort;
typedef uint8_t A_Boolean;
typedef int64_t A_intptr_t;
typedef uint64_t A_u_longlong;
typedef A_long A_AppID;
typedef double PF_FpLong;
typedef float PF_FpShort;
/* A one-byte flag; the hosts declare it as plain char. */
typedef char PF_Boolean;

/* 32-bit result code of every command and callback; 0 is success. */
typedef A_long PF_Err;
/* Result code and boolean of the basic suite and the drawing suites. */
typedef int32_t SPErr;
typedef int32_t SPBoolean;

/* Signed 16.16 fixed point: 65536 is 1.0. */
typedef A_long PF_Fixed;
typedef A_u_long PF_UFixed;
#define PF_FIXED_ONE 65536

typedef struct PF_FixedPoint {
    PF_Fixed x;
    PF_Fixed y;
} PF_FixedPoint;

/* An integer point: horizontal, then vertical. */
typedef struct PF_Point {
    A_long h;
    A_long v;
} PF_Point;

typedef struct PF_Rect {
    A_long left;
    A_long top;
    A_long right;
    A_long bottom;
} PF_Rect;
typedef PF_Rect PF_UnionableRect;

/* A rational: the numerator is signed, the denominator unsigned. */
typedef struct PF_RationalScale {
    A_long num;
    A_u_long den;
} PF_RationalScale;

/* The interface version a host speaks, in the in-data record. */
typedef struct PF_SpecVersion {
    A_short major;
    A_short minor;
} PF_SpecVersion;

/* Opaque handle the host gives the effect to identify itself in callbacks. */
typedef struct _PF_ProgressInfo *PF_ProgPtr;
/* A host-owned relocatable block; the effect keeps none. */
typedef void **PF_Handle;

/* A table slot the effect never calls: present so that the slots after it
 * sit where the host put them. */
typedef void (*PF_UnusedCallback)(void);

typedef A_long PF_Quality;
typedef A_long PF_Field;
typedef A_long PF_InFlags;
typedef A_long PF_OutFlags;
typedef A_long PF_OutFlags2;
typedef A_long PF_ParamIndex;

enum {
    PF_Err_NONE = 0,
    PF_Err_OUT_OF_MEMORY = 4,
    PF_Err_INTERNAL_STRUCT_DAMAGED = 512,
    PF_Err_INVALID_INDEX = 513,
    PF_Err_UNRECOGNIZED_PARAM_TYPE = 514,
    PF_Err_INVALID_CALLBACK = 515,
    PF_Err_BAD_CALLBACK_PARAM = 516
};

#define kSPNoError 0

#ifdef __cplusplus
}
#endif

#endif
