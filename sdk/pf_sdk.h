/* Everything the effect sees of its host, in one include. */
#ifndef ZONARA_SDK_PF_SDK_H
#define ZONARA_SDK_PF_SDK_H

#include "drawbot.h"
#include "pf_abi_layout.h"
#include "pf_basic_types.h"
#include "pf_callbacks.h"
#include "pf_effect.h"
#include "pf_events.h"
#include "pf_layer.h"
#include "pf_params.h"
#include "pf_pixels.h"
#include "pf_smart_render.h"
#include "pf_suites.h"
#include "sp_basic.h"

#endif
