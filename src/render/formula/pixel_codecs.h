// Conversions between the integer channel codes of the buffers and the
// floating-point values the grade works on.
#pragma once

#include <cstdint>

#include "render/formula/pixel_steps.h"

namespace zonara {

// Writing limits to 0..full scale (not-a-number becoming 0) and then
// truncates toward zero; after the limit the conversion is always defined.
template <int FULL_SCALE>
inline int EncodeLimited(float scaled) {
    constexpr float FULL = static_cast<float>(FULL_SCALE);
    return static_cast<int>(steps::LimitToFullScale(scaled, FULL));
}

// 8 bits per channel, 255 full scale.
struct Codec8 {
    using Code = std::uint8_t;
    static constexpr int MAX_CODE = 255;
    static float Decode(unsigned code) { return steps::DecodeCode8(static_cast<float>(code)); }
    static Code Encode(float value) { return static_cast<Code>(EncodeLimited<255>(value * 255.0f)); }
};

// 16 bits per channel, full scale 32768 (2^15), not 65535.
struct Codec16 {
    using Code = std::uint16_t;
    static constexpr int MAX_CODE = 32768;
    static float Decode(unsigned code) { return steps::DecodeCode16(static_cast<float>(code)); }
    static Code Encode(float value) { return static_cast<Code>(EncodeLimited<32768>(value * 32768.0f)); }
};

}  // namespace zonara
