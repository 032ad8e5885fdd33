// What the host keeps of a value the effect writes in an event: the value
// alone, within the range the effect declared, as a host does for typed
// values; a drag can never leave the store with a value that the effect
// controls would refuse.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "params/param_index.h"
#include "testhost/core/host.h"
#include "testhost/core/param_store.h"
#include "testhost/drawing/event_overlay.h"
#include "testhost/loading/module.h"

namespace testhost {
namespace {

constexpr PF_Fixed ONE = PF_FIXED_ONE;

// Positions 1.. of the store: one parameter of every kind with a range.
enum Position { kSlider = 1, kPopup, kCheckbox, kRangedAngle, kFreeAngle, kPoint };

std::vector<PF_ParamDef> Declarations() {
    std::vector<PF_ParamDef> declared(6);
    PF_FloatSliderDef &slider = declared[kSlider - 1].u.fs_d;
    declared[kSlider - 1].param_type = PF_Param_FLOAT_SLIDER;
    slider.valid_min = -2.0f;
    slider.valid_max = 15000.0f;
    slider.dephault = 1.0f;
    declared[kPopup - 1].param_type = PF_Param_POPUP;
    declared[kPopup - 1].u.pd.num_choices = 6;
    declared[kPopup - 1].u.pd.dephault = 2;
    declared[kCheckbox - 1].param_type = PF_Param_CHECKBOX;
    declared[kRangedAngle - 1].param_type = PF_Param_ANGLE;
    declared[kRangedAngle - 1].u.ad.valid_min = -90 * ONE;
    declared[kRangedAngle - 1].u.ad.valid_max = 90 * ONE;
    declared[kFreeAngle - 1].param_type = PF_Param_ANGLE;  // no range declared: bounds both 0
    declared[kPoint - 1].param_type = PF_Param_POINT;
    return declared;
}

// What the effect writes at one position, and what the host is to keep.
struct WrittenCase {
    const char *what;
    Position position;
    double written;  // slider value, popup choice, checkbox value, angle or point x in whole units
    double kept;
};

void Write(PF_ParamDef &def, Position position, double value) {
    switch (position) {
    case kSlider:
        def.u.fs_d.value = value;
        break;
    case kPopup:
        def.u.pd.value = static_cast<PF_ParamValue>(value);
        break;
    case kCheckbox:
        def.u.bd.value = static_cast<PF_ParamValue>(value);
        break;
    case kRangedAngle:
    case kFreeAngle:
        def.u.ad.value = static_cast<PF_Fixed>(value * ONE);
        break;
    case kPoint:
        def.u.td.x_value = static_cast<PF_Fixed>(value * ONE);
        break;
    }
}

double Read(const PF_ParamDef &def, Position position) {
    switch (position) {
    case kSlider:
        return def.u.fs_d.value;
    case kPopup:
        return def.u.pd.value;
    case kCheckbox:
        return def.u.bd.value;
    case kRangedAngle:
    case kFreeAngle:
        return static_cast<double>(def.u.ad.value) / ONE;
    case kPoint:
        return static_cast<double>(def.u.td.x_value) / ONE;
    }
    return 0;
}

TEST(EventValueRanges, KeepsWhatTheEffectWritesWithinItsDeclaredRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const WrittenCase cases[] = {
        {"slider inside its range", kSlider, 800, 800},
        {"slider past valid_max (a corner dragged far out)", kSlider, 30848, 15000},
        {"slider below valid_min", kSlider, -7.5, -2},
        {"slider at valid_max exactly", kSlider, 15000, 15000},
        {"slider not a number keeps the value held before", kSlider, nan, 1},
        {"slider at infinity", kSlider, std::numeric_limits<double>::infinity(), 15000},
        {"popup choice past the last", kPopup, 9, 6},
        {"popup choice 0", kPopup, 0, 1},
        {"popup choice negative", kPopup, -3, 1},
        {"popup choice among them", kPopup, 4, 4},
        {"checkbox any non-zero is on", kCheckbox, 5, 1},
        {"checkbox zero is off", kCheckbox, 0, 0},
        {"angle past its declared range", kRangedAngle, 135, 90},
        {"angle before its declared range", kRangedAngle, -100, -90},
        {"angle declared without a range keeps any value", kFreeAngle, 720, 720},
        {"a point may leave the layer", kPoint, -5000, -5000},
    };
    for (const WrittenCase &c : cases) {
        SCOPED_TRACE(c.what);
        ParamStore store;
        store.Reset(Declarations(), 100, 100);
        const PF_ParamDef held = store.at(c.position);
        PF_ParamDef &def = store.at(c.position);
        Write(def, c.position, c.written);
        def.uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
        store.TakeEffectValue(c.position, held);
        EXPECT_EQ(Read(store.at(c.position), c.position), c.kept);
        EXPECT_EQ(store.at(c.position).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
    }
}

TEST(EventValueRanges, OnlyTheValueIsTaken) {
    ParamStore store;
    store.Reset(Declarations(), 100, 100);
    const PF_ParamDef held = store.at(kSlider);
    PF_ParamDef &def = store.at(kSlider);
    def.u.fs_d.value = 20000;
    def.u.fs_d.valid_max = 30000.0f;  // the effect widening its own range in passing
    def.param_type = PF_Param_CHECKBOX;
    store.TakeEffectValue(kSlider, held);
    EXPECT_EQ(store.at(kSlider).param_type, PF_Param_FLOAT_SLIDER);
    EXPECT_EQ(store.at(kSlider).u.fs_d.valid_max, 15000.0f);
    EXPECT_EQ(store.at(kSlider).u.fs_d.value, 15000);
}

// The same through an event: an effect that writes values beyond its
// declarations (as a handle dragged far enough does) leaves the host's store
// within them.

std::shared_ptr<const Module> ModuleLoadedOnce() {
    static const std::shared_ptr<const Module> module = Module::Load(DefaultModulePath());
    return module;
}

TEST(EventValueRanges, AnEventCannotLeaveAValueOutsideItsRange) {
    auto host = std::make_unique<Host>(ModuleLoadedOnce(), HostApp::kAfterEffects);
    ASSERT_EQ(host->GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host->ParamsSetup(), PF_Err_NONE);
    const EffectFunction overreaching = [](PF_Cmd, PF_InData *, PF_OutData *, PF_ParamDef *params[], PF_LayerDef *,
                                           void *) -> PF_Err {
        params[zonara::PARAM_MIX]->u.fs_d.value = 1.9;
        params[zonara::PARAM_WIDTH]->u.fs_d.value = 30848;
        params[zonara::PARAM_FALLOFF]->u.pd.value = zonara::OnePastLastChoice(zonara::FALLOFF_CHOICES);
        for (int index : {zonara::PARAM_MIX, zonara::PARAM_WIDTH, zonara::PARAM_FALLOFF}) {
            params[index]->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
        }
        return PF_Err_NONE;
    };
    View view;
    view.kind = ViewKind::kLayer;
    OverlayEvents events(*host, view, overreaching);
    const EventOutcome outcome = events.Click({10, 10});
    EXPECT_EQ(outcome.changed, (std::vector<int>{zonara::PARAM_WIDTH, zonara::PARAM_FALLOFF, zonara::PARAM_MIX}));
    const ParamStore &store = host->params();
    EXPECT_EQ(store.at(zonara::PARAM_MIX).u.fs_d.value, store.at(zonara::PARAM_MIX).u.fs_d.valid_max);
    EXPECT_EQ(store.at(zonara::PARAM_MIX).u.fs_d.value, 1.0);
    EXPECT_EQ(store.at(zonara::PARAM_WIDTH).u.fs_d.value, 15000.0);
    EXPECT_EQ(store.at(zonara::PARAM_FALLOFF).u.pd.value, store.at(zonara::PARAM_FALLOFF).u.pd.num_choices);
}

}  // namespace
}  // namespace testhost
