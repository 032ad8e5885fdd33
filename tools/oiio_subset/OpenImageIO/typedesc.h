// The tool built without OpenImageIO (the Windows build) still holds its
// pixels in the same few types, so the code that moves pixels between images
// and the host's layers is one and the same in both builds. Only what the
// tool uses is here, with OpenImageIO's meaning: sample types, a region, an
// image's layout and a buffer of local pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace OIIO {

struct TypeDesc {
    enum BaseType : unsigned char { UNKNOWN, UINT8, UINT16, FLOAT };

    constexpr TypeDesc(BaseType type = UNKNOWN) : basetype(type) {}
    constexpr std::size_t size() const {
        switch (basetype) {
        case UINT8:
            return 1;
        case UINT16:
            return 2;
        case FLOAT:
            return 4;
        case UNKNOWN:
            break;
        }
        return 0;
    }
    friend constexpr bool operator==(TypeDesc a, TypeDesc b) { return a.basetype == b.basetype; }

    BaseType basetype;
};

}  // namespace OIIO
