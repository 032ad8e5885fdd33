// Random parameter sets for the exactness tests: windows lying over the
// image so that inside, outside and feather band pixels all occur, with
// every shape, curve, colour model and clamp, identity and non-identity
// channels, Mix 0, between 0 and 1, 1 and above 1, pixel aspect ratios and
// downsampling.
#pragma once

#include <cmath>
#include <random>
#include <sstream>
#include <string>

#include "common/fixed_scale.h"
#include "params/param_index.h"
#include "pf_sdk.h"

namespace render_test {

struct Resolution {
    PF_RationalScale aspect{1, 1}, down_x{1, 1}, down_y{1, 1};
};

// Writes values only; the parameter types are expected to be in place.
inline void RandomiseParams(PF_ParamDef **p, Resolution &res, std::mt19937 &rng, int width, int height) {
    using namespace zonara;
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto fixed = [](double v) { return static_cast<PF_Fixed>(std::lround(v * FIXED_ONE)); };
    // Now and then a number no choice has, which the effect must bear.
    auto choice = [&](const auto &rows, int out_of_range_in) {
        return pick(out_of_range_in) == 0 ? OnePastLastChoice(rows) : 1 + pick(ChoiceCount(rows));
    };
    p[PARAM_WINDOW_TYPE]->u.pd.value = choice(WINDOW_TYPE_CHOICES, 8);
    p[PARAM_ORIGIN]->u.td.x_value = fixed(uniform(0, width));
    p[PARAM_ORIGIN]->u.td.y_value = fixed(uniform(0, height));
    const double w = uniform(2, 2.5 * width), h = uniform(2, 2.5 * height);
    p[PARAM_WIDTH]->u.fs_d.value = w;
    p[PARAM_HEIGHT]->u.fs_d.value = h;
    p[PARAM_ANGLE]->u.ad.value = pick(3) == 0 ? 0 : fixed(uniform(-360, 360));
    const int feather_kind = pick(6);
    p[PARAM_FEATHER]->u.fs_d.value = feather_kind == 0 ? 0 : feather_kind == 1 ? uniform(w / 2, w) : uniform(0, w / 2);
    p[PARAM_FALLOFF]->u.pd.value = choice(FALLOFF_CHOICES, 10);
    p[PARAM_INVERT]->u.bd.value = pick(2);
    for (int side = 0; side < 2; ++side) {
        const int master = side == 0 ? PARAM_IN_OFFSET : PARAM_OUT_OFFSET;
        const int channels = side == 0 ? PARAM_IN_RED_OFFSET : PARAM_OUT_RED_OFFSET;
        const bool identity_side = pick(4) == 0;
        auto maybe = [&](double identity, double lo, double hi) {
            return identity_side || pick(3) == 0 ? identity : uniform(lo, hi);
        };
        p[master]->u.fs_d.value = maybe(0, -0.3, 0.3);
        p[master + 1]->u.fs_d.value = maybe(1, 0.3, 3);
        p[master + 2]->u.fs_d.value = maybe(1, 0.5, 2);
        p[master + 3]->u.fs_d.value = maybe(1, 0, 2);
        for (int k = 0; k < 3; ++k) {
            p[channels + 3 * k]->u.fs_d.value = maybe(0, -0.3, 0.3);
            p[channels + 3 * k + 1]->u.fs_d.value = maybe(1, 0.3, 3);
            p[channels + 3 * k + 2]->u.fs_d.value = maybe(1, 0.5, 2);
        }
    }
    p[PARAM_CLAMP_OUT_BLACK]->u.bd.value = pick(2);
    p[PARAM_CLAMP_OUT_WHITE]->u.bd.value = pick(2);
    p[PARAM_CLAMP_IN_BLACK]->u.bd.value = pick(2);
    const int mix_kind = pick(5);
    p[PARAM_MIX]->u.fs_d.value = mix_kind == 0 ? 0 : mix_kind == 1 ? uniform(0, 1) : mix_kind == 2 ? 1.7 : 1;
    p[PARAM_COLOR_MODEL]->u.pd.value = choice(COLOR_MODEL_CHOICES, 10);
    const PF_RationalScale aspects[] = {{1, 1}, {2, 1}, {10, 11}, {4, 3}};
    const PF_RationalScale downs[] = {{1, 1}, {1, 2}, {1, 4}};
    res = {aspects[pick(4)], downs[pick(3)], downs[pick(3)]};
}

inline std::string DescribeParams(PF_ParamDef **p, const Resolution &r) {
    using namespace zonara;
    std::ostringstream s;
    s << "type " << p[PARAM_WINDOW_TYPE]->u.pd.value << " falloff " << p[PARAM_FALLOFF]->u.pd.value << " invert "
      << p[PARAM_INVERT]->u.bd.value << " model " << p[PARAM_COLOR_MODEL]->u.pd.value << " mix "
      << p[PARAM_MIX]->u.fs_d.value << " feather " << p[PARAM_FEATHER]->u.fs_d.value << " width "
      << p[PARAM_WIDTH]->u.fs_d.value << " aspect " << r.aspect.num << "/" << r.aspect.den << " down " << r.down_x.num
      << "/" << r.down_x.den << ", " << r.down_y.num << "/" << r.down_y.den;
    return s.str();
}

}  // namespace render_test
