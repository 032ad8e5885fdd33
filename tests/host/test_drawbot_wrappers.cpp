// The drawing-suite bundle, the pen and path wrappers and DRAWBOT_Exception.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/drawbot_bundle.h"
#include "host/drawbot_exception.h"
#include "host/drawbot_refs.h"
#include "support/fake_drawing_host.h"

namespace {

using zonara::DRAWBOT_Exception;
using zonara::DrawbotBundle;
using zonara_test::DrawCall;
using zonara_test::FakeDrawingHost;
using zonara_test::FakeHost;

struct BundleCase {
    std::string refused;  // "" for none
    int filled;           // fields set, in order draw, supplier, surface, path
    PF_Err result;
};

class DrawbotBundleTest : public ::testing::TestWithParam<BundleCase> {};

TEST_P(DrawbotBundleTest, AcquiresInOrderAndGivesBackOnlyWhatItGot) {
    const BundleCase &c = GetParam();
    FakeHost host;
    FakeDrawingHost drawing(host);
    if (!c.refused.empty()) {
        host.RefuseSuite(c.refused);
    }
    DrawbotBundle bundle;
    EXPECT_EQ(zonara::AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, &bundle), c.result);
    const void *fields[] = {bundle.draw, bundle.supplier, bundle.surface, bundle.path};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fields[i] != nullptr, i < c.filled) << i;
    }
    const bool failed = c.result != PF_Err_NONE;
    EXPECT_EQ((host.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0, failed);
    EXPECT_STREQ(host.out_data.return_msg, failed ? "Not able to acquire AEFX Suite." : "");
    EXPECT_EQ(host.AcquireCount(kDRAWBOT_PathSuite), c.filled >= 3 ? 1 : 0) << "stops at the first refusal";

    EXPECT_EQ(zonara::ReleaseDrawbotBundle(&host.in_data, &host.out_data, &bundle), PF_Err_NONE);
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(host.ReleaseCount(c.refused), 0) << "a suite never had is not given back";
    EXPECT_FALSE(bundle.IsComplete());
}

INSTANTIATE_TEST_SUITE_P(Suites, DrawbotBundleTest,
                         ::testing::Values(BundleCase{"", 4, PF_Err_NONE},
                                           BundleCase{kDRAWBOT_DrawSuite, 0, PF_Err_BAD_CALLBACK_PARAM},
                                           BundleCase{kDRAWBOT_SurfaceSuite, 2, PF_Err_BAD_CALLBACK_PARAM},
                                           BundleCase{kDRAWBOT_PathSuite, 3, PF_Err_BAD_CALLBACK_PARAM}),
                         [](const auto &info) { return "filled_" + std::to_string(info.param.filled); });

TEST(DrawbotBundleTest, NullBundleIsReported) {
    FakeHost host;
    EXPECT_EQ(zonara::AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, nullptr),
              PF_Err_UNRECOGNIZED_PARAM_TYPE);
    EXPECT_STREQ(host.out_data.return_msg, "NULL suite pointer passed to AEFX_AcquireDrawbotSuites");
    EXPECT_NE(host.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
    EXPECT_TRUE(host.suite_calls.empty());
}

TEST(DrawbotBundleTest, WithoutBasicSuiteNothingIsAcquiredAndReleaseIsReported) {
    FakeHost host;
    FakeDrawingHost drawing(host);
    DrawbotBundle bundle;
    ASSERT_EQ(zonara::AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, &bundle), PF_Err_NONE);
    host.RemoveBasicSuite();
    host.out_data.out_flags = 0;
    EXPECT_EQ(zonara::ReleaseDrawbotBundle(&host.in_data, &host.out_data, &bundle), PF_Err_NONE);
    EXPECT_STREQ(host.out_data.return_msg, "Not able to release AEFX Suite.");
    EXPECT_NE(host.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);

    DrawbotBundle none;
    EXPECT_EQ(zonara::AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, &none), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(none.draw, nullptr);
    EXPECT_STREQ(host.out_data.return_msg, "Not able to acquire AEFX Suite.");
}

// The wrappers against the fake supplier.
struct WrapperScene {
    WrapperScene() : drawing(host) {
        EXPECT_EQ(zonara::AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, &bundle), PF_Err_NONE);
    }
    ~WrapperScene() { zonara::ReleaseDrawbotBundle(&host.in_data, &host.out_data, &bundle); }
    DRAWBOT_SupplierRef Supplier() { return reinterpret_cast<DRAWBOT_SupplierRef>(&drawing); }

    FakeHost host;
    FakeDrawingHost drawing;
    DrawbotBundle bundle;
};

TEST(DrawbotWrapperTest, PathAndPenAreGivenBackOnceWhenTheyEnd) {
    WrapperScene scene;
    {
        zonara::DRAWBOT_PathP path(scene.bundle.supplier, scene.Supplier());
        zonara::DRAWBOT_PenP pen(scene.bundle.supplier, scene.Supplier(), DRAWBOT_ColorRGBA{1, 0, 0, 1}, 2.0f);
        EXPECT_NE(path.Held(), nullptr);
        EXPECT_NE(pen.Held(), nullptr);
        path.Replace(path.Held());  // the same object: nothing given back
        EXPECT_EQ(scene.drawing.Count(DrawCall::RELEASE_OBJECT), 0);
        path.Remake(scene.Supplier());
        EXPECT_EQ(scene.drawing.Count(DrawCall::RELEASE_OBJECT), 1);
    }
    EXPECT_EQ(scene.drawing.ObjectsMade(), 3);
    EXPECT_TRUE(scene.drawing.AllObjectsReleased());
    EXPECT_EQ(scene.drawing.calls[1].values, (std::vector<float>{1, 0, 0, 1, 2.0f})) << "pen colour and width";
}

struct WrapperFaultCase {
    std::string name;
    DrawCall::Op op;
    int nth;
};

class DrawbotWrapperFaultTest : public ::testing::TestWithParam<WrapperFaultCase> {};

// Make a path, remake it, end it: a refusal anywhere throws the suite's own
// code, and every object made is still handed back once.
TEST_P(DrawbotWrapperFaultTest, RefusalThrowsTheSuitesCodeAndLeavesNothingHeld) {
    const WrapperFaultCase &c = GetParam();
    WrapperScene scene;
    scene.drawing.FailCall(c.op, c.nth, 0x5EED);
    try {
        zonara::DRAWBOT_PathP path(scene.bundle.supplier, scene.Supplier());
        path.Remake(scene.Supplier());
        zonara::DRAWBOT_PenP pen(scene.bundle.supplier, scene.Supplier(), DRAWBOT_ColorRGBA{}, 1.0f);
        ADD_FAILURE() << "pen made";
    } catch (const DRAWBOT_Exception &e) {
        EXPECT_EQ(e.ErrorCode(), 0x5EED);
    }
    EXPECT_TRUE(scene.drawing.AllObjectsReleased());
}

INSTANTIATE_TEST_SUITE_P(Faults, DrawbotWrapperFaultTest,
                         ::testing::Values(WrapperFaultCase{"new_path", DrawCall::NEW_PATH, 1},
                                           WrapperFaultCase{"remade_path", DrawCall::NEW_PATH, 2},
                                           WrapperFaultCase{"release_on_remake", DrawCall::RELEASE_OBJECT, 1},
                                           WrapperFaultCase{"new_pen", DrawCall::NEW_PEN, 1}),
                         [](const auto &info) { return info.param.name; });

TEST(DrawbotWrapperFaultTest, ReleaseRefusedAtANormalEndThrows) {
    WrapperScene scene;
    scene.drawing.FailCall(DrawCall::RELEASE_OBJECT, 1, 0x0BAD);
    bool thrown = false;
    try {
        zonara::DRAWBOT_PathP path(scene.bundle.supplier, scene.Supplier());
    } catch (const DRAWBOT_Exception &e) {
        thrown = true;
        EXPECT_EQ(e.ErrorCode(), 0x0BAD);
    }
    EXPECT_TRUE(thrown);
    EXPECT_TRUE(scene.drawing.AllObjectsReleased());
}

TEST(DrawbotWrapperFaultTest, FailedCreationHoldsNothingAndReleasesNothing) {
    WrapperScene scene;
    scene.drawing.FailCall(DrawCall::NEW_PATH, 1, 3);
    EXPECT_THROW(zonara::DRAWBOT_PathP(scene.bundle.supplier, scene.Supplier()), DRAWBOT_Exception);
    EXPECT_EQ(scene.drawing.Count(DrawCall::RELEASE_OBJECT), 0);
}

TEST(DrawbotWrapperFaultTest, MissingSupplierSuiteIsRefusedBeforeAnyCall) {
    EXPECT_THROW(zonara::DRAWBOT_PathP(nullptr, nullptr), DRAWBOT_Exception);
    DRAWBOT_SupplierSuite1 empty{};
    EXPECT_THROW(zonara::DRAWBOT_PenP(&empty, nullptr, DRAWBOT_ColorRGBA{}, 1.0f), DRAWBOT_Exception);
}

TEST(DrawbotExceptionTest, CarriesTheCodeThroughCopiesAndBaseHandlers) {
    EXPECT_NO_THROW(zonara::ThrowOnDrawbotError(kSPNoError));
    try {
        zonara::ThrowOnDrawbotError(-42);
    } catch (const std::exception &base) {
        const auto *drawbot = dynamic_cast<const DRAWBOT_Exception *>(&base);
        ASSERT_NE(drawbot, nullptr);
        const DRAWBOT_Exception copy = *drawbot;
        EXPECT_EQ(copy.ErrorCode(), -42);
        EXPECT_STREQ(copy.what(), std::exception().what());
    }
}

}  // namespace
