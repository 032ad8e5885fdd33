#include "tools/image/wipe_view.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tools/base/message_text.h"
#include "tools/base/tool_error.h"
#include "tools/params/value_text.h"

namespace zonara_tool {
namespace {

constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;
// Beyond the largest image on either side the line leaves the frame.
constexpr double MAX_WIPE_POSITION = 1.0e6;

// cos and sin of an angle in degrees, exact at the right angles, where the
// radian value's rounding would otherwise tilt a straight line by a hair and
// split it across two rows.
double CosDegrees(double degrees) {
    const double value = std::cos(degrees * DEGREES_TO_RADIANS);
    return std::fabs(value) < 1e-12 ? 0.0 : value;
}

double SinDegrees(double degrees) {
    const double value = std::sin(degrees * DEGREES_TO_RADIANS);
    return std::fabs(value) < 1e-12 ? 0.0 : value;
}

// White in the image's own sample type.
void WriteWhite(void *sample, SampleKind kind) {
    switch (kind) {
    case SampleKind::INT8:
        *static_cast<std::uint8_t *>(sample) = 255;
        return;
    case SampleKind::INT16:
        *static_cast<std::uint16_t *>(sample) = 65535;
        return;
    case SampleKind::FLOAT32: {
        const float one = 1.0f;
        std::memcpy(sample, &one, sizeof one);
        return;
    }
    }
}

}  // namespace

WipeLine ParseWipe(const std::string &text) {
    WipeLine line;
    const std::size_t comma = text.find(',');
    const std::string position = text.substr(0, comma);
    const std::string refusal =
        "--wipe " + QuotedForMessage(text) + ": expected X or X,ANGLE (frame pixels, degrees), e.g. 960,15";
    if (!position.empty()) {
        double x = 0.0;
        if (!ParseNumber(position, x) || std::fabs(x) > MAX_WIPE_POSITION) {
            throw UsageError(refusal);
        }
        line.x = x;
    }
    if (comma != std::string::npos) {
        if (!ParseNumber(text.substr(comma + 1), line.angle_degrees) || std::fabs(line.angle_degrees) > 360.0) {
            throw UsageError(refusal + "; the angle within +-360");
        }
    }
    return line;
}

Image ComposeWipe(const Image &source, const Image &graded, const WipeLine &line, int layer_width, int layer_height,
                  int downsample) {
    Image out = graded;
    const int channels = out.channels;
    const int colour_channels = channels < 3 ? 1 : 3;
    const std::size_t sample_bytes = BytesPerSample(out.kind);
    const std::size_t pixel_bytes = sample_bytes * static_cast<std::size_t>(channels);
    // White in premultiplied colour is the pixel's alpha: full colour there
    // would be brighter than white wherever the pixel is not opaque.
    const int alpha = AlphaChannelOf(out);
    const bool premultiplied = HoldsPremultipliedColour(out);

    // Measured in the rendered grid, so the line is one rendered pixel wide
    // at any draft factor.
    const double scale = 1.0 / downsample;
    const double line_x = line.x.value_or(layer_width / 2.0) * scale;
    const double line_y = layer_height / 2.0 * scale;
    const double normal_x = CosDegrees(line.angle_degrees);
    const double normal_y = SinDegrees(line.angle_degrees);

    const unsigned char *before = source.bytes.data();
    unsigned char *after = out.bytes.data();
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            // Signed distance of the pixel's centre from the line.
            const double distance = (x + 0.5 - line_x) * normal_x + (y + 0.5 - line_y) * normal_y;
            const std::size_t at = (static_cast<std::size_t>(y) * out.width + x) * pixel_bytes;
            if (distance >= -0.5 && distance < 0.5) {
                for (int c = 0; c < colour_channels; ++c) {
                    if (premultiplied) {
                        std::memcpy(after + at + c * sample_bytes, after + at + alpha * sample_bytes, sample_bytes);
                    } else {
                        WriteWhite(after + at + c * sample_bytes, out.kind);
                    }
                }
            } else if (distance < 0.0) {
                std::memcpy(after + at, before + at, pixel_bytes);
            }
        }
    }
    return out;
}

}  // namespace zonara_tool
