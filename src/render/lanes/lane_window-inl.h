// The window in lanes: where each lane lies (beyond the outline, in the
// feather band, in the core) and, for the float pipeline, its weight.
//
// A piece of the vector kernel; see lane_kernel-inl.h for the rules every
// piece keeps.

#include <cstdint>

#include "render/formula/falloff_curves-inl.h"
#include "render/formula/pixel_composition-inl.h"
#include "render/formula/pixel_steps-inl.h"
#include "render/formula/window_weight.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/lane_operations-inl.h"
#include "render/lanes/lane_powers-inl.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
#include "render/formula/level_namespace-inl.h"

#if defined(ZONARA_LANE_WINDOW_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_LANE_WINDOW_INL_H_
#undef ZONARA_LANE_WINDOW_INL_H_
#else
#define ZONARA_LANE_WINDOW_INL_H_
#endif

ZONARA_BEGIN_LEVEL

// Below this many band lanes in a group, the scalar function lane by lane
// is cheaper than the vectors' divisions and roots for all of them.
constexpr int BAND_LANES_WORTH_VECTORS = 4;

// The ellipse's band fraction for every lane, for an arithmetic falloff: the
// band position of the steps, the curve in double. Lanes outside
// the band get values of no meaning.
LANE_INLINE VF EllipseBandLanes(const WindowRenderParams &r, VF u, VF v, VF uu, VF vv) {
    const VF t = EllipseBandPosition(r, u, v, uu, vv);
    return Join<VF>(Narrow(ProductFalloff(r.falloff, Widen(HalfOf<VFH, 0>(t)))),
                    Narrow(ProductFalloff(r.falloff, Widen(HalfOf<VFH, 1>(t)))));
}

// Where each lane lies against the window, by the window's tests of the
// steps: on or beyond the outline, in the feather band, or (neither) in the
// core; with the window coordinates the band's curve takes (u and v, and
// for an ellipse their squares, for a rectangle their magnitudes).
struct WindowLanes {
    VF u, v;
    VF uu, vv;  // ellipse
    VF au, av;  // rectangle
    VI beyond;
    VI band;
};

LANE_INLINE WindowLanes ClassifyWindow(const WindowRenderParams &r, std::int64_t x0, std::int64_t y) {
    VI column;
    for (int i = 0; i < LANES; ++i) column[i] = static_cast<std::int32_t>(x0 + i);
    const VF fx = __builtin_convertvector(column, VF);
    const float fy = static_cast<float>(static_cast<std::int32_t>(y));
    // Every field set in registers: zero-initialising the whole structure
    // first becomes a block fill in memory, for each group of pixels.
    WindowLanes w;
    w.u = WindowCoordinateU(r, fx, fy);
    w.v = WindowCoordinateV(r, fx, fy);
    w.band = VI{};
    if (r.is_ellipse) {
        w.uu = w.u * w.u;
        w.vv = w.v * w.v;
        w.au = VF{};
        w.av = VF{};
        w.beyond = BeyondEllipse(r, w.uu, w.vv);
        if (r.feather != 0.0f) w.band = ~w.beyond & BeyondInnerEllipse(r, w.uu, w.vv);
    } else {
        w.au = Abs(w.u);
        w.av = Abs(w.v);
        w.uu = VF{};
        w.vv = VF{};
        w.beyond = BeyondRectangle(r, w.au, w.av);
        if (r.feather != 0.0f) w.band = ~w.beyond & BeyondInnerRectangle(r, w.au, w.av);
    }
    return w;
}

// The kernel's bounded power as the falloff curves' power policy (see
// falloff_curves-inl.h): each power's window is window_scale times its bound,
// as for the grade's powers.
struct KernelPowers {
    using Mask = VL;
    struct Result {
        VD value;
        VD window;
        VL trusted;
    };
    // The level's power rounding (lane_powers-inl.h), which this member's
    // name hides: qualified by the level's named namespace, whose anonymous
    // one (ZONARA_BEGIN_LEVEL) lookup enters.
    static constexpr double ROUNDING_SLACK = ::zonara::ZONARA_LANE_NAMESPACE::ROUNDING_SLACK;
    double window_scale;

    LANE_INLINE Result Raise(VD x, double y) const { return Scaled(Power(x, Splat<VD>(y))); }
    LANE_INLINE Result Raise(double x, VD y) const { return Scaled(Power(Splat<VD>(x), y)); }
    LANE_INLINE Result Scaled(const PowerLanes &power) const {
        return {power.value, power.bound * window_scale, power.trusted};
    }
    LANE_INLINE static VD Magnitude(VD d) { return Abs(d); }
    LANE_INLINE static VL Nowhere() { return VL{}; }
};

// The curves with powers for half of the lanes (PART), in double through
// the kernel's power, as for one pixel. A lane keeps its single-precision
// result where every value within the curve's reach rounds to the same
// single, so the reach holds the C library's result.
struct FalloffHalf {
    VFH single;
    VIH keep;
};

template <int PART>
LANE_INLINE FalloffHalf PowerFalloffHalf(std::int32_t falloff, VF t, double window_scale) {
    const auto curve = PowerFalloff(falloff, Widen(HalfOf<VFH, PART>(t)), KernelPowers{window_scale});
    const WindowRounding rounded = RoundWindow(curve.value - curve.reach, curve.value + curve.reach);
    return {rounded.single, NarrowMask(curve.trusted) & rounded.same};
}

// The ellipse's band fraction for the band lanes, the curve with powers in
// vectors where the rounding is proven, by the one-pixel function elsewhere.
LANE_INLINE VF EllipseBandPowerLanes(const WindowRenderParams &r, const WindowLanes &w, VI band, double window_scale) {
    const VF t = EllipseBandPosition(r, w.u, w.v, w.uu, w.vv);
    const FalloffHalf first = PowerFalloffHalf<0>(r.falloff, t, window_scale);
    const FalloffHalf second = PowerFalloffHalf<1>(r.falloff, t, window_scale);
    VF fraction = Join<VF>(first.single, second.single);
    const VI keep = Join<VI>(first.keep, second.keep);
    for (std::uint32_t lanes = LaneBits(band & ~keep); lanes != 0; lanes &= lanes - 1) {
        const int i = __builtin_ctz(lanes);
        fraction[i] = EllipseBandFraction(r, w.u[i], w.v[i], w.uu[i], w.vv[i]);
    }
    return fraction;
}

// The rectangle's band fraction for the band lanes: each direction's
// position, its curve, and where both bands meet the inner corner of the
// steps, all in double. The curves with powers are kept where their
// rounding is proven, and only away from the corners, whose length would
// carry both powers' errors; the other lanes take the one-pixel function.
template <int PART>
LANE_INLINE VFH RectangleBandHalf(std::int32_t falloff, VF tx, VF ty, VI horizontal, VI vertical) {
    const VD fx = ProductFalloff(falloff, Widen(HalfOf<VFH, PART>(tx)));
    const VD fy = ProductFalloff(falloff, Widen(HalfOf<VFH, PART>(ty)));
    const VD corner = RectangleCorner(fx, fy);
    const VL across = WideHalf<PART>(horizontal);
    const VL down = WideHalf<PART>(vertical);
    return Narrow(across & down ? corner : across ? fx : fy);
}

LANE_INLINE VF RectangleBandLanes(const WindowRenderParams &r, const WindowLanes &w, VI band, double window_scale) {
    const VI horizontal = w.au >= r.inner_half_width;
    const VI vertical = w.av >= r.inner_half_height;
    const VF tx = (w.au - r.inner_half_width) * r.inv_feather;
    const VF ty = (w.av - r.inner_half_height) * r.inv_vertical_feather;
    VF fraction;
    VI scalar;
    if (!FalloffTakesPowers(r.falloff)) {
        fraction = Join<VF>(RectangleBandHalf<0>(r.falloff, tx, ty, horizontal, vertical),
                            RectangleBandHalf<1>(r.falloff, tx, ty, horizontal, vertical));
        // A lane in neither band is not in the band at all.
        scalar = band & ~(horizontal | vertical);
    } else {
        const VF t = horizontal ? tx : ty;
        const FalloffHalf first = PowerFalloffHalf<0>(r.falloff, t, window_scale);
        const FalloffHalf second = PowerFalloffHalf<1>(r.falloff, t, window_scale);
        fraction = Join<VF>(first.single, second.single);
        const VI single_band = horizontal ^ vertical;
        scalar = band & ~(Join<VI>(first.keep, second.keep) & single_band);
    }
    for (std::uint32_t lanes = LaneBits(scalar); lanes != 0; lanes &= lanes - 1) {
        const int i = __builtin_ctz(lanes);
        fraction[i] = RectangleBandFraction(r, w.au[i], w.av[i]);
    }
    return fraction;
}

// The window weight of each valid lane: 0 or 1 from the classification, the
// feather band in vectors where enough lanes need it (the curves with
// powers kept where window_scale's window proves their rounding), otherwise
// by the scalar functions, lane by lane.
LANE_INLINE VF Weight(const WindowRenderParams &r, std::int64_t x0, std::int64_t y, VI valid, double window_scale) {
    const WindowLanes w = ClassifyWindow(r, x0, y);
    VF outside_fraction = w.beyond ? Splat<VF>(1.0f) : VF{};
    const VI band = valid & w.band;
    const std::uint32_t band_lanes = LaneBits(band);
    if (band_lanes != 0) {
        if (__builtin_popcount(band_lanes) >= BAND_LANES_WORTH_VECTORS) {
            VF fraction;
            if (!r.is_ellipse) {
                fraction = RectangleBandLanes(r, w, band, window_scale);
            } else if (!FalloffTakesPowers(r.falloff)) {
                fraction = EllipseBandLanes(r, w.u, w.v, w.uu, w.vv);
            } else {
                fraction = EllipseBandPowerLanes(r, w, band, window_scale);
            }
            outside_fraction = band ? fraction : outside_fraction;
        } else {
            for (int i = 0; i < LANES; ++i) {
                if (band[i] == 0) continue;
                outside_fraction[i] = r.is_ellipse ? EllipseBandFraction(r, w.u[i], w.v[i], w.uu[i], w.vv[i])
                                                   : RectangleBandFraction(r, w.au[i], w.av[i]);
            }
        }
    }
    return WeightOfOutsideFraction(r, outside_fraction);
}

// Which lanes lie where the weight is exactly 1 and where exactly 0; the
// lanes in neither (the feather band) are left to the float pipeline, which
// knows the band's curve.
struct SideLanes {
    VI inside;   // weight 1
    VI outside;  // weight 0
};

LANE_INLINE SideLanes SidesOf(const WindowRenderParams &r, std::int64_t x0, std::int64_t y) {
    if (!r.weight_matters) return {MaskOf(true), VI{}};
    const WindowLanes w = ClassifyWindow(r, x0, y);
    const VI core = ~w.beyond & ~w.band;
    return r.invert ? SideLanes{w.beyond, core} : SideLanes{core, w.beyond};
}

ZONARA_END_LEVEL

#endif  // ZONARA_LANE_WINDOW_INL_H_
