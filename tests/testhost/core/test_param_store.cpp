// The host's parameter values: defaults taken the host's way, above all the
// point default read as per cent of the layer.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "testhost/core/param_store.h"

namespace {

constexpr PF_Fixed ONE = PF_FIXED_ONE;

struct PointCase {
    PF_Fixed per_cent;
    int extent;
    PF_Fixed expected;
};

TEST(ParamStore, PointDefaultIsPerCentOfTheLayer) {
    const PointCase cases[] = {
        {50 * ONE, 1920, 960 * ONE},
        {50 * ONE, 1080, 540 * ONE},
        {0, 1920, 0},
        {100 * ONE, 15000, 15000 * ONE},  // beyond 32-bit intermediate products
        {25 * ONE, 1, ONE / 4},           // fractions of a pixel kept
        {50 * ONE, 101, 50 * ONE + ONE / 2},
        {-10 * ONE, 200, -20 * ONE},
        {ONE + ONE / 2, 1000, 15 * ONE},  // 1.5 %
    };
    for (const PointCase &c : cases) {
        EXPECT_EQ(testhost::PointDefaultToLayer(c.per_cent, c.extent), c.expected) << c.per_cent << " of " << c.extent;
    }
}

std::vector<PF_ParamDef> Declarations() {
    std::vector<PF_ParamDef> declared(5);
    declared[0].param_type = PF_Param_POPUP;
    declared[0].u.pd.dephault = 2;
    declared[0].u.pd.value = 1;
    declared[1].param_type = PF_Param_POINT;
    declared[1].u.td.x_dephault = 50 * ONE;
    declared[1].u.td.y_dephault = 25 * ONE;
    declared[2].param_type = PF_Param_FLOAT_SLIDER;
    declared[2].u.fs_d.dephault = 0.25f;
    declared[2].u.fs_d.value = 9.0;
    declared[2].uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
    declared[3].param_type = PF_Param_CHECKBOX;
    declared[3].u.bd.dephault = 1;
    declared[4].param_type = PF_Param_ANGLE;
    declared[4].u.ad.dephault = 45 * ONE;
    return declared;
}

TEST(ParamStore, ValuesStartAtTheDeclaredDefaults) {
    testhost::ParamStore store;
    store.Reset(Declarations(), 400, 200);
    ASSERT_EQ(store.size(), 6);
    EXPECT_EQ(store.at(0).param_type, PF_Param_LAYER);
    EXPECT_EQ(store.at(1).u.pd.value, 2);
    EXPECT_EQ(store.at(2).u.td.x_value, 200 * ONE);
    EXPECT_EQ(store.at(2).u.td.y_value, 50 * ONE);
    EXPECT_EQ(store.at(3).u.fs_d.value, 0.25);
    EXPECT_EQ(store.at(3).uu.change_flags, PF_ChangeFlag_NONE);
    EXPECT_EQ(store.at(4).u.bd.value, 1);
    EXPECT_EQ(store.at(5).u.ad.value, 45 * ONE);
}

TEST(ParamStore, ArrayPointsIntoTheStore) {
    testhost::ParamStore store;
    EXPECT_EQ(store.array(), nullptr);
    store.Reset(Declarations(), 10, 10);
    PF_ParamDef **array = store.array();
    for (int i = 0; i < store.size(); ++i) {
        EXPECT_EQ(array[i], &store.at(i));
    }
    array[3]->u.fs_d.value = 0.75;
    array[3]->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
    EXPECT_EQ(store.at(3).u.fs_d.value, 0.75);
    store.ClearChangeFlags();
    EXPECT_EQ(store.at(3).uu.change_flags, PF_ChangeFlag_NONE);
    EXPECT_THROW(store.at(-1), std::out_of_range);
    EXPECT_THROW(store.at(store.size()), std::out_of_range);
}

}  // namespace
