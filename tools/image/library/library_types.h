// The image library's sample type for each way the tool holds samples in
// memory; shared by the whole-image reads and writes and the per-channel
// moves.
#pragma once

#include "tools/image/image.h"

#include <OpenImageIO/typedesc.h>

namespace zonara_tool {

inline OIIO::TypeDesc TypeOf(SampleKind kind) {
    switch (kind) {
    case SampleKind::INT8:
        return OIIO::TypeDesc::UINT8;
    case SampleKind::INT16:
        return OIIO::TypeDesc::UINT16;
    case SampleKind::FLOAT32:
        break;
    }
    return OIIO::TypeDesc::FLOAT;
}

}  // namespace zonara_tool
