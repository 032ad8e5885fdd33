// The looks `zonara bench` times and the render benchmarks share: the named
// grades, the test frame's content, and the layer formats of each host.
// Header-only, so that the benchmarks take them without the tool's library.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "common/fixed_point.h"
#include "params/param_index.h"
#include "pf_sdk.h"
#include "testhost/core/host.h"

namespace bench_looks {

enum class Grade { kDefault, kFull, kSoftGaussian, kSoftExponential };

struct FormatChoice {
    const char *name;
    testhost::HostApp app;
    testhost::PixelFormat format;
};

constexpr FormatChoice ARGB8{"ARGB8", testhost::HostApp::kAfterEffects, testhost::PixelFormat::ARGB8};
constexpr FormatChoice ARGB16{"ARGB16", testhost::HostApp::kAfterEffects, testhost::PixelFormat::ARGB16};
constexpr FormatChoice ARGB32F{"ARGB32f", testhost::HostApp::kAfterEffects, testhost::PixelFormat::ARGB32F};
constexpr FormatChoice BGRA8{"BGRA8", testhost::HostApp::kPremiere, testhost::PixelFormat::BGRA8};
constexpr FormatChoice BGRA32F{"BGRA32f", testhost::HostApp::kPremiere, testhost::PixelFormat::BGRA32F};

// The window both graded looks share: a centred ellipse of 0.8 x 0.8 of the
// frame, turned by 30 degrees.
inline void ApplyWindow(PF_ParamDef **p, int width, int height) {
    using namespace zonara;
    p[PARAM_WINDOW_TYPE]->u.pd.value = WINDOW_TYPE_ELLIPSE;
    p[PARAM_ORIGIN]->u.td.x_value = WholeToFixed(width / 2);
    p[PARAM_ORIGIN]->u.td.y_value = WholeToFixed(height / 2);
    p[PARAM_WIDTH]->u.fs_d.value = 0.8 * width;
    p[PARAM_HEIGHT]->u.fs_d.value = 0.8 * height;
    p[PARAM_ANGLE]->u.ad.value = WholeToFixed(30);
}

// The soft window: the look users make every day, both sides graded with
// per-channel gammas and saturation, in a rotated ellipse of 0.8 x 0.8 of the
// frame whose wide feather (700 px at 3840 wide, scaled with the width)
// leaves much of the frame in the band, where the weight is strictly
// between 0 and 1 and every channel blends both sides' constants and takes
// a general power. The falloff chooses how the weight falls over it.
// bench/peers.sh sets the same values by key; the two must stay alike.
inline void ApplySoftGrade(PF_ParamDef **p, Grade grade, int width, int height) {
    using namespace zonara;
    constexpr double FEATHER_AT_4K = 700.0;
    ApplyWindow(p, width, height);
    p[PARAM_FEATHER]->u.fs_d.value = FEATHER_AT_4K * width / 3840.0;
    p[PARAM_FALLOFF]->u.pd.value = grade == Grade::kSoftExponential ? FALLOFF_EXPONENTIAL : FALLOFF_GAUSSIAN;
    const struct {
        int param;
        double value;
    } look[] = {{PARAM_IN_OFFSET, 0.02},       {PARAM_IN_SATURATION, 1.3},  {PARAM_IN_RED_GAMMA, 1.1},
                {PARAM_IN_RED_GAIN, 1.05},     {PARAM_IN_GREEN_GAMMA, 1.2}, {PARAM_IN_BLUE_GAMMA, 0.9},
                {PARAM_OUT_GAIN, 0.7},         {PARAM_OUT_SATURATION, 0.8}, {PARAM_OUT_RED_GAMMA, 0.95},
                {PARAM_OUT_GREEN_GAMMA, 1.05}, {PARAM_OUT_BLUE_GAMMA, 1.15}};
    for (const auto &setting : look) {
        p[setting.param]->u.fs_d.value = setting.value;
    }
}

// The full grade: a rotated ellipse with the default feather covering about
// half the frame (pi/4 * 0.8 * 0.8 of it), and every inside and outside
// control away from identity, so every pixel takes powers and a saturation
// change.
inline void ApplyGrade(PF_ParamDef **p, Grade grade, int width, int height) {
    using namespace zonara;
    if (grade == Grade::kDefault) return;
    if (grade == Grade::kSoftGaussian || grade == Grade::kSoftExponential) {
        ApplySoftGrade(p, grade, width, height);
        return;
    }
    ApplyWindow(p, width, height);
    // Feather and falloff stay at the defaults the effect declares.
    const double inside[] = {0.02, 1.1, 1.05, 1.3, -0.01, 0.9, 1.1, 0.015, 1.2, 0.95, 0.01, 0.85, 1.05};
    const double outside[] = {-0.02, 0.9, 0.95, 0.6, 0.01, 1.15, 0.9, -0.015, 0.8, 1.05, 0.02, 1.25, 0.97};
    const int inside_params[] = {PARAM_IN_OFFSET,      PARAM_IN_GAMMA,      PARAM_IN_GAIN,        PARAM_IN_SATURATION,
                                 PARAM_IN_RED_OFFSET,  PARAM_IN_RED_GAMMA,  PARAM_IN_RED_GAIN,    PARAM_IN_GREEN_OFFSET,
                                 PARAM_IN_GREEN_GAMMA, PARAM_IN_GREEN_GAIN, PARAM_IN_BLUE_OFFSET, PARAM_IN_BLUE_GAMMA,
                                 PARAM_IN_BLUE_GAIN};
    const int outside_params[] = {PARAM_OUT_OFFSET,     PARAM_OUT_GAMMA,        PARAM_OUT_GAIN,
                                  PARAM_OUT_SATURATION, PARAM_OUT_RED_OFFSET,   PARAM_OUT_RED_GAMMA,
                                  PARAM_OUT_RED_GAIN,   PARAM_OUT_GREEN_OFFSET, PARAM_OUT_GREEN_GAMMA,
                                  PARAM_OUT_GREEN_GAIN, PARAM_OUT_BLUE_OFFSET,  PARAM_OUT_BLUE_GAMMA,
                                  PARAM_OUT_BLUE_GAIN};
    for (int i = 0; i < 13; ++i) {
        p[inside_params[i]]->u.fs_d.value = inside[i];
        p[outside_params[i]]->u.fs_d.value = outside[i];
    }
}

// The chart: a smooth colour ramp with fine noise, so every code occurs and
// neighbouring pixels differ.
inline void FillFrame(testhost::Layer &layer) {
    std::uint32_t noise = 12345;
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            const float fx = static_cast<float>(x) / static_cast<float>(layer.width());
            const float fy = static_cast<float>(y) / static_cast<float>(layer.height());
            const float jitter = static_cast<float>((noise >> 24) & 0x0F) / 255.0f;
            const float r = fx + jitter, g = fy, b = 1.0f - 0.5f * (fx + fy) + jitter;
            void *pixel = layer.PixelAddress(x, y);
            switch (layer.format()) {
            case testhost::PixelFormat::ARGB8: {
                auto *p = static_cast<PF_Pixel *>(pixel);
                *p = {255, static_cast<A_u_char>(255 * std::min(r, 1.0f)), static_cast<A_u_char>(255 * g),
                      static_cast<A_u_char>(255 * std::min(b, 1.0f))};
                break;
            }
            case testhost::PixelFormat::BGRA8: {
                auto *p = static_cast<PF_PixelBGRA8 *>(pixel);
                *p = {static_cast<A_u_char>(255 * std::min(b, 1.0f)), static_cast<A_u_char>(255 * g),
                      static_cast<A_u_char>(255 * std::min(r, 1.0f)), 255};
                break;
            }
            case testhost::PixelFormat::ARGB16: {
                auto *p = static_cast<PF_Pixel16 *>(pixel);
                *p = {32768, static_cast<A_u_short>(32768 * std::min(r, 1.0f)), static_cast<A_u_short>(32768 * g),
                      static_cast<A_u_short>(32768 * std::min(b, 1.0f))};
                break;
            }
            case testhost::PixelFormat::BGRA32F: {
                auto *p = static_cast<PF_PixelBGRA32f *>(pixel);
                *p = {b, g, r, 1.0f};
                break;
            }
            case testhost::PixelFormat::ARGB32F: {
                auto *p = static_cast<PF_PixelFloat *>(pixel);
                *p = {1.0f, r, g, b};
                break;
            }
            }
        }
    }
}

// Independent random colours in every pixel, like film grain: no colour
// repeats to speak of, the worst case for anything that remembers colours.
// Integer formats take any code of their range, float frames values from 0
// to 1; alpha is opaque.
inline void FillNoise(testhost::Layer &layer) {
    std::uint32_t noise = 987654321;
    auto next = [&noise] {
        noise = noise * 1664525u + 1013904223u;
        return noise >> 8;  // the low bits of this generator repeat quickly
    };
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            void *pixel = layer.PixelAddress(x, y);
            switch (layer.format()) {
            case testhost::PixelFormat::ARGB8:
                *static_cast<PF_Pixel *>(pixel) = {255, static_cast<A_u_char>(next()), static_cast<A_u_char>(next()),
                                                   static_cast<A_u_char>(next())};
                break;
            case testhost::PixelFormat::BGRA8:
                *static_cast<PF_PixelBGRA8 *>(pixel) = {static_cast<A_u_char>(next()), static_cast<A_u_char>(next()),
                                                        static_cast<A_u_char>(next()), 255};
                break;
            case testhost::PixelFormat::ARGB16:
                *static_cast<PF_Pixel16 *>(pixel) = {32768, static_cast<A_u_short>(next() % 32769),
                                                     static_cast<A_u_short>(next() % 32769),
                                                     static_cast<A_u_short>(next() % 32769)};
                break;
            case testhost::PixelFormat::BGRA32F: {
                constexpr float SCALE = 1.0f / 16777216.0f;  // 24 random bits to 0..1
                *static_cast<PF_PixelBGRA32f *>(pixel) = {static_cast<float>(next()) * SCALE,
                                                          static_cast<float>(next()) * SCALE,
                                                          static_cast<float>(next()) * SCALE, 1.0f};
                break;
            }
            case testhost::PixelFormat::ARGB32F: {
                constexpr float SCALE = 1.0f / 16777216.0f;
                auto *p = static_cast<PF_PixelFloat *>(pixel);
                p->alpha = 1.0f;
                p->red = static_cast<float>(next()) * SCALE;
                p->green = static_cast<float>(next()) * SCALE;
                p->blue = static_cast<float>(next()) * SCALE;
                break;
            }
            }
        }
    }
}

// The bytes a frame's pixels occupy (rows of rowbytes each), for the copy
// the render is measured against.
inline std::size_t FrameBytes(const testhost::Layer &layer) {
    const A_long rowbytes = layer.def().rowbytes;
    return static_cast<std::size_t>(rowbytes < 0 ? -rowbytes : rowbytes) * static_cast<std::size_t>(layer.height());
}

}  // namespace bench_looks
