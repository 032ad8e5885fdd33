#include "tools/image/host_pixels.h"

#include "pf_sdk.h"

namespace zonara_tool {
namespace {

// QuantizedCode as the float the per-sample functions return.
float Quantize(float value, std::int32_t full_scale) { return static_cast<float>(QuantizedCode(value, full_scale)); }

std::int32_t Code(float sample) { return static_cast<std::int32_t>(sample); }

}  // namespace

HostDepth DepthOf(testhost::PixelFormat format) {
    switch (format) {
    case testhost::PixelFormat::kArgb8:
    case testhost::PixelFormat::kBgra8:
        return HostDepth::k8;
    case testhost::PixelFormat::kArgb16:
        return HostDepth::k16;
    case testhost::PixelFormat::kBgra32f:
        break;
    }
    return HostDepth::kFloat;
}

testhost::PixelFormat LayerFormatFor(const HostFormat &format) {
    if (format.app == testhost::HostApp::kPremiere) {
        return format.depth == HostDepth::kFloat ? testhost::PixelFormat::kBgra32f : testhost::PixelFormat::kBgra8;
    }
    return format.depth == HostDepth::k16 ? testhost::PixelFormat::kArgb16 : testhost::PixelFormat::kArgb8;
}

std::int32_t FileCode16ToHost16(std::int32_t code) {
    return static_cast<std::int32_t>(RoundedQuotient(std::int64_t{code} * 32768, 65535));
}

std::int32_t Host16ToFileCode16(std::int32_t value) {
    return static_cast<std::int32_t>(RoundedQuotient(std::int64_t{value} * 65535, 32768));
}

float FileSampleToHost(SampleKind kind, float sample, HostDepth depth) {
    switch (depth) {
    case HostDepth::k8:
        if (kind == SampleKind::k8) {
            return sample;
        }
        if (kind == SampleKind::k16) {
            return static_cast<float>(RoundedQuotient(std::int64_t{Code(sample)} * 255, 65535));
        }
        return Quantize(sample, PF_MAX_CHAN8);
    case HostDepth::k16:
        if (kind == SampleKind::k8) {
            return static_cast<float>(RoundedQuotient(std::int64_t{Code(sample)} * 32768, 255));
        }
        if (kind == SampleKind::k16) {
            return static_cast<float>(FileCode16ToHost16(Code(sample)));
        }
        return Quantize(sample, PF_MAX_CHAN16);
    case HostDepth::kFloat:
        break;
    }
    if (kind == SampleKind::k8) {
        return sample / 255.0f;
    }
    if (kind == SampleKind::k16) {
        return sample / 65535.0f;
    }
    return sample;
}

float HostToFileSample(float value, HostDepth depth, SampleKind kind) {
    switch (kind) {
    case SampleKind::k8:
        if (depth == HostDepth::k8) {
            return value;
        }
        if (depth == HostDepth::k16) {
            return static_cast<float>(RoundedQuotient(std::int64_t{Code(value)} * 255, 32768));
        }
        return Quantize(value, 255);
    case SampleKind::k16:
        if (depth == HostDepth::k8) {
            return value * 257.0f;
        }
        if (depth == HostDepth::k16) {
            return static_cast<float>(Host16ToFileCode16(Code(value)));
        }
        return Quantize(value, 65535);
    case SampleKind::kFloat:
        break;
    }
    if (depth == HostDepth::k8) {
        return value / 255.0f;
    }
    if (depth == HostDepth::k16) {
        return value / 32768.0f;
    }
    return value;
}

}  // namespace zonara_tool
