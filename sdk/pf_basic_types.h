/* Scalar types, geometry records and result codes shared by every record of
 * the host interface. Plain C so that the effect, the simulated host and any
 * C caller agree on one layout. */
#ifndef ZONARA_SDK_PF_BASIC_TYPES_H
#define ZONARA_SDK_PF_BASIC_TYPES_H

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
typedef intptr_t A_intptr_t;
typedef double PF_FpLong;
typedef float PF_FpShort;
typedef uint8_t PF_Boolean;

/* 32-bit result code of every command and callback; 0 is success. */
typedef int32_t PF_Err;
/* Result code of the basic suite and the drawing suites. */
typedef int32_t SPErr;

/* Signed 16.16 fixed point: 65536 is 1.0. */
typedef int32_t PF_Fixed;
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

/* A rational: the numerator is signed, the denominator unsigned. */
typedef struct PF_RationalScale {
    A_long num;
    A_u_long den;
} PF_RationalScale;

/* Opaque handle the host gives the effect to identify itself in callbacks. */
typedef void *PF_ProgPtr;

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
