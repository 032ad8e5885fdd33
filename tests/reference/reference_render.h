// The render written out plainly, one pixel at a time, nothing memoised and
// nothing skipped: the yardstick the effect's production path must match bit
// for bit. Tests and benchmarks only.
//
// Independent of the production code on purpose: it includes none of the
// effect's render headers and derives the per-frame record (Build) and every
// pixel again from the parameters. Sharing the effect's helpers here would
// make a fault in them agree with itself; keep it separate.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "params/param_index.h"
#include "pf_sdk.h"
#include "testhost/core/layer.h"

namespace reference {

using testhost::PixelFormat;
using zonara::ParamIndex;

struct Pixel {
    float alpha, red, green, blue;
};

struct Record {
    float ux, uy, u_const, vx, vy, v_const;
    float half_width, half_height, recip_x, recip_y, outer_ab;
    float inner_half_width, inner_half_height, inner_ab;
    float inner_half_width_sq, inner_half_height_sq;
    float inv_inner_half_width_sq, inv_inner_half_height_sq;
    float half_width_sq, half_height_sq, feather;
    float inside_saturation, outside_saturation;
    bool is_ellipse, invert;
    std::int32_t falloff, color_model;
    float mix;
    bool clamp_out_white, clamp_out_black, clamp_in_black;
    float inside_offset[3], inside_inv_gamma[3], inside_gain[3];
    float outside_offset[3], outside_inv_gamma[3], outside_gain[3];
    const PF_InData *host_in_data;
};

inline float Slider(PF_ParamDef *const *p, int i) { return static_cast<float>(p[i]->u.fs_d.value); }
inline bool Check(PF_ParamDef *const *p, int i) { return (p[i]->u.bd.value & 0xFF) != 0; }

inline void Fold(PF_ParamDef *const *p, int master_offset, int master_gamma, int master_gain, const int offsets[3],
                 const int gammas[3], const int gains[3], float offset[3], float inv_gamma[3], float gain[3]) {
    for (int k = 0; k < 3; ++k) {
        offset[k] = Slider(p, offsets[k]) + Slider(p, master_offset);
        const float m = static_cast<float>(1.0 / static_cast<double>(Slider(p, master_gamma)));
        inv_gamma[k] = static_cast<float>((1.0 / static_cast<double>(Slider(p, gammas[k]))) * static_cast<double>(m));
        gain[k] = Slider(p, gains[k]) * Slider(p, master_gain);
    }
}

inline Record Build(const PF_InData &in_data, PF_ParamDef *const *p) {
    using namespace zonara;
    Record r;
    std::memset(&r, 0, sizeof r);
    // 16.16 fixed point to pixels (degrees for the angle).
    constexpr double FROM_FIXED = 1.0 / 65536.0;
    // The angle turned into radians, negated: the window turns clockwise on
    // screen, where y points down.
    const double theta = static_cast<double>(p[PARAM_ANGLE]->u.ad.value) * FROM_FIXED * -0.017453292519943295;
    const float cos_theta = static_cast<float>(std::cos(theta));
    const float sin_theta = static_cast<float>(std::sin(theta));
    // The window centre in full-size layer pixels.
    const float origin_x = static_cast<float>(p[PARAM_ORIGIN]->u.td.x_value * FROM_FIXED);
    const float origin_y = static_cast<float>(p[PARAM_ORIGIN]->u.td.y_value * FROM_FIXED);
    // Rendered pixels per square full-size pixel: horizontally the pixel
    // aspect ratio (inverted) and the downsample factor, vertically only the
    // downsample factor.
    const float x_scale =
        (static_cast<float>(in_data.pixel_aspect_ratio.den) / static_cast<float>(in_data.pixel_aspect_ratio.num)) *
        (static_cast<float>(in_data.downsample_x.num) / static_cast<float>(in_data.downsample_x.den));
    const float y_scale = static_cast<float>(in_data.downsample_y.num) / static_cast<float>(in_data.downsample_y.den);
    r.ux = cos_theta / x_scale;
    r.uy = -(sin_theta / y_scale);
    r.u_const = (origin_y * sin_theta) / y_scale - (origin_x * cos_theta) / x_scale;
    r.vx = sin_theta / x_scale;
    r.vy = cos_theta / y_scale;
    r.v_const = -((origin_x * sin_theta) / x_scale) - (origin_y * cos_theta) / y_scale;
    const float half_width = static_cast<float>(p[PARAM_WIDTH]->u.fs_d.value * 0.5);
    const float half_height = static_cast<float>(p[PARAM_HEIGHT]->u.fs_d.value * 0.5);
    r.half_width = half_width;
    r.half_height = half_height;
    const float width_to_height = half_width / half_height;
    // Feather is measured across the width; a feather as wide as the half
    // width is held one pixel short of it.
    float feather = Slider(p, PARAM_FEATHER);
    if (feather >= half_width) feather = half_width - 1;
    r.feather = feather;
    const float inner_half_width = half_width - feather;
    r.inner_half_width = inner_half_width;
    // The same feather measured across the height.
    const float feather_y = feather / width_to_height;
    const float inner_half_height = half_height - feather_y;
    r.inner_half_height = inner_half_height;
    if (p[PARAM_WINDOW_TYPE]->u.pd.value == zonara::WINDOW_TYPE_RECTANGLE) {
        r.is_ellipse = false;
        r.recip_x = 1 / feather;
        r.recip_y = 1 / feather_y;
    } else {
        r.is_ellipse = true;
        r.recip_x = 1 / (half_width * half_width);
        r.recip_y = 1 / (half_height * half_height);
        r.outer_ab = half_height * half_width;
        r.inner_ab = inner_half_height * inner_half_width;
        r.inner_half_width_sq = inner_half_width * inner_half_width;
        r.inner_half_height_sq = inner_half_height * inner_half_height;
        r.inv_inner_half_width_sq = 1 / (inner_half_width * inner_half_width);
        r.inv_inner_half_height_sq = 1 / (inner_half_height * inner_half_height);
        r.half_width_sq = half_width * half_width;
        r.half_height_sq = half_height * half_height;
    }
    r.invert = Check(p, PARAM_INVERT);
    r.clamp_out_black = Check(p, PARAM_CLAMP_OUT_BLACK);
    r.clamp_out_white = Check(p, PARAM_CLAMP_OUT_WHITE);
    r.clamp_in_black = Check(p, PARAM_CLAMP_IN_BLACK);
    r.falloff = p[PARAM_FALLOFF]->u.pd.value;
    r.color_model = p[PARAM_COLOR_MODEL]->u.pd.value;
    r.mix = Slider(p, PARAM_MIX);
    r.inside_saturation = Slider(p, PARAM_IN_SATURATION);
    r.outside_saturation = Slider(p, PARAM_OUT_SATURATION);
    const int in_offsets[3] = {PARAM_IN_RED_OFFSET, PARAM_IN_GREEN_OFFSET, PARAM_IN_BLUE_OFFSET};
    const int in_gammas[3] = {PARAM_IN_RED_GAMMA, PARAM_IN_GREEN_GAMMA, PARAM_IN_BLUE_GAMMA};
    const int in_gains[3] = {PARAM_IN_RED_GAIN, PARAM_IN_GREEN_GAIN, PARAM_IN_BLUE_GAIN};
    const int out_offsets[3] = {PARAM_OUT_RED_OFFSET, PARAM_OUT_GREEN_OFFSET, PARAM_OUT_BLUE_OFFSET};
    const int out_gammas[3] = {PARAM_OUT_RED_GAMMA, PARAM_OUT_GREEN_GAMMA, PARAM_OUT_BLUE_GAMMA};
    const int out_gains[3] = {PARAM_OUT_RED_GAIN, PARAM_OUT_GREEN_GAIN, PARAM_OUT_BLUE_GAIN};
    Fold(p, PARAM_IN_OFFSET, PARAM_IN_GAMMA, PARAM_IN_GAIN, in_offsets, in_gammas, in_gains, r.inside_offset,
         r.inside_inv_gamma, r.inside_gain);
    Fold(p, PARAM_OUT_OFFSET, PARAM_OUT_GAMMA, PARAM_OUT_GAIN, out_offsets, out_gammas, out_gains, r.outside_offset,
         r.outside_inv_gamma, r.outside_gain);
    r.host_in_data = &in_data;
    return r;
}

// Every curve of the table by name and no default, so that a curve added
// there without its formula here fails to compile (-Wswitch).
inline double Falloff(const Record &r, double t) {
    switch (static_cast<zonara::FalloffChoice>(r.falloff)) {
    case zonara::FALLOFF_LINEAR:
        return t;
    case zonara::FALLOFF_QUADRATIC:
        return t * t;
    case zonara::FALLOFF_CUBIC:
        return t * t * t;
    case zonara::FALLOFF_GAMMA_2_2:
        return std::pow(t, 0.454);
    case zonara::FALLOFF_GAUSSIAN:
        return 1 - std::pow(360.0, -std::pow(t, 2.5));
    case zonara::FALLOFF_EXPONENTIAL:
        return (1 - std::pow(2.5, -t)) * 2.5 / 1.5;
    }
    return t;  // a number no curve has
}

inline float EllipseWeight(const Record &r, int x, int y) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float u = r.uy * fy + r.ux * fx + r.u_const;
    const float v = r.vx * fx + r.vy * fy + r.v_const;
    const float uu = u * u, vv = v * v;
    float p;
    if (vv * r.recip_y + uu * r.recip_x >= 1) {
        p = 1;
    } else {
        p = 0;
        if (r.feather != 0 && vv * r.inv_inner_half_height_sq + uu * r.inv_inner_half_width_sq > 1) {
            const float rad = std::sqrt(vv + uu);
            const float cu = u / rad, sv = v / rad;
            const float r_in =
                r.inner_ab / std::sqrt(cu * r.inner_half_height_sq * cu + sv * r.inner_half_width_sq * sv);
            const float r_out = r.outer_ab / std::sqrt(sv * r.half_width_sq * sv + cu * r.half_height_sq * cu);
            const double t = static_cast<double>((rad - r_in) / (r_out - r_in));
            p = static_cast<float>(Falloff(r, t));
        }
    }
    return r.invert ? p : 1 - p;
}

inline float RectangleWeight(const Record &r, int x, int y) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float u = r.uy * fy + r.ux * fx + r.u_const;
    const float v = r.vx * fx + r.vy * fy + r.v_const;
    const float au = std::fabs(u), av = std::fabs(v);
    float p;
    if (au >= r.half_width || av >= r.half_height) {
        p = 1;
    } else {
        p = 0;
        if (r.feather != 0) {
            const float tx = (au - r.inner_half_width) * r.recip_x;
            const float ty = (av - r.inner_half_height) * r.recip_y;
            if (au >= r.inner_half_width && av >= r.inner_half_height) {
                const double root = std::sqrt(Falloff(r, tx) * Falloff(r, tx) + Falloff(r, ty) * Falloff(r, ty));
                p = static_cast<float>(root < 1.0 ? root : 1.0);
            } else if (au >= r.inner_half_width) {
                p = static_cast<float>(Falloff(r, tx));
            } else if (av >= r.inner_half_height) {
                p = static_cast<float>(Falloff(r, ty));
            }
        }
    }
    return r.invert ? p : 1 - p;
}

inline float Weight(const Record &r, int x, int y) {
    return r.is_ellipse ? EllipseWeight(r, x, y) : RectangleWeight(r, x, y);
}

inline std::int32_t Truncate(double v) {
    if (std::isnan(v) || v < -2147483648.0 || v >= 2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

inline void RgbToHsv(float red, float green, float blue, float &h, float &s, float &v) {
    const float V = std::max(std::max(red, green), blue);
    const float m = std::min(std::min(red, green), blue);
    if (V == m) {
        h = 0;
        s = 0;
        v = V;
        return;
    }
    const float delta = V - m;
    s = delta / V;
    if (V == red) {
        h = (green - blue) / delta;
        if (blue > green) h += 6;
    } else if (V == green) {
        h = (blue - red) / delta + 2;
    } else {
        h = (red - green) / delta + 4;
    }
    h = h / 6;
    v = V;
}

inline void HsvToRgb(float hue, float saturation, float value, float &red, float &green, float &blue) {
    if (saturation == 0) {
        red = green = blue = value;
        return;
    }
    const float h6 = hue * 6;
    unsigned sector = static_cast<std::uint8_t>(Truncate(std::floor(h6)));
    const float f = h6 - static_cast<float>(sector);
    if (sector == 6) sector = 0;  // a full turn is red again
    // The falling, rising and lowest channel values within the sector.
    const float lowest = (1 - saturation) * value, falling = (1 - f * saturation) * value,
                rising = (1 - (1 - f) * saturation) * value;
    switch (sector) {
    case 0:
        red = value, green = rising, blue = lowest;
        break;
    case 1:
        red = falling, green = value, blue = lowest;
        break;
    case 2:
        red = lowest, green = value, blue = rising;
        break;
    case 3:
        red = lowest, green = falling, blue = value;
        break;
    case 4:
        red = rising, green = lowest, blue = value;
        break;
    default:
        red = value, green = lowest, blue = falling;
        break;
    }
}

// A negative base is left as it is (a CDL without clamps).
inline double Power(const Record &r, double base, double exponent) {
    if (base < 0) return base;
    const PF_InData *in = r.host_in_data;
    if (in != nullptr && in->utils != nullptr && in->utils->ansi.pow != nullptr) {
        return in->utils->ansi.pow(base, exponent);
    }
    return std::pow(base, exponent);
}

// Whether any colour goes through a grade or saturation on either side.
inline bool GradesColours(const Record &r) {
    if (r.color_model != zonara::COLOR_MODEL_LEGACY && r.color_model != zonara::COLOR_MODEL_CDL) return false;
    if (r.inside_saturation != 1 || r.outside_saturation != 1) return true;
    for (int k = 0; k < 3; ++k) {
        if (r.inside_offset[k] != 0 || r.inside_inv_gamma[k] != 1 || r.inside_gain[k] != 1) return true;
        if (r.outside_offset[k] != 0 || r.outside_inv_gamma[k] != 1 || r.outside_gain[k] != 1) return true;
    }
    return false;
}

inline Pixel Grade(const Record &r, int x, int y, Pixel src) {
    const float w = Weight(r, x, y);
    Pixel out = src;
    if (!(r.mix > 0)) return out;
    float offset[3], g[3], gain[3], sat;
    bool identity[3];
    bool apply_saturation;
    for (int k = 0; k < 3; ++k) {
        const bool in_id = r.inside_offset[k] == 0 && r.inside_inv_gamma[k] == 1 && r.inside_gain[k] == 1;
        const bool out_id = r.outside_offset[k] == 0 && r.outside_inv_gamma[k] == 1 && r.outside_gain[k] == 1;
        if (w == 1) {
            offset[k] = r.inside_offset[k], g[k] = r.inside_inv_gamma[k], gain[k] = r.inside_gain[k];
            identity[k] = in_id;
        } else if (w == 0) {
            offset[k] = r.outside_offset[k], g[k] = r.outside_inv_gamma[k], gain[k] = r.outside_gain[k];
            identity[k] = out_id;
        } else {
            offset[k] = (1 - w) * r.outside_offset[k] + w * r.inside_offset[k];
            g[k] = w * r.inside_inv_gamma[k] + (1 - w) * r.outside_inv_gamma[k];
            gain[k] = w * r.inside_gain[k] + (1 - w) * r.outside_gain[k];
            identity[k] = in_id && out_id;
        }
    }
    if (w == 1) {
        sat = r.inside_saturation;
        apply_saturation = r.inside_saturation != 1;
    } else if (w == 0) {
        sat = r.outside_saturation;
        apply_saturation = r.outside_saturation != 1;
    } else {
        sat = (1 - w) * r.outside_saturation + w * r.inside_saturation;
        apply_saturation = !(r.inside_saturation == 1 && r.outside_saturation == 1);
    }
    float *ch[3] = {&out.red, &out.green, &out.blue};
    if (r.color_model == zonara::COLOR_MODEL_LEGACY || r.color_model == zonara::COLOR_MODEL_CDL) {
        for (int k = 0; k < 3; ++k) {
            if (identity[k]) continue;
            if (r.color_model == zonara::COLOR_MODEL_LEGACY) {
                *ch[k] = static_cast<float>(Power(r, *ch[k], g[k]) * static_cast<double>(gain[k]) +
                                            static_cast<double>(offset[k]));
            } else {
                float b = gain[k] * *ch[k] + offset[k];
                if (r.clamp_in_black && b <= 0) b = 0;
                *ch[k] = static_cast<float>(Power(r, b, g[k]));
            }
        }
        if (apply_saturation) {
            float h, s, v;
            RgbToHsv(out.red, out.green, out.blue, h, s, v);
            HsvToRgb(h, s * sat, v, out.red, out.green, out.blue);
        }
    }
    if (r.mix < 1) {
        out.red = (1 - r.mix) * src.red + r.mix * out.red;
        out.green = (1 - r.mix) * src.green + r.mix * out.green;
        out.blue = (1 - r.mix) * src.blue + r.mix * out.blue;
    }
    for (float *c : ch) {
        if (r.clamp_out_black && *c < 0) *c = 0;
    }
    for (float *c : ch) {
        if (r.clamp_out_white && *c > 1) *c = 1;
    }
    // Not-a-number colours come out as the one quiet NaN, where the frame
    // grades anything; otherwise they keep their bits.
    for (float *c : ch) {
        if (GradesColours(r) && std::isnan(*c)) *c = std::numeric_limits<float>::quiet_NaN();
    }
    out.alpha = src.alpha;
    return out;
}

// Integer writing: limit to 0..full scale, then truncate.
inline int Limit(float scaled, float full) {
    float v;
    if (scaled > 0) v = scaled < full ? scaled : full;
    else v = 0;
    return static_cast<int>(v);
}

inline std::uint8_t *At(const PF_LayerDef &layer, int x, int y, int pixel_bytes) {
    return reinterpret_cast<std::uint8_t *>(layer.data) + static_cast<std::ptrdiff_t>(y) * layer.rowbytes +
           static_cast<std::ptrdiff_t>(x) * pixel_bytes;
}

// One float pixel of either channel order: the channels are named alike.
template <class FloatPixel>
inline void RenderFloatPixel(const Record &r, int x, int y, const void *in_raw, void *out_raw) {
    FloatPixel in;
    std::memcpy(&in, in_raw, sizeof in);
    Pixel src{in.alpha, in.red, in.green, in.blue};
    if (r.clamp_in_black) {
        if (src.red < 0) src.red = 0;
        if (src.green < 0) src.green = 0;
        if (src.blue < 0) src.blue = 0;
    }
    const Pixel res = Grade(r, x, y, src);
    FloatPixel o = in;
    o.red = res.red;
    o.green = res.green;
    o.blue = res.blue;
    std::memcpy(out_raw, &o, sizeof o);
}

// One pixel in the buffer's own format.
inline void RenderPixel(const Record &r, PixelFormat format, int x, int y, const void *in_raw, void *out_raw) {
    switch (format) {
    case PixelFormat::ARGB8: {
        const auto *in = static_cast<const PF_Pixel *>(in_raw);
        const Pixel src{in->alpha / 255.0f, in->red / 255.0f, in->green / 255.0f, in->blue / 255.0f};
        const Pixel res = Grade(r, x, y, src);
        PF_Pixel o{in->alpha, static_cast<A_u_char>(Limit(res.red * 255.0f, 255.0f)),
                   static_cast<A_u_char>(Limit(res.green * 255.0f, 255.0f)),
                   static_cast<A_u_char>(Limit(res.blue * 255.0f, 255.0f))};
        *static_cast<PF_Pixel *>(out_raw) = o;
        break;
    }
    case PixelFormat::ARGB16: {
        const auto *in = static_cast<const PF_Pixel16 *>(in_raw);
        const float k = 1.0f / 32768.0f;
        const Pixel src{in->alpha * k, in->red * k, in->green * k, in->blue * k};
        const Pixel res = Grade(r, x, y, src);
        PF_Pixel16 o{in->alpha, static_cast<A_u_short>(Limit(res.red * 32768.0f, 32768.0f)),
                     static_cast<A_u_short>(Limit(res.green * 32768.0f, 32768.0f)),
                     static_cast<A_u_short>(Limit(res.blue * 32768.0f, 32768.0f))};
        *static_cast<PF_Pixel16 *>(out_raw) = o;
        break;
    }
    case PixelFormat::BGRA8: {
        const auto *in = static_cast<const PF_PixelBGRA8 *>(in_raw);
        const Pixel src{in->alpha / 255.0f, in->red / 255.0f, in->green / 255.0f, in->blue / 255.0f};
        const Pixel res = Grade(r, x, y, src);
        PF_PixelBGRA8 o{static_cast<A_u_char>(Limit(res.blue * 255.0f, 255.0f)),
                        static_cast<A_u_char>(Limit(res.green * 255.0f, 255.0f)),
                        static_cast<A_u_char>(Limit(res.red * 255.0f, 255.0f)), in->alpha};
        *static_cast<PF_PixelBGRA8 *>(out_raw) = o;
        break;
    }
    case PixelFormat::BGRA32F:
        RenderFloatPixel<PF_PixelBGRA32f>(r, x, y, in_raw, out_raw);
        break;
    case PixelFormat::ARGB32F:
        RenderFloatPixel<PF_PixelFloat>(r, x, y, in_raw, out_raw);
        break;
    }
}

inline int PixelBytes(PixelFormat format) { return static_cast<int>(testhost::BytesPerPixel(format)); }

// The whole frame: every pixel that both buffers hold, over `rows` rows
// (the destination's height for the iterate suites, the extent hint's
// height for Premiere Pro's float loop).
// The buffers' pixel (0, 0) is the layer pixel (left, top).
inline void RenderFrame(const PF_InData &in_data, PF_ParamDef *const *params, PixelFormat format,
                        const PF_LayerDef &src, PF_LayerDef &dst, int rows, int left = 0, int top = 0) {
    const Record r = Build(in_data, params);
    const int bytes = PixelBytes(format);
    const int height = std::min({rows, src.height, dst.height});
    const int width = std::min(src.width, dst.width);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            RenderPixel(r, format, left + x, top + y, At(src, x, y, bytes), At(dst, x, y, bytes));
        }
    }
}

}  // namespace reference
