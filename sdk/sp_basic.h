/* The host's basic suite: every other suite is asked for through it by
 * exact name and version, and must be handed back the same way. */
#ifndef ZONARA_SDK_SP_BASIC_H
#define ZONARA_SDK_SP_BASIC_H

#include "pf_basic_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SPBasicSuite {
    /* Stores the suite's function table in *suite, or null when refused. */
    SPErr (*AcquireSuite)(const char *name, int32_t version, const void **suite);
    SPErr (*ReleaseSuite)(const char *name, int32_t version);
    /* Non-zero when the two names are the same suite name. */
    SPBoolean (*IsEqual)(const char *token1, const char *token2);
    SPErr (*AllocateBlock)(size_t size, void **block);
    SPErr (*FreeBlock)(void *block);
    SPErr (*ReallocateBlock)(void *block, size_t new_size, void **new_block);
    SPErr (*Undefined)(void);
} SPBasicSuite;

#ifdef __cplusplus
}
#endif

#endif
