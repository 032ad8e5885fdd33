// Keys let tools address parameters by name; a key mapped to the wrong
// position would silently set the wrong control.
#include <gtest/gtest.h>

#include <string>

#include "params/param_keys.h"

namespace {

using namespace zonara;

TEST(ParamKeys, KnownKeysMapBothWays) {
    const struct {
        ParamIndex index;
        const char *key;
    } cases[] = {
        {PARAM_INPUT, "input"},
        {PARAM_WINDOW_TYPE, "window_type"},
        {PARAM_ORIGIN, "origin"},
        {PARAM_FEATHER, "feather"},
        {PARAM_IN_RED_GAMMA, "in_red_gamma"},
        {PARAM_IN_RGB_GROUP_END, "in_rgb_group_end"},
        {PARAM_OUT_SATURATION, "out_saturation"},
        {PARAM_OUT_BLUE_GAIN, "out_blue_gain"},
        {PARAM_CLAMP_IN_BLACK, "clamp_in_black"},
        {PARAM_MIX, "mix"},
        {PARAM_COLOR_MODEL, "color_model"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ParamKey(c.index), c.key);
        EXPECT_EQ(ParamIndexFromKey(c.key), c.index);
    }
}

TEST(ParamKeys, EveryPositionRoundTrips) {
    for (int i = 0; i < PARAM_COUNT; ++i) {
        const std::string_view key = ParamKey(i);
        ASSERT_FALSE(key.empty()) << i;
        EXPECT_EQ(ParamIndexFromKey(key), static_cast<ParamIndex>(i)) << key;
        for (char ch : key) {
            EXPECT_TRUE((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_') << key;
        }
    }
}

TEST(ParamKeys, UnknownInputsFindNothing) {
    for (const char *key : {"", "Mix", "PARAM_MIX", "mix ", "param_mix", "count"}) {
        EXPECT_FALSE(ParamIndexFromKey(key).has_value()) << '"' << key << '"';
    }
    for (int index : {-1, int{PARAM_COUNT}, 1000}) {
        EXPECT_TRUE(ParamKey(index).empty()) << index;
    }
}

}  // namespace
