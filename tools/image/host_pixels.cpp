#include "tools/image/host_pixels.h"

#include "pf_sdk.h"

namespace zonara_tool {
namespace {

// QuantizedCode as the float the per-sample functions return.
float Quantize(float value, std::int32_t full_scale) { return static_cast<float>(QuantizedCode(value, full_scale)); }

std::int32_t Code(float sample) { return static_cast<std::int32_t>(sample); }

}  // namespace

testhost::PixelFormat LayerFormatFor(const HostFormat &format) {
    const zonara::ChannelOrder order = testhost::LayerChannelOrder(format.app);
    return zonara::FormatWith(order, format.depth).value_or(*zonara::FormatWith(order, SampleDepth::INT8));
}

std::int32_t FileCode16ToHost16(std::int32_t code) {
    return static_cast<std::int32_t>(RoundedQuotient(std::int64_t{code} * 32768, 65535));
}

std::int32_t Host16ToFileCode16(std::int32_t value) {
    return static_cast<std::int32_t>(RoundedQuotient(std::int64_t{value} * 65535, 32768));
}

float FileSampleToHost(SampleKind kind, float sample, SampleDepth depth) {
    switch (depth) {
    case SampleDepth::INT8:
        if (kind == SampleKind::INT8) {
            return sample;
        }
        if (kind == SampleKind::INT16) {
            return static_cast<float>(RoundedQuotient(std::int64_t{Code(sample)} * 255, 65535));
        }
        return Quantize(sample, PF_MAX_CHAN8);
    case SampleDepth::INT16:
        if (kind == SampleKind::INT8) {
            return static_cast<float>(RoundedQuotient(std::int64_t{Code(sample)} * 32768, 255));
        }
        if (kind == SampleKind::INT16) {
            return static_cast<float>(FileCode16ToHost16(Code(sample)));
        }
        return Quantize(sample, PF_MAX_CHAN16);
    case SampleDepth::FLOAT32:
        break;
    }
    if (kind == SampleKind::INT8) {
        return sample / 255.0f;
    }
    if (kind == SampleKind::INT16) {
        return sample / 65535.0f;
    }
    return sample;
}

float HostToFileSample(float value, SampleDepth depth, SampleKind kind) {
    switch (kind) {
    case SampleKind::INT8:
        if (depth == SampleDepth::INT8) {
            return value;
        }
        if (depth == SampleDepth::INT16) {
            return static_cast<float>(RoundedQuotient(std::int64_t{Code(value)} * 255, 32768));
        }
        return Quantize(value, 255);
    case SampleKind::INT16:
        if (depth == SampleDepth::INT8) {
            return value * 257.0f;
        }
        if (depth == SampleDepth::INT16) {
            return static_cast<float>(Host16ToFileCode16(Code(value)));
        }
        return Quantize(value, 65535);
    case SampleKind::FLOAT32:
        break;
    }
    if (depth == SampleDepth::INT8) {
        return value / 255.0f;
    }
    if (depth == SampleDepth::INT16) {
        return value / 32768.0f;
    }
    return value;
}

}  // namespace zonara_tool
