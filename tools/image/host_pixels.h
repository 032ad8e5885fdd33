// Moving pixels between images and the host's layers, as a host does when it
// decodes footage into its working format. The conversions are exact where
// they can be (8-bit codes pass unchanged, float values pass unchanged) and
// round to nearest, halves up, where the scales differ.
//
// The per-sample functions state the rules; FillLayer and StoreLayer apply
// them to whole frames with one typed loop per (sample kind, layer format),
// chosen once per image and run over bands of rows on all cores.
#pragma once

#include <cmath>
#include <cstdint>

#include "testhost/core/host.h"
#include "testhost/core/layer.h"
#include "tools/image/image.h"

namespace zonara_tool {

// (numerator / denominator) rounded to nearest, halves up, for
// non-negative values: how codes move between the files' and the host's
// integer scales.
constexpr std::int64_t RoundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}

// A float sample on an integer scale: not-a-number and values at or below 0
// give 0, values at or above 1 full scale, others the nearest code.
inline std::int64_t QuantizedCode(float value, std::int64_t full_scale) {
    if (!(value > 0.0f)) {
        return 0;
    }
    if (value >= 1.0f) {
        return full_scale;
    }
    return std::llround(static_cast<double>(value) * static_cast<double>(full_scale));
}

// The user's depth choice is the depth of the host's layer: one of the
// effect's formats' depths, not a list of the tool's own.
using zonara::SampleDepth;

struct HostFormat {
    testhost::HostApp app = testhost::HostApp::kAfterEffects;
    SampleDepth depth = SampleDepth::INT8;
};

// The layer format the host renders at: the host's channel order at the
// chosen depth, or at 8 bits where the host has no format of that depth.
testhost::PixelFormat LayerFormatFor(const HostFormat &format);
inline SampleDepth DepthOf(testhost::PixelFormat format) { return zonara::TraitsOf(format).depth; }

// A 16-bit file code (0..65535) in the host's 16-bit range (0..32768) and
// back, in integer arithmetic.
std::int32_t FileCode16ToHost16(std::int32_t code);
std::int32_t Host16ToFileCode16(std::int32_t value);

// One sample of the file's kind in the host's depth and back. Integer host
// values are whole numbers held in a float (exact up to 2^24).
float FileSampleToHost(SampleKind kind, float sample, SampleDepth depth);
float HostToFileSample(float value, SampleDepth depth, SampleKind kind);

// Fills the layer (of the image's size, `depth` being its format's) from the
// image: red, green, blue from its colour channels (ColourChannelsOf; a grey
// image's one channel feeds all three), alpha from the image's alpha channel
// or full when it has none. Premultiplied colour (alpha_association) is
// handed over straight, as hosts hand it to an effect: divided by alpha,
// except where alpha is 0 (passed as stored) or 1 (passed untouched).
void FillLayer(const Image &image, SampleDepth depth, testhost::Layer &layer);

// Writes the layer's colours into the image's colour channels; the image's
// alpha and any further channels keep their values. A grey image receives
// the Rec. 709 luma of the graded colour (the grey itself where the grade
// kept red, green and blue equal). Premultiplied colour is multiplied by the
// image's alpha again, rounded once; where alpha is 0 the image keeps the
// colour it held.
void StoreLayer(const testhost::Layer &layer, SampleDepth depth, Image &image);

}  // namespace zonara_tool
