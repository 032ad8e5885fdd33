// Compile-time checks that the key table stays in step with ParamIndex: a
// tool that lists or sets parameters by key must never address the wrong
// position.
#include "params/param_keys.h"

namespace zonara {
namespace {

constexpr bool KeysFollowIndexOrder() {
    for (std::size_t i = 0; i < PARAM_KEYS.size(); ++i) {
        if (static_cast<std::size_t>(PARAM_KEYS[i].index) != i) {
            return false;
        }
    }
    return true;
}

constexpr bool KeysAreUnique() {
    for (std::size_t i = 0; i < PARAM_KEYS.size(); ++i) {
        for (std::size_t j = i + 1; j < PARAM_KEYS.size(); ++j) {
            if (PARAM_KEYS[i].key == PARAM_KEYS[j].key) {
                return false;
            }
        }
    }
    return true;
}

static_assert(KeysFollowIndexOrder());
static_assert(KeysAreUnique());
static_assert(ParamIndexFromKey("color_model") == PARAM_COLOR_MODEL);
static_assert(ParamKey(PARAM_COUNT).empty());

}  // namespace
}  // namespace zonara
