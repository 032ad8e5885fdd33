// The declared parameter set, checked against a table written out here
// independently of the effect's own: saved projects depend on every type,
// disk ID, name, range and default.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "params/param_index.h"
#include "params/params_setup.h"
#include "support/linked_effect.h"

namespace {

using testhost::Host;
using testhost::HostApp;

enum class Kind { POPUP, GROUP_START, GROUP_END, POINT, ANGLE, CHECKBOX, SIZE, OFFSET, UNIT, MIX };

struct Expected {
    int index;
    A_long id;
    Kind kind;
    const char *name;  // nullptr for group ends
    bool cannot_time_vary;
    double default_value;  // slider default, popup choice, checkbox 1/0
    const char *choices;   // popup choice text or checkbox label
    A_short num_choices;
};

const std::vector<Expected> &ExpectedParams() {
    static const std::vector<Expected> table = {
        {1, 9, Kind::POPUP, "Window type", true, 1, "Ellipse|Rectangle|", 2},
        {2, 2, Kind::GROUP_START, "Window controls", false, 0, nullptr, 0},
        {3, 1, Kind::POINT, "Point of origin", false, 0, nullptr, 0},
        {4, 3, Kind::SIZE, "Width", false, 1920, nullptr, 0},
        {5, 4, Kind::SIZE, "Height", false, 1080, nullptr, 0},
        {6, 8, Kind::ANGLE, "Angle", false, 0, nullptr, 0},
        {7, 5, Kind::SIZE, "Feather", false, 100, nullptr, 0},
        {8, 10, Kind::POPUP, "Alpha falloff", true, 1, "Linear|Quadratic|Cubic|Gamma 2.2|Gaussian|Exponential", 6},
        {9, 6, Kind::CHECKBOX, "Invert", true, 0, "Invert mask", 0},
        {10, 11, Kind::GROUP_END, nullptr, false, 0, nullptr, 0},
        {11, 12, Kind::OFFSET, "Offset", false, 0, nullptr, 0},
        {12, 13, Kind::UNIT, "Gamma", false, 1, nullptr, 0},
        {13, 14, Kind::UNIT, "Gain", false, 1, nullptr, 0},
        {14, 15, Kind::UNIT, "Saturation", false, 1, nullptr, 0},
        {15, 16, Kind::GROUP_START, "Inside RGB Controls", false, 0, nullptr, 0},
        {16, 17, Kind::OFFSET, "Red Offset", false, 0, nullptr, 0},
        {17, 18, Kind::UNIT, "Red Gamma", false, 1, nullptr, 0},
        {18, 19, Kind::UNIT, "Red Gain", false, 1, nullptr, 0},
        {19, 20, Kind::OFFSET, "Green Offset", false, 0, nullptr, 0},
        {20, 21, Kind::UNIT, "Green Gamma", false, 1, nullptr, 0},
        {21, 22, Kind::UNIT, "Green Gain", false, 1, nullptr, 0},
        {22, 23, Kind::OFFSET, "Blue Offset", false, 0, nullptr, 0},
        {23, 24, Kind::UNIT, "Blue Gamma", false, 1, nullptr, 0},
        {24, 25, Kind::UNIT, "Blue Gain", false, 1, nullptr, 0},
        {25, 26, Kind::GROUP_END, nullptr, false, 0, nullptr, 0},
        {26, 27, Kind::GROUP_START, "Outside controls", false, 0, nullptr, 0},
        {27, 28, Kind::OFFSET, "Offset", false, 0, nullptr, 0},
        {28, 29, Kind::UNIT, "Gamma", false, 1, nullptr, 0},
        {29, 30, Kind::UNIT, "Gain", false, 1, nullptr, 0},
        {30, 31, Kind::UNIT, "Saturation", false, 1, nullptr, 0},
        {31, 32, Kind::GROUP_END, nullptr, false, 0, nullptr, 0},
        {32, 33, Kind::GROUP_START, "Outside RGB controls", false, 0, nullptr, 0},
        {33, 34, Kind::OFFSET, "Red Offset", false, 0, nullptr, 0},
        {34, 35, Kind::UNIT, "Red Gamma", false, 1, nullptr, 0},
        {35, 36, Kind::UNIT, "Red Gain", false, 1, nullptr, 0},
        {36, 37, Kind::OFFSET, "Green Offset", false, 0, nullptr, 0},
        {37, 38, Kind::UNIT, "Green Gamma", false, 1, nullptr, 0},
        {38, 39, Kind::UNIT, "Green Gain", false, 1, nullptr, 0},
        {39, 40, Kind::OFFSET, "Blue Offset", false, 0, nullptr, 0},
        {40, 41, Kind::UNIT, "Blue Gamma", false, 1, nullptr, 0},
        {41, 42, Kind::UNIT, "Blue Gain", false, 1, nullptr, 0},
        {42, 43, Kind::GROUP_END, nullptr, false, 0, nullptr, 0},
        {43, 44, Kind::CHECKBOX, "Clamp output black", true, 1, "", 0},
        {44, 45, Kind::CHECKBOX, "Clamp output white", true, 0, "", 0},
        {45, 48, Kind::CHECKBOX, "Clamp input black", true, 1, "", 0},
        {46, 46, Kind::MIX, "Mix", false, 1, nullptr, 0},
        {47, 49, Kind::POPUP, "Color model", true, 2, "Legacy|CDL compliant", 2},
    };
    return table;
}

struct Bounds {
    float valid_min, valid_max, slider_min, slider_max;
    A_short precision;
};

Bounds BoundsOf(Kind kind) {
    switch (kind) {
    case Kind::SIZE:
        return {0, 15000, 0, 15000, 1};
    case Kind::OFFSET:
        return {-5, 5, -1, 1, 4};
    case Kind::UNIT:
        return {0, 10, 0, 2, 2};
    default:
        return {0, 1, 0, 1, 2};
    }
}

PF_ParamType TypeOf(Kind kind) {
    switch (kind) {
    case Kind::POPUP:
        return PF_Param_POPUP;
    case Kind::GROUP_START:
        return PF_Param_GROUP_START;
    case Kind::GROUP_END:
        return PF_Param_GROUP_END;
    case Kind::POINT:
        return PF_Param_POINT;
    case Kind::ANGLE:
        return PF_Param_ANGLE;
    case Kind::CHECKBOX:
        return PF_Param_CHECKBOX;
    default:
        return PF_Param_FLOAT_SLIDER;
    }
}

// The definition the host should receive, built field by field on zeroed
// bytes, so that comparing whole records also catches stray fields.
PF_ParamDef ExpectedDefinition(const Expected &e) {
    PF_ParamDef def;
    std::memset(&def, 0, sizeof def);
    def.uu.id = e.id;
    def.param_type = TypeOf(e.kind);
    if (e.name != nullptr) {
        std::strcpy(def.name, e.name);
    }
    def.flags = e.cannot_time_vary ? PF_ParamFlag_CANNOT_TIME_VARY : 0;
    switch (e.kind) {
    case Kind::POPUP:
        def.u.pd.value = static_cast<A_long>(e.default_value);
        def.u.pd.dephault = static_cast<A_short>(e.default_value);
        def.u.pd.num_choices = e.num_choices;
        break;
    case Kind::CHECKBOX:
        def.u.bd.value = static_cast<A_long>(e.default_value);
        def.u.bd.dephault = static_cast<PF_Boolean>(e.default_value);
        break;
    case Kind::POINT:
        def.u.td.x_value = def.u.td.y_value = 50 * PF_FIXED_ONE;
        def.u.td.x_dephault = def.u.td.y_dephault = 50 * PF_FIXED_ONE;
        break;
    case Kind::SIZE:
    case Kind::OFFSET:
    case Kind::UNIT:
    case Kind::MIX: {
        const Bounds b = BoundsOf(e.kind);
        def.u.fs_d.value = e.default_value;
        def.u.fs_d.valid_min = b.valid_min;
        def.u.fs_d.valid_max = b.valid_max;
        def.u.fs_d.slider_min = b.slider_min;
        def.u.fs_d.slider_max = b.slider_max;
        def.u.fs_d.dephault = static_cast<float>(e.default_value);
        def.u.fs_d.precision = b.precision;
        def.u.fs_d.curve_tolerance = 0.05f;
        break;
    }
    default:
        break;
    }
    return def;
}

// The effect's parameter setup, as the host's command for it.
PF_Err DeclareParams(Host &host) {
    return host.SendTo(zonara_test::TwoRecords(zonara::ParamsSetup), PF_Cmd_PARAMS_SETUP);
}

class ParamsSetupTest : public ::testing::Test {
protected:
    Host host{nullptr, HostApp::kAfterEffects};
};

// The host takes a declaration only with its own effect_ref and the index
// that appends (-1), so every declaration it kept was made that way.
TEST_F(ParamsSetupTest, DeclaresEveryParameterAsTheTableSays) {
    host.out_data().num_params = 1;
    ASSERT_EQ(DeclareParams(host), PF_Err_NONE);

    const std::vector<Expected> &table = ExpectedParams();
    ASSERT_EQ(host.declared_params().size(), table.size());
    EXPECT_EQ(host.add_param_calls(), static_cast<int>(table.size()));
    EXPECT_EQ(host.last_out_data().num_params, 48);
    EXPECT_EQ(static_cast<int>(table.size()) + 1, zonara::PARAM_COUNT);

    for (std::size_t i = 0; i < table.size(); ++i) {
        const Expected &e = table[i];
        const PF_ParamDef &got = host.declared_params()[i];
        SCOPED_TRACE("index " + std::to_string(e.index));
        ASSERT_EQ(static_cast<int>(i) + 1, e.index);
        EXPECT_EQ(got.uu.id, e.id);
        EXPECT_EQ(got.param_type, TypeOf(e.kind));
        EXPECT_STREQ(got.name, e.name != nullptr ? e.name : "");
        EXPECT_EQ(got.flags, e.cannot_time_vary ? PF_ParamFlag_CANNOT_TIME_VARY : 0);

        // Text pointers are compared by content, then neutralised so the
        // rest of the record can be compared byte for byte.
        PF_ParamDef comparable;
        std::memcpy(&comparable, &got, sizeof comparable);
        if (e.kind == Kind::POPUP) {
            ASSERT_NE(got.u.pd.u.namesptr, nullptr);
            EXPECT_STREQ(got.u.pd.u.namesptr, e.choices);
            comparable.u.pd.u.namesptr = nullptr;
        } else if (e.kind == Kind::CHECKBOX) {
            ASSERT_NE(got.u.bd.u.nameptr, nullptr);
            EXPECT_STREQ(got.u.bd.u.nameptr, e.choices);
            comparable.u.bd.u.nameptr = nullptr;
        }
        const PF_ParamDef expected = ExpectedDefinition(e);
        EXPECT_EQ(std::memcmp(&comparable, &expected, sizeof expected), 0)
            << "a field differs from the declared values or is not zero";
    }
}

TEST_F(ParamsSetupTest, DiskIdsAreTheSavedSetAndSkipSevenAndFortySeven) {
    ASSERT_EQ(DeclareParams(host), PF_Err_NONE);
    std::set<A_long> ids;
    for (const PF_ParamDef &def : host.declared_params()) {
        ids.insert(def.uu.id);
    }
    std::set<A_long> expected;
    for (A_long id = 1; id <= 49; ++id) {
        if (id != 7 && id != 47) {
            expected.insert(id);
        }
    }
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(ids.size(), host.declared_params().size());
}

TEST_F(ParamsSetupTest, GroupsOpenAndCloseWithoutNesting) {
    ASSERT_EQ(DeclareParams(host), PF_Err_NONE);
    struct Group {
        int start, end;
    };
    std::vector<Group> groups;
    int open = -1;
    for (std::size_t i = 0; i < host.declared_params().size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        if (host.declared_params()[i].param_type == PF_Param_GROUP_START) {
            ASSERT_EQ(open, -1) << "group nested at " << index;
            open = index;
        } else if (host.declared_params()[i].param_type == PF_Param_GROUP_END) {
            ASSERT_NE(open, -1) << "group end without start at " << index;
            groups.push_back({open, index});
            open = -1;
        }
    }
    EXPECT_EQ(open, -1);
    const std::vector<std::pair<int, int>> expected = {{2, 10}, {15, 25}, {26, 31}, {32, 42}};
    ASSERT_EQ(groups.size(), expected.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        EXPECT_EQ(groups[g].start, expected[g].first);
        EXPECT_EQ(groups[g].end, expected[g].second);
    }
}

TEST_F(ParamsSetupTest, RegistersOverlayForCompositionAndLayerViewsOnly) {
    ASSERT_EQ(DeclareParams(host), PF_Err_NONE);
    EXPECT_EQ(host.register_ui_calls(), 1);
    ASSERT_TRUE(host.registered_ui().has_value());
    PF_CustomUIInfo expected;
    std::memset(&expected, 0, sizeof expected);
    expected.events = PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER;
    const PF_CustomUIInfo registered = *host.registered_ui();
    EXPECT_EQ(std::memcmp(&registered, &expected, sizeof expected), 0);
}

TEST_F(ParamsSetupTest, CallsNoSuiteAndWritesNoMessage) {
    ASSERT_EQ(DeclareParams(host), PF_Err_NONE);
    EXPECT_TRUE(host.suites().calls_of_last_command().empty());
    EXPECT_EQ(host.last_out_data().out_flags, 0);
    EXPECT_STREQ(host.last_out_data().return_msg, "");
}

// A refused declaration must stop the list where it is: a later parameter
// declared after a gap would sit at the wrong ParamIndex.
TEST(ParamsSetupFailure, AddParamFailingStopsAtThatParameter) {
    const int calls[] = {1, 2, 24, 46, 47};
    const PF_Err codes[] = {PF_Err_OUT_OF_MEMORY, PF_Err_INTERNAL_STRUCT_DAMAGED, 7, -3, PF_Err_BAD_CALLBACK_PARAM};
    for (std::size_t c = 0; c < std::size(calls); ++c) {
        const int n = calls[c];
        SCOPED_TRACE("failing call " + std::to_string(n));
        Host host(nullptr, HostApp::kAfterEffects);
        host.out_data().num_params = 17;
        host.faults().add_param_fail_on_call = n;
        host.faults().add_param_fail_code = codes[c];

        EXPECT_EQ(DeclareParams(host), codes[c]);
        EXPECT_EQ(host.declared_params().size(), static_cast<std::size_t>(n - 1));
        EXPECT_EQ(host.add_param_calls(), n);
        EXPECT_EQ(host.register_ui_calls(), 0);
        EXPECT_EQ(host.last_out_data().num_params, 17);
        EXPECT_EQ(host.last_out_data().out_flags, 0);
        EXPECT_STREQ(host.last_out_data().return_msg, "");
    }
}

TEST(ParamsSetupFailure, RegisterUiFailingStillCountsEveryParameter) {
    Host host(nullptr, HostApp::kAfterEffects);
    host.faults().register_ui_fails = true;
    host.faults().register_ui_fail_code = PF_Err_INVALID_CALLBACK;
    EXPECT_EQ(DeclareParams(host), PF_Err_INVALID_CALLBACK);
    EXPECT_EQ(host.declared_params().size(), 47u);
    EXPECT_EQ(host.register_ui_calls(), 1);
    EXPECT_EQ(host.last_out_data().num_params, 48);
}

}  // namespace
